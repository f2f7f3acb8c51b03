#include "objects/files/file_paths.h"

#include <algorithm>
#include <array>

namespace vexil::objects::files {
namespace {

constexpr std::u16string_view kForbiddenUnits = u"*?\"<>|";

bool isLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }
char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c; }

bool equalsCaseless(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char16_t x, char16_t y) { return upper(x) == upper(y); });
}

bool hasForbiddenUnit(std::u16string_view path) {
  return std::any_of(path.begin(), path.end(),
                     [](char16_t c) { return c < 0x20 || kForbiddenUnits.find(c) != std::u16string_view::npos; });
}

// The end of the next component starting at `from`.
size_t componentEnd(std::u16string_view path, size_t from) {
  while (from < path.size() && !isSeparator(path[from])) ++from;
  return from;
}

}  // namespace

std::u16string withBackslashes(std::u16string_view path) {
  std::u16string out(path);
  std::replace(out.begin(), out.end(), u'/', u'\\');
  return out;
}

size_t rootLength(std::u16string_view path) {
  if (path.size() >= 3 && isLetter(path[0]) && path[1] == u':' && isSeparator(path[2])) return 3;
  if (path.size() < 3 || !isSeparator(path[0]) || !isSeparator(path[1])) return 0;
  size_t server = componentEnd(path, 2);
  if (server == 2 || server == path.size()) return 0;
  size_t share = componentEnd(path, server + 1);
  if (share == server + 1) return 0;
  return share < path.size() ? share + 1 : share;
}

bool isDriveRoot(std::u16string_view path) { return path.size() == 3 && rootLength(path) == 3; }

bool isRootPath(std::u16string_view path) {
  size_t root = rootLength(path);
  return root != 0 && root == path.size();
}

std::u16string_view withoutTrailingSeparator(std::u16string_view path) {
  if (path.empty() || !isSeparator(path.back()) || isDriveRoot(path)) return path;
  return path.substr(0, path.size() - 1);
}

std::u16string_view driveOf(std::u16string_view path) {
  return path.size() >= 2 && isLetter(path[0]) && path[1] == u':' ? path.substr(0, 2) : std::u16string_view();
}

std::u16string_view parentPathOf(std::u16string_view path) {
  size_t last = path.rfind(u'\\');
  return last == std::u16string_view::npos ? std::u16string_view() : path.substr(0, last);
}

std::u16string_view nameOf(std::u16string_view path) {
  size_t last = path.rfind(u'\\');
  return last == std::u16string_view::npos ? path : path.substr(last + 1);
}

std::vector<std::u16string_view> componentsAfterRoot(std::u16string_view path) {
  std::vector<std::u16string_view> parts;
  for (size_t at = rootLength(path); at < path.size();) {
    size_t end = componentEnd(path, at);
    if (end > at) parts.push_back(path.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

bool isDeviceName(std::u16string_view component) {
  std::u16string_view base = component.substr(0, component.find(u'.'));
  while (!base.empty() && base.back() == u' ') base.remove_suffix(1);
  static constexpr std::array<std::u16string_view, 6> kDevices = {u"CON", u"PRN", u"AUX", u"NUL",
                                                                 u"CONIN$", u"CONOUT$"};
  for (std::u16string_view device : kDevices) {
    if (equalsCaseless(base, device)) return true;
  }
  bool numbered = base.size() == 4 && base[3] >= u'1' && base[3] <= u'9';
  return numbered && (equalsCaseless(base.substr(0, 3), u"COM") || equalsCaseless(base.substr(0, 3), u"LPT"));
}

bool isDotsAndSpaces(std::u16string_view component) {
  if (component == u"." || component == u"..") return false;
  return !component.empty() &&
         component.find_first_not_of(u". ") == std::u16string_view::npos;
}

bool isAcceptablePath(std::u16string_view path) {
  if (path.empty() || path.size() > kMaxPathUnits || hasForbiddenUnit(path)) return false;
  // "\\?\" and "\\.\" reach past the file system's name rules, to devices and raw volumes.
  if (path.size() >= 4 && isSeparator(path[0]) && isSeparator(path[1]) && (path[2] == u'?' || path[2] == u'.') &&
      isSeparator(path[3])) {
    return false;
  }
  size_t colon = path.find(u':');
  if (colon != std::u16string_view::npos && (colon != 1 || !isLetter(path[0]) || path.find(u':', 2) != path.npos)) {
    return false;
  }
  for (size_t at = 0; at < path.size();) {
    size_t end = componentEnd(path, at);
    std::u16string_view component = path.substr(at, end - at);
    if (isDeviceName(component) || isDotsAndSpaces(component)) return false;
    at = end + 1;
  }
  return true;
}

bool isAcceptableNewName(std::u16string_view name) {
  if (name == u"." || name == u"..") return false;
  if (std::any_of(name.begin(), name.end(), [](char16_t c) { return isSeparator(c) || c == u':'; })) return false;
  return isAcceptablePath(name);
}

char16_t driveLetterOf(std::u16string_view text) {
  if (text.size() < 2 || !isLetter(text[0]) || text[1] != u':') return 0;
  return upper(text[0]);
}

}  // namespace vexil::objects::files
