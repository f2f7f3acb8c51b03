#include "host/hostobjects/hot_key_text.h"
#include "platform/text_case.h"

#include <cctype>

namespace vexil::hostobjects {
namespace {

// Virtual-key codes of the keys hot-key text names by word.
constexpr uint16_t kKeyEnd = 0x23;
constexpr uint16_t kKeyHome = 0x24;
constexpr uint16_t kKeyInsert = 0x2D;
constexpr uint16_t kKeyNumpad0 = 0x60;
constexpr uint16_t kKeyF1 = 0x70;

struct ModifierName {
  const char* name;
  uint16_t bit;
};
// Also the order in which the text lists them.
constexpr ModifierName kModifierNames[] = {{"CTRL", kHotKeyControl}, {"SHIFT", kHotKeyShift}, {"ALT", kHotKeyAlt}};

struct ExtendedKeyName {
  const char* name;
  uint16_t key;
};
constexpr ExtendedKeyName kExtendedKeyNames[] = {{"ins", kKeyInsert}, {"home", kKeyHome}, {"end", kKeyEnd}};

// The number that follows prefix in part, when part is prefix and one or two digits in [low, high].
int numberAfter(std::string_view part, std::string_view prefix, int low, int high) {
  if (part.size() <= prefix.size() || part.size() > prefix.size() + 2) return -1;
  if (!platform::equalsIgnoringAsciiCase(part.substr(0, prefix.size()), prefix)) return -1;
  int n = 0;
  for (char c : part.substr(prefix.size())) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    n = n * 10 + (c - '0');
  }
  return n >= low && n <= high ? n : -1;
}

void readPart(std::string_view part, HotKey& hotKey) {
  if (part.empty()) return;
  for (const ModifierName& m : kModifierNames) {
    if (platform::equalsIgnoringAsciiCase(part, m.name)) {
      hotKey.modifiers |= m.bit;
      return;
    }
  }
  for (const ExtendedKeyName& k : kExtendedKeyNames) {
    if (platform::equalsIgnoringAsciiCase(part, k.name)) {
      hotKey.key = k.key;
      hotKey.modifiers |= kHotKeyExtended;
      return;
    }
  }
  if (int n = numberAfter(part, "num ", 0, 9); n >= 0) {
    hotKey.key = uint16_t(kKeyNumpad0 + n);
  } else if (int f = numberAfter(part, "f", 1, 12); f >= 0) {
    hotKey.key = uint16_t(kKeyF1 + f - 1);
  } else {
    hotKey.key = uint16_t(std::toupper(static_cast<unsigned char>(part[0])));
  }
}

}  // namespace

std::string hotKeyText(const HotKey& hotKey, const std::function<std::string(uint16_t, bool)>& keyName) {
  if (hotKey.key == 0) return kNoHotKey;
  std::string text;
  for (const ModifierName& m : kModifierNames) {
    if (hotKey.modifiers & m.bit) text += std::string(m.name) + "+";
  }
  return text + keyName(hotKey.key, (hotKey.modifiers & kHotKeyExtended) != 0);
}

HotKey parseHotKeyText(std::string_view text) {
  HotKey hotKey;
  size_t start = 0;
  for (;;) {
    size_t plus = text.find('+', start);
    readPart(text.substr(start, plus == std::string_view::npos ? std::string_view::npos : plus - start), hotKey);
    if (plus == std::string_view::npos) break;
    start = plus + 1;
  }
  return hotKey;
}

}  // namespace vexil::hostobjects
