// Any text as a project file: a project, or a ProjectError naming a line; never a crash. Paths it
// names are looked up in a folder that does not exist, so nothing is read from the disk.
#include <cstdint>
#include <string>

#include "tools/vxpack/project/json_value.h"
#include "tools/vxpack/project/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  try {
    vexil::project::parseJson(text);
  } catch (const vexil::project::JsonError&) {
  }
  try {
    vexil::project::parseProject(text, "/nonexistent-vxpack-fuzz/project.json");
  } catch (const vexil::project::ProjectError&) {
  }
  return 0;
}
