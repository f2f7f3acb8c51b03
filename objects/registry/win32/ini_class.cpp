// Ini: a profile file read and written through the system's wide profile functions. Those write a
// file in the encoding it already has, so text outside the code page survives in a UTF-16 file
// and becomes "?" in a code-page one. A write that needs such text to a file that does not exist
// yet (or is empty) first creates the file as UTF-16 with its byte-order mark; every other file
// keeps its encoding.
#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "objects/registry/win32/registry_classes.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/script_string.h"

namespace vexil::objects::registry {

namespace {

using script::HostCall;
using script::Tag;
using script::Value;

struct IniData {
  std::wstring path;
};

const std::wstring& pathOf(const HostCall& call) { return call.instance<IniData>()->path; }

// The arguments 1..n as wide texts; none when any is not a string.
template <size_t N>
std::optional<std::array<std::wstring, N>> texts(const HostCall& call) {
  std::array<std::wstring, N> out;
  for (size_t i = 0; i < N; ++i) {
    std::optional<std::u16string> t = call.args.text(uint32_t(i + 1));
    if (!t) return std::nullopt;
    out[i] = platform::toWide(*t);
  }
  return out;
}

bool fitsCodePage(std::wstring_view text) {
  if (text.empty()) return true;
  BOOL lost = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), int(text.size()), nullptr, 0, nullptr, &lost);
  return !lost;
}

// Makes a missing or empty file UTF-16 when the text to be written needs it.
void prepareFile(const std::wstring& path, std::wstring_view text) {
  if (fitsCodePage(text)) return;
  WIN32_FILE_ATTRIBUTE_DATA attributes;
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes) &&
      (attributes.nFileSizeLow || attributes.nFileSizeHigh || (attributes.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))) {
    return;
  }
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const unsigned char bom[2] = {0xFF, 0xFE};
  DWORD written = 0;
  WriteFile(file, bom, 2, &written, nullptr);
  CloseHandle(file);
}

// Calls read(buffer, size) with a buffer that doubles until the result leaves `spare` units free:
// the profile functions give no size, only a filled buffer. Doubling keeps megabyte values linear.
template <typename Read>
std::wstring readGrowing(Read read, DWORD spare) {
  std::wstring buffer(1024, L'\0');
  for (;;) {
    DWORD length = read(buffer.data(), DWORD(buffer.size()));
    if (length + spare < buffer.size() || buffer.size() >= (1u << 30)) {
      buffer.resize(length);
      return buffer;
    }
    buffer.assign(buffer.size() * 2, L'\0');
  }
}

// The zero-separated strings of a block as an Array.
void publishList(HostCall& call, std::wstring_view block) {
  script::ArrayRecord* array = script::newArray(call.engine);
  call.result->setArray(array);
  script::attachTable(call.engine, Tag::Array, &array->props);
  uint64_t index = 0;
  size_t start = 0;
  while (start < block.size()) {
    size_t zero = block.find(L'\0', start);
    if (zero == block.npos) zero = block.size();
    if (zero == start) break;
    Value text = script::makeString(call.engine, platform::asUtf16(block.substr(start, zero - start)));
    script::storeElement(call.engine, *call.result->array(), index++, text);
    start = zero + 1;
  }
}

void construct(HostCall& call) {
  std::optional<std::u16string> path = call.args.text(1);
  if (!path) return;
  auto data = std::make_unique<IniData>();
  data->path = platform::toWide(*path);
  call.publish(std::move(data));
}

void getInt(HostCall& call) {
  auto a = texts<2>(call);
  if (!a) return;
  call.result->setInteger(int32_t(GetPrivateProfileIntW((*a)[0].c_str(), (*a)[1].c_str(), 0, pathOf(call).c_str())));
}

void getString(HostCall& call) {
  auto a = texts<2>(call);
  if (!a) return;
  std::wstring text = readGrowing(
      [&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileStringW((*a)[0].c_str(), (*a)[1].c_str(), L"key not found", buffer, size,
                                        pathOf(call).c_str());
      },
      1);
  *call.result = script::makeString(call.engine, platform::asUtf16(text));
}

void getSection(HostCall& call) {
  auto a = texts<1>(call);
  if (!a) return;
  std::wstring block = readGrowing(
      [&](wchar_t* buffer, DWORD size) {
        return GetPrivateProfileSectionW((*a)[0].c_str(), buffer, size, pathOf(call).c_str());
      },
      2);
  publishList(call, block);
}

void getSectionNames(HostCall& call) {
  std::wstring block = readGrowing(
      [&](wchar_t* buffer, DWORD size) { return GetPrivateProfileSectionNamesW(buffer, size, pathOf(call).c_str()); },
      2);
  publishList(call, block);
}

// The Array's strings (numbers and booleans as their text), each "key=value" line ended by a
// zero, the block by another.
void writeSection(HostCall& call) {
  auto a = texts<1>(call);
  const Value* list = call.args.at(2);
  if (!a || !list || !list->is(Tag::Array)) return;
  std::wstring block;
  script::forEachElement(*list->array(), [&](uint64_t, const Value& element) {
    if (element.is(Tag::String)) {
      block += platform::asWide(element.string()->view());
    } else if (element.isNumber() || element.is(Tag::Boolean)) {
      std::string text = element.is(Tag::Boolean) ? (element.boolean() ? "true" : "false") : script::numberToText(element);
      block += std::wstring(text.begin(), text.end());
    } else {
      return;
    }
    block += L'\0';
  });
  block += L'\0';
  prepareFile(pathOf(call), block);
  call.result->setBoolean(WritePrivateProfileSectionW((*a)[0].c_str(), block.c_str(), pathOf(call).c_str()));
}

void writeString(HostCall& call) {
  auto a = texts<3>(call);
  if (!a) return;
  prepareFile(pathOf(call), (*a)[0] + (*a)[1] + (*a)[2]);
  call.result->setBoolean(
      WritePrivateProfileStringW((*a)[0].c_str(), (*a)[1].c_str(), (*a)[2].c_str(), pathOf(call).c_str()));
}

// The whole section goes, its name line too.
void deleteSection(HostCall& call) {
  auto a = texts<1>(call);
  if (!a || call.args.count() != 1) return;
  call.result->setBoolean(WritePrivateProfileStringW((*a)[0].c_str(), nullptr, nullptr, pathOf(call).c_str()));
}

void deleteKey(HostCall& call) {
  auto a = texts<2>(call);
  if (!a) return;
  call.result->setBoolean(WritePrivateProfileStringW((*a)[0].c_str(), (*a)[1].c_str(), nullptr, pathOf(call).c_str()));
}

void iniToString(HostCall& call) { *call.result = script::objectDescription(call.engine, "INI"); }

const script::HostMethodEntry kMethods[] = {
    {"getInt", getInt},
    {"getString", getString},
    {"getSection", getSection},
    {"getSectionNames", getSectionNames},
    {"writeSection", writeSection},
    {"writeString", writeString},
    {"deleteSection", deleteSection},
    {"deleteKey", deleteKey},
    {"toString", iniToString, true},
};

const script::HostClassInfo kIniClass = {
    .name = "Ini",
    .methods = kMethods,
    .construct = construct,
    .release = script::deleteInstance<IniData>,
};

}  // namespace

void registerIni(script::Engine& engine) { script::defineHostClass(engine, kIniClass); }

}  // namespace vexil::objects::registry
