#pragma once
// Finding a player for the main window: a script's choice, the registered Flash Player when it is
// recent enough, or the package's own player file ("FP") unpacked into the temp directory along
// with any system libraries it needs that the machine lacks.
#include <string>

#include "host/app/player_version.h"
#include "host/mainwnd/script_runner.h"
#include "host/package/resource_source.h"

namespace vexil::app {

inline constexpr const char* kPlayerFileName = "flash.ocx";

// The full path of a player file to load, or the empty text to use the registered player.
std::string providePlayer(const package::ResourceSource& resources, const std::string& tempDir,
                          mainwnd::ScriptRunner& runner);

// The file version of a file's version resource; nothing when it has none.
std::optional<FileVersion> fileVersionOf(const std::wstring& path);
// The server file the registry names for a class (its InprocServer32).
std::wstring registeredServerOf(const wchar_t* clsidText);

}  // namespace vexil::app
