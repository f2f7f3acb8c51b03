#include "host/hostobjects/flash_player_class.h"

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/hostobjects/binding_table.h"
#include "host/hostobjects/flash_player_forwards.h"
#include "host/hostobjects/host_context.h"
#include "host/hostobjects/movie_info.h"
#include "host/hostobjects/movie_text_value.h"
#include "host/hostobjects/movie_window_rect.h"
#include "host/hostobjects/player_automation.h"
#include "host/hostobjects/window_object.h"
#include "host/mainwnd/main_wnd.h"
#include "platform/file_system.h"
#include "platform/text_case.h"
#include "platform/text_encoding.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/array_record.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/collector.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/host_class.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::hostobjects {

namespace {

using script::Atom;
using script::Engine;
using script::HostCall;
using script::Tag;
using script::Value;

constexpr char kPlayerWindowGlobal[] = "$_LUMARC_FLASHPLAYER_WINDOW_";

struct FlashPlayerState {
  BindingTable bindings;
  Value playerWindow;  // the Window object the window property hands out
  // The size of the movie last measured, by its path.
  std::u16string measuredMovie;
  std::optional<PixelSize> movieSize;

  void mark(Engine& engine) {
    bindings.mark(engine);
    script::markValue(engine, playerWindow);
  }
};

struct MovieClipData {
  std::u16string path;
};

extern const script::HostClassInfo kFlashPlayerClass;
extern const script::HostClassInfo kMovieClipClass;

FlashPlayerState& stateOf(HostCall& call) { return *script::hostState<FlashPlayerState>(call.engine, kFlashPlayerClass); }

std::u16string textOf(const script::ScriptString& s) { return std::u16string(s.chars, s.length); }

std::u16string valueText(Engine& engine, const Value& value) {
  Value text;
  script::valueToString(engine, value, &text);
  return textOf(*text.string());
}

std::u16string atomText(Engine& engine, Atom name) {
  const char* text = script::nameOf(engine, name);
  return text ? platform::ansiToUtf16(text) : std::u16string();
}

Value stringValue(Engine& engine, std::u16string_view text) { return script::makeString(engine, text); }

// The text of a VT_BSTR VARIANT; a null string is empty.
Value bstrValue(Engine& engine, const VARIANT& text) {
  BSTR s = text.bstrVal;
  return stringValue(engine, std::u16string_view(reinterpret_cast<const char16_t*>(s ? s : L""), s ? SysStringLen(s) : 0));
}

Value movieValue(Engine& engine, std::u16string_view text) {
  MovieTextValue v = movieTextValue(text);
  switch (v.kind) {
    case MovieTextValue::Kind::Boolean: return Value::fromBoolean(v.boolean);
    case MovieTextValue::Kind::Integer: return Value::fromInteger(v.integer);
    case MovieTextValue::Kind::Double: return script::numberFromReal(v.real);
    case MovieTextValue::Kind::Text: break;
  }
  return stringValue(engine, text);
}

// Forwarded methods

void runForward(HostCall& call, const ForwardedMethod& method) {
  if (!currentPlayer() || call.args.count() < method.count) return;
  VARIANT arguments[4];
  for (uint8_t i = 0; i < method.count; ++i) {
    const Value& v = *call.args.at(i + 1);
    VARIANT& slot = arguments[method.count - 1 - i];  // automation order: last first
    VariantInit(&slot);
    bool ok = (method.args[i] == ArgType::Integer && v.tag == Tag::Integer) ||
              (method.args[i] == ArgType::String && v.tag == Tag::String) ||
              (method.args[i] == ArgType::Double && v.tag == Tag::Real);
    if (!ok) {
      for (uint8_t j = 0; j < i; ++j) VariantClear(&arguments[method.count - 1 - j]);
      return;
    }
    if (v.tag == Tag::Integer) {
      slot.vt = VT_I4;
      slot.lVal = LONG(v.integer());
    } else if (v.tag == Tag::Real) {
      slot.vt = VT_R8;
      slot.dblVal = v.real();
    } else {
      const script::ScriptString& s = *v.string();
      slot.vt = VT_BSTR;
      slot.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s.chars), s.length);
    }
  }
  VARIANT result;
  VariantInit(&result);
  HRESULT hr = invokePlayer(method.control, DISPATCH_METHOD, arguments, method.count,
                            method.answer == Answer::Ok ? nullptr : &result);
  for (uint8_t i = 0; i < method.count; ++i) VariantClear(&arguments[i]);
  bool ok = SUCCEEDED(hr);
  switch (method.answer) {
    case Answer::Ok: call.result->setBoolean(ok); break;
    case Answer::Integer:
      call.result->setInteger(ok && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_I4)) ? result.lVal : -1);
      break;
    case Answer::Boolean:
      call.result->setBoolean(ok && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_BOOL)) && result.boolVal);
      break;
    case Answer::String:
      if (ok && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_BSTR))) *call.result = bstrValue(call.engine, result);
      break;
    case Answer::Double:
      if (ok && SUCCEEDED(VariantChangeType(&result, &result, 0, VT_R8))) call.result->setReal(result.dblVal);
      break;
  }
  VariantClear(&result);
}

template <size_t I>
void forwardMethod(HostCall& call) {
  runForward(call, kForwardedMethods[I]);
}

// Forwarded properties

void readForwarded(HostCall& call, const ForwardedProperty& property) {
  VARIANT result;
  VariantInit(&result);
  if (SUCCEEDED(invokePlayer(property.control, DISPATCH_PROPERTYGET, nullptr, 0, &result))) {
    switch (property.type) {
      case PropertyType::Integer:
        if (SUCCEEDED(VariantChangeType(&result, &result, 0, VT_I4))) call.result->setInteger(result.lVal);
        break;
      case PropertyType::Boolean:
        if (SUCCEEDED(VariantChangeType(&result, &result, 0, VT_BOOL))) call.result->setBoolean(result.boolVal);
        break;
      case PropertyType::String:
        if (SUCCEEDED(VariantChangeType(&result, &result, 0, VT_BSTR))) *call.result = bstrValue(call.engine, result);
        break;
    }
  }
  VariantClear(&result);
}

void writeForwarded(const ForwardedProperty& property, const Value& value) {
  if (property.readOnly) return;
  VARIANT argument;
  VariantInit(&argument);
  switch (property.type) {
    case PropertyType::Integer:
      if (value.tag != Tag::Integer) return;
      argument.vt = VT_I4;
      argument.lVal = LONG(value.integer());
      break;
    case PropertyType::Boolean:
      if (value.tag != Tag::Boolean && value.tag != Tag::Integer) return;
      argument.vt = VT_BOOL;
      argument.boolVal = (value.tag == Tag::Boolean ? value.boolean() : value.integer() != 0) ? VARIANT_TRUE
                                                                                             : VARIANT_FALSE;
      break;
    case PropertyType::String: {
      if (value.tag != Tag::String) return;
      const script::ScriptString& s = *value.string();
      argument.vt = VT_BSTR;
      argument.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(s.chars), s.length);
      break;
    }
  }
  invokePlayer(property.control, DISPATCH_PROPERTYPUT, &argument, 1, nullptr);
  VariantClear(&argument);
}

template <size_t I>
void getForwarded(HostCall& call) {
  readForwarded(call, kForwardedProperties[I]);
}
template <size_t I>
void setForwarded(HostCall&, const Value& value) {
  writeForwarded(kForwardedProperties[I], value);
}

// The program's own methods

// Movie variable paths are short; a longer one is not bound, since every prefix of a path is kept.
constexpr uint32_t kMaxPathLength = 1024;

void bindData(HostCall& call) {
  if (!currentPlayer()) return;
  for (uint32_t i = 1; i <= call.args.count(); ++i) {
    const script::ScriptString* path = call.args.string(i);
    if (path && path->length <= kMaxPathLength) stateOf(call).bindings.bind(textOf(*path));
  }
}

void unbindData(HostCall& call) {
  if (!currentPlayer()) return;
  for (uint32_t i = 1; i <= call.args.count(); ++i) {
    if (const script::ScriptString* path = call.args.string(i)) stateOf(call).bindings.unbind(textOf(*path));
  }
}

void unbindAll(HostCall& call) {
  if (currentPlayer()) stateOf(call).bindings.clear();
}

// From the movie: each variable that reads is stored converted. To the movie: each value that has
// been set (a binding never read or written holds undefined and is left alone) is written as text.
void updateData(HostCall& call) {
  if (!currentPlayer()) return;
  const Value* direction = call.args.at(1);
  bool toScript = !direction || script::valueToBoolean(call.engine, *direction);
  BindingTable& bindings = stateOf(call).bindings;
  // Paths first: converting a value to text can run script, which may change the bindings.
  script::StackRoots roots(call.engine);
  std::vector<std::pair<std::u16string, Value*>> items;
  bindings.forEach([&](std::u16string_view path, Value& value) { items.emplace_back(path, roots.hold(value)); });
  for (auto& [path, held] : items) {
    if (toScript) {
      std::optional<std::u16string> text = getMovieVariable(path);
      if (!text) continue;
      *held = movieValue(call.engine, *text);
      if (Value* slot = bindings.value(path)) *slot = *held;
    } else if (held->tag != Tag::Undefined) {
      setMovieVariable(path, valueText(call.engine, *held));
    }
  }
}

void getArray(HostCall& call) {
  const script::ScriptString* name = call.args.string(1);
  if (!currentPlayer() || !name) return;
  std::optional<std::u16string> text = getMovieVariable(textOf(*name));
  if (!text) return;
  script::StackRoots roots(call.engine);
  Value* result = roots.hold();
  script::ArrayRecord* array = script::newArray(call.engine);
  result->setArray(array);
  uint64_t n = 0;
  size_t start = 0;
  while (start <= text->size()) {
    size_t comma = text->find(u',', start);
    if (comma == std::u16string::npos) comma = text->size();
    if (comma > start) {
      Value* piece = roots.hold(stringValue(call.engine, std::u16string_view(*text).substr(start, comma - start)));
      script::storeElement(call.engine, *array, n++, *piece);
    }
    start = comma + 1;
  }
  *call.result = *result;
}

// Each element there is is written as name.index; holes write nothing, so a sparse array with a
// huge length costs only its elements.
void putArray(HostCall& call) {
  const script::ScriptString* name = call.args.string(1);
  if (!currentPlayer() || !name || !call.args.has(2, Tag::Array)) return;
  std::u16string prefix = textOf(*name) + u".";
  script::StackRoots roots(call.engine);
  Value* array = roots.hold(*call.args.at(2));
  std::vector<uint64_t> indices;
  const uint64_t length = array->array()->length();
  script::forEachElement(*array->array(), [&](uint64_t i, const Value&) {
    if (i < length) indices.push_back(i);
  });
  Value* held = roots.hold();
  for (uint64_t i : indices) {
    // Converting an element to text can run script that changes the array: look each one up again.
    const Value* element = script::findElement(*array->array(), i);
    if (!element) continue;
    *held = *element;
    setMovieVariable(prefix + platform::ansiToUtf16(std::to_string(i)), valueText(call.engine, *held));
  }
}

void getObject(HostCall& call) {
  uint32_t count = call.args.count();
  if (!currentPlayer() || count < 2) return;
  for (uint32_t i = 1; i <= count; ++i) {
    if (!call.args.string(i)) return;
  }
  std::u16string prefix = textOf(*call.args.string(1)) + u".";
  script::StackRoots roots(call.engine);
  Value* result = roots.hold(Value::fromObject(script::newTable(call.engine)));
  for (uint32_t i = 2; i <= count; ++i) {
    std::u16string property = textOf(*call.args.string(i));
    std::optional<std::u16string> text = getMovieVariable(prefix + property);
    if (!text) continue;
    Value* value = roots.hold(stringValue(call.engine, *text));
    script::setProperty(call.engine, result->table(), script::intern(call.engine, platform::utf16ToAnsi(property)),
                        *value);
  }
  *call.result = *result;
}

void putObject(HostCall& call) {
  const script::ScriptString* name = call.args.string(1);
  if (!currentPlayer() || !name || !call.args.has(2, Tag::Object)) return;
  std::u16string prefix = textOf(*name) + u".";
  script::StackRoots roots(call.engine);
  Value* object = roots.hold(*call.args.at(2));
  Value* key = roots.hold();
  // Names first: converting values to text can run script that changes the object.
  std::vector<Value*> names;
  for (uint32_t n = 0; script::nameAt(call.engine, object->table(), n, key); ++n) names.push_back(roots.hold(*key));
  for (Value* propertyName : names) {
    Value* value = roots.hold(script::getByKey(call.engine, object->table(), *propertyName));
    Tag tag = value->tag;
    if (tag != Tag::Boolean && tag != Tag::Integer && tag != Tag::String && tag != Tag::Real && tag != Tag::Array) {
      continue;
    }
    setMovieVariable(prefix + valueText(call.engine, *propertyName), valueText(call.engine, *value));
  }
}

std::optional<PixelSize> currentMovieSize(FlashPlayerState& state) {
  VARIANT movie;
  VariantInit(&movie);
  std::u16string path;
  if (SUCCEEDED(invokePlayer(L"Movie", DISPATCH_PROPERTYGET, nullptr, 0, &movie)) && movie.vt == VT_BSTR &&
      movie.bstrVal) {
    path.assign(reinterpret_cast<const char16_t*>(movie.bstrVal), SysStringLen(movie.bstrVal));
  }
  VariantClear(&movie);
  if (path != state.measuredMovie || !state.movieSize) {
    state.measuredMovie = path;
    state.movieSize.reset();
    if (auto bytes = platform::readWholeFile(platform::utf16ToAnsi(path))) {
      if (auto info = readMovieInfo(*bytes)) state.movieSize = PixelSize{info->xMax - info->xMin, info->yMax - info->yMin};
    }
  }
  return state.movieSize;
}

void movieToWindowMethod(HostCall& call) {
  if (!currentPlayer()) return;
  double edges[4];
  for (uint32_t i = 0; i < 4; ++i) {
    const Value* v = call.args.at(i + 1);
    if (!v || (v->tag != Tag::Integer && v->tag != Tag::Real)) return;
    edges[i] = v->tag == Tag::Integer ? double(v->integer()) : v->real();
  }
  std::optional<PixelSize> movie = currentMovieSize(stateOf(call));
  if (!movie) return;
  RECT client{};
  mainwnd::CMainWnd* window = hostContext().mainWnd;
  if (!window || !GetClientRect(window->handle(), &client)) return;
  VARIANT mode;
  VariantInit(&mode);
  int32_t scaleMode = 0;
  if (SUCCEEDED(invokePlayer(L"ScaleMode", DISPATCH_PROPERTYGET, nullptr, 0, &mode)) &&
      SUCCEEDED(VariantChangeType(&mode, &mode, 0, VT_I4))) {
    scaleMode = mode.lVal;
  }
  std::optional<WindowRect> rect = movieToWindow(*movie, {client.right - client.left, client.bottom - client.top},
                                                 scaleMode, edges[0], edges[1], edges[2], edges[3]);
  if (!rect) return;
  script::StackRoots roots(call.engine);
  Value* result = roots.hold(Value::fromObject(script::newTable(call.engine)));
  for (auto [name, v] : {std::pair{"left", rect->left}, std::pair{"right", rect->right}, std::pair{"top", rect->top},
                         std::pair{"bottom", rect->bottom}}) {
    script::setProperty(call.engine, result->table(), script::intern(call.engine, name), Value::fromInteger(v));
  }
  *call.result = *result;
}

void getMovieInfo(HostCall& call) {
  call.result->setNull();
  std::optional<std::string> path = call.args.ansi(1);
  if (!path) return;
  if (!platform::endsWithIgnoringAsciiCase(*path, ".swf") && !platform::endsWithIgnoringAsciiCase(*path, ".exe")) {
    return;
  }
  auto bytes = platform::readWholeFile(*path);
  if (!bytes) return;
  std::optional<MovieInfo> info = readMovieInfo(*bytes);
  if (!info) return;
  Engine& engine = call.engine;
  script::StackRoots roots(engine);
  Value* result = roots.hold(Value::fromObject(script::newTable(engine)));
  Value* frame = roots.hold(Value::fromObject(script::newTable(engine)));
  auto put = [&](Value* on, const char* name, int64_t v) {
    script::setProperty(engine, on->table(), script::intern(engine, name), Value::fromInteger(v));
  };
  put(frame, "xMin", info->xMin);
  put(frame, "xMax", info->xMax);
  put(frame, "yMin", info->yMin);
  put(frame, "yMax", info->yMax);
  script::setProperty(engine, result->table(), script::intern(engine, "frameSize"), *frame);
  put(result, "rate", info->rate);
  put(result, "size", info->size);
  put(result, "frameCount", info->frameCount);
  put(result, "version", info->version);
  put(result, "backgroundColor", info->backgroundColor);
  *call.result = *result;
}

// The window property, and the context-menu handler on that window

Value& playerWindowObject(HostCall& call) {
  FlashPlayerState& state = stateOf(call);
  HWND window = currentPlayerWindow();
  if (!window) {
    state.playerWindow.setNull();
  } else if (windowObjectHandle(call.engine, state.playerWindow) != window) {
    state.playerWindow = newWindowObject(call.engine, window);
    script::globalSlot(call.engine, kPlayerWindowGlobal) = state.playerWindow;
  }
  return state.playerWindow;
}

void getWindow(HostCall& call) { *call.result = playerWindowObject(call); }
void getNothing(HostCall&) {}
void setContextMenu(HostCall& call, const Value& handler) {
  Value& window = playerWindowObject(call);
  if (window.tag == Tag::Native) setWindowContextMenu(call.engine, window, handler);
}

// Bound paths and their prefixes, as properties of FlashPlayer and of MovieClips

bool readPath(HostCall& call, const std::u16string& path) {
  if (!currentPlayer()) return false;
  BindingTable& bindings = stateOf(call).bindings;
  if (Value* bound = bindings.value(path)) {
    *call.result = *bound;
    return true;
  }
  if (!bindings.isPrefix(path)) return false;
  script::newInstance(call.engine, kMovieClipClass, call.result, std::make_unique<MovieClipData>(MovieClipData{path}));
  return true;
}

bool writePath(HostCall& call, const std::u16string& path, const Value& value) {
  if (!currentPlayer()) return false;
  Value* bound = stateOf(call).bindings.value(path);
  if (!bound) return false;
  *bound = value;
  return true;
}

bool playerGet(HostCall& call, Atom name) { return readPath(call, atomText(call.engine, name)); }
bool playerSet(HostCall& call, Atom name, const Value& value) {
  return writePath(call, atomText(call.engine, name), value);
}
bool clipGet(HostCall& call, Atom name) {
  return readPath(call, call.instance<MovieClipData>()->path + u"." + atomText(call.engine, name));
}
bool clipSet(HostCall& call, Atom name, const Value& value) {
  return writePath(call, call.instance<MovieClipData>()->path + u"." + atomText(call.engine, name), value);
}

// The member tables

template <size_t... I>
constexpr auto forwardedMethodEntries(std::index_sequence<I...>) {
  return std::array<script::HostMethodEntry, sizeof...(I)>{
      script::HostMethodEntry{kForwardedMethods[I].name, forwardMethod<I>}...};
}
template <size_t... I>
constexpr auto forwardedPropertyEntries(std::index_sequence<I...>) {
  return std::array<script::HostPropertyEntry, sizeof...(I)>{script::HostPropertyEntry{
      kForwardedProperties[I].name, getForwarded<I>, setForwarded<I>}...};
}
template <typename T, size_t A, size_t B>
constexpr std::array<T, A + B> joined(const std::array<T, A>& a, const std::array<T, B>& b) {
  std::array<T, A + B> out{};
  for (size_t i = 0; i < A; ++i) out[i] = a[i];
  for (size_t i = 0; i < B; ++i) out[A + i] = b[i];
  return out;
}

constexpr std::array<script::HostMethodEntry, 10> kOwnMethods = {{
    {"bindData", bindData},
    {"unbindData", unbindData},
    {"unbindAll", unbindAll},
    {"updateData", updateData},
    {"getArray", getArray},
    {"putArray", putArray},
    {"getObject", getObject},
    {"putObject", putObject},
    {"movieToWindow", movieToWindowMethod},
    {"getMovieInfo", getMovieInfo},
}};
constexpr std::array<script::HostPropertyEntry, 2> kOwnProperties = {{
    {"window", getWindow},
    {"onContextMenu", getNothing, setContextMenu},
}};

constexpr auto kMethods =
    joined(forwardedMethodEntries(std::make_index_sequence<std::size(kForwardedMethods)>()), kOwnMethods);
constexpr auto kProperties =
    joined(forwardedPropertyEntries(std::make_index_sequence<std::size(kForwardedProperties)>()), kOwnProperties);

const script::HostDynamicMembers kPlayerPaths = {nullptr, playerGet, playerSet};
const script::HostDynamicMembers kClipPaths = {nullptr, clipGet, clipSet};

const script::HostClassInfo kFlashPlayerClass = {
    .name = "FlashPlayer",
    .methods = kMethods,
    .properties = kProperties,
    .state = &script::kPlainState<FlashPlayerState>,
    .dynamic = &kPlayerPaths,
};

const script::HostClassInfo kMovieClipClass = {
    .name = "MovieClip",
    .release = script::deleteInstance<MovieClipData>,
    .dynamic = &kClipPaths,
};

// The one FlashPlayer instance: its data is the class's state, borrowed (the class has no release).
void* playerData(Engine& engine) { return script::hostClassState(engine, kFlashPlayerClass); }

}  // namespace

void registerFlashPlayer(Engine& engine) {
  script::NativeClass* cls = script::defineHostClass(engine, kFlashPlayerClass);
  Value player;
  script::makeNative(engine, &player, cls, playerData(engine));
  script::globalSlot(engine, "FlashPlayer") = player;
}

void registerMovieClip(Engine& engine) { script::defineHostClass(engine, kMovieClipClass); }

}  // namespace vexil::hostobjects
