// FontObject. Face names are kept as UTF-16 and cut to the system's 31 characters; the size is
// whole points, the colour 0xRRGGBB, as scripts write them.
#include "host/hostobjects/font_object_class.h"

#include <algorithm>
#include <memory>
#include <string>

#include "host/hostobjects/dialog_text.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::hostobjects {

extern const script::HostClassInfo kFontObjectClass;

namespace {

using script::HostCall;
using script::Tag;
using script::Value;

constexpr LONG kBoldWeight = FW_BOLD;
constexpr LONG kNormalWeight = FW_NORMAL;

FontData& fontOf(HostCall& call) { return *call.instance<FontData>(); }

void construct(HostCall& call) { call.publish(std::make_unique<FontData>()); }

void getName(HostCall& call) {
  *call.result = script::makeString(call.engine, platform::asUtf16(std::wstring_view(fontOf(call).font.lfFaceName)));
}

void setName(HostCall& call, const Value& value) {
  if (value.tag != Tag::String) return;
  std::u16string text(value.string()->view());
  text = text.substr(0, std::min(text.find(u'\0'), kMaxFaceName));
  std::wstring wide = platform::toWide(text);
  std::fill(std::begin(fontOf(call).font.lfFaceName), std::end(fontOf(call).font.lfFaceName), L'\0');
  std::copy(wide.begin(), wide.end(), fontOf(call).font.lfFaceName);
}

void getSize(HostCall& call) { call.result->setInteger(fontOf(call).points); }
void setSize(HostCall& call, const Value& value) {
  if (value.tag == Tag::Integer) fontOf(call).points = int(std::clamp<int64_t>(value.integer(), INT32_MIN, INT32_MAX));
}

void getColour(HostCall& call) { call.result->setInteger(fontOf(call).colour); }
void setColour(HostCall& call, const Value& value) {
  if (value.tag == Tag::Integer) fontOf(call).colour = uint32_t(value.integer()) & 0xFFFFFF;
}

void getBold(HostCall& call) { call.result->setBoolean(fontOf(call).font.lfWeight == kBoldWeight); }
void setBold(HostCall& call, const Value& value) {
  fontOf(call).font.lfWeight = script::valueToBoolean(call.engine, value) ? kBoldWeight : kNormalWeight;
}

template <BYTE LOGFONTW::*Field>
void getFlag(HostCall& call) {
  call.result->setBoolean(fontOf(call).font.*Field != 0);
}
template <BYTE LOGFONTW::*Field>
void setFlag(HostCall& call, const Value& value) {
  fontOf(call).font.*Field = script::valueToBoolean(call.engine, value) ? TRUE : FALSE;
}

int CALLBACK collectFont(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM names) {
  auto* list = reinterpret_cast<std::vector<std::wstring>*>(names);
  list->push_back(reinterpret_cast<const ENUMLOGFONTEXW*>(font)->elfFullName);
  return 1;
}

void getFonts(HostCall& call) {
  call.result->setNull();
  LOGFONTW wanted{};
  std::optional<int64_t> charset = call.args.has(1, Tag::Integer) ? call.args.integer(1) : std::nullopt;
  wanted.lfCharSet = BYTE(charset ? *charset : DEFAULT_CHARSET);
  if (std::optional<std::u16string> face = call.args.text(2)) {
    std::wstring wide = platform::toWide(face->substr(0, std::min(face->find(u'\0'), kMaxFaceName)));
    std::copy(wide.begin(), wide.end(), wanted.lfFaceName);
  }
  std::vector<std::wstring> names;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, collectFont, reinterpret_cast<LPARAM>(&names), 0);
  ReleaseDC(nullptr, screen);
  if (names.empty()) return;
  script::ArrayRecord* array = script::newArray(call.engine);
  call.result->setArray(array);
  for (size_t i = 0; i < names.size(); ++i) {
    script::storeElement(call.engine, *array, i, script::makeString(call.engine, platform::asUtf16(names[i])));
  }
}

const script::HostMethodEntry kMethods[] = {
    {"getFonts", getFonts, true},
};

const script::HostPropertyEntry kProperties[] = {
    {"name", getName, setName},
    {"size", getSize, setSize},
    {"color", getColour, setColour},
    {"bold", getBold, setBold},
    {"italic", getFlag<&LOGFONTW::lfItalic>, setFlag<&LOGFONTW::lfItalic>},
    {"underline", getFlag<&LOGFONTW::lfUnderline>, setFlag<&LOGFONTW::lfUnderline>},
};

}  // namespace

const script::HostClassInfo kFontObjectClass = {
    .name = "FontObject",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .release = script::deleteInstance<FontData>,
};

const FontData* fontObjectData(const script::Value& value) { return script::instanceOf<FontData>(value, kFontObjectClass); }

void newFontObject(script::Engine& engine, script::Value* target, const FontData& font) {
  script::newInstance(engine, kFontObjectClass, target, std::make_unique<FontData>(font));
}

void registerFontObject(script::Engine& engine) { script::defineHostClass(engine, kFontObjectClass); }

}  // namespace vexil::hostobjects
