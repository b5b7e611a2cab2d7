// Internal to the library: the entity kinds as one table. A row gives a
// kind's code, its record, its array and count, and the writer that writes
// one of its records back. The reader and the adders append through it and
// the writing back follows index entries through it, so every kind is known
// in this one place and an index entry reaches its record in one guarded one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "jwwgaibu/Grow.h"
#include "jwwgaibu/JwwGaibu.h"

// The overrides of S_EntAll and S_EntAllp, a1 to a8, by what they replace.
struct TJGdata::Overrides {
  int32_t lgrp, lay, col, ltp, wid, tcol, mbs, scol;
};

struct TJGdata::Kinds {
  template <TJwwKind K, class T, std::vector<T> TJGdata::*A, int32_t TJGdata::*N,
            void (TJGdata::*W)(const T&, const Overrides&)>
  struct Row {
    static constexpr TJwwKind kCode = K;
    using Record = T;
    static std::vector<T>& Array(TJGdata& g) { return g.*A; }
    static const std::vector<T>& Array(const TJGdata& g) { return g.*A; }
    static int32_t& Count(TJGdata& g) { return g.*N; }
    static int32_t Count(const TJGdata& g) { return g.*N; }
    static constexpr auto kWriter = W;  // nullptr: never written back
  };

  using Table = std::tuple<
      //  code    record          array              count               writer
      Row<jkLine, TJwwEntLine,   &TJGdata::EntLine, &TJGdata::EntLineN, &TJGdata::S_EntLine>,
      Row<jkCirc, TJwwEntCircle, &TJGdata::EntCirc, &TJGdata::EntCircN, &TJGdata::S_EntCirc>,
      Row<jkArc,  TJwwEntArc,    &TJGdata::EntArc,  &TJGdata::EntArcN,  &TJGdata::S_EntArc>,
      Row<jkText, TJwwEntText,   &TJGdata::EntText, &TJGdata::EntTextN, &TJGdata::S_EntText>,
      Row<jkPnt,  TJwwEntPnt,    &TJGdata::EntPnt,  &TJGdata::EntPntN,  &TJGdata::S_EntPnt>,
      Row<jkMark, TJwwEntMark,   &TJGdata::EntMark, &TJGdata::EntMarkN, &TJGdata::S_EntMark>,
      Row<jkDim,  TJwwEntDim,    &TJGdata::EntDim,  &TJGdata::EntDimN,  &TJGdata::S_EntDim>,
      Row<jkBlk,  TJwwEntBlk,    &TJGdata::EntBlk,  &TJGdata::EntBlkN,  nullptr>,
      Row<jkSld2, TJwwEntSld2,   &TJGdata::EntSld2, &TJGdata::EntSld2N, &TJGdata::S_EntSld2>,
      Row<jkSld3, TJwwEntSld3,   &TJGdata::EntSld3, &TJGdata::EntSld3N, &TJGdata::S_EntSld3>,
      Row<jkSld4, TJwwEntSld4,   &TJGdata::EntSld4, &TJGdata::EntSld4N, &TJGdata::S_EntSld4>,
      Row<jkSldC, TJwwEntSldC,   &TJGdata::EntSldC, &TJGdata::EntSldCN, &TJGdata::S_EntSldC>,
      Row<jkSldE, TJwwEntSldC,   &TJGdata::EntSldE, &TJGdata::EntSldEN, &TJGdata::S_EntSldE>,
      Row<jkSldO, TJwwEntSldD,   &TJGdata::EntSldO, &TJGdata::EntSldON, &TJGdata::S_EntSldO>,
      Row<jkSldG, TJwwEntSldD,   &TJGdata::EntSldG, &TJGdata::EntSldGN, &TJGdata::S_EntSldG>>;

  static constexpr size_t kRows = std::tuple_size_v<Table>;

  // The rows stand in code order, so a kind's row is found by its code.
  template <TJwwKind K>
  using Of = std::tuple_element_t<static_cast<size_t>(K) - 1, Table>;
  static_assert([]<size_t... k>(std::index_sequence<k...>) {
    return ((std::tuple_element_t<k, Table>::kCode == static_cast<TJwwKind>(k + 1)) && ...);
  }(std::make_index_sequence<kRows>()));

  // f(row) for every row, in code order.
  template <class F>
  static void ForEach(F&& f) {
    std::apply([&](auto... row) { (f(row), ...); }, Table{});
  }

  // The stored record of kind K that an index entry names: nullptr unless the
  // entry is of kind K and its number lies below both the kind's count and
  // its array's length. Counts and index entries are public fields a caller
  // may set to anything.
  template <TJwwKind K>
  static const typename Of<K>::Record* Find(const TJGdata& g, const TJwwEntNo& en) {
    const auto& a = Of<K>::Array(g);
    if (en.yn != K || en.no < 0 || en.no >= Of<K>::Count(g) ||
        static_cast<size_t>(en.no) >= a.size()) {
      return nullptr;
    }
    return &a[static_cast<size_t>(en.no)];
  }

  // Appends a record of kind K and its index entry; the record starts empty
  // with the attributes in force. A count set outside its array is brought
  // back first, so that the index entry names the record appended.
  template <TJwwKind K>
  static typename Of<K>::Record& Append(TJGdata& g) {
    auto& a = Of<K>::Array(g);
    int32_t& n = Of<K>::Count(g);
    KeepInArray(a, n);
    g.SetEntNo(K, n);
    auto& e = AppendGrow(a, n);
    e = {};
    g.SetEntAttr(e.att);
    return e;
  }

  // Kind K's count, brought back into its array, so that an adder run next
  // raises it by exactly one when it appends.
  template <TJwwKind K>
  static int32_t CountBefore(TJGdata& g) {
    KeepInArray(Of<K>::Array(g), Of<K>::Count(g));
    return Of<K>::Count(g);
  }

  // The record of kind K appended since the count was `before`, or nullptr.
  template <TJwwKind K>
  static typename Of<K>::Record* Appended(TJGdata& g, int32_t before) {
    const int32_t n = Of<K>::Count(g);
    return n != before ? &Of<K>::Array(g)[static_cast<size_t>(n) - 1] : nullptr;
  }

  // Runs an adder of kind K and gives the record it appended, if any, the
  // attributes at. at is copied first: it may lie in the very array that grows.
  template <TJwwKind K, class Add>
  static typename Of<K>::Record* AddWith(TJGdata& g, const TJwwEntAttr& at, Add add) {
    const TJwwEntAttr keep = at;
    const int32_t before = CountBefore<K>(g);
    add();
    auto* e = Appended<K>(g, before);
    if (e != nullptr) e->att = keep;
    return e;
  }

  // Writes the record an index entry names with its kind's writer. An entry
  // of no kind, of a kind never written back, or naming no stored record
  // writes nothing.
  static void Write(TJGdata& g, const TJwwEntNo& en, const Overrides& o);

  // Runs, on `to`, the entity command of the record of `from` an index entry
  // names: the lines Write writes for it after its pen commands. False, and
  // nothing run, for an entry Write writes nothing for.
  static bool CommandAhead(const TJGdata& from, TJGdata& to, const TJwwEntNo& en);
};
