// RegKey: one open key per object. The key's handle is owned by the instance and closed once, by
// the instance's release, whatever the script does with the object. Keys are opened in the view
// of the build's own bitness (a 32-bit build sees the 32-bit view under WOW64); a script that
// wants the other view adds KEY_WOW64_64KEY or KEY_WOW64_32KEY to the access mask it passes.
#include <windows.h>

#include <memory>
#include <string>

#include "objects/registry/registry_path.h"
#include "objects/registry/win32/reg_value.h"
#include "objects/registry/win32/registry_classes.h"
#include "objects/registry/win32/registry_failure.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/host_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"

namespace vexil::objects::registry {

namespace {

using platform::UniqueKey;
using script::HostCall;
using script::Tag;
using script::Value;

struct RegKeyData {
  UniqueKey key;
  bool newCreated = false;
};

const script::HostClassInfo& regKeyClass();

HKEY rootHandle(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RegistryRoot::CurrentConfig: return HKEY_CURRENT_CONFIG;
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::Users: return HKEY_USERS;
    case RegistryRoot::PerformanceData: return HKEY_PERFORMANCE_DATA;
    case RegistryRoot::DynData: return HKEY_DYN_DATA;
  }
  return nullptr;
}

HKEY ownKey(const HostCall& call) {
  const RegKeyData* data = call.instance<RegKeyData>();
  return data ? data->key.get() : nullptr;
}

// The key a path starts from and the subkey below it; a null base when the path names no root
// and the call has no key of its own.
struct Target {
  HKEY base;
  std::wstring subkey;
};

Target targetOf(const HostCall& call, std::u16string_view path) {
  KeyPath split = splitKeyPath(path);
  HKEY base = split.root ? rootHandle(*split.root) : ownKey(call);
  return {base, platform::toWide(split.subkey)};
}

// A result (Null first) that becomes a new RegKey owning key.
void publishKey(HostCall& call, UniqueKey key, bool created) {
  auto data = std::make_unique<RegKeyData>();
  data->key = std::move(key);
  data->newCreated = created;
  script::newInstance(call.engine, regKeyClass(), call.result, std::move(data));
}

bool succeeded(HostCall& call, LONG code) {
  if (code == ERROR_SUCCESS) return true;
  noteRegistryFailure(call.engine, code);
  return false;
}

void openKey(HostCall& call) {
  call.result->setNull();
  std::optional<std::u16string> path = call.args.text(1);
  if (!path) return;
  Target target = targetOf(call, *path);
  if (!target.base) return succeeded(call, ERROR_PATH_NOT_FOUND), void();
  REGSAM access = REGSAM(call.args.integer(2).value_or(kKeyAllAccess));
  UniqueKey key;
  if (!succeeded(call, RegOpenKeyExW(target.base, target.subkey.c_str(), 0, access, key.put()))) return;
  publishKey(call, std::move(key), false);
}

void create(HostCall& call) {
  call.result->setNull();
  std::optional<std::u16string> path = call.args.text(1);
  if (!path) return;
  Target target = targetOf(call, *path);
  if (!target.base) return succeeded(call, ERROR_PATH_NOT_FOUND), void();
  std::wstring keyClass = platform::toWide(call.args.text(2).value_or(u"REG_SZ"));
  UniqueKey key;
  DWORD disposition = 0;
  LONG code = RegCreateKeyExW(target.base, target.subkey.c_str(), 0, keyClass.data(), 0,
                              accessOfIndex(call.args.integer(3)), nullptr, key.put(), &disposition);
  if (!succeeded(call, code)) return;
  publishKey(call, std::move(key), disposition == REG_CREATED_NEW_KEY);
}

void deleteKey(HostCall& call) {
  std::optional<std::u16string> path = call.args.text(1);
  if (!path) return call.result->setBoolean(false);
  Target target = targetOf(call, *path);
  bool done = target.base && succeeded(call, RegDeleteKeyW(target.base, target.subkey.c_str()));
  call.result->setBoolean(done);
}

void deleteValue(HostCall& call) {
  std::optional<std::u16string> name = call.args.text(1);
  HKEY key = ownKey(call);
  call.result->setBoolean(name && key && succeeded(call, RegDeleteValueW(key, platform::toWide(*name).c_str())));
}

struct KeyInfo {
  DWORD subkeys = 0, maxSubkeyLength = 0, values = 0, maxValueNameLength = 0, maxValueBytes = 0;
  FILETIME lastWrite = {};
};

std::optional<KeyInfo> keyInfo(HostCall& call, HKEY key) {
  KeyInfo info;
  if (!key || !succeeded(call, RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &info.subkeys, &info.maxSubkeyLength,
                                                nullptr, &info.values, &info.maxValueNameLength,
                                                &info.maxValueBytes, nullptr, &info.lastWrite))) {
    return std::nullopt;
  }
  return info;
}

Value* newResultArray(HostCall& call, uint64_t length) {
  script::ArrayRecord* array = script::newArray(call.engine);
  call.result->setArray(array);
  script::attachTable(call.engine, Tag::Array, &array->props);
  array->setLength(length);
  return call.result;
}

// An index that fails (a key deleted meanwhile) leaves its element undefined.
void getSubkeyNames(HostCall& call) {
  HKEY key = ownKey(call);
  std::optional<KeyInfo> info = keyInfo(call, key);
  newResultArray(call, info ? info->subkeys : 0);
  if (!info) return;
  for (DWORD i = 0; i < info->subkeys; ++i) {
    wchar_t name[256];  // a key name has at most 255 characters
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) continue;
    Value text = script::makeString(call.engine, platform::asUtf16(std::wstring_view(name, length)));
    script::storeElement(call.engine, *call.result->array(), i, text);
  }
}

// Values that fail to enumerate (changed meanwhile) are skipped; the length is the count the key
// reported.
void getValues(HostCall& call) {
  HKEY key = ownKey(call);
  std::optional<KeyInfo> info = keyInfo(call, key);
  newResultArray(call, info ? info->values : 0);
  if (!info) return;
  std::wstring name(info->maxValueNameLength + 1, L'\0');
  RegistryBytes bytes(info->maxValueBytes + 1);
  for (DWORD i = 0, stored = 0; i < info->values; ++i) {
    DWORD nameLength = DWORD(name.size()), size = DWORD(bytes.size()), type = 0;
    if (RegEnumValueW(key, i, name.data(), &nameLength, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) {
      continue;
    }
    RegValueData value;
    if (nameLength) value.name = std::u16string(platform::asUtf16(std::wstring_view(name.data(), nameLength)));
    value.type = type;
    value.data.assign(bytes.begin(), bytes.begin() + size);
    Value made;
    newRegValue(call.engine, &made, std::move(value));
    script::storeElement(call.engine, *call.result->array(), stored++, made);
  }
}

void getValue(HostCall& call) {
  call.result->setNull();
  HKEY key = ownKey(call);
  if (!key) return;
  std::optional<std::u16string> name = call.args.text(1);
  std::wstring wideName = name ? platform::toWide(*name) : std::wstring();
  const wchar_t* namePointer = name ? wideName.c_str() : nullptr;
  RegValueData value;
  DWORD type = 0, size = 0;
  LONG code = RegQueryValueExW(key, namePointer, nullptr, &type, nullptr, &size);
  // The value may grow between the two calls: ask again with the size it reports.
  for (int tries = 0; code == ERROR_SUCCESS || code == ERROR_MORE_DATA; ++tries) {
    value.data.resize(size);
    code = RegQueryValueExW(key, namePointer, nullptr, &type, value.data.data(), &size);
    if (code == ERROR_SUCCESS || tries == 4) break;
  }
  if (!succeeded(call, code)) return;
  value.data.resize(size);
  value.name = name;
  value.type = type;
  newRegValue(call.engine, call.result, std::move(value));
}

void write(HostCall& call) {
  HKEY key = ownKey(call);
  const RegValueData* value = script::instanceArgument<RegValueData>(call.args, 1, kRegValueClass);
  if (!key || !value) return call.result->setBoolean(false);
  RegistryBytes bytes = bytesForWrite(value->type, value->data);
  std::wstring name = value->name ? platform::toWide(*value->name) : std::wstring();
  LONG code = RegSetValueExW(key, value->name ? name.c_str() : nullptr, 0, value->type, bytes.data(),
                             DWORD(bytes.size()));
  call.result->setBoolean(succeeded(call, code));
}

void clone(HostCall& call) {
  call.result->setNull();
  HKEY key = ownKey(call);
  UniqueKey copy;
  if (!key || !succeeded(call, RegOpenKeyExW(key, nullptr, 0, KEY_ALL_ACCESS, copy.put()))) return;
  publishKey(call, std::move(copy), false);
}

void getClassName(HostCall& call) {
  HKEY key = ownKey(call);
  DWORD length = 0;
  if (!key || RegQueryInfoKeyW(key, nullptr, &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    return;
  }
  std::wstring text(length + 1, L'\0');
  length = DWORD(text.size());
  if (RegQueryInfoKeyW(key, text.data(), &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr) != ERROR_SUCCESS) {
    return;
  }
  *call.result = script::makeString(call.engine, platform::asUtf16(std::wstring_view(text.data(), length)));
}

void getNewCreated(HostCall& call) { call.result->setBoolean(call.instance<RegKeyData>()->newCreated); }

// Milliseconds since 1970: the FILETIME counts 100 ns steps since 1601.
void getLastWriteTime(HostCall& call) {
  std::optional<KeyInfo> info = keyInfo(call, ownKey(call));
  if (!info) return call.result->setInteger(0);
  uint64_t ticks = uint64_t(info->lastWrite.dwHighDateTime) << 32 | info->lastWrite.dwLowDateTime;
  constexpr int64_t kMillisecondsFrom1601To1970 = 11644473600000;
  call.result->setInteger(int64_t(ticks / 10000) - kMillisecondsFrom1601To1970);
}

const script::HostMethodEntry kMethods[] = {
    {"open", openKey, true},
    {"create", create, true},
    {"deleteKey", deleteKey, true},
    {"deleteValue", deleteValue},
    {"getSubkeyNames", getSubkeyNames},
    {"getValues", getValues},
    {"getValue", getValue},
    {"write", write},
    {"clone", clone},
};

const script::HostPropertyEntry kProperties[] = {
    {"className", getClassName},
    {"newCreated", getNewCreated},
    {"lastWriteTime", getLastWriteTime},
};

const script::HostClassInfo kRegKeyClass = {
    .name = "RegKey",
    .methods = kMethods,
    .properties = kProperties,
    .construct = openKey,
    .call = openKey,
    .release = script::deleteInstance<RegKeyData>,
};

const script::HostClassInfo& regKeyClass() { return kRegKeyClass; }

}  // namespace

void registerRegKey(script::Engine& engine) { script::defineHostClass(engine, kRegKeyClass); }

}  // namespace vexil::objects::registry
