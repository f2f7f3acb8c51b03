#include <algorithm>
#include <optional>

#include "objects/datafile/data_file_form.h"
#include "objects/datafile/data_file_values.h"
#include "platform/text_encoding.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/engine.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::objects::datafile {

namespace {

using script::Tag;
using script::Value;

// A section checked before anything is applied: where it goes and the value it gives.
struct ParsedSection {
  std::vector<std::u16string_view> pieces;
  SavedType type = SavedType::String;
  bool flag = false;
  int64_t integer = 0;
  double real = 0;
  std::u16string text;
};

std::optional<std::u16string> valueText(const ProfileSection& section, std::u16string_view fallback) {
  const std::u16string* value = section.find(kValueKey);
  if (!value) return std::u16string(fallback);
  const std::u16string* encoding = section.find(kEncodingKey);
  if (!encoding) return *value;
  if (*encoding != kEscapedEncoding) return std::nullopt;
  return unescapeValue(*value);
}

std::optional<ParsedSection> parseSection(const ProfileSection& section) {
  if (section.damaged) return std::nullopt;
  ParsedSection parsed;
  parsed.pieces = splitSectionName(section.name);
  if (const std::u16string* type = section.find(kTypeKey)) {
    std::optional<SavedType> known = savedTypeOf(*type);
    if (!known) return std::nullopt;
    parsed.type = *known;
  }
  switch (parsed.type) {
    case SavedType::Boolean: {
      std::optional<std::u16string> text = valueText(section, u"false");
      if (!text) return std::nullopt;
      std::u16string lowered = *text;
      for (char16_t& c : lowered) c = c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c;
      parsed.flag = lowered == u"true";
      break;
    }
    case SavedType::Integer: {
      std::optional<std::u16string> text = valueText(section, u"0");
      std::optional<int64_t> v = text ? parseInteger(*text) : std::nullopt;
      if (!v) return std::nullopt;
      parsed.integer = *v;
      break;
    }
    case SavedType::Float: {
      std::optional<std::u16string> text = valueText(section, u"0.");
      std::optional<double> v = text ? parseFloat(*text) : std::nullopt;
      if (!v) return std::nullopt;
      parsed.real = *v;
      break;
    }
    case SavedType::String: {
      std::optional<std::u16string> text = valueText(section, u"");
      if (!text) return std::nullopt;
      parsed.text = std::move(*text);
      break;
    }
    case SavedType::Array:
    case SavedType::Object:
      break;
  }
  return parsed;
}

class Applier {
 public:
  explicit Applier(script::Engine& engine)
      : engine_(engine), roots_(engine), root_(roots_.hold()), made_(roots_.hold()) {}

  // Builds the variable from its sections (the first one is the variable itself) into a rooted
  // value and, when every section found its place, stores it in the global.
  bool apply(std::u16string_view name, const std::vector<ParsedSection>& sections) {
    for (const ParsedSection& section : sections) {
      if (!place(section)) return false;
    }
    script::Atom atom = script::intern(engine_, platform::utf16ToAnsi(name));
    engine_.globals.data[atom] = *root_;
    return true;
  }

 private:
  script::Atom atomOf(std::u16string_view piece) { return script::intern(engine_, platform::utf16ToAnsi(piece)); }

  // The value a section gives, held so that a collection while making it keeps it.
  Value* make(const ParsedSection& s) {
    Value* made = made_;
    made->setUndefined();
    switch (s.type) {
      case SavedType::Boolean: made->setBoolean(s.flag); break;
      case SavedType::Integer: made->setInteger(s.integer); break;
      case SavedType::Float: *made = s.real != s.real ? Value::nan() : Value::fromReal(s.real); break;
      case SavedType::String: *made = script::makeString(engine_, s.text); break;
      case SavedType::Array: {
        script::ArrayRecord* array = script::newArray(engine_);
        made->setArray(array);
        script::attachTable(engine_, Tag::Array, &array->props);
        break;
      }
      case SavedType::Object: made->setObject(script::newTable(engine_)); break;
    }
    return made;
  }

  // The member a piece names in a container, or null when the container has none or is no
  // container: a section whose parent was never made has no place.
  Value* member(const Value& parent, std::u16string_view piece) {
    if (parent.is(Tag::Object)) {
      script::PropertyEntry* entry = script::ownEntry(parent.table(), atomOf(piece));
      return entry ? &entry->value : nullptr;
    }
    if (parent.is(Tag::Array)) {
      std::optional<uint64_t> index = parseIndex(piece);
      return index ? script::findElement(*parent.array(), *index) : nullptr;
    }
    return nullptr;
  }

  bool place(const ParsedSection& s) {
    if (s.pieces.size() == 1) {
      *root_ = *make(s);
      return true;
    }
    Value* parent = root_;
    for (size_t i = 1; i + 1 < s.pieces.size(); ++i) {
      parent = member(*parent, s.pieces[i]);
      if (!parent) return false;
    }
    std::u16string_view last = s.pieces.back();
    std::optional<uint64_t> index;
    if (parent->is(Tag::Array) && !(index = parseIndex(last))) return false;
    if (!parent->is(Tag::Array) && !parent->is(Tag::Object)) return false;
    if (!parent->is(Tag::Array) && last.empty()) return false;
    Value container = *parent;  // the slot may move when making the value grows a table
    Value* made = make(s);
    if (container.is(Tag::Array)) {
      script::storeElement(engine_, *container.array(), *index, *made);
    } else {
      script::setProperty(engine_, container.table(), atomOf(last), *made);
    }
    return true;
  }

  script::Engine& engine_;
  script::StackRoots roots_;
  Value* root_;
  Value* made_;
};

}  // namespace

void applySections(script::Engine& engine, const std::vector<ProfileSection>& sections) {
  // Each variable's sections, in file order, each variable at its first section.
  std::vector<std::pair<std::u16string_view, std::vector<const ProfileSection*>>> variables;
  for (const ProfileSection& section : sections) {
    std::u16string_view name = variableOf(section.name);
    auto found = std::find_if(variables.begin(), variables.end(), [&](const auto& v) { return v.first == name; });
    if (found == variables.end()) {
      variables.push_back({name, {}});
      found = variables.end() - 1;
    }
    found->second.push_back(&section);
  }
  for (const auto& [name, group] : variables) {
    // DataFile writes a variable's own section first; without it the rest has nowhere to go.
    if (!isWritableName(name) || group.front()->name != name) continue;
    std::vector<ParsedSection> parsed;
    for (const ProfileSection* section : group) {
      std::optional<ParsedSection> p = parseSection(*section);
      if (!p) break;
      parsed.push_back(std::move(*p));
    }
    if (parsed.size() != group.size()) continue;
    Applier(engine).apply(name, parsed);
  }
}

bool loadVariables(script::Engine& engine, const std::string& path) {
  std::optional<std::vector<uint8_t>> bytes = readProfileFile(path);
  if (!bytes) return false;
  applySections(engine, parseProfileText(*bytes));
  return true;
}

}  // namespace vexil::objects::datafile
