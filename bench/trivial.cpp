// The floor of a whole-process measurement: a C++ program of the same build
// that only starts and exits.
int main() { return 0; }
