#include "host/shell/special_folders.h"

#include <iterator>

namespace vexil::shell {
namespace {

// CSIDL numbers, spelled here so the table stays portable; the Windows side checks them against the
// system's header.
constexpr SpecialFolder kFolders[] = {
    {"appdata", FolderSource::Csidl, 0x1A},
    {"cookies", FolderSource::Csidl, 0x21},
    {"desktop", FolderSource::Csidl, 0x10},
    {"desktop all", FolderSource::Csidl, 0x19},
    {"favorites", FolderSource::Csidl, 0x06},
    {"fonts", FolderSource::Csidl, 0x14},
    {"history", FolderSource::Csidl, 0x22},
    {"internet cache", FolderSource::Csidl, 0x20},
    {"my documents", FolderSource::Csidl, 0x05},
    {"nethood", FolderSource::Csidl, 0x13},
    {"printers", FolderSource::NoPath, 0x04},  // a virtual folder
    {"programs", FolderSource::Csidl, 0x02},
    {"programs all", FolderSource::Csidl, 0x17},
    {"recent", FolderSource::Csidl, 0x08},
    {"sendto", FolderSource::Csidl, 0x09},
    {"startmenu", FolderSource::Csidl, 0x0B},
    {"startmenu all", FolderSource::Csidl, 0x16},
    {"startup", FolderSource::Csidl, 0x07},
    {"startup all", FolderSource::Csidl, 0x18},
    {"templates", FolderSource::Csidl, 0x15},
    {"windows", FolderSource::Windows},
    {"system", FolderSource::System},
    {"temp", FolderSource::Temp},
    {"program files", FolderSource::ProgramFiles},
    {"recycle bin", FolderSource::NoPath},
};

// Only A-Z fold: a name in another script never matches by a locale's folding.
bool sameName(std::u16string_view given, std::string_view name) {
  if (given.size() != name.size()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    char16_t c = given[i];
    if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
    if (c != char16_t(name[i])) return false;
  }
  return true;
}

}  // namespace

const SpecialFolder* findSpecialFolder(std::u16string_view name) {
  for (const SpecialFolder& folder : kFolders) {
    if (sameName(name, folder.name)) return &folder;
  }
  return nullptr;
}

}  // namespace vexil::shell
