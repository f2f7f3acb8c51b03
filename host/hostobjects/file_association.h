#pragma once
// Application.associate: the file type typeName opens with this executable (its icon 1, and
// "open" runs it with the file as its argument); the extension is given that type unless it
// already belongs to another one.
#include <string>

namespace vexil::hostobjects {

void associateFileType(const std::string& extension, const std::string& typeName);

}  // namespace vexil::hostobjects
