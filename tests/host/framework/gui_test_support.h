#pragma once
// Support for the host's window tests under Wine: the player DLL's path, a message pump that waits
// for something to happen, movies written to scratch files, and an OLE apartment per test.
#include <windows.h>
#include <ole2.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vexil::testing {

// The stand-in player control DLL, as a Windows path.
std::wstring playerDllPath();
// A Unix path handed over by the build, as Wine sees it.
std::wstring windowsPathOf(const std::string& unixPath);

// Dispatches messages until the condition holds or the queue has had a long quiet spell (a
// safety net for a test that would otherwise hang, not a timing check). Returns the condition.
bool pumpUntil(const std::function<bool()>& condition);

class OleApartment {
 public:
  OleApartment() { OleInitialize(nullptr); }
  ~OleApartment() { OleUninitialize(); }
};

// A generated movie in a scratch file, removed at the end.
class ScratchMovie {
 public:
  explicit ScratchMovie(const std::vector<uint8_t>& bytes);
  ~ScratchMovie();
  const std::wstring& path() const { return path_; }

 private:
  std::wstring path_;
};

}  // namespace vexil::testing
