// Address fields and header blocks from received messages, as the transports use them: plain
// addresses never carry a blank or a line break and are never empty, and a block with its Bcc field
// taken out has no line left that starts that field.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/mime/address_list.h"
#include "net/mime/header_fields.h"
#include "platform/text_case.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexil::net::mime;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (const std::string& address : plainAddresses(bytes))
    if (address.empty() || address.find_first_of(" \t\r\n") != std::string::npos) std::abort();
  std::string kept = withoutField(bytes, "Bcc");
  if (kept.size() > bytes.size()) std::abort();
  size_t at = 0;
  while (at < kept.size()) {
    size_t end = kept.find('\n', at);
    std::string_view line = std::string_view(kept).substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (vexil::platform::startsWithIgnoringAsciiCase(line, "bcc")) {
      std::string_view rest = line.substr(3);
      while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t')) rest.remove_prefix(1);
      if (!rest.empty() && rest.front() == ':') std::abort();
    }
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return 0;
}
