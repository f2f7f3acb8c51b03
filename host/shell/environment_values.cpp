#include "host/shell/environment_values.h"

#include <windows.h>

namespace vexil::shell {
namespace {

// Another thread may grow a variable between the two calls; a few rounds settle it.
constexpr int kSizeRounds = 4;

}  // namespace

std::optional<std::wstring> environmentValue(const std::wstring& name) {
  std::wstring value(256, L'\0');
  for (int round = 0; round < kSizeRounds; ++round) {
    SetLastError(ERROR_SUCCESS);
    DWORD length = GetEnvironmentVariableW(name.c_str(), value.data(), DWORD(value.size()));
    if (length == 0) {
      // An empty value and a missing variable both answer 0; only the error tells them apart.
      if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
      return std::wstring();
    }
    if (length < value.size()) return value.substr(0, length);
    value.assign(length, L'\0');  // the size needed, with its terminator
  }
  return std::nullopt;
}

std::optional<std::wstring> expandedText(const std::wstring& text) {
  std::wstring expanded(text.size() + 256, L'\0');
  for (int round = 0; round < kSizeRounds; ++round) {
    DWORD length = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), DWORD(expanded.size()));
    if (length == 0) return std::nullopt;
    if (length <= expanded.size()) return expanded.substr(0, length - 1);  // the count holds the terminator
    expanded.assign(length, L'\0');
  }
  return std::nullopt;
}

}  // namespace vexil::shell
