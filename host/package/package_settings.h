#pragma once
// The build's settings record: stored as blob "ST" in the package and as a per-user copy in the
// registry. Fields the runtime gives no meaning ("carried") are kept as stored so that a record
// loaded and stored again is the same bytes.
#include <array>
#include <cstdint>
#include <string>

#include "host/package/byte_reader.h"
#include "host/package/text_item.h"

namespace vexil::package {

// The options word.
inline constexpr uint32_t kOptionBackgroundColor = 0x01;
inline constexpr uint32_t kOptionMuteSpeakers = 0x02;
inline constexpr uint32_t kOptionHideCursor = 0x04;
inline constexpr uint32_t kOptionDisableCDAutoRun = 0x08;
inline constexpr uint32_t kOptionNoScale = 0x10;

// The About-page flags word.
inline constexpr uint32_t kAboutShowFirstMovie = 0x10;
inline constexpr uint32_t kAboutShowPicture = 0x100;

// A Windows LOGFONT as the record stores it; the face name holds at most 31 characters.
struct FontItem {
  int32_t height = 0, width = 0, escapement = 0, orientation = 0, weight = 0;
  uint8_t italic = 0, underline = 0, strikeOut = 0, charSet = 0;
  uint8_t outPrecision = 0, clipPrecision = 0, quality = 0, pitchAndFamily = 0;
  Text faceName;
};
inline constexpr size_t kMaxFaceNameLength = 31;

struct PackageSettings {
  // About-page texts: product name, long title, company, legal notice, short name, description,
  // version text.
  std::array<Text, 7> productTexts;
  uint32_t wakeupMethod = 0;
  uint32_t options = 0;
  uint16_t hotKeyCode = 0;
  uint16_t hotKeyModifiers = 0;  // 1 Shift, 2 Ctrl, 4 Alt
  uint32_t backgroundColor = 0;  // bytes red, green, blue, 0
  uint32_t previewMode = 0;      // 0 application icon, 1 first movie, 2 the attached file
  Text previewFile;              // recorded path of the extracted preview movie or picture
  uint32_t helpFileOption = 0;   // non-zero: helpFile is the settings dialog's help
  Text helpFile;
  // About-page links: web caption, web address, e-mail caption, e-mail address.
  std::array<Text, 4> links;
  std::array<uint32_t, 2> linkValues{};
  std::array<FontItem, 2> linkFonts;
  uint32_t aboutFlags = 0;
  uint32_t aboutValue = 0;
  Text aboutPicture;
  RawText carried26;
  uint32_t carried27 = 0;
  RawText carried28;
  uint32_t carried29 = 0;
  std::array<uint8_t, 16> timeStamp{};  // a SYSTEMTIME
  uint32_t carried31 = 0;
  RawText carried32;
  uint16_t carried33 = 0;
  uint16_t carried34 = 0;
};

// Loads a record from its stream, extracting attached files into tempDir (which ends in a
// separator). On a truncated or malformed stream the record is reset and false returned.
bool loadSettings(PackageSettings& settings, std::span<const uint8_t> stream, const std::string& tempDir);

// Serialises a record; attached files are read again from their recorded paths.
std::vector<uint8_t> storeSettings(const PackageSettings& settings);

}  // namespace vexil::package
