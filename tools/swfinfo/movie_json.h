#pragma once
// One movie file described as one line of JSON: header facts, labels and the FSCommands its
// timeline sends. A file that cannot be read is described by its "error".
#include <string>
#include <string_view>

namespace vexil::swfinfo {

std::string describeMovieFile(std::string_view path, bool* ok = nullptr);

}  // namespace vexil::swfinfo
