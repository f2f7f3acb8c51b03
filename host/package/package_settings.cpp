#include "host/package/package_settings.h"

#include "host/package/file_item.h"

namespace vexil::package {

namespace {

FontItem readFont(ByteReader& in) {
  FontItem f;
  f.height = in.i32();
  f.width = in.i32();
  f.escapement = in.i32();
  f.orientation = in.i32();
  f.weight = in.i32();
  for (uint8_t* b : {&f.italic, &f.underline, &f.strikeOut, &f.charSet, &f.outPrecision, &f.clipPrecision,
                     &f.quality, &f.pitchAndFamily}) {
    *b = in.u8();
  }
  f.faceName = readTextItem(in);
  if (f.faceName && f.faceName->size() > kMaxFaceNameLength) f.faceName->resize(kMaxFaceNameLength);
  return f;
}

void writeFont(ByteWriter& out, const FontItem& f) {
  for (int32_t v : {f.height, f.width, f.escapement, f.orientation, f.weight}) out.i32(v);
  for (uint8_t b : {f.italic, f.underline, f.strikeOut, f.charSet, f.outPrecision, f.clipPrecision, f.quality,
                    f.pitchAndFamily}) {
    out.u8(b);
  }
  writeTextItem(out, f.faceName);
}

void readRecord(PackageSettings& s, ByteReader& in, const std::string& tempDir) {
  for (auto& text : s.productTexts) text = readTextItem(in);
  s.wakeupMethod = in.u32();
  s.options = in.u32();
  s.hotKeyCode = in.u16();
  s.hotKeyModifiers = in.u16();
  s.backgroundColor = in.u32();
  s.previewMode = in.u32();
  s.previewFile = readFileItem(in, tempDir);
  s.helpFileOption = in.u32();
  s.helpFile = readFileItem(in, tempDir);
  for (auto& text : s.links) text = readTextItem(in);
  for (auto& value : s.linkValues) value = in.u32();
  for (auto& font : s.linkFonts) font = readFont(in);
  s.aboutFlags = in.u32();
  s.aboutValue = in.u32();
  s.aboutPicture = readFileItem(in, tempDir);
  s.carried26 = readRawTextItem(in);
  s.carried27 = in.u32();
  s.carried28 = readRawTextItem(in);
  s.carried29 = in.u32();
  auto stamp = in.bytes(s.timeStamp.size());
  if (!in.failed()) std::copy(stamp.begin(), stamp.end(), s.timeStamp.begin());
  s.carried31 = in.u32();
  s.carried32 = readRawTextItem(in);
  s.carried33 = in.u16();
  s.carried34 = in.u16();
}

}  // namespace

bool loadSettings(PackageSettings& settings, std::span<const uint8_t> stream, const std::string& tempDir) {
  settings = PackageSettings();
  ByteReader in(stream);
  readRecord(settings, in, tempDir);
  if (in.failed()) settings = PackageSettings();
  return !in.failed();
}

std::vector<uint8_t> storeSettings(const PackageSettings& s) {
  ByteWriter out;
  for (const auto& text : s.productTexts) writeTextItem(out, text);
  out.u32(s.wakeupMethod);
  out.u32(s.options);
  out.u16(s.hotKeyCode);
  out.u16(s.hotKeyModifiers);
  out.u32(s.backgroundColor);
  out.u32(s.previewMode);
  writeFileItem(out, s.previewFile);
  out.u32(s.helpFileOption);
  writeFileItem(out, s.helpFile);
  for (const auto& text : s.links) writeTextItem(out, text);
  for (uint32_t value : s.linkValues) out.u32(value);
  for (const auto& font : s.linkFonts) writeFont(out, font);
  out.u32(s.aboutFlags);
  out.u32(s.aboutValue);
  writeFileItem(out, s.aboutPicture);
  writeRawTextItem(out, s.carried26);
  out.u32(s.carried27);
  writeRawTextItem(out, s.carried28);
  out.u32(s.carried29);
  out.bytes(s.timeStamp);
  out.u32(s.carried31);
  writeRawTextItem(out, s.carried32);
  out.u16(s.carried33);
  out.u16(s.carried34);
  return out.take();
}

}  // namespace vexil::package
