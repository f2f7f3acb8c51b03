#include "host/hostobjects/script_cursor.h"

#include "host/hostobjects/app_paths.h"
#include "platform/win32/wide_text.h"

namespace vexil::hostobjects {
namespace {

HCURSOR current = nullptr;

HCURSOR loadCursorFile(const std::string& path) {
  if (path.empty()) return nullptr;
  return LoadCursorFromFileW(platform::toWide(path).c_str());
}

}  // namespace

HCURSOR scriptCursor() { return current; }

bool setScriptCursor(const std::string& name) {
  HCURSOR cursor = loadCursorFile(name);
  if (!cursor) cursor = loadCursorFile(additionalFile(name));
  if (!cursor) return false;
  HCURSOR previous = current;
  current = cursor;
  // The player's window may be showing the old one; it takes the new one at once.
  if (GetCursor() == previous) SetCursor(cursor);
  if (previous) DestroyCursor(previous);
  return true;
}

void clearScriptCursor() {
  HCURSOR previous = current;
  current = nullptr;
  if (previous && GetCursor() == previous) SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  if (previous) DestroyCursor(previous);
}

}  // namespace vexil::hostobjects
