#pragma once
// Atoms: names interned once into small numbers, handed out from 0 and never released. The atom's
// number is also the index of the global variable of that name.
#include <cstddef>
#include <string_view>

#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;

struct AtomNode {
  AtomNode* next;
  char* name;  // ANSI, terminated, owned (system heap)
  Atom number;
};

Atom intern(Engine& engine, const char* text, size_t bytes);
Atom intern(Engine& engine, const char* text);
inline Atom intern(Engine& engine, std::string_view text) {
  return intern(engine, text.data(), text.size());
}
// The name of an atom; "???" for a number no atom has.
const char* nameOf(const Engine& engine, Atom atom);
// The atom of a name that has been interned, or -1; never creates one.
Atom findAtom(const Engine& engine, std::string_view text);

// Frees every atom node and name (engine destruction).
void releaseAtoms(Engine& engine);

}  // namespace vexil::script
