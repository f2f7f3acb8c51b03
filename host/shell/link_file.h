#pragma once
// What Shortcut and URLShortcut share: a shell COM object kept with the file it stands for,
// loaded from that file when it exists, and saved back to it.
#include <windows.h>
#include <objidl.h>

#include <string>

#include "platform/win32/com_ptr.h"

namespace vexil::script {
struct HostCall;
}

namespace vexil::shell {

// COM entered on the script thread for as long as the object that holds it lives. The entries
// nest, so each link object holds one of its own and no order of release can leave a link
// without its apartment.
class ComApartment {
 public:
  ComApartment() : entered_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComApartment() {
    if (entered_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool entered_;
};

template <typename Interface>
struct LinkFile {
  ComApartment apartment;  // first, so it is left last
  platform::ComPtr<Interface> link;
  std::wstring path;
};

// Makes the object; false when the class cannot be made.
template <typename Interface>
bool createLink(LinkFile<Interface>& file, REFCLSID clsid, REFIID iid) {
  return SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, file.link.putVoid())) && file.link;
}

// Loads the file into the object when the file exists. False when it exists and is not a file of
// the object's kind (truncated, something else): such an object is refused rather than saved
// over what the file holds.
enum class LoadResult { Loaded, NoFile, Refused };
LoadResult loadLinkFile(IUnknown* link, const std::wstring& path);

// Writes the object to its file and makes that its file; true when written.
bool saveLinkFile(IUnknown* link, const std::wstring& path);

}  // namespace vexil::shell
