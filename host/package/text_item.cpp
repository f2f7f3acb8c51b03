#include "host/package/text_item.h"

#include "platform/text_encoding.h"

namespace vexil::package {

RawText readRawTextItem(ByteReader& in) {
  uint32_t n = in.u32();
  if (in.failed() || n == 0) return std::nullopt;
  if (n > in.remaining() / 2) {
    in.fail();
    return std::nullopt;
  }
  std::u16string units(n, u'\0');
  for (auto& unit : units) unit = in.u16();
  return units;
}

Text readTextItem(ByteReader& in) {
  RawText raw = readRawTextItem(in);
  if (!raw) return std::nullopt;
  std::u16string_view units(*raw);
  return platform::utf16ToAnsi(units.substr(0, units.find(u'\0')));
}

void writeRawTextItem(ByteWriter& out, const RawText& text) {
  if (!text) {
    out.u32(0);
    return;
  }
  out.u32(uint32_t(text->size()));
  for (char16_t unit : *text) out.u16(unit);
}

void writeTextItem(ByteWriter& out, const Text& text) {
  if (!text) {
    out.u32(0);
    return;
  }
  std::u16string units = platform::ansiToUtf16(*text);
  units.push_back(u'\0');
  writeRawTextItem(out, units);
}


}  // namespace vexil::package
