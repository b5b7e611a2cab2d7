// Internal to the library: the block growth shared by every entity array, the
// entity index and the output buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The counts are public fields: a count a caller has set outside its array
// (below zero, or beyond its length) is brought back to it.
template <class T>
void KeepInArray(const std::vector<T>& a, int32_t& n) {
  if (n < 0) n = 0;
  if (static_cast<size_t>(n) > a.size()) n = static_cast<int32_t>(a.size());
}

// Raises the count n by one and gives the new element a[n - 1]. The array's
// length is set to n + 999 whenever the new count is 1, 1001, 2001, ..., so it
// runs 1000, 2000, ... Capacity grows geometrically underneath, so that a
// million appends copy the elements a few times, not a thousand times. The
// count is kept in the array first, so an append never writes outside it
// nor asks for an absurd length.
template <class T>
T& AppendGrow(std::vector<T>& a, int32_t& n) {
  KeepInArray(a, n);
  ++n;
  if (n % 1000 == 1 || a.size() < static_cast<size_t>(n)) {
    const size_t len = (static_cast<size_t>(n) + 999) / 1000 * 1000;
    if (a.capacity() < len) a.reserve(len + len / 2);
    a.resize(len);
  }
  return a[static_cast<size_t>(n) - 1];
}
