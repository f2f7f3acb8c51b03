// The Preferences object reads and writes fields of the settings record the application loaded;
// in the console runner there is none, and it answers from an empty record of its own.
#include "host/hostobjects/preferences_class.h"

#include <windows.h>

#include "host/app/system_settings.h"
#include "host/hostobjects/host_context.h"
#include "host/hostobjects/hot_key_text.h"
#include "host/hostobjects/key_name.h"
#include "host/package/package_settings.h"
#include "script/runtime/collector.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"

namespace vexil::hostobjects {
namespace {

using script::HostCall;
using script::Tag;
using script::Value;

constexpr char kPreferencesGlobal[] = "_Preferences_";

package::PackageSettings& settings() {
  static package::PackageSettings own;
  package::PackageSettings* running = hostContext().settings;
  return running ? *running : own;
}

void getWakeupMethod(HostCall& call) { call.result->setInteger(settings().wakeupMethod); }

void setWakeupMethod(HostCall&, const Value& value) {
  if (value.tag == Tag::Integer) settings().wakeupMethod = uint32_t(value.integer());
}

void getHotKey(HostCall& call) {
  HotKey hotKey{settings().hotKeyCode, settings().hotKeyModifiers};
  *call.result = script::makeStringFromAnsi(call.engine, hotKeyText(hotKey, systemKeyName));
}

void setHotKey(HostCall&, const Value& value) {
  if (value.tag != Tag::String) return;
  HotKey hotKey = parseHotKeyText(script::stringToAnsiText(*value.string()));
  settings().hotKeyCode = hotKey.key;
  settings().hotKeyModifiers = hotKey.modifiers;
}

template <uint32_t Bit>
void getOption(HostCall& call) {
  call.result->setBoolean((settings().options & Bit) != 0);
}

// Returns whether the bit is set now.
template <uint32_t Bit>
bool setOption(HostCall& call, const Value& value) {
  bool on = script::valueToBoolean(call.engine, value);
  settings().options = on ? settings().options | Bit : settings().options & ~Bit;
  return on;
}

void setDisableCursor(HostCall& call, const Value& value) { setOption<package::kOptionHideCursor>(call, value); }

// Applied at once while the screensaver runs, whose exit puts back what the run found; the
// console runner would have no one to put it back, so there only the record changes.
void setDisableCDAutoRun(HostCall& call, const Value& value) {
  bool disabled = setOption<package::kOptionDisableCDAutoRun>(call, value);
  if (hostContext().mainWnd) app::setCDAutoRun(!disabled);
}

const script::HostPropertyEntry kProperties[] = {
    {"wakeupMethod", getWakeupMethod, setWakeupMethod},
    {"hotKey", getHotKey, setHotKey},
    {"disableCursor", getOption<package::kOptionHideCursor>, setDisableCursor},
    {"disableCDAutoRun", getOption<package::kOptionDisableCDAutoRun>, setDisableCDAutoRun},
};

// The engine's one Preferences object, kept by the class whatever a script does to the global.
struct PreferencesState {
  Value object;
  void mark(script::Engine& engine) const { script::markValue(engine, object); }
};

const script::HostClassInfo kPreferencesClass = {
    .name = "Preferences",
    .properties = kProperties,
    .state = &script::kPlainState<PreferencesState>,
};

// The one instance has no data of its own; a marker makes it an instance, not the class object.
char instanceMarker;

}  // namespace

// The class publishes itself under its name; the object lives in "_Preferences_" instead.
void registerPreferences(script::Engine& engine) {
  script::NativeClass* cls = script::defineHostClass(engine, kPreferencesClass);
  script::globalSlot(engine, "Preferences").setUndefined();
  auto* state = script::hostState<PreferencesState>(engine, kPreferencesClass);
  script::makeNative(engine, &state->object, cls, &instanceMarker);
  script::globalSlot(engine, kPreferencesGlobal) = state->object;
}

Value preferencesObject(script::Engine& engine) {
  auto* state = script::hostState<PreferencesState>(engine, kPreferencesClass);
  return state ? state->object : Value::null();
}

}  // namespace vexil::hostobjects
