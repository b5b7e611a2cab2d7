# Cross-building the Windows program (x86-64) with MinGW-w64 on Linux:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KX29_MINGW x86_64-w64-mingw32)
# The "posix" flavour of the compiler has the whole C++ thread library; it is
# linked statically like everything else, so the program needs no DLL of its
# own beside it.
find_program(CMAKE_CXX_COMPILER NAMES ${KX29_MINGW}-g++-posix ${KX29_MINGW}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${KX29_MINGW}-gcc-posix ${KX29_MINGW}-gcc)
find_program(CMAKE_RC_COMPILER NAMES ${KX29_MINGW}-windres REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${KX29_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
