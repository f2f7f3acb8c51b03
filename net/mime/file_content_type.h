#pragma once
// The media type the system associates with a file's extension, for new attachments: on Windows
// the "Content Type" of the extension's registry key; elsewhere, and whenever the system names
// none, application/octet-stream.
#include <string>
#include <string_view>

namespace vexil::net::mime {

inline constexpr std::string_view kOctetStream = "application/octet-stream";

// The extension is taken from the last "." of the file's name (not of a folder's).
std::string contentTypeOfFile(std::string_view path);

}  // namespace vexil::net::mime
