// RegKey, RegValue and Ini beside the plain wide Win32 calls they make: 10,000 registry value
// writes and reads and 10,000 profile reads. The classes' figure is a script loop's time less the
// same loop without the call. Run under Wine: registry_bench.exe [calls]
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/support/script_bench.h"
#include "classes/class_list.h"
#include "script/runtime/engine.h"
#include "script/vm/script_host.h"

namespace {

using vexil::bench::Clock;
using vexil::bench::scriptedSeconds;
using vexil::bench::secondsSince;

void report(const char* what, double plainSeconds, double classSeconds, int calls) {
  double plainUs = plainSeconds / calls * 1e6;
  double classUs = classSeconds / calls * 1e6;
  std::printf("%-24s plain %8.2f us/call   class %8.2f us/call   ratio %.2f\n", what, plainUs, classUs, classUs / plainUs);
}

// The text a script writes: "value " and the index, as a REG_SZ with its terminator.
double plainWrites(HKEY key, int calls) {
  auto start = Clock::now();
  for (int i = 0; i < calls; ++i) {
    std::wstring text = L"value " + std::to_wstring(i);
    RegSetValueExW(key, L"bench", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   DWORD((text.size() + 1) * sizeof(wchar_t)));
  }
  return secondsSince(start);
}

// A read the way a client that does not know the size reads: ask the size, then the data.
double plainReads(HKEY key, int calls) {
  auto start = Clock::now();
  for (int i = 0; i < calls; ++i) {
    DWORD type = 0, size = 0;
    RegQueryValueExW(key, L"bench", nullptr, &type, nullptr, &size);
    std::wstring text(size / sizeof(wchar_t), L'\0');
    RegQueryValueExW(key, L"bench", nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
  }
  return secondsSince(start);
}

double plainProfileReads(const std::wstring& path, int calls) {
  auto start = Clock::now();
  for (int i = 0; i < calls; ++i) {
    wchar_t buffer[1024];
    GetPrivateProfileStringW(L"main", L"title", L"key not found", buffer, 1024, path.c_str());
  }
  return secondsSince(start);
}

}  // namespace

int main(int argc, char** argv) {
  int calls = argc > 1 ? std::atoi(argv[1]) : 10000;
  HKEY key = nullptr;
  RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VexilTest\\registry_bench", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                  &key, nullptr);
  wchar_t folder[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  std::wstring path = std::wstring(folder) + L"vexil_registry_bench.ini";
  WritePrivateProfileStringW(L"main", L"title", L"A screensaver", path.c_str());
  std::string ansiPath(path.begin(), path.end());
  std::string escaped;
  for (char c : ansiPath) escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);

  vexil::script::ScriptHostOptions options;
  vexil::script::ClassRegistry classes = vexil::classes::standardClasses();
  vexil::script::ScriptHost* host = vexil::script::createScriptHost(&options, &classes);
  const std::string open = "var k = new RegKey(\"HKCU\\\\Software\\\\VexilTest\\\\registry_bench\"); var x = 0; ";
  double loop = scriptedSeconds(*host, "var x = 0; ", "x = \"value \" + i;", calls);
  std::printf("%d calls each; an empty script loop takes %.2f us per step (subtracted)\n", calls, loop / calls * 1e6);
  report("RegKey.write", plainWrites(key, calls),
         scriptedSeconds(*host, open, "var v = new RegValue(); v.name = \"bench\"; v.data = \"value \" + i; k.write(v);", calls) -
             loop,
         calls);
  report("RegKey.getValue().data", plainReads(key, calls),
         scriptedSeconds(*host, open, "x = \"value \" + i; x = k.getValue(\"bench\").data;", calls) - loop, calls);
  report("Ini.getString", plainProfileReads(path, calls),
         scriptedSeconds(*host, "var ini = new Ini(\"" + escaped + "\"); var x = 0; ",
                  "x = \"value \" + i; x = ini.getString(\"main\", \"title\");", calls) - loop,
         calls);
  vexil::script::destroyScriptHost(host);
  RegCloseKey(key);
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\VexilTest\\registry_bench");
  DeleteFileW(path.c_str());
  return 0;
}
