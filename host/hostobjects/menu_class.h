#pragma once
// Script menus: menu bars for the main window and pop-ups, items named by command text, prepared
// menus from the package, and keyboard accelerators from the captions. The main window (and, in
// the console runner, the class's own owner window) hands the commands of the class's id range to
// menuCommand, and keyboard messages to translateMenuAccelerator.
#include <windows.h>

#include <cstdint>

namespace vexil::script {
struct Engine;
}

namespace vexil::hostobjects {

// Runs the script's onCommand handler with the command text of id; false when the id is not one of
// this engine's items or no handler is set.
bool menuCommand(script::Engine& engine, uint32_t id);
// Offers a keyboard message to the accelerator tables of the engine's menus, oldest first; the
// command goes to target. True when a table translated it.
bool translateMenuAccelerator(script::Engine& engine, MSG& msg, HWND target);

// Registration step: the "Menu" class.
void registerMenu(script::Engine& engine);

}  // namespace vexil::hostobjects
