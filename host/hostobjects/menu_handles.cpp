#include "host/hostobjects/menu_handles.h"

#include <algorithm>

#include "host/hostobjects/app_paths.h"
#include "host/hostobjects/host_context.h"
#include "host/mainwnd/main_wnd.h"
#include "platform/win32/wide_text.h"

namespace vexil::hostobjects {
namespace {

constexpr int kPictureSize = 16;
constexpr int kAcceleratorGrowth = 16;

HICON loadIcon(const std::string& name) {
  if (!isPlainIconName(name)) return nullptr;
  std::string path = additionalFile(name);
  if (path.empty()) return nullptr;
  return static_cast<HICON>(LoadImageW(nullptr, platform::toWide(path).c_str(), IMAGE_ICON, kPictureSize,
                                       kPictureSize, LR_LOADFROMFILE));
}

// Menus show bitmaps, not icons: the icon is drawn once into a 32-bit bitmap with its alpha.
HBITMAP pictureOf(HICON icon) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = kPictureSize;
  info.bmiHeader.biHeight = kPictureSize;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  if (bitmap && dc) {
    HGDIOBJ old = SelectObject(dc, bitmap);
    DrawIconEx(dc, 0, 0, icon, kPictureSize, kPictureSize, 0, nullptr, DI_NORMAL);
    SelectObject(dc, old);
  }
  if (dc) DeleteDC(dc);
  return bitmap;
}

void freePicture(const MenuCommand& command) {
  if (command.bitmap) DeleteObject(static_cast<HBITMAP>(command.bitmap));
  if (command.icon) DestroyIcon(static_cast<HICON>(command.icon));
}

HWND mainWindow() {
  mainwnd::CMainWnd* window = hostContext().mainWnd;
  return window ? window->handle() : nullptr;
}

void freeCommands(MenuShared& shared, HMENU menu) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      freeCommands(shared, sub);
      continue;
    }
    UINT id = GetMenuItemID(menu, i);
    if (id == UINT(-1) || id == 0) continue;
    if (auto command = shared.commands.take(id)) freePicture(*command);
  }
}

bool buildEntries(MenuShared& shared, HMENU menu, const std::vector<MenuEntry>& entries) {
  for (size_t i = 0; i < entries.size(); ++i) {
    const MenuEntry& entry = entries[i];
    std::wstring caption = platform::toWide(entry.caption);
    if (entry.flags & kMenuEntryPopup) {
      HMENU sub = CreatePopupMenu();
      if (!sub) return false;
      if (!buildEntries(shared, sub, entry.items) ||
          !AppendMenuW(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), caption.c_str())) {
        destroyMenu(shared, sub);
        return false;
      }
      continue;
    }
    UINT flags = MF_STRING;
    UINT id = 0;
    if (entry.flags & kMenuEntrySeparator) {
      flags = MF_SEPARATOR;
    } else {
      std::optional<UINT> allocated = allocateCommand(shared, entry.command, entry.icon);
      if (!allocated) continue;
      id = *allocated;
    }
    if (entry.flags & kMenuEntryDisabled) flags |= MF_DISABLED;
    if (entry.flags & kMenuEntryChecked) flags |= MF_CHECKED;
    if (entry.flags & kMenuEntryGrayed) flags |= MF_GRAYED;
    AppendMenuW(menu, flags, id, flags & MF_SEPARATOR ? nullptr : caption.c_str());
    if (id) applyCommandPicture(shared, menu, id);
    if (entry.flags & kMenuEntryDefault) SetMenuDefaultItem(menu, UINT(i), TRUE);
  }
  return true;
}

void collectAccelerators(HMENU menu, std::vector<ACCEL>& entries) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      collectAccelerators(sub, entries);
      continue;
    }
    UINT id = GetMenuItemID(menu, i);
    if (id == UINT(-1) || id == 0) continue;
    wchar_t caption[512];
    if (GetMenuStringW(menu, UINT(i), caption, int(std::size(caption)), MF_BYPOSITION) <= 0) continue;
    std::optional<HotKey> key = captionAccelerator(platform::toAnsi(caption));
    if (!key) continue;
    BYTE virt = FVIRTKEY;
    if (key->modifiers & kHotKeyControl) virt |= FCONTROL;
    if (key->modifiers & kHotKeyAlt) virt |= FALT;
    if (key->modifiers & kHotKeyShift) virt |= FSHIFT;
    if (entries.size() == entries.capacity()) entries.reserve(entries.size() + kAcceleratorGrowth);
    entries.push_back(ACCEL{virt, WORD(key->key), WORD(id)});
  }
}

}  // namespace

MenuShared::~MenuShared() {
  for (const auto& entry : commands.entries()) freePicture(entry.second);
  commands.clear();
  for (HACCEL table : accelerators) DestroyAcceleratorTable(table);
  for (HMENU menu : deferred) DestroyMenu(menu);
}

std::optional<UINT> allocateCommand(MenuShared& shared, const std::string& command, const std::string& iconName) {
  std::optional<uint32_t> id = shared.commands.freeId(command);
  if (!id) return std::nullopt;
  MenuCommand entry{command};
  if (!iconName.empty()) {
    if (HICON icon = loadIcon(iconName)) {
      entry.icon = icon;
      entry.bitmap = pictureOf(icon);
    }
  }
  shared.commands.put(*id, std::move(entry));
  return UINT(*id);
}

void applyCommandPicture(const MenuShared& shared, HMENU menu, UINT id) {
  const MenuCommand* command = shared.commands.find(id);
  if (!command || !command->bitmap) return;
  MENUITEMINFOW item{};
  item.cbSize = sizeof(item);
  item.fMask = MIIM_BITMAP;
  item.hbmpItem = static_cast<HBITMAP>(command->bitmap);
  SetMenuItemInfoW(menu, id, FALSE, &item);
}

HMENU buildMenu(MenuShared& shared, const std::vector<MenuEntry>& entries) {
  HMENU menu = CreateMenu();
  if (!menu) return nullptr;
  if (!buildEntries(shared, menu, entries)) {
    destroyMenu(shared, menu);
    return nullptr;
  }
  return menu;
}

void destroyMenu(MenuShared& shared, HMENU menu) {
  if (!menu || !IsMenu(menu)) return;
  if (shared.shown.contains(menu)) {
    shared.deferred.push_back(menu);
    return;
  }
  if (HWND main = mainWindow(); main && GetMenu(main) == menu) SetMenu(main, nullptr);
  freeCommands(shared, menu);
  DestroyMenu(menu);
}

void destroyDeferredMenus(MenuShared& shared) {
  std::vector<HMENU> waiting;
  waiting.swap(shared.deferred);
  for (HMENU menu : waiting) destroyMenu(shared, menu);
}

HACCEL buildAccelerators(HMENU menu) {
  std::vector<ACCEL> entries;
  collectAccelerators(menu, entries);
  if (entries.empty()) return nullptr;
  return CreateAcceleratorTableW(entries.data(), int(entries.size()));
}

void dropAccelerators(MenuShared& shared, HACCEL& table) {
  if (!table) return;
  shared.accelerators.remove(table);
  DestroyAcceleratorTable(table);
  table = nullptr;
}

}  // namespace vexil::hostobjects
