// Text that reaches Shell and Shortcut from outside: an environment block as the system hands it
// over, icon-location text and folder names as scripts give them. The bytes are read as UTF-16
// units. Names never span entries, and icon-location text read back from what it was parsed into
// gives the same path and index.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/shell/environment_names.h"
#include "host/shell/icon_location.h"
#include "host/shell/special_folders.h"

using namespace vexil::shell;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::u16string text(size / 2, u'\0');
  for (size_t i = 0; i < text.size(); ++i) text[i] = char16_t(data[2 * i] | data[2 * i + 1] << 8);

  for (const std::u16string& name : environmentNames(text)) {
    if (name.find(u'\0') != std::u16string::npos) std::abort();
  }
  IconLocation location = parseIconLocation(text);
  IconLocation again = parseIconLocation(iconLocationText(location.path, location.index));
  if (again.path != location.path || again.index != location.index) std::abort();
  findSpecialFolder(text);
  return 0;
}
