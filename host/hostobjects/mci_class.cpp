// The MCI class. Devices are driven through command structures, never through command strings
// built from the script's properties, so no property text can add a command; the alias, which
// later command strings name the device by, must be one plain word.
#include "host/hostobjects/mci_class.h"

#include <windows.h>
#include <mmsystem.h>
#include <digitalv.h>

#include <memory>
#include <optional>
#include <string>

#include "host/hostobjects/host_context.h"
#include "host/hostobjects/mci_alias.h"
#include "host/hostobjects/window_object.h"
#include "host/mainwnd/main_wnd.h"
#include "platform/text_case.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/uncaught_errors.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/collector.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::hostobjects {

extern const script::HostClassInfo kMciClass;

namespace {

using script::HostCall;
using script::Tag;
using script::Value;

constexpr wchar_t kPlaybackClass[] = L"Lumarc_Playback_Window";
constexpr wchar_t kPlaybackTitle[] = L"Playback";
constexpr size_t kReturnBuffer = 4096;
constexpr size_t kErrorBuffer = 128;

struct MciData {
  MCIDEVICEID device = 0;
  std::optional<std::string> deviceType, fileName, alias;
  bool sharable = false, notify = false, wait = false, recordMode = false;
  int32_t from = -1, to = -1, frames = 0, channel = 0, track = 0;
  int32_t left = 0, top = 0, width = 0, height = 0;
  HWND window = nullptr;
  Value onNotify;
  Value self;  // the object itself, not kept alive by this: the window goes before the object does
  script::Engine* engine = nullptr;
  MCIERROR error = 0;
};

struct MciState {
  uint32_t aliasCounter = 0;
};

// Delivers the device's notifications to the object's onNotify handler, with the object as this.
LRESULT CALLBACK playbackProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* data = reinterpret_cast<MciData*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == MM_MCINOTIFY && data && data->engine && data->onNotify.tag == Tag::Function) {
    Value handler = data->onNotify;
    Value self = data->self;
    std::vector<Value> args = script::argumentBlock({Value::fromInteger(int64_t(wParam))});
    if (!script::callValueOn(*data->engine, handler, self, args.data())) {
      script::reportUncaught(*data->engine, "MCI notification handler failed: ");
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

bool registerPlaybackClass() {
  static const bool registered = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = playbackProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kPlaybackClass;
    return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

// A child of the main window; without one (the console runner) a message-only window, since a
// child window needs a parent.
HWND createPlaybackWindow(MciData* data) {
  if (!registerPlaybackClass()) return nullptr;
  mainwnd::CMainWnd* main = hostContext().mainWnd;
  HWND parent = main ? main->handle() : HWND_MESSAGE;
  HWND window = CreateWindowExW(0, kPlaybackClass, kPlaybackTitle, WS_CHILD, 0, 0, 0, 0, parent, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
  return window;
}

void releaseInstance(script::NativeClass*, void* raw) {
  auto* data = static_cast<MciData*>(raw);
  if (!data) return;
  if (data->device) mciSendCommandW(data->device, MCI_CLOSE, 0, 0);
  if (data->window) {
    SetWindowLongPtrW(data->window, GWLP_USERDATA, 0);
    DestroyWindow(data->window);
  }
  delete data;
}

void markInstance(script::Engine& engine, script::NativeClass*, void* raw) {
  if (auto* data = static_cast<MciData*>(raw)) script::markValue(engine, data->onNotify);
}

void construct(HostCall& call) {
  auto data = std::make_unique<MciData>();
  data->engine = &call.engine;
  MciData* raw = call.publish(std::move(data));
  if (!raw) return;
  raw->self = *call.result;
  raw->window = createPlaybackWindow(raw);
}

MciData& dataOf(HostCall& call) { return *call.instance<MciData>(); }

// The flags every command and status call carries.
DWORD callFlags(const MciData& data) { return (data.notify ? MCI_NOTIFY : 0) | (data.wait ? MCI_WAIT : 0); }
DWORD_PTR callback(const MciData& data) { return reinterpret_cast<DWORD_PTR>(data.window); }

template <typename Params>
MCIERROR send(MciData& data, UINT message, DWORD flags, Params& params) {
  params.dwCallback = callback(data);
  data.error = mciSendCommandW(data.device, message, callFlags(data) | flags, reinterpret_cast<DWORD_PTR>(&params));
  return data.error;
}

std::wstring wide(const std::optional<std::string>& text) { return platform::toWide(text.value_or("")); }

void showVideo(MciData& data) {
  MCI_GETDEVCAPS_PARMS caps{};
  caps.dwItem = MCI_GETDEVCAPS_HAS_VIDEO;
  if (mciSendCommandW(data.device, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM, reinterpret_cast<DWORD_PTR>(&caps)) ||
      !caps.dwReturn || !data.window)
    return;
  MCI_DGV_WINDOW_PARMSW window{};
  window.hWnd = data.window;
  if (mciSendCommandW(data.device, MCI_WINDOW, MCI_DGV_WINDOW_HWND, reinterpret_cast<DWORD_PTR>(&window))) return;
  MCI_DGV_PUT_PARMS put{};
  put.rc = RECT{0, 0, data.width, data.height};
  mciSendCommandW(data.device, MCI_PUT, MCI_DGV_PUT_DESTINATION | MCI_DGV_RECT, reinterpret_cast<DWORD_PTR>(&put));
  SetWindowPos(data.window, nullptr, data.left, data.top, data.width, data.height, SWP_NOZORDER | SWP_SHOWWINDOW);
}

// Opening an open object closes its device first: a second open would leak it, and its alias
// would be refused as taken.
void commandOpen(MciData& data, MciState& state) {
  if (data.device) {
    mciSendCommandW(data.device, MCI_CLOSE, 0, 0);
    data.device = 0;
  }
  if (!data.alias) data.alias = generatedMciAlias(state.aliasCounter++);
  if (!isPlainMciAlias(*data.alias)) {
    data.error = MCIERR_INVALID_DEVICE_NAME;
    return;
  }
  std::wstring type = wide(data.deviceType), file = wide(data.fileName), alias = wide(data.alias);
  MCI_OPEN_PARMSW open{};
  DWORD flags = MCI_OPEN_ALIAS;
  open.lpstrAlias = alias.c_str();
  if (data.sharable) flags |= MCI_OPEN_SHAREABLE;
  if (!type.empty()) {
    flags |= MCI_OPEN_TYPE;
    open.lpstrDeviceType = type.c_str();
  }
  if (data.fileName) {
    flags |= MCI_OPEN_ELEMENT;
    open.lpstrElementName = file.c_str();
  }
  if (send(data, MCI_OPEN, flags, open)) return;
  data.device = open.wDeviceID;
  data.from = data.to = -1;
  showVideo(data);
}

void commandClose(MciData& data) {
  MCI_GENERIC_PARMS params{};
  send(data, MCI_CLOSE, 0, params);
  if (data.window) ShowWindow(data.window, SW_HIDE);
  if (!data.error) data.device = 0;
}

DWORD fromTo(const MciData& data) { return (data.from >= 0 ? MCI_FROM : 0) | (data.to >= 0 ? MCI_TO : 0); }

void commandPlay(MciData& data) {
  MCI_PLAY_PARMS params{};
  params.dwFrom = DWORD(data.from);
  params.dwTo = DWORD(data.to);
  send(data, MCI_PLAY, fromTo(data), params);
}

void commandRecord(MciData& data) {
  MCI_RECORD_PARMS params{};
  params.dwFrom = DWORD(data.from);
  params.dwTo = DWORD(data.to);
  send(data, MCI_RECORD, fromTo(data) | (data.recordMode ? MCI_RECORD_OVERWRITE : MCI_RECORD_INSERT), params);
}

template <UINT Message>
void commandPlain(MciData& data) {
  MCI_GENERIC_PARMS params{};
  send(data, Message, 0, params);
}

// Moves that leave the start of the next play open.
template <DWORD Flag>
void commandStep(MciData& data) {
  MCI_DGV_STEP_PARMS params{};
  params.dwFrames = DWORD(data.frames);
  if (!send(data, MCI_STEP, Flag, params)) data.from = -1;
}

template <DWORD Flag>
void commandSeek(MciData& data) {
  MCI_SEEK_PARMS params{};
  params.dwTo = DWORD(data.to);
  if (!send(data, MCI_SEEK, Flag, params)) data.from = -1;
}

void commandEject(MciData& data) {
  MCI_SET_PARMS params{};
  send(data, MCI_SET, MCI_SET_DOOR_OPEN, params);
}

void commandSave(MciData& data) {
  std::wstring file = wide(data.fileName);
  MCI_SAVE_PARMSW params{};
  params.lpfilename = file.c_str();
  send(data, MCI_SAVE, MCI_SAVE_FILE, params);
}

// The device context is the program's to give back once the device has drawn.
void commandUpdate(MciData& data) {
  MCI_DGV_UPDATE_PARMS params{};
  params.hDC = data.window ? GetDC(data.window) : nullptr;
  params.rc = RECT{0, 0, data.width, data.height};
  send(data, MCI_UPDATE, MCI_DGV_UPDATE_HDC | MCI_DGV_RECT, params);
  if (params.hDC) ReleaseDC(data.window, params.hDC);
}

void commandWhere(MciData& data) {
  MCI_DGV_RECT_PARMS params{};
  if (send(data, MCI_WHERE, MCI_DGV_WHERE_SOURCE, params)) return;
  data.width = params.rc.right;
  data.height = params.rc.bottom;
}

struct CommandEntry {
  const char* name;
  void (*run)(MciData& data);
};
const CommandEntry kCommands[] = {
    {"close", commandClose},
    {"play", commandPlay},
    {"pause", commandPlain<MCI_PAUSE>},
    {"resume", commandPlain<MCI_RESUME>},
    {"stop", commandPlain<MCI_STOP>},
    {"back", commandStep<MCI_DGV_STEP_REVERSE>},
    {"step", commandStep<MCI_DGV_STEP_FRAMES>},
    {"prev", commandSeek<MCI_SEEK_TO_START>},
    {"next", commandSeek<MCI_SEEK_TO_END>},
    {"seek", commandSeek<MCI_TO>},
    {"record", commandRecord},
    {"eject", commandEject},
    {"save", commandSave},
    {"update", commandUpdate},
    {"where", commandWhere},
};

void setCommand(HostCall& call, const Value& value) {
  if (value.tag != Tag::String) return;
  std::string name = script::stringToAnsiText(*value.string());
  if (platform::equalsIgnoringAsciiCase(name, "open")) {
    commandOpen(dataOf(call), *call.state<MciState>());
    return;
  }
  for (const CommandEntry& command : kCommands) {
    if (platform::equalsIgnoringAsciiCase(name, command.name)) {
      command.run(dataOf(call));
      return;
    }
  }
}

void applyChannel(MciData& data) {
  auto set = [&](DWORD which, DWORD onOff) {
    MCI_SET_PARMS params{};
    params.dwAudio = which;
    send(data, MCI_SET, MCI_SET_AUDIO | onOff, params);
  };
  switch (data.channel) {
    case 0: set(MCI_SET_AUDIO_ALL, MCI_SET_ON); break;
    case 1: set(MCI_SET_AUDIO_LEFT, MCI_SET_ON); set(MCI_SET_AUDIO_RIGHT, MCI_SET_OFF); break;
    case 2: set(MCI_SET_AUDIO_LEFT, MCI_SET_OFF); set(MCI_SET_AUDIO_RIGHT, MCI_SET_ON); break;
    default: break;
  }
}

// Status and capability reads answer 0 after a failure; the result code stays for `error`.
template <DWORD Item, DWORD Extra = 0>
void getStatus(HostCall& call) {
  MciData& data = dataOf(call);
  MCI_STATUS_PARMS params{};
  params.dwItem = Item;
  params.dwTrack = DWORD(data.track);
  bool failed = send(data, MCI_STATUS, MCI_STATUS_ITEM | Extra, params) != 0;
  call.result->setInteger(failed ? 0 : int64_t(params.dwReturn));
}

template <DWORD Item>
void getCapability(HostCall& call) {
  MciData& data = dataOf(call);
  MCI_GETDEVCAPS_PARMS params{};
  params.dwItem = Item;
  bool failed = send(data, MCI_GETDEVCAPS, MCI_GETDEVCAPS_ITEM, params) != 0;
  call.result->setBoolean(!failed && params.dwReturn != 0);
}

void setTimeFormat(HostCall& call, const Value& value) {
  if (value.tag != Tag::Integer) return;
  MCI_SET_PARMS params{};
  params.dwTimeFormat = DWORD(value.integer());
  send(dataOf(call), MCI_SET, MCI_SET_TIME_FORMAT, params);
}

template <std::optional<std::string> MciData::*Field>
void getText(HostCall& call) {
  const auto& text = dataOf(call).*Field;
  if (text) *call.result = script::makeStringFromAnsi(call.engine, *text);
  else call.result->setNull();
}
template <std::optional<std::string> MciData::*Field>
void setText(HostCall& call, const Value& value) {
  Value converted;
  script::valueToString(call.engine, value, &converted);
  dataOf(call).*Field = script::stringToAnsiText(*converted.string());
}

template <bool MciData::*Field>
void getFlag(HostCall& call) { call.result->setBoolean(dataOf(call).*Field); }
template <bool MciData::*Field>
void setFlag(HostCall& call, const Value& value) {
  if (value.tag == Tag::Boolean) dataOf(call).*Field = value.boolean();
  if (value.tag == Tag::Integer) dataOf(call).*Field = value.integer() != 0;
}

template <int32_t MciData::*Field>
void getNumber(HostCall& call) { call.result->setInteger(dataOf(call).*Field); }
template <int32_t MciData::*Field>
void setInteger(HostCall& call, const Value& value) {
  if (value.tag == Tag::Integer) dataOf(call).*Field = int32_t(value.integer());
}
template <int32_t MciData::*Field>
void setIntegerOrReal(HostCall& call, const Value& value) {
  if (value.tag == Tag::Integer) dataOf(call).*Field = int32_t(value.integer());
  if (value.tag == Tag::Real && value.real() > -2147483648.0 && value.real() < 2147483648.0)
    dataOf(call).*Field = int32_t(value.real());
}

void setChannel(HostCall& call, const Value& value) {
  if (value.tag == Tag::Integer) dataOf(call).channel = int32_t(value.integer());
  applyChannel(dataOf(call));
}

void getDeviceId(HostCall& call) { call.result->setInteger(dataOf(call).device); }
void getError(HostCall& call) { call.result->setBoolean(dataOf(call).error != 0); }

void getErrorMsg(HostCall& call) {
  wchar_t text[kErrorBuffer] = {};
  mciGetErrorStringW(dataOf(call).error, text, DWORD(std::size(text)));
  *call.result = script::makeString(call.engine, platform::asUtf16(std::wstring_view(text)));
}

void getOnNotify(HostCall& call) {
  const Value& handler = dataOf(call).onNotify;
  if (handler.tag == Tag::Function) *call.result = handler;
  else call.result->setNull();
}
void setOnNotify(HostCall& call, const Value& value) {
  if (value.tag == Tag::Function) dataOf(call).onNotify = value;
}

void getPlayerWindow(HostCall& call) {
  HWND window = dataOf(call).window;
  if (window) *call.result = newWindowObject(call.engine, window);
  else call.result->setNull();
}

void ignoreWrite(HostCall&, const Value&) {}
void getUndefined(HostCall&) {}

void sendCmdString(HostCall& call) {
  std::optional<std::u16string> command = call.args.has(1, Tag::String) ? call.args.text(1) : std::nullopt;
  if (!command) return;
  std::wstring text = platform::toWide(std::u16string_view(*command).substr(0, command->find(u'\0')));
  std::wstring answer(kReturnBuffer, L'\0');
  MCIERROR error = mciSendStringW(text.c_str(), answer.data(), UINT(answer.size()), nullptr);
  if (error) mciGetErrorStringW(error, answer.data(), UINT(answer.size()));
  *call.result = script::makeString(call.engine, platform::asUtf16(std::wstring_view(answer.c_str())));
}

void getDevices(HostCall& call) {
  script::ArrayRecord* array = script::newArray(call.engine);
  call.result->setArray(array);
  DWORD count = 0;
  MCI_SYSINFO_PARMSW info{};
  info.lpstrReturn = reinterpret_cast<wchar_t*>(&count);
  info.dwRetSize = sizeof(count);
  info.wDeviceType = MCI_ALL_DEVICE_ID;
  if (mciSendCommandW(MCI_ALL_DEVICE_ID, MCI_SYSINFO, MCI_SYSINFO_QUANTITY, reinterpret_cast<DWORD_PTR>(&info))) return;
  for (DWORD i = 1; i <= count; ++i) {
    wchar_t name[256] = {};
    MCI_SYSINFO_PARMSW item{};
    item.lpstrReturn = name;
    item.dwRetSize = DWORD(std::size(name));
    item.dwNumber = i;
    item.wDeviceType = MCI_ALL_DEVICE_ID;
    if (mciSendCommandW(MCI_ALL_DEVICE_ID, MCI_SYSINFO, MCI_SYSINFO_NAME, reinterpret_cast<DWORD_PTR>(&item))) name[0] = 0;
    script::storeElement(call.engine, *array, i - 1, script::makeString(call.engine, platform::asUtf16(std::wstring_view(name))));
  }
}

template <int Parts>
void makeTime(HostCall& call) {
  std::optional<int64_t> a = call.args.integer(1), b = call.args.integer(2), c = call.args.integer(3);
  std::optional<int64_t> d = Parts == 4 ? call.args.integer(4) : std::optional<int64_t>(0);
  if (a && b && c && d) call.result->setInteger(packMciTime(*a, *b, *c, *d));
}

template <int Byte>
void timeByte(HostCall& call) {
  if (std::optional<int64_t> t = call.args.integer(1)) call.result->setInteger(mciTimeByte(*t, Byte));
}

const script::HostMethodEntry kMethods[] = {
    {"sendCmdString", sendCmdString, true},
    {"getDevices", getDevices, true},
    {"makeHMS", makeTime<3>, true},
    {"makeMSF", makeTime<3>, true},
    {"makeTMSF", makeTime<4>, true},
    {"hmsHour", timeByte<0>, true},
    {"msfMinute", timeByte<0>, true},
    {"tmsfTrack", timeByte<0>, true},
    {"hmsMinute", timeByte<1>, true},
    {"msfSecond", timeByte<1>, true},
    {"tmsfMinute", timeByte<1>, true},
    {"hmsSecond", timeByte<2>, true},
    {"msfFrame", timeByte<2>, true},
    {"tmsfSecond", timeByte<2>, true},
    {"tmsfFrame", timeByte<3>, true},
};

const script::HostPropertyEntry kProperties[] = {
    {"command", getUndefined, setCommand},
    {"deviceType", getText<&MciData::deviceType>, setText<&MciData::deviceType>},
    {"fileName", getText<&MciData::fileName>, setText<&MciData::fileName>},
    {"alias", getText<&MciData::alias>, setText<&MciData::alias>},
    {"deviceID", getDeviceId, ignoreWrite},
    {"notify", getFlag<&MciData::notify>, setFlag<&MciData::notify>},
    {"wait", getFlag<&MciData::wait>, setFlag<&MciData::wait>},
    {"sharable", getFlag<&MciData::sharable>, setFlag<&MciData::sharable>},
    {"recordMode", getFlag<&MciData::recordMode>, setFlag<&MciData::recordMode>},
    {"from", getNumber<&MciData::from>, setInteger<&MciData::from>},
    {"to", getNumber<&MciData::to>, setInteger<&MciData::to>},
    {"frames", getNumber<&MciData::frames>, setInteger<&MciData::frames>},
    {"track", getNumber<&MciData::track>, setInteger<&MciData::track>},
    {"left", getNumber<&MciData::left>, setIntegerOrReal<&MciData::left>},
    {"top", getNumber<&MciData::top>, setIntegerOrReal<&MciData::top>},
    {"width", getNumber<&MciData::width>, setIntegerOrReal<&MciData::width>},
    {"height", getNumber<&MciData::height>, setIntegerOrReal<&MciData::height>},
    {"channel", getNumber<&MciData::channel>, setChannel},
    {"timeFormat", getStatus<MCI_STATUS_TIME_FORMAT>, setTimeFormat},
    {"length", getStatus<MCI_STATUS_LENGTH>, ignoreWrite},
    {"position", getStatus<MCI_STATUS_POSITION>, ignoreWrite},
    {"mode", getStatus<MCI_STATUS_MODE>, ignoreWrite},
    {"start", getStatus<MCI_STATUS_POSITION, MCI_STATUS_START>, ignoreWrite},
    {"tracks", getStatus<MCI_STATUS_NUMBER_OF_TRACKS>, ignoreWrite},
    {"trackLength", getStatus<MCI_STATUS_LENGTH, MCI_TRACK>, ignoreWrite},
    {"trackPosition", getStatus<MCI_STATUS_POSITION, MCI_TRACK>, ignoreWrite},
    {"canEject", getCapability<MCI_GETDEVCAPS_CAN_EJECT>, ignoreWrite},
    {"canPlay", getCapability<MCI_GETDEVCAPS_CAN_PLAY>, ignoreWrite},
    {"canRecord", getCapability<MCI_GETDEVCAPS_CAN_RECORD>, ignoreWrite},
    {"canStep", getCapability<MCI_GETDEVCAPS_HAS_VIDEO>, ignoreWrite},
    {"error", getError, ignoreWrite},
    {"errorMsg", getErrorMsg, ignoreWrite},
    {"onNotify", getOnNotify, setOnNotify},
    {"playerWindow", getPlayerWindow, ignoreWrite},
};

}  // namespace

const script::HostClassInfo kMciClass = {
    .name = "MCI",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .call = construct,
    .release = releaseInstance,
    .mark = markInstance,
    .state = &script::kPlainState<MciState>,
};

void registerMci(script::Engine& engine) { script::defineHostClass(engine, kMciClass); }

}  // namespace vexil::hostobjects
