#pragma once
// The mouse cursor a script set through Application.cursor. It belongs to the process, not to
// the engine: it stays when the script host goes, and the player's window shows it.
#include <windows.h>

#include <string>

namespace vexil::hostobjects {

// The script's cursor, or null for the default.
HCURSOR scriptCursor();
// Loads the cursor file (or, failing that, the additional file of that name); on success it
// replaces the previous script cursor, which is destroyed. False when nothing could be loaded.
bool setScriptCursor(const std::string& name);
// Back to the default cursor; the script cursor is destroyed.
void clearScriptCursor();

}  // namespace vexil::hostobjects
