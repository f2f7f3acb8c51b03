#pragma once
// The folder names Shell.getSpecialFolder knows, compared without regard to ASCII case. Most name a
// shell folder by its CSIDL number; a few come from elsewhere, and two are known names that have no
// file-system path.
#include <string_view>

namespace vexil::shell {

enum class FolderSource {
  Csidl,         // the shell's folder of that number
  Windows,       // the Windows directory
  System,        // the system directory
  Temp,          // TMP, else TEMP, else the Windows directory
  ProgramFiles,  // ProgramFiles, else the registry's ProgramFilesDir
  NoPath,        // a known name with no file-system path: null
};

struct SpecialFolder {
  const char* name;
  FolderSource source;
  int csidl = 0;
};

// The entry for the name; null when the name is not one of them.
const SpecialFolder* findSpecialFolder(std::u16string_view name);

}  // namespace vexil::shell
