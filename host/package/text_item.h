#pragma once
// The text item of the package formats: u32 n = UTF-16 code units including the terminating NUL,
// then n UTF-16LE units. n = 0 is "no text"; n = 1 (one NUL) is the empty text.
#include <optional>
#include <string>

#include "host/package/byte_reader.h"
#include "host/package/byte_writer.h"

namespace vexil::package {

using Text = std::optional<std::string>;          // ANSI, as the runtime keeps texts
using RawText = std::optional<std::u16string>;    // UTF-16 units exactly as stored

// Reads the units as stored (including any NUL). Fails the reader on truncation; a count larger
// than the bytes left fails before anything is allocated.
RawText readRawTextItem(ByteReader& in);
// Reads a text item and converts it to ANSI, up to its first NUL.
Text readTextItem(ByteReader& in);

void writeRawTextItem(ByteWriter& out, const RawText& text);
void writeTextItem(ByteWriter& out, const Text& text);


}  // namespace vexil::package
