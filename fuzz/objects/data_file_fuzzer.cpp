// Any bytes as a DataFile profile: parsed, applied to an engine's globals (whole variables only),
// and the parsed sections written and read back unchanged. Never a crash, a hang or a leak.
#include <cstdint>
#include <cstdlib>

#include "objects/datafile/data_file_form.h"
#include "objects/datafile/data_file_values.h"
#include "objects/datafile/profile_text.h"
#include "script/runtime/engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexil::objects::datafile;
  std::vector<ProfileSection> sections = parseProfileText({data, size});
  static vexil::script::Engine* engine = vexil::script::createEngine(vexil::script::EngineConfig{});
  if (!engine) std::abort();
  applySections(*engine, sections);
  std::vector<ProfileSection> again = parseProfileText(writeProfileText(sections));
  if (again.size() != sections.size()) std::abort();
  for (const ProfileSection& s : sections) {
    for (const auto& [key, value] : s.entries) {
      if (auto text = unescapeValue(value); text && needsEscape(*text) && escapeValue(*text).empty()) std::abort();
    }
  }
  return 0;
}
