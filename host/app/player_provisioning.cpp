#include "host/app/player_provisioning.h"

#include <windows.h>

#include <vector>

#include "host/app/app_texts.h"
#include "host/mainwnd/player_identity.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace vexil::app {
namespace {

using platform::toWide;

constexpr size_t kLongestPathVariable = 4096;

bool registeredPlayerIsGood() {
  platform::ComPtr<IDispatch> player;
  if (FAILED(CoCreateInstance(mainwnd::kFlashPlayerClsid, nullptr,
                              CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER, IID_IDispatch,
                              player.putVoid()))) {
    return false;
  }
  player.reset();
  auto version = fileVersionOf(registeredServerOf(mainwnd::kFlashPlayerClsidText));
  return version && isGoodPlayerVersion(*version);
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  return platform::writeWholeFile(path, bytes.data(), bytes.size());
}

bool libraryLoads(const wchar_t* name) {
  platform::UniqueModule module(LoadLibraryW(name));
  return static_cast<bool>(module);
}

// A system library the machine lacks, from the package's support slot, written to a directory.
bool supplyLibrary(const package::ResourceSource& resources, const wchar_t* name, const char* slot,
                   const std::string& directory) {
  if (libraryLoads(name)) return true;
  auto bytes = package::decodeResource(resources, slot, "SUPPORT");
  return bytes && writeFile(directory + platform::toAnsi(name), *bytes);
}

std::wstring moduleFileName(HMODULE module) {
  wchar_t path[MAX_PATH];
  DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, length < MAX_PATH ? length : 0);
}

// OLEAUT32.DLL before 2.20 is replaced with the package's copy, if the user agrees.
bool supplyOleAut(const package::ResourceSource& resources, const std::string& tempDir) {
  {
    platform::UniqueModule loaded(LoadLibraryW(L"OLEAUT32.DLL"));
    if (loaded) {
      auto version = fileVersionOf(moduleFileName(loaded.get()));
      if (version && isGoodOleAutVersion(*version)) return true;
    }
  }
  auto bytes = package::decodeResource(resources, "$2", "SUPPORT");
  std::string copy = tempDir + "OLEAUT32.DLL";
  if (!bytes || !writeFile(copy, *bytes)) return false;
  std::wstring question = toWide(kOleAutTooOld);
  if (MessageBoxW(nullptr, question.c_str(), nullptr, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
  platform::UniqueModule loaded(LoadLibraryW(L"OLEAUT32.DLL"));
  std::wstring system = loaded ? moduleFileName(loaded.get()) : std::wstring();
  if (system.empty() || !CopyFileW(toWide(copy).c_str(), system.c_str(), FALSE)) {
    std::wstring text = toWide(kOleAutUpdateFailed);
    MessageBoxW(nullptr, text.c_str(), nullptr, MB_OK | MB_ICONERROR);
    return false;
  }
  return true;
}

std::string systemDirectory() {
  wchar_t path[MAX_PATH];
  UINT length = GetSystemDirectoryW(path, MAX_PATH);
  std::string directory = platform::toAnsi(std::wstring_view(path, length < MAX_PATH ? length : 0));
  return directory.empty() || directory.back() == '\\' ? directory : directory + "\\";
}

bool supplyLibraries(const package::ResourceSource& resources, const std::string& tempDir) {
  return supplyLibrary(resources, L"MSVCRT.DLL", "$1", tempDir) && supplyOleAut(resources, tempDir) &&
         supplyLibrary(resources, L"URLMON.DLL", "$3", systemDirectory()) &&
         supplyLibrary(resources, L"WININET.DLL", "$4", systemDirectory());
}

// The unpacked libraries are found through the search path.
void addToSearchPath(const std::string& directory) {
  std::string path = platform::environmentVariable("path").value_or("");
  if (path.size() > kLongestPathVariable) path.resize(kLongestPathVariable);
  platform::setEnvironmentVariable("path", path + ";" + directory);
}

}  // namespace

std::optional<FileVersion> fileVersionOf(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<uint8_t> block(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || length < sizeof *info) {
    return std::nullopt;
  }
  return FileVersion{info->dwFileVersionMS, info->dwFileVersionLS};
}

std::wstring registeredServerOf(const wchar_t* clsidText) {
  std::wstring keyPath = std::wstring(L"CLSID\\") + clsidText + L"\\InprocServer32";
  platform::UniqueKey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return {};
  wchar_t value[MAX_PATH];
  DWORD size = sizeof value - sizeof(wchar_t), type = 0;
  if (RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return {};
  }
  value[size / sizeof(wchar_t)] = L'\0';
  wchar_t expanded[MAX_PATH];
  DWORD length = ExpandEnvironmentStringsW(value, expanded, MAX_PATH);
  return length > 0 && length <= MAX_PATH ? std::wstring(expanded) : std::wstring(value);
}

std::string providePlayer(const package::ResourceSource& resources, const std::string& tempDir,
                          mainwnd::ScriptRunner& runner) {
  if (auto chosen = runner.callHook(mainwnd::ScriptHook::GetFlashPlayer); chosen && !chosen->empty()) return *chosen;
  if (registeredPlayerIsGood()) return {};
  auto player = package::decodeResource(resources, "FP", "LUMARC");
  if (!player || !supplyLibraries(resources, tempDir)) return {};
  addToSearchPath(tempDir);
  std::string path = tempDir + kPlayerFileName;
  return writeFile(path, *player) ? path : std::string();
}

}  // namespace vexil::app
