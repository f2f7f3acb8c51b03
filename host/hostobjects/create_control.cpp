#include "host/hostobjects/create_control.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "host/framework/control_site.h"
#include "host/hostobjects/host_context.h"
#include "host/hostobjects/player_automation.h"
#include "host/hostobjects/window_object.h"
#include "host/mainwnd/main_wnd.h"
#include "objects/com/win32/activex_class.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/engine.h"
#include "script/runtime/host_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/stack_roots.h"

namespace vexil::hostobjects {

namespace {

using script::HostCall;
using script::Value;

constexpr UINT kControlId = 0xFFFF;

// createControl(id, left, top, right, bottom): id a ProgID or a CLSID in braces; the edges default
// to 0, 0, 50, 50 (an edge that is not an integer keeps its default). Null on any failure.
void createControl(HostCall& call) {
  call.result->setNull();
  std::optional<std::u16string> id = call.args.text(1);
  mainwnd::CMainWnd* main = hostContext().mainWnd;
  HWND parent = currentPlayerWindow();
  if (!id || !main || !parent) return;
  std::wstring name = platform::toWide(*id);
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(name.c_str(), &clsid)) && FAILED(CLSIDFromString(name.c_str(), &clsid))) return;
  // Window coordinates past 16 bits mean nothing to Windows; they are held at its limits.
  LONG edges[4] = {0, 0, 50, 50};
  for (uint32_t i = 0; i < 4; ++i) {
    if (call.args.has(i + 2, script::Tag::Integer)) {
      edges[i] = LONG(std::clamp<int64_t>(call.args.at(i + 2)->integer(), -32768, 32767));
    }
  }
  framework::ControlPlacement placement{parent, kControlId, RECT{edges[0], edges[1], edges[2], edges[3]}};
  auto site = std::make_unique<framework::ControlSite>();
  if (FAILED(site->createByClsid(clsid, placement)) || !site->dispatch()) return;

  script::Engine& engine = call.engine;
  script::StackRoots roots(engine);
  Value* result = roots.hold(Value::fromObject(script::newTable(engine)));
  Value* window = roots.hold(site->window() ? newWindowObject(engine, site->window()) : Value::null());
  Value* activex = roots.hold();
  objects::com::wrapDispatch(engine, site->dispatch(), activex);
  script::setProperty(engine, result->table(), script::intern(engine, "window"), *window);
  script::setProperty(engine, result->table(), script::intern(engine, "activex"), *activex);
  main->keepScriptControl(std::move(site));
  *call.result = *result;
}

const script::HostFunctionEntry kFunctions[] = {{"createControl", createControl}};

}  // namespace

void registerCreateControl(script::Engine& engine) { script::defineHostFunctions(engine, kFunctions); }

}  // namespace vexil::hostobjects
