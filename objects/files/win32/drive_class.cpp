// Drive: one logical drive, held as its root "X:\". Every question to the volume runs with the
// system's "insert a disk" box turned off, so an empty drive answers its failure value quietly.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "objects/files/file_paths.h"
#include "objects/files/win32/disk_space.h"
#include "objects/files/win32/file_classes.h"
#include "objects/files/win32/file_system_paths.h"
#include "objects/files/win32/script_values.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"
#include "script/runtime/stack_roots.h"

namespace vexil::objects::files {
namespace {

using script::HostCall;
using script::Value;

struct DriveRoot {
  std::wstring root;  // "X:\", the letter upper-cased
};

const std::wstring& rootOf(const HostCall& call) { return call.instance<DriveRoot>()->root; }

bool driveExists(char16_t letter) { return (GetLogicalDrives() >> (letter - u'A')) & 1; }

std::unique_ptr<DriveRoot> driveFor(char16_t letter) {
  return std::make_unique<DriveRoot>(DriveRoot{std::wstring{wchar_t(letter), L':', L'\\'}});
}

const script::HostClassInfo& driveClass();

void construct(HostCall& call) {
  call.result->setNull();
  const script::ScriptString* text = call.args.string(1);
  char16_t letter = text ? driveLetterOf(text->view()) : 0;
  if (letter && driveExists(letter)) call.publish(driveFor(letter));
}

// --- properties ---

void getDrives(HostCall& call) {
  script::StackRoots roots(call.engine);
  Value* array = roots.hold();
  script::ArrayRecord* record = script::newArray(call.engine);
  array->setArray(record);
  Value* element = roots.hold();
  DWORD present = GetLogicalDrives();
  uint64_t count = 0;
  for (char16_t letter = u'A'; letter <= u'Z'; ++letter) {
    if (!((present >> (letter - u'A')) & 1)) continue;
    script::newInstance(call.engine, driveClass(), element, driveFor(letter));
    script::storeElement(call.engine, *record, count++, *element);
  }
  *call.result = *array;
}

template <uint64_t DiskSpace::*Count>
void getSpace(HostCall& call) {
  std::optional<DiskSpace> space = diskSpace(rootOf(call));
  if (space) call.result->setInteger(int64_t((*space).*Count));
  else call.result->setNaN();
}

void getDriveLetter(HostCall& call) { *call.result = scriptText(call.engine, rootOf(call).substr(0, 1)); }

void getDriveType(HostCall& call) {
  static const char* const kTypes[] = {"unknown", "no root dir", "removable", "fixed", "network", "cdrom", "ram disk"};
  UINT type = GetDriveTypeW(rootOf(call).c_str());
  *call.result = script::makeStringFromAnsi(call.engine, kTypes[type < std::size(kTypes) ? type : 0]);
}

struct VolumeInfo {
  wchar_t name[128];
  wchar_t fileSystem[128];
  DWORD serial;
};

std::optional<VolumeInfo> volumeInfo(const std::wstring& root) {
  QuietDriveErrors quiet;
  VolumeInfo info{};
  if (!GetVolumeInformationW(root.c_str(), info.name, DWORD(std::size(info.name)), &info.serial, nullptr, nullptr,
                             info.fileSystem, DWORD(std::size(info.fileSystem)))) {
    return std::nullopt;
  }
  return info;
}

void getFileSystem(HostCall& call) {
  std::optional<VolumeInfo> info = volumeInfo(rootOf(call));
  if (info) *call.result = scriptText(call.engine, info->fileSystem);
  else call.result->setBoolean(false);
}

void getSerialNumber(HostCall& call) {
  std::optional<VolumeInfo> info = volumeInfo(rootOf(call));
  char digits[16] = "";
  if (info) std::snprintf(digits, sizeof digits, "%lu", static_cast<unsigned long>(info->serial));
  *call.result = script::makeStringFromAnsi(call.engine, digits);
}

void getVolumeName(HostCall& call) {
  std::optional<VolumeInfo> info = volumeInfo(rootOf(call));
  *call.result = scriptText(call.engine, info ? info->name : L"");
}

void setVolumeName(HostCall& call, const Value& value) {
  script::StackRoots roots(call.engine);
  Value* text = roots.hold();
  script::valueToString(call.engine, value, text);
  std::wstring label(platform::asWide(text->string()->view()));
  if (label.find(L'\0') != std::wstring::npos) return;
  QuietDriveErrors quiet;
  SetVolumeLabelW(rootOf(call).c_str(), label.c_str());
}

// Not ready only when the system says so; any other failure to open the root still counts as
// ready, as the drive is there.
void getIsReady(HostCall& call) {
  QuietDriveErrors quiet;
  platform::UniqueKernelHandle root(platform::validHandleOrNull(
      CreateFileW(rootOf(call).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS, nullptr)));
  call.result->setBoolean(root || GetLastError() != ERROR_NOT_READY);
}

void getPath(HostCall& call) { *call.result = scriptText(call.engine, rootOf(call)); }

const script::HostPropertyEntry kProperties[] = {
    {"drives", getDrives, nullptr, true},
    {"availableSpace", getSpace<&DiskSpace::availableToCaller>},
    {"freeSpace", getSpace<&DiskSpace::free>},
    {"totalSize", getSpace<&DiskSpace::total>},
    {"driveLetter", getDriveLetter},
    {"driveType", getDriveType},
    {"fileSystem", getFileSystem},
    {"isReady", getIsReady},
    {"path", getPath},
    {"rootFolder", getPath},
    {"serialNumber", getSerialNumber},
    {"volumeName", getVolumeName, setVolumeName},
};

void toString(HostCall& call) { *call.result = script::makeStringFromAnsi(call.engine, "[Object Drive]"); }

const script::HostMethodEntry kMethods[] = {
    {"toString", toString},
};

const script::HostClassInfo kDriveClass = {
    .name = "Drive",
    .methods = kMethods,
    .properties = kProperties,
    .construct = construct,
    .call = construct,
    .release = script::deleteInstance<DriveRoot>,
};

const script::HostClassInfo& driveClass() { return kDriveClass; }

}  // namespace

void registerDrive(script::Engine& engine) { script::defineHostClass(engine, kDriveClass); }

}  // namespace vexil::objects::files
