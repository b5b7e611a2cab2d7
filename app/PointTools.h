// The point tools' geometry is the library's: this name stays for the includes that still use it.
#include "jwwgaibu/PointTools.h"
