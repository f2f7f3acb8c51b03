// The Menu class. Items made by scripts carry a command text; the ids behind them come from this
// script host's own map, and the host's onCommand handler hears the text when an item is picked.
// A sub-menu appended to another belongs to it from then on (the parent's destruction takes it
// along), so its own object lets go of the handle instead of destroying it a second time.
#include "host/hostobjects/menu_class.h"

#include <memory>

#include "host/hostobjects/host_context.h"
#include "host/hostobjects/menu_handles.h"
#include "host/hostobjects/menu_owner.h"
#include "host/mainwnd/main_wnd.h"
#include "host/package/module_resources.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/uncaught_errors.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/collector.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::hostobjects {

extern const script::HostClassInfo kMenuClass;

namespace {

using script::HostCall;
using script::Tag;
using script::Value;

constexpr char kMenuResourceType[] = "MENUS";

struct MenuData {
  HMENU menu = nullptr;
  HACCEL accelerators = nullptr;
  bool borrowed = false;  // the handle belongs to a parent menu
  std::shared_ptr<MenuShared> shared;
};

struct MenuState {
  std::shared_ptr<MenuShared> shared = std::make_shared<MenuShared>();
  Value onCommand;    // the handler; Undefined when none
  Value classObject;  // `this` for the handler, made on the first command
  MenuOwner owner;    // the console runner's owner of pop-ups and target of accelerators
  void mark(script::Engine& engine) {
    script::markValue(engine, onCommand);
    script::markValue(engine, classObject);
  }
};

HWND mainWindow() {
  mainwnd::CMainWnd* window = hostContext().mainWnd;
  return window ? window->handle() : nullptr;
}

// Lets go of the object's menu: destroyed unless borrowed; its accelerators go either way.
void releaseMenu(MenuData& data) {
  dropAccelerators(*data.shared, data.accelerators);
  if (data.menu && !data.borrowed) destroyMenu(*data.shared, data.menu);
  data.menu = nullptr;
  data.borrowed = false;
}

void replaceMenu(MenuData& data, HMENU menu) {
  releaseMenu(data);
  data.menu = menu;
}

void releaseInstance(script::NativeClass*, void* raw) {
  auto* data = static_cast<MenuData*>(raw);
  if (!data) return;
  releaseMenu(*data);
  delete data;
}

// The object whose menu a call works on; null (and the result false) when it has none.
MenuData* withMenu(HostCall& call) {
  call.result->setBoolean(false);
  MenuData* data = call.instance<MenuData>();
  return data && data->menu ? data : nullptr;
}

// Argument i as text for a menu; none when absent, not a string, or holding a zero unit (the
// system would end the text there).
std::optional<std::u16string> textArgument(const script::Arguments& args, uint32_t i) {
  std::optional<std::u16string> text = args.text(i);
  if (!text || text->find(u'\0') != std::u16string::npos) return std::nullopt;
  return text;
}

void construct(HostCall& call) {
  auto data = std::make_unique<MenuData>();
  data->shared = call.state<MenuState>()->shared;
  call.publish(std::move(data));
}

void load(HostCall& call) {
  call.result->setBoolean(false);
  MenuData* data = call.instance<MenuData>();
  std::optional<std::string> name = call.args.ansi(1);
  if (!data || !name) return;
  auto bytes = package::decodeResource(package::ModuleResources(), *name, kMenuResourceType);
  if (!bytes) return;
  auto entries = readMenuResource(*bytes);
  if (!entries) return;
  HMENU menu = buildMenu(*data->shared, *entries);
  if (!menu) return;
  replaceMenu(*data, menu);
  call.result->setBoolean(true);
}

void setMenu(HostCall& call) {
  MenuData* data = withMenu(call);
  if (!data) return;
  HWND main = mainWindow();
  bool set = main && SetMenu(main, data->menu);
  if (set) DrawMenuBar(main);
  call.result->setBoolean(set);
}

template <HMENU (*Create)()>
void createMenu(HostCall& call) {
  call.result->setBoolean(false);
  MenuData* data = call.instance<MenuData>();
  if (!data) return;
  HMENU menu = Create();
  if (!menu) return;
  replaceMenu(*data, menu);
  call.result->setBoolean(true);
}
HMENU newMenuBar() { return CreateMenu(); }
HMENU newPopupMenu() { return CreatePopupMenu(); }

// Where an item goes: appended, or before a position.
struct Placement {
  bool append = true;
  UINT position = 0;
  bool place(HMENU menu, UINT flags, UINT_PTR id, const wchar_t* caption) const {
    return append ? AppendMenuW(menu, flags, id, caption)
                  : InsertMenuW(menu, position, flags | MF_BYPOSITION, id, caption);
  }
};

// A sub-menu item. The sub-menu must be a menu of its own object (not one borrowed from another
// menu, which would then have two parents) and not the menu itself.
bool placeSubMenu(MenuData& data, MenuData& sub, const std::u16string& caption, Placement at) {
  if (!sub.menu || sub.borrowed || sub.menu == data.menu) return false;
  std::wstring wide = platform::toWide(caption);
  if (!at.place(data.menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub.menu), wide.c_str())) return false;
  // The parent owns it now; the sub-menu's accelerators stay its object's until it lets go.
  sub.borrowed = true;
  return true;
}

bool placeCommand(HostCall& call, MenuData& data, uint32_t first, Placement at) {
  auto command = textArgument(call.args, first);
  auto caption = textArgument(call.args, first + 1);
  if (!command || !caption) return false;
  auto icon = call.args.ansi(first + 2);
  std::optional<UINT> id = allocateCommand(*data.shared, platform::utf16ToAnsi(*command), icon.value_or(""));
  if (!id) return false;
  std::wstring wide = platform::toWide(*caption);
  if (!at.place(data.menu, MF_STRING, *id, wide.c_str())) {
    if (auto taken = data.shared->commands.take(*id)) {
      if (taken->bitmap) DeleteObject(static_cast<HBITMAP>(taken->bitmap));
      if (taken->icon) DestroyIcon(static_cast<HICON>(taken->icon));
    }
    return false;
  }
  applyCommandPicture(*data.shared, data.menu, *id);
  return true;
}

// The item that starts at argument first: a sub-menu (Menu, caption), a command (command, caption
// [, icon]), or else a separator.
bool placeItem(HostCall& call, MenuData& data, uint32_t first, Placement at) {
  if (MenuData* sub = script::instanceArgument<MenuData>(call.args, first, kMenuClass)) {
    if (auto caption = textArgument(call.args, first + 1)) return placeSubMenu(data, *sub, *caption, at);
  } else if (call.args.has(first, Tag::String) && call.args.has(first + 1, Tag::String)) {
    return placeCommand(call, data, first, at);
  }
  if (call.args.has(first, Tag::Native) && script::instanceArgument<MenuData>(call.args, first, kMenuClass)) {
    return false;  // a sub-menu without a usable caption
  }
  return at.place(data.menu, MF_SEPARATOR, 0, nullptr);
}

void appendItem(HostCall& call) {
  if (MenuData* data = withMenu(call)) call.result->setBoolean(placeItem(call, *data, 1, Placement{}));
}

void insertItem(HostCall& call) {
  MenuData* data = withMenu(call);
  std::optional<int64_t> position = call.args.integer(1);
  if (!data || !position || !call.args.has(1, Tag::Integer)) return;
  if (*position < 0 || *position > INT32_MAX) return;
  call.result->setBoolean(placeItem(call, *data, 2, Placement{false, UINT(*position)}));
}

void removeItem(HostCall& call) {
  MenuData* data = withMenu(call);
  std::optional<int64_t> position = call.args.integer(1);
  if (!data || !position || *position < 0 || *position > INT32_MAX) return;
  call.result->setBoolean(RemoveMenu(data->menu, UINT(*position), MF_BYPOSITION) != FALSE);
}

void getSubMenu(HostCall& call) {
  MenuData* data = withMenu(call);
  call.result->setNull();
  std::optional<int64_t> position = call.args.integer(1);
  if (!data || !position || *position < 0 || *position > INT32_MAX) return;
  HMENU sub = GetSubMenu(data->menu, int(*position));
  if (!sub) return;
  auto borrowed = std::make_unique<MenuData>();
  borrowed->menu = sub;
  borrowed->borrowed = true;
  borrowed->shared = data->shared;
  call.publish(std::move(borrowed));
}

POINT popupPoint(const script::Arguments& args) {
  POINT cursor{};
  GetCursorPos(&cursor);
  std::optional<int64_t> x = args.has(1, Tag::Integer) ? args.integer(1) : std::nullopt;
  std::optional<int64_t> y = args.has(2, Tag::Integer) ? args.integer(2) : std::nullopt;
  return POINT{x ? LONG(*x) : cursor.x, y ? LONG(*y) : cursor.y};
}

// The choice comes back as the command id (nothing is posted); onCommand is not called for it.
// Scripts that run while the pop-up is open (timers) may let go of the menu: it is destroyed once
// the pop-up has closed.
void show(HostCall& call) {
  MenuData* data = withMenu(call);
  call.result->setNull();
  if (!data) return;
  POINT at = popupPoint(call.args);
  HWND owner = mainWindow();
  if (!owner) owner = call.state<MenuState>()->owner.window(call.engine, at);
  if (!owner) return;
  std::shared_ptr<MenuShared> shared = data->shared;
  HMENU menu = data->menu;
  shared->shown.insert(menu);
  // The owner must be in front, or the pop-up does not close when the user clicks elsewhere.
  SetForegroundWindow(owner);
  UINT id = UINT(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, owner, nullptr));
  PostMessageW(owner, WM_NULL, 0, 0);
  shared->shown.erase(menu);
  std::optional<std::string> text;
  if (const MenuCommand* command = shared->commands.find(id)) text = command->text;
  destroyDeferredMenus(*shared);
  if (text) *call.result = script::makeStringFromAnsi(call.engine, *text);
}

void getOnCommand(HostCall& call) { *call.result = call.state<MenuState>()->onCommand; }

void setOnCommand(HostCall& call, const Value& value) {
  if (value.tag == Tag::Function) call.state<MenuState>()->onCommand = value;
}

void getEnableAccel(HostCall&) {}

void setEnableAccel(HostCall& call, const Value& value) {
  MenuData* data = call.instance<MenuData>();
  if (!data) return;
  if (!script::valueToBoolean(call.engine, value)) {
    dropAccelerators(*data->shared, data->accelerators);
    return;
  }
  if (!data->menu) return;
  HACCEL table = buildAccelerators(data->menu);
  if (!table) return;
  data->shared->accelerators.push_back(table);
  dropAccelerators(*data->shared, data->accelerators);
  data->accelerators = table;
}

const script::HostMethodEntry kMethods[] = {
    {"load", load},
    {"setMenu", setMenu},
    {"createMenu", createMenu<newMenuBar>},
    {"createPopupMenu", createMenu<newPopupMenu>},
    {"appendItem", appendItem},
    {"insertItem", insertItem},
    {"removeItem", removeItem},
    {"getSubMenu", getSubMenu},
    {"show", show},
};

const script::HostPropertyEntry kProperties[] = {
    {"onCommand", getOnCommand, setOnCommand, true},
    {"enableAccel", getEnableAccel, setEnableAccel},
};

}  // namespace

const script::HostClassInfo kMenuClass = {
    .name = "Menu",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .call = construct,
    .release = releaseInstance,
    .state = &script::kPlainState<MenuState>,
};

bool menuCommand(script::Engine& engine, uint32_t id) {
  auto* state = script::hostState<MenuState>(engine, kMenuClass);
  if (!state || state->onCommand.tag != Tag::Function) return false;
  const MenuCommand* command = state->shared->commands.find(id);
  if (!command) return false;
  if (state->classObject.tag != Tag::Native) {
    script::makeNative(engine, &state->classObject, script::hostClass(engine, kMenuClass), nullptr);
  }
  // The handler may replace itself or free the item: it runs with copies.
  std::string text = command->text;
  Value handler = state->onCommand;
  Value self = state->classObject;
  std::vector<Value> args = script::argumentBlock({script::makeStringFromAnsi(engine, text)});
  if (!script::callValueOn(engine, handler, self, args.data())) script::reportUncaught(engine, "Menu command handler failed: ");
  return true;
}

bool translateMenuAccelerator(script::Engine& engine, MSG& msg, HWND target) {
  auto* state = script::hostState<MenuState>(engine, kMenuClass);
  if (!state) return false;
  // A translated key runs the handler, which may build or drop tables: walk a copy.
  std::vector<HACCEL> tables(state->shared->accelerators.begin(), state->shared->accelerators.end());
  for (HACCEL table : tables) {
    if (TranslateAcceleratorW(target, table, &msg)) return true;
  }
  return false;
}

void registerMenu(script::Engine& engine) { script::defineHostClass(engine, kMenuClass); }

}  // namespace vexil::hostobjects
