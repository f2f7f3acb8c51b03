#pragma once
// The system side of script menus: the command ids of one script host with their pictures, the
// accelerator tables its menus built, and the walks that build a menu from a prepared one, free a
// menu's ids and collect its accelerators. Instances and the class's state share one MenuShared,
// so whichever the engine lets go of last frees what is left.
#include <windows.h>

#include <list>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "host/hostobjects/menu_command_map.h"
#include "host/hostobjects/menu_resource.h"

namespace vexil::hostobjects {

struct MenuShared {
  MenuCommandMap commands;
  std::list<HACCEL> accelerators;  // in the order they were built: the oldest translates first
  std::set<HMENU> shown;           // menus open as pop-ups right now
  std::vector<HMENU> deferred;     // menus let go of while open: destroyed once the pop-up closes
  ~MenuShared();
};

// Allocates an id for an item: the command text and, when the name is a plain additional file that
// loads as an icon, its 16 x 16 picture. Nothing when every id is taken.
std::optional<UINT> allocateCommand(MenuShared& shared, const std::string& command, const std::string& iconName);
// Shows the item's picture (when its id has one) beside its caption.
void applyCommandPicture(const MenuShared& shared, HMENU menu, UINT id);

// Builds a menu bar from prepared entries; null when the system refuses a menu.
HMENU buildMenu(MenuShared& shared, const std::vector<MenuEntry>& entries);

// Frees the ids of every item in the menu and its sub-menus, then destroys it; a menu open as a
// pop-up waits until it closes. The menu bar of the main window is taken off it first.
void destroyMenu(MenuShared& shared, HMENU menu);
// Destroys the menus that waited for their pop-up to close.
void destroyDeferredMenus(MenuShared& shared);

// The accelerator table of a menu's captions; null when none names a key.
HACCEL buildAccelerators(HMENU menu);
void dropAccelerators(MenuShared& shared, HACCEL& table);

}  // namespace vexil::hostobjects
