#pragma once
// FontObject: a font as the font dialog gives and takes it (the system's font description, a
// colour as 0xRRGGBB and a size in points), and the installed fonts' names.
#include <windows.h>

#include <cstdint>

#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

struct FontData {
  LOGFONTW font{};
  uint32_t colour = 0;  // 0xRRGGBB
  int points = 0;
  FontData() { font.lfCharSet = DEFAULT_CHARSET; }
};

// The font of a FontObject value; null for anything else.
const FontData* fontObjectData(const script::Value& value);
// A new FontObject holding font in *target (Null when the engine has no FontObject class).
void newFontObject(script::Engine& engine, script::Value* target, const FontData& font);

// Registration step: the "FontObject" class.
void registerFontObject(script::Engine& engine);

}  // namespace vexil::hostobjects
