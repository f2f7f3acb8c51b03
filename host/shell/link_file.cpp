#include "host/shell/link_file.h"

namespace vexil::shell {

LoadResult loadLinkFile(IUnknown* link, const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LoadResult::NoFile;
  platform::ComPtr<IPersistFile> file;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) ||
      FAILED(link->QueryInterface(IID_IPersistFile, file.putVoid())) ||
      FAILED(file->Load(path.c_str(), STGM_READ))) {
    return LoadResult::Refused;
  }
  return LoadResult::Loaded;
}

bool saveLinkFile(IUnknown* link, const std::wstring& path) {
  platform::ComPtr<IPersistFile> file;
  return SUCCEEDED(link->QueryInterface(IID_IPersistFile, file.putVoid())) &&
         SUCCEEDED(file->Save(path.c_str(), TRUE));
}

}  // namespace vexil::shell
