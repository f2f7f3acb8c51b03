#include <optional>

#include "objects/datafile/data_file_form.h"
#include "objects/datafile/data_file_values.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/engine.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"

namespace vexil::objects::datafile {

namespace {

using script::Tag;
using script::Value;

class Saver {
 public:
  Saver(script::Engine& engine, std::vector<ProfileSection>& out) : engine_(engine), out_(out) {}

  // False when the value cannot be written whole (the caller drops what was appended). A value
  // of any other kind is not written; at the top that refuses the variable.
  bool save(const std::u16string& name, const Value& value) {
    if (containers_.size() > kMaxDepth) return false;
    switch (value.tag) {
      case Tag::Boolean: return scalar(name, SavedType::Boolean, value.boolean() ? u"true" : u"false");
      case Tag::Integer: return scalar(name, SavedType::Integer, integerText(value.integer()));
      case Tag::String: return scalar(name, SavedType::String, std::u16string(value.string()->view()));
      case Tag::Real: return scalar(name, SavedType::Float, floatText(value.real()));
      case Tag::NaN: return scalar(name, SavedType::Float, u"NaN");
      case Tag::Array: return container(name, SavedType::Array, value.array(), [&] { return elements(name, *value.array()); });
      case Tag::Object: return container(name, SavedType::Object, value.table(), [&] { return properties(name, *value.table()); });
      default: return !containers_.empty();
    }
  }

 private:
  static std::u16string integerText(int64_t v) {
    std::string digits = std::to_string(v);
    return std::u16string(digits.begin(), digits.end());
  }

  bool scalar(const std::u16string& name, SavedType type, const std::u16string& text) {
    ProfileSection& section = out_.emplace_back();
    section.name = name;
    section.entries.emplace_back(kTypeKey, savedTypeName(type));
    if (needsEscape(text)) {
      section.entries.emplace_back(kValueKey, escapeValue(text));
      section.entries.emplace_back(kEncodingKey, kEscapedEncoding);
    } else {
      section.entries.emplace_back(kValueKey, text);
    }
    return true;
  }

  // A container that is already being written further up holds itself: refused, where a plain
  // walk would write forever.
  template <typename Members>
  bool container(const std::u16string& name, SavedType type, const void* identity, Members members) {
    for (const void* open : containers_) {
      if (open == identity) return false;
    }
    ProfileSection& section = out_.emplace_back();
    section.name = name;
    section.entries.emplace_back(kTypeKey, savedTypeName(type));
    containers_.push_back(identity);
    bool ok = members();
    containers_.pop_back();
    return ok;
  }

  bool elements(const std::u16string& name, const script::ArrayRecord& array) {
    bool ok = true;
    script::forEachElement(array, [&](uint64_t index, const Value& element) {
      if (ok && index <= kMaxLoadedIndex) ok = save(name + u"." + integerText(int64_t(index)), element);
    });
    return ok;
  }

  bool properties(const std::u16string& name, const script::PropertyTable& table) {
    for (uint32_t i = 0; i < table.count; ++i) {
      const script::PropertyEntry& entry = table.entries[i];
      if (entry.atom == script::kDeletedAtom || entry.atom == script::kAtomProto) continue;
      std::u16string piece = platform::ansiToUtf16(script::nameOf(engine_, entry.atom));
      if (!isWritableName(piece)) return false;
      if (!save(name + u"." + piece, entry.value)) return false;
    }
    return true;
  }

  script::Engine& engine_;
  std::vector<ProfileSection>& out_;
  std::vector<const void*> containers_;
};

}  // namespace

std::u16string_view variableOf(std::u16string_view sectionName) {
  return splitSectionName(sectionName).front();
}

bool variableSections(script::Engine& engine, std::u16string_view name, std::vector<ProfileSection>& out) {
  if (!isWritableName(name)) return false;
  std::string ansi = platform::utf16ToAnsi(name);
  if (platform::ansiToUtf16(ansi) != name) return false;  // no global can have that name
  script::Atom atom = script::findAtom(engine, ansi);
  if (atom < 0) return false;
  size_t mark = out.size();
  Saver saver(engine, out);
  if (!saver.save(std::u16string(name), engine.globals.data[atom])) {
    out.resize(mark);
    return false;
  }
  return true;
}

std::optional<std::vector<uint8_t>> readProfileFile(const std::string& path) {
  platform::File file = platform::File::open(path, platform::File::Mode::Read);
  if (!file.isOpen()) return std::nullopt;
  int64_t size = file.size();
  if (size < 0 || size > kMaxFileBytes) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (size && !file.readExact(bytes.data(), bytes.size())) return std::nullopt;
  return bytes;
}

bool saveVariables(script::Engine& engine, const std::string& path, const std::vector<std::u16string>& names) {
  std::vector<ProfileSection> fresh;
  bool all = true;
  for (const std::u16string& name : names) all = variableSections(engine, name, fresh) && all;
  if (fresh.empty()) return all;  // nothing to write: the file is left alone
  std::vector<ProfileSection> sections;
  if (platform::fileExists(path)) {
    std::optional<std::vector<uint8_t>> old = readProfileFile(path);
    if (!old) return false;  // a folder, an unreadable or oversized file: left as it is
    sections = parseProfileText(*old);
  }
  // A variable saved before, perhaps longer, keeps none of its old sections.
  std::erase_if(sections, [&](const ProfileSection& s) {
    for (const ProfileSection& f : fresh) {
      if (variableOf(s.name) == variableOf(f.name)) return true;
    }
    return false;
  });
  sections.insert(sections.end(), fresh.begin(), fresh.end());
  std::vector<uint8_t> text = writeProfileText(sections);
  return platform::writeWholeFile(path, text.data(), text.size()) && all;
}

}  // namespace vexil::objects::datafile
