// Compiled with a forbidden header forced in first: see tests/CMakeLists.txt.
