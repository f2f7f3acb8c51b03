#include "net/mime/file_content_type.h"

namespace vexil::net::mime {

// No system table of types is consulted here: every file is plain bytes.
std::string contentTypeOfFile(std::string_view) { return std::string(kOctetStream); }

}  // namespace vexil::net::mime
