// Shell.getFileVersionInfo: a file's version resource as an object of numbers and strings.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "host/shell/shell_members.h"
#include "host/shell/shell_text.h"
#include "host/shell/version_keys.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/host_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/stack_roots.h"

namespace vexil::shell {
namespace {

using script::HostCall;
using script::Value;

std::optional<std::vector<BYTE>> versionResource(const std::wstring& path) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
  return block;
}

// A sub-block of the resource; none when it is missing or empty.
std::optional<std::pair<const void*, UINT>> subBlock(std::vector<BYTE>& resource, const std::wstring& name) {
  void* data = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(resource.data(), name.c_str(), &data, &length) || !data || length == 0) return std::nullopt;
  return std::pair<const void*, UINT>(data, length);
}

class ResultObject {
 public:
  ResultObject(script::Engine& engine, script::StackRoots& roots)
      : engine_(engine), roots_(roots), object_(roots.hold(Value::fromObject(script::newTable(engine)))) {}
  void put(const char* name, const Value& value) {
    Value* held = roots_.hold(value);
    script::setProperty(engine_, object_->table(), script::intern(engine_, name), *held);
  }
  const Value& value() const { return *object_; }

 private:
  script::Engine& engine_;
  script::StackRoots& roots_;
  Value* object_;
};

void putNumbers(ResultObject& result, std::vector<BYTE>& resource) {
  auto fixed = subBlock(resource, L"\\");
  if (!fixed || fixed->second < kFixedVersionSize) return;
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed->first);
  result.put("fileVersionNum", Value::fromInteger(versionNumber(info->dwFileVersionMS, info->dwFileVersionLS)));
  result.put("productVersionNum",
             Value::fromInteger(versionNumber(info->dwProductVersionMS, info->dwProductVersionLS)));
}

void putStrings(script::Engine& engine, ResultObject& result, std::vector<BYTE>& resource, uint32_t translation) {
  for (const VersionKey& key : kVersionKeys) {
    std::u16string path = versionStringPath(translation, key.key);
    std::wstring text;
    if (auto found = subBlock(resource, std::wstring(path.begin(), path.end()))) {
      const auto* chars = static_cast<const wchar_t*>(found->first);
      text.assign(chars, wcsnlen(chars, found->second));
    }
    result.put(key.property, wideValue(engine, text));
  }
}

}  // namespace

void getFileVersionInfo(HostCall& call) {
  call.result->setNull();
  std::optional<std::wstring> path = wideArgument(call.args, 1);
  if (!path) return;
  std::optional<std::vector<BYTE>> resource = versionResource(*path);
  if (!resource) return;
  script::StackRoots roots(call.engine);
  ResultObject result(call.engine, roots);
  putNumbers(result, *resource);
  auto translations = subBlock(*resource, L"\\VarFileInfo\\Translation");
  if (translations && translations->second >= 2 * sizeof(WORD)) {
    const auto* pair = static_cast<const WORD*>(translations->first);
    uint32_t translation = translationNumber(pair[0], pair[1]);
    result.put("translation", Value::fromInteger(translation));
    putStrings(call.engine, result, *resource, translation);
  }
  *call.result = result.value();
}

}  // namespace vexil::shell
