#pragma once
// The file item of the settings record: a text item with a bare file name, a u32 byte count, then
// the file's bytes. Reading extracts the bytes into the temporary directory.
#include <string>

#include "host/package/text_item.h"

namespace vexil::package {

// Returns the full path of the extracted file, or nothing when the count is 0, the name is not a
// safe bare file name, the path would be too long, or the file cannot be written. The reader
// always moves past the item.
Text readFileItem(ByteReader& in, const std::string& tempDir);

// Writes the file at path (its name and whole contents), or the empty text and a count of 0
// when there is no such file.
void writeFileItem(ByteWriter& out, const Text& path);

}  // namespace vexil::package
