// Internal to the library: the block growth shared by every entity array, the
// entity index and the output buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Platform.h"

// The counts are public fields: a count a caller has set outside its array
// (below zero, or beyond its length) is brought back to it.
template <class T>
size_t InArray(const std::vector<T>& a, int32_t n) {
  return n < 0 ? 0 : static_cast<size_t>(n) > a.size() ? a.size() : static_cast<size_t>(n);
}
template <class T>
void KeepInArray(const std::vector<T>& a, int32_t& n) {
  n = static_cast<int32_t>(InArray(a, n));
}

// Capacity for `more` elements after the n in use, in whole blocks, taken up
// front when their number is known, so that the appends to come never copy
// the array; the memory, about to be filled front to back, is asked for in
// large pages. The count is sized as an append would take it.
template <class T>
void ReserveAhead(std::vector<T>& a, int32_t n, size_t more) {
  if (more == 0) return;
  const size_t want = (InArray(a, n) + more + 999) / 1000 * 1000;
  if (a.capacity() >= want) return;
  a.reserve(want);
  platform::PreferLargePages(a.data(), a.capacity() * sizeof(T));
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
