// Internal to the library: building an output line field by field.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "myfunc/MyFunc.h"

// The line "head n1 n2 ..." with the numbers as FloatStr writes them; without
// a head the line starts with the first number. It is built in one buffer per
// thread, reused from line to line, so that writing a line allocates only the
// copy the output buffer keeps. The reference is good until the next call.
inline std::u16string& NumberLine(std::u16string_view head, std::initializer_list<double> vs) {
  thread_local std::u16string line;
  line.assign(head);
  for (double v : vs) {
    if (!line.empty()) line += u' ';
    AppendFloat(line, v);
  }
  return line;
}
