#include "net/inet/host_names.h"

#include "net/socket/socket_numbers.h"
#include "platform/text_case.h"

namespace vexil::net {

bool resolvableHost(std::string_view host) {
  AddressText address = classifyAddress(host);
  if (address.kind == AddressKind::Numeric) return true;
  if (address.kind == AddressKind::Invalid) return false;
  if (host.back() == '.') host.remove_suffix(1);
  size_t start = 0;
  while (start <= host.size()) {
    size_t end = host.find('.', start);
    if (end == std::string_view::npos) end = host.size();
    if (end == start || end - start > 63) return false;
    start = end + 1;
  }
  size_t last = host.rfind('.');
  std::string_view top = last == std::string_view::npos ? host : host.substr(last + 1);
  return !platform::equalsIgnoringAsciiCase(top, "invalid");
}

}  // namespace vexil::net
