// Window objects over real windows under Wine: scripts run on a script host with the product's
// classes, read and change windows the test made, and report through the trace output.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "classes/class_list.h"
#include "host/framework/window_messages.h"
#include "host/hostobjects/window_handlers.h"
#include "host/hostobjects/window_object.h"
#include "script/runtime/collector.h"
#include "script/runtime/native_class.h"
#include "script/vm/script_host.h"

namespace vexil::hostobjects {
namespace {

LRESULT CALLBACK plainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(window, message, wParam, lParam);
}

const wchar_t kTestClass[] = L"VexilWindowObjectTest";

void registerTestClass() {
  WNDCLASSW wc{};
  wc.lpfnWndProc = plainWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kTestClass;
  RegisterClassW(&wc);
}

class WindowObjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registerTestClass();
    script::ClassRegistry classes = classes::portableClasses();
    classes.set(script::ClassStep::Window, registerWindow);
    host_ = script::createScriptHost(nullptr, &classes);
    ASSERT_NE(host_, nullptr);
    host_->engine->traceOutput = [](void* data, const char* line) { *static_cast<std::string*>(data) += line; };
    host_->engine->traceData = &trace_;
    parent_ = CreateWindowExW(0, kTestClass, L"Window Test Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 600,
                              400, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    child_ = CreateWindowExW(0, kTestClass, L"Child", WS_CHILD | WS_VISIBLE, 50, 30, 200, 100, parent_, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(parent_ && child_);
    run("var parent = Window(" + handleText(parent_) + "); var child = Window(" + handleText(child_) + ");");
  }

  void TearDown() override {
    if (host_) script::destroyScriptHost(host_);
    if (IsWindow(parent_)) DestroyWindow(parent_);
  }

  static std::string handleText(HWND window) { return std::to_string(reinterpret_cast<uintptr_t>(window)); }

  // Runs the text; answers what it traced, with a failure's message after it.
  std::string run(const std::string& text) {
    trace_.clear();
    if (!script::runScriptText(*host_, text)) trace_ += std::string("FAILED: ") + host_->engine->message;
    return trace_;
  }

  void collect() { script::collectGarbage(*host_->engine, host_->engine->sp); }

  WNDPROC procedureOf(HWND window) { return reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)); }

  script::ScriptHost* host_ = nullptr;
  std::string trace_;
  HWND parent_ = nullptr;
  HWND child_ = nullptr;
};

TEST_F(WindowObjectTest, ConstructionTakesOnlyLiveWindowHandles) {
  EXPECT_EQ(run("trace(Window(0) === null, ' ', Window('x') === null, ' ', new Window() === null, ' ', child, ' ', "
                "typeof parent);"),
            "true true true [object Window] object\r\n");
  EXPECT_EQ(run("trace(child.handle == " + handleText(child_) + ", ' ', new Window(child.handle).className);"),
            "true VexilWindowObjectTest\r\n");
  EXPECT_EQ(run("trace($AW_SLIDE, ' ', $AW_ACTIVATE, ' ', $AW_BLEND, ' ', $AW_HIDE, ' ', $AW_CENTER, ' ', "
                "$AW_HOR_POSITIVE, ' ', $AW_HOR_NEGATIVE, ' ', $AW_VER_POSITIVE, ' ', $AW_VER_NEGATIVE);"),
            "262144 131072 524288 65536 16 1 2 4 8\r\n");
}

TEST_F(WindowObjectTest, EdgeWritesKeepTheOppositeEdge) {
  // The child spans 50 to 250 in its parent's client area.
  EXPECT_EQ(run("trace(child.left, ' ', child.top, ' ', child.width, ' ', child.height);"), "50 30 200 100\r\n");
  EXPECT_EQ(run("child.left = 100; trace(child.left, ' ', child.width);"), "100 150\r\n");
  EXPECT_EQ(run("child.top = 10; trace(child.top, ' ', child.height);"), "10 120\r\n");
  EXPECT_EQ(run("child.width = 300; child.height = 40; trace(child.left, ' ', child.width, ' ', child.height);"),
            "100 300 40\r\n");
  // Only integers move anything.
  EXPECT_EQ(run("child.left = '7'; child.width = 1.5; child.top = null; trace(child.left, ' ', child.width, ' ', "
                "child.top);"),
            "100 300 10\r\n");
  EXPECT_EQ(run("child.move(5, 6); trace(child.left, ' ', child.top, ' ', child.width);"), "5 6 395\r\n");
}

TEST_F(WindowObjectTest, TextStateAndParentProperties) {
  EXPECT_EQ(run("child.caption = 42; trace(child.caption, ' ', child.visible, ' ', child.enable);"),
            "42 true true\r\n");
  EXPECT_EQ(run("child.enable = 0; trace(child.enable); child.hide(); trace(child.visible); child.show();"),
            "false\r\nfalse\r\n");
  EXPECT_EQ(run("trace(child.parent.handle == parent.handle, ' ', parent.parent === null);"), "true true\r\n");
  EXPECT_EQ(run("parent.windowState = 'MAXIMIZED'; trace(parent.windowState);"), "maximized\r\n");
  EXPECT_EQ(run("parent.windowState = 0; parent.windowState = 'sideways'; trace(parent.windowState);"),
            "maximized\r\n");
  EXPECT_EQ(run("parent.windowState = 'normal'; trace(parent.windowState); parent.windowState = 6; "
                "trace(parent.windowState); parent.windowState = 'Normal';"),
            "normal\r\nminimized\r\n");
}

TEST_F(WindowObjectTest, ChildrenFindAndTitles) {
  EXPECT_EQ(run("var c = parent.getChildren(); trace(c.length, ' ', c[0].handle == child.handle);"), "1 true\r\n");
  EXPECT_EQ(run("trace(parent.find('VexilWindowObjectTest', 'Window Test Parent').handle == parent.handle, ' ', "
                "parent.find('NoSuchClassAnywhere') === null, ' ', typeof parent.find(5));"),
            "true true undefined\r\n");
  EXPECT_EQ(run("var w = Window.getWindowsByName('window test PARENT'); trace(w.length, ' ', w[0].handle == "
                "parent.handle, ' ', parent.getWindowsByName().length > 1);"),
            "1 true true\r\n");
}

TEST_F(WindowObjectTest, ObjectsOfOneHandleShareHandlersAndTheSubclassing) {
  WNDPROC own = reinterpret_cast<WNDPROC>(plainWindowProc);
  run("var a = Window(child.handle), b = Window(child.handle); child = null; var sizes = 0;"
      "a.onSize = function(type, w, h) { sizes++; trace(this.handle == b.handle, ' ', type, ' ', w, 'x', h); };"
      "trace(b.onSize == a.onSize, ' ', b.onClose === null);");
  EXPECT_EQ(trace_, "true true\r\n");
  EXPECT_NE(procedureOf(child_), own);
  run("a = null;");
  collect();
  EXPECT_NE(procedureOf(child_), own);
  EXPECT_EQ(run("b.width = 120;"), "true 0 120x100\r\n");
  run("b = null;");
  collect();
  EXPECT_EQ(procedureOf(child_), own);
  // A fresh object hooks the window again, with no handlers left from before.
  EXPECT_EQ(run("var c = Window(" + handleText(child_) + "); c.width = 130; trace(c.onSize === null, ' ', sizes);"),
            "true 1\r\n");
}

TEST_F(WindowObjectTest, QueryCloseCanKeepTheWindowOpen) {
  run("var keep = true; parent.onQueryClose = function() { trace('query'); return !keep; };"
      "parent.onClose = function() { trace('close'); };");
  trace_.clear();
  SendMessageW(parent_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(parent_));
  EXPECT_EQ(trace_, "query\r\n");
  run("keep = false;");
  trace_.clear();
  SendMessageW(parent_, WM_CLOSE, 0, 0);
  EXPECT_EQ(trace_, "query\r\nclose\r\n");
  EXPECT_FALSE(IsWindow(parent_));
  // The window is gone: its object answers nothing, and reads give undefined.
  EXPECT_NE(run("trace(parent.handle, ' ', parent.width, ' ', parent.caption);").find("undefined undefined undefined\r\n"),
            std::string::npos);
}

TEST_F(WindowObjectTest, AFailingQueryCloseDoesNotKeepTheWindow) {
  run("parent.onQueryClose = function() { throw 'no'; };");
  trace_.clear();
  SendMessageW(parent_, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(parent_));
  EXPECT_EQ(trace_.rfind(kHandlerFailedPrefix, 0), 0u) << trace_;
}

int stopAfterPolls(int, void* data) { return ++*static_cast<int*>(data) > 3 ? 7 : 0; }

TEST_F(WindowObjectTest, ARunawayHandlerIsStoppedAndTheWindowGoesOnWorking) {
  run("var runs = 0; child.onSize = function() { runs++; while (true) {} };");
  int polls = 0;
  host_->engine->collectionHook = stopAfterPolls;
  host_->engine->collectionHookData = &polls;
  trace_.clear();
  SetWindowPos(child_, nullptr, 0, 0, 90, 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  host_->engine->collectionHook = nullptr;
  EXPECT_NE(trace_.find("hook break 7"), std::string::npos) << trace_;
  EXPECT_EQ(run("child.onSize = function(t, w) { trace('size ', w, ' after ', runs); }; child.width = 80;"),
            "size 80 after 1\r\n");
}

TEST_F(WindowObjectTest, AHandlerInsideARunLeavesThatRunsResult) {
  run("var depth = 0; child.onSize = function(t, w) { if (depth++ < 3) child.width = w + 1; trace(w); };");
  trace_.clear();
  ASSERT_TRUE(script::runScriptText(*host_, "child.width = 100; 42"));
  EXPECT_EQ(host_->engine->lastResult.tag, script::Tag::Integer);
  EXPECT_EQ(host_->engine->lastResult.integer(), 42);
  EXPECT_EQ(trace_, "103\r\n102\r\n101\r\n100\r\n");
}

TEST_F(WindowObjectTest, DragHandlersCanChangeTheRectangle) {
  run("child.onSizing = function(edge, r) { trace(edge, ' ', r.left, ' ', r.right); r.right = r.left + 300; "
      "r.bottom = 'tall'; };"
      "child.onMoving = function(edge, r) { r.top = 5; r.left = 2.5; };");
  RECT drag{10, 20, 110, 220};
  trace_.clear();
  SendMessageW(child_, WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&drag));
  EXPECT_EQ(trace_, "2 10 110\r\n");
  EXPECT_EQ(drag.left, 10);
  EXPECT_EQ(drag.right, 310);
  EXPECT_EQ(drag.bottom, 220);
  SendMessageW(child_, WM_MOVING, 0, reinterpret_cast<LPARAM>(&drag));
  EXPECT_EQ(drag.top, 5);
  EXPECT_EQ(drag.left, 10);
}

TEST_F(WindowObjectTest, EventsReachTheirHandlers) {
  run("child.omMove = function(x, y) { trace('move ', x, ' ', y); };"
      "child.onEnterSizeMove = function() { trace('enter size-move'); };"
      "child.onExitSizeMove = function() { trace('exit size-move'); };"
      "child.onActivate = function() { trace('activate'); };"
      "child.onDeactivate = function() { trace('deactivate'); };");
  trace_.clear();
  SendMessageW(child_, WM_MOVE, 0, MAKELPARAM(7, 9));
  SendMessageW(child_, WM_ENTERSIZEMOVE, 0, 0);
  SendMessageW(child_, WM_EXITSIZEMOVE, 0, 0);
  SendMessageW(child_, WM_ACTIVATEAPP, TRUE, 0);
  SendMessageW(child_, WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_EQ(trace_, "move 7 9\r\nenter size-move\r\nexit size-move\r\nactivate\r\ndeactivate\r\n");
}

TEST_F(WindowObjectTest, HoverTrackingEntersLeavesAndCanBeSwitchedOff) {
  run("child.onEnter = function() { trace('enter'); }; child.onLeave = function() { trace('leave'); };");
  trace_.clear();
  SendMessageW(child_, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  SendMessageW(child_, WM_MOUSEMOVE, 0, MAKELPARAM(12, 10));
  EXPECT_EQ(GetCapture(), child_);
  SendMessageW(child_, WM_MOUSEMOVE, 0, MAKELPARAM(-30 & 0xFFFF, 10));
  EXPECT_EQ(trace_, "enter\r\nleave\r\n");
  EXPECT_NE(GetCapture(), child_);
  SendMessageW(child_, framework::kDisableHover, 0, 0);
  trace_.clear();
  SendMessageW(child_, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(trace_, "");
  SendMessageW(child_, 0x8292, 0, 0);
  SendMessageW(child_, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(trace_, "enter\r\n");
  ReleaseCapture();
}

TEST_F(WindowObjectTest, FlyEndsAtTheChosenCornerOfTheWorkArea) {
  HWND popup = CreateWindowExW(WS_EX_TOOLWINDOW, kTestClass, L"Fly", WS_POPUP | WS_VISIBLE, 300, 300, 40, 30,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  RECT work{}, r{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  std::string w = "Window(" + handleText(popup) + ")";
  // Corner 7, direction 9: bottom-left, out both ways; sliding out ends just outside the area.
  run(w + ".fly(7, 9, false, 0);");
  GetWindowRect(popup, &r);
  EXPECT_EQ(r.left, work.left - 40);
  EXPECT_EQ(r.top, work.bottom);
  run(w + ".fly(7, 9, true, 0);");
  GetWindowRect(popup, &r);
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.top, work.bottom - 30);
  EXPECT_EQ(r.right - r.left, 40);
  run(w + ".fly2(10, 20, 30, 60, 0); " + w + ".fly2(1, 2, 3);");
  GetWindowRect(popup, &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.top, 60);
  EXPECT_EQ(run("trace(" + w + ".update(), ' ', typeof " + w + ".animate(0, $AW_BLEND));"), "true boolean\r\n");
  DestroyWindow(popup);
}

TEST_F(WindowObjectTest, StylesAndCentring) {
  run("child.modifyStyleEx(0, 0x200); child.modifyStyle(0x10000000, 0);");  // client edge; WS_VISIBLE off
  EXPECT_TRUE(GetWindowLongW(child_, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  run("child.width = 100; child.height = 50; child.center();");
  RECT client{}, r{};
  GetClientRect(parent_, &client);
  GetWindowRect(child_, &r);
  MapWindowPoints(nullptr, parent_, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, client.right / 2 - 50);
  EXPECT_EQ(r.top, client.bottom / 2 - 25);
}

TEST_F(WindowObjectTest, TheFactoryAndContextMenuHandler) {
  script::Engine& engine = *host_->engine;
  EXPECT_EQ(newWindowObject(engine, nullptr).tag, script::Tag::Null);
  script::Value object = newWindowObject(engine, child_);
  script::globalSlot(engine, "held") = object;  // a root while scripts run
  EXPECT_EQ(windowObjectHandle(engine, object), child_);
  EXPECT_EQ(windowObjectHandle(engine, script::Value::fromInteger(1)), nullptr);
  run("child.onHover = function() { trace('menu'); };");
  ASSERT_NE(findWindowHook(child_), nullptr);
  script::Value handler = findWindowHook(child_)->handlers[size_t(WindowEvent::Hover)];
  ASSERT_EQ(handler.tag, script::Tag::Function);
  ASSERT_TRUE(setWindowContextMenu(engine, object, handler));
  trace_.clear();
  EXPECT_EQ(SendMessageW(child_, WM_RBUTTONDOWN, 0, 0), 0);
  EXPECT_EQ(trace_, "menu\r\n");
  setWindowContextMenu(engine, object, script::Value::null());
  trace_.clear();
  SendMessageW(child_, WM_RBUTTONDOWN, 0, 0);
  EXPECT_EQ(trace_, "");
}

}  // namespace
}  // namespace vexil::hostobjects
