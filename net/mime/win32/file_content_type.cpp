#include "net/mime/file_content_type.h"

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace vexil::net::mime {

std::string contentTypeOfFile(std::string_view path) {
  size_t nameStart = path.find_last_of("\\/");
  std::string_view name = nameStart == std::string_view::npos ? path : path.substr(nameStart + 1);
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == name.size()) return std::string(kOctetStream);
  std::string extension(name.substr(dot));
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, extension.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
    return std::string(kOctetStream);
  platform::UniqueKey key(raw);
  char value[256] = {};
  DWORD type = 0, bytes = sizeof value - 1;
  if (RegQueryValueExA(key.get(), "Content Type", nullptr, &type, reinterpret_cast<BYTE*>(value), &bytes) !=
          ERROR_SUCCESS ||
      type != REG_SZ || bytes == 0)
    return std::string(kOctetStream);
  std::string text(value, strnlen(value, bytes));
  // A type is one token "type/subtype"; anything else in the registry is not used as one.
  if (text.find('/') == std::string::npos || text.find_first_of(" \t\r\n;\"") != std::string::npos)
    return std::string(kOctetStream);
  return text;
}

}  // namespace vexil::net::mime
