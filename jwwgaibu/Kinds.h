// Internal to the library: what it does with each entity kind of the table
// in JwwGaibu.h. The reader and the adders append through it and the writing
// back follows index entries through it, so every kind is known in one place
// and an index entry reaches its record through one guarded lookup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "jwwgaibu/Grow.h"
#include "jwwgaibu/JwwGaibu.h"

struct TJGdata::Kinds {
  using Table = TJwwKindTable;
  static constexpr size_t kRows = std::tuple_size_v<Table>;
  template <TJwwKind K>
  using Of = TJwwKindOf<K>;

  // The writer that writes one record of each kind back, in code order;
  // nullptr for the kind that is never written back.
  static constexpr auto kWriters = std::make_tuple(
      &TJGdata::S_EntLine, &TJGdata::S_EntCirc, &TJGdata::S_EntArc, &TJGdata::S_EntText,
      &TJGdata::S_EntPnt, &TJGdata::S_EntMark, &TJGdata::S_EntDim, nullptr,
      &TJGdata::S_EntSld2, &TJGdata::S_EntSld3, &TJGdata::S_EntSld4, &TJGdata::S_EntSldC,
      &TJGdata::S_EntSldE, &TJGdata::S_EntSldO, &TJGdata::S_EntSldG);
  using Writers = std::remove_const_t<decltype(kWriters)>;
  static_assert([]<size_t... k>(std::index_sequence<k...>) {
    // Each writer takes the record of its row.
    return ((std::is_null_pointer_v<std::tuple_element_t<k, Writers>> ||
             std::is_same_v<std::tuple_element_t<k, Writers>,
                            void (TJGdata::*)(const typename std::tuple_element_t<k, Table>::Record&,
                                              const TJwwOverrides&)>) &&
            ...);
  }(std::make_index_sequence<kRows>()));

  // f(row) for every row, in code order.
  template <class F>
  static void ForEach(F&& f) {
    std::apply([&](auto... row) { (f(row), ...); }, Table{});
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
    if (g.w_AttrRead) {  // an adder, not the reader, which clears it first
      g.WriteNote(jnNoCurrent, u"A_Current", 0);
      g.w_AttrRead = false;
    }
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
    // The caller gives the attributes: none of the last record's is taken.
    const bool read = std::exchange(g.w_AttrRead, false);
    add();
    g.w_AttrRead = read;
    auto* e = Appended<K>(g, before);
    if (e != nullptr) e->att = keep;
    return e;
  }

  // Writes the record an index entry names with its kind's writer. An entry
  // of no kind, of a kind never written back, or naming no stored record
  // writes nothing and gives false.
  static bool Write(TJGdata& g, const TJwwEntNo& en, const TJwwOverrides& o);

  // Runs, on `to`, the entity command of the record of `from` an index entry
  // names: the lines Write writes for it after its pen commands. False, and
  // nothing run, for an entry Write writes nothing for.
  static bool CommandAhead(const TJGdata& from, TJGdata& to, const TJwwEntNo& en);
};
