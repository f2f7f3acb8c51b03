#pragma once
// Byte classes of the lexer. Only ASCII belongs to any class: bytes of 128 and above are neither
// space, letters nor digits, whatever the code page makes of them.
#include <array>
#include <cstdint>

namespace vexil::script {

enum CharacterClass : uint8_t {
  kClassSpace = 1,       // 9-13 and 32
  kClassWordStart = 2,   // a-z A-Z $ _
  kClassWordPart = 4,    // word start and 0-9
  kClassDigit = 8,       // 0-9
  kClassOctal = 16,      // 0-7
  kClassHex = 32,        // 0-9 a-f A-F
};

inline constexpr std::array<uint8_t, 256> kCharacterClasses = [] {
  std::array<uint8_t, 256> classes{};
  for (int c = 9; c <= 13; ++c) classes[c] |= kClassSpace;
  classes[' '] |= kClassSpace;
  for (int c = 'a'; c <= 'z'; ++c) classes[c] |= kClassWordStart | kClassWordPart;
  for (int c = 'A'; c <= 'Z'; ++c) classes[c] |= kClassWordStart | kClassWordPart;
  classes['$'] |= kClassWordStart | kClassWordPart;
  classes['_'] |= kClassWordStart | kClassWordPart;
  for (int c = '0'; c <= '9'; ++c) classes[c] |= kClassWordPart | kClassDigit | kClassHex;
  for (int c = '0'; c <= '7'; ++c) classes[c] |= kClassOctal;
  for (int c = 'a'; c <= 'f'; ++c) classes[c] |= kClassHex;
  for (int c = 'A'; c <= 'F'; ++c) classes[c] |= kClassHex;
  return classes;
}();

inline bool hasClass(int byte, CharacterClass c) { return (kCharacterClasses[uint8_t(byte)] & c) != 0; }
inline bool isSpace(int byte) { return hasClass(byte, kClassSpace); }
inline bool isWordStart(int byte) { return hasClass(byte, kClassWordStart); }
inline bool isWordPart(int byte) { return hasClass(byte, kClassWordPart); }
inline bool isDigit(int byte) { return hasClass(byte, kClassDigit); }
inline bool isOctalDigit(int byte) { return hasClass(byte, kClassOctal); }
inline bool isHexDigit(int byte) { return hasClass(byte, kClassHex); }
inline int hexValue(int byte) { return byte <= '9' ? byte - '0' : (byte | 0x20) - 'a' + 10; }

}  // namespace vexil::script
