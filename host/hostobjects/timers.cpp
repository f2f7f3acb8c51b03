#include "host/hostobjects/timers.h"

#include "host/hostobjects/host_context.h"
#include "host/mainwnd/script_bridge.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/collector.h"
#include "script/runtime/uncaught_errors.h"

namespace vexil::hostobjects {
namespace {

// Thread timers have no window to carry their owner: the ids of this thread's timers lead to the
// table that started them.
std::map<UINT_PTR, TimerTable*>& owners() {
  static std::map<UINT_PTR, TimerTable*> map;
  return map;
}

}  // namespace

UINT_PTR TimerTable::start(TimerRecord record, UINT period) {
  UINT_PTR id = SetTimer(nullptr, 0, period, onTimer);
  if (id == 0) return 0;
  records_[id] = std::move(record);
  owners()[id] = this;
  return id;
}

void TimerTable::clear(UINT_PTR id) {
  auto found = records_.find(id);
  if (found == records_.end()) return;
  KillTimer(nullptr, id);
  owners().erase(id);
  records_.erase(found);
}

void TimerTable::clearAll() {
  for (const auto& entry : records_) {
    KillTimer(nullptr, entry.first);
    owners().erase(entry.first);
  }
  records_.clear();
}

void TimerTable::mark() const {
  for (const auto& entry : records_) {
    script::markValue(engine_, entry.second.callee);
    for (const script::Value& v : entry.second.args) script::markValue(engine_, v);
  }
}

void CALLBACK TimerTable::onTimer(HWND, UINT, UINT_PTR id, DWORD) {
  auto owner = owners().find(id);
  if (owner == owners().end()) {
    KillTimer(nullptr, id);  // a tick that was already queued when its table went
    return;
  }
  owner->second->fire(id);
}

// The record may be cleared by the callback itself (clearInterval) or with its whole engine, so
// everything the call needs is copied out first: the call entry puts the copies on the value
// stack. A close of the main window waits while the callback runs, as it does for commands.
void TimerTable::fire(UINT_PTR id) {
  auto found = records_.find(id);
  if (found == records_.end() || found->second.running) return;
  TimerRecord& record = found->second;
  script::Value callee = record.callee;
  std::string method = record.method;
  std::vector<script::Value> args = record.args;
  record.running = true;
  {
    mainwnd::ScriptBridge* bridge = hostContext().bridge;
    std::optional<mainwnd::ScriptBridge::Nested> nested;
    if (bridge) nested.emplace(*bridge);
    bool ok = method.empty() ? script::callValue(engine_, callee, args.data())
                             : script::callMethod(engine_, callee, method.c_str(), args.data());
    if (!ok) script::reportUncaught(engine_, kTimerFailedPrefix);
  }
  // The table itself may be gone now if the engine went during the call; it cannot while the
  // engine is inside a call, so the record lookup below is on a live table.
  auto after = records_.find(id);
  if (after != records_.end()) after->second.running = false;
}

}  // namespace vexil::hostobjects
