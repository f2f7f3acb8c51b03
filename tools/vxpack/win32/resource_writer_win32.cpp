// On Windows, resources go into the program through the system's resource-update functions.
#include <windows.h>

#include <stdexcept>

#include "tools/vxpack/project/package_writer.h"

namespace vexil::project {

namespace {

struct Existing {
  std::wstring type;
  std::wstring name;  // "#n" for a number
  WORD language;
};

std::wstring wide(const std::string& text) {
  int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::wstring out(size_t(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, out.data(), n);
  out.resize(out.size() - 1);
  return out;
}

std::wstring idText(LPCWSTR id) { return IS_INTRESOURCE(id) ? L"#" + std::to_wstring(ULONG_PTR(id)) : id; }

LPCWSTR idOf(const std::wstring& text) {
  return text.starts_with(L"#") ? MAKEINTRESOURCEW(std::stoi(text.substr(1))) : text.c_str();
}

struct Walk {
  std::vector<Existing>* found;
  std::wstring type, name;
};

BOOL CALLBACK addLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
  auto* w = reinterpret_cast<Walk*>(param);
  w->found->push_back({w->type, w->name, language});
  return TRUE;
}

BOOL CALLBACK addName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  reinterpret_cast<Walk*>(param)->name = idText(name);
  EnumResourceLanguagesW(module, type, name, addLanguage, param);
  return TRUE;
}

// The stub's own resources of the package's types, to be removed before the package goes in.
std::vector<Existing> packageResources(const std::wstring& path) {
  std::vector<Existing> found;
  HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!module) return found;
  Walk walk{&found, {}, {}};
  for (const char* type : kPackageTypes) {
    walk.type = wide(type);
    EnumResourceNamesW(module, walk.type.c_str(), addName, LONG_PTR(&walk));
  }
  FreeLibrary(module);
  return found;
}

}  // namespace

void writeResourcesInto(const std::string& programPath, const std::vector<PackageResource>& resources,
                        bool dropPackageTypes) {
  std::wstring path = wide(programPath);
  std::vector<Existing> old = dropPackageTypes ? packageResources(path) : std::vector<Existing>{};
  HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
  if (!update) throw std::runtime_error("cannot open " + programPath + " to change its resources (error " +
                                        std::to_string(GetLastError()) + ")");
  bool ok = true;
  for (const Existing& e : old) ok = ok && UpdateResourceW(update, e.type.c_str(), idOf(e.name), e.language, nullptr, 0);
  const WORD neutral = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
  for (const PackageResource& r : resources) {
    std::wstring type = wide(r.type), name = wide(r.name);
    ok = ok && UpdateResourceW(update, type.c_str(), name.c_str(), neutral, const_cast<uint8_t*>(r.bytes.data()),
                               DWORD(r.bytes.size()));
  }
  DWORD error = ok ? 0 : GetLastError();
  if (!EndUpdateResourceW(update, !ok) || !ok)
    throw std::runtime_error("cannot write the resources of " + programPath + " (error " +
                             std::to_string(error ? error : GetLastError()) + ")");
}

}  // namespace vexil::project
