#include "script/runtime/atom_table.h"

#include <cstdlib>
#include <cstring>

#include "script/runtime/engine.h"
#include "script/runtime/messages.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/string_hash.h"
#include "script/runtime/value_array.h"

namespace vexil::script {

namespace {

constexpr uint32_t kAtomChainMask = kAtomChainCount - 1;

bool nameEquals(const AtomNode* node, std::string_view text) {
  return std::strlen(node->name) == text.size() && std::memcmp(node->name, text.data(), text.size()) == 0;
}

AtomNode* findNode(const Engine& engine, std::string_view text) {
  for (AtomNode* node = engine.atomChains[stringHash(text) & kAtomChainMask]; node; node = node->next) {
    if (nameEquals(node, text)) return node;
  }
  return nullptr;
}

AtomNode* newNode(Engine& engine, std::string_view text) {
  auto* node = static_cast<AtomNode*>(std::malloc(sizeof(AtomNode)));
  char* name = static_cast<char*>(std::malloc(text.size() + 1));
  if (!node || !name) {
    std::free(node);
    std::free(name);
    raiseOutOfMemory(engine);
  }
  std::memcpy(name, text.data(), text.size());
  name[text.size()] = 0;
  node->name = name;
  return node;
}

}  // namespace

Atom intern(Engine& engine, const char* text, size_t bytes) {
  std::string_view name(text ? text : "", text ? bytes : 0);
  if (AtomNode* found = findNode(engine, name)) return found->number;
  // Grow the slots first, so that a failure leaves no atom without a global slot.
  reserveValues(engine, engine.globals, engine.globals.count + 1);
  AtomNode* node = newNode(engine, name);
  AtomNode*& chain = engine.atomChains[stringHash(name) & kAtomChainMask];
  node->next = chain;
  node->number = Atom(engine.globals.count);
  chain = node;
  // An unassigned global remembers its atom's node: the name is found without a search.
  engine.globals.data[engine.globals.count++].setPointer(Tag::Undefined, node);
  return node->number;
}

Atom intern(Engine& engine, const char* text) {
  return intern(engine, text, text ? std::strlen(text) : 0);
}

const char* nameOf(const Engine& engine, Atom atom) {
  if (atom >= 0 && uint32_t(atom) < engine.globals.count) {
    const Value& slot = engine.globals.data[atom];
    auto* node = static_cast<const AtomNode*>(slot.pointer());
    if (slot.tag == Tag::Undefined && node && node->number == atom) return node->name;
  }
  for (AtomNode* chain : engine.atomChains) {
    for (AtomNode* node = chain; node; node = node->next) {
      if (node->number == atom) return node->name;
    }
  }
  return kUnknownAtomName;
}

Atom findAtom(const Engine& engine, std::string_view text) {
  AtomNode* node = findNode(engine, text);
  return node ? node->number : -1;
}

void releaseAtoms(Engine& engine) {
  for (AtomNode*& chain : engine.atomChains) {
    while (AtomNode* node = chain) {
      chain = node->next;
      std::free(node->name);
      std::free(node);
    }
  }
}

}  // namespace vexil::script
