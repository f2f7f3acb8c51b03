#include "objects/sysinfo/win32/wmi_disks.h"

#include <windows.h>
#include <wbemidl.h>

#include <cwchar>

#include "platform/win32/com_ptr.h"
#include "platform/win32/wide_text.h"

namespace vexil::objects {
namespace {

// COM for the length of the query, balanced only when this call started it.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  bool usable() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  ~Variant() { VariantClear(&v_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* put() {
    VariantClear(&v_);
    return &v_;
  }
  // The value as text (WMI hands 64-bit numbers over as text anyway); nothing for null or empty.
  std::optional<std::wstring> text() {
    if (v_.vt == VT_EMPTY || v_.vt == VT_NULL) return std::nullopt;
    if (v_.vt != VT_BSTR && FAILED(VariantChangeType(&v_, &v_, 0, VT_BSTR))) return std::nullopt;
    if (!v_.bstrVal) return std::nullopt;
    return std::wstring(v_.bstrVal, SysStringLen(v_.bstrVal));
  }

 private:
  VARIANT v_;
};

std::optional<std::wstring> property(IWbemClassObject* object, const wchar_t* name) {
  Variant value;
  if (FAILED(object->Get(name, 0, value.put(), nullptr, nullptr))) return std::nullopt;
  return value.text();
}

std::optional<std::string> textProperty(IWbemClassObject* object, const wchar_t* name) {
  std::optional<std::wstring> text = property(object, name);
  if (!text) return std::nullopt;
  size_t first = text->find_first_not_of(L' ');
  size_t last = text->find_last_not_of(L' ');
  if (first == std::wstring::npos) return std::nullopt;
  return platform::toAnsi(text->substr(first, last - first + 1));
}

std::optional<int64_t> numberProperty(IWbemClassObject* object, const wchar_t* name) {
  std::optional<std::wstring> text = property(object, name);
  if (!text || text->empty()) return std::nullopt;
  wchar_t* end = nullptr;
  long long n = std::wcstoll(text->c_str(), &end, 10);
  if (*end != L'\0' || n < 0) return std::nullopt;
  return n;
}

DiskFacts factsOf(IWbemClassObject* drive) {
  DiskFacts facts;
  facts.index = uint32_t(numberProperty(drive, L"Index").value_or(0));
  facts.source = "wmi";
  facts.vendor = textProperty(drive, L"Manufacturer");
  facts.model = textProperty(drive, L"Model");
  facts.serialNumber = textProperty(drive, L"SerialNumber");
  facts.firmwareRevision = textProperty(drive, L"FirmwareRevision");
  facts.size = numberProperty(drive, L"Size");
  facts.cylinders = numberProperty(drive, L"TotalCylinders");
  facts.tracksPerCylinder = numberProperty(drive, L"TracksPerCylinder");
  facts.sectorsPerTrack = numberProperty(drive, L"SectorsPerTrack");
  facts.bytesPerSector = numberProperty(drive, L"BytesPerSector");
  return facts;
}

}  // namespace

std::vector<DiskFacts> wmiDiskDrives() {
  ComScope com;
  if (!com.usable()) return {};
  platform::ComPtr<IWbemLocator> locator;
  if (FAILED(CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                              locator.putVoid()))) {
    return {};
  }
  platform::ComPtr<IWbemServices> services;
  BSTR root = SysAllocString(L"ROOT\\CIMV2");
  HRESULT connected = locator->ConnectServer(root, nullptr, nullptr, nullptr, 0, nullptr, nullptr, services.put());
  SysFreeString(root);
  if (FAILED(connected)) return {};
  CoSetProxyBlanket(services.get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                    RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
  platform::ComPtr<IEnumWbemClassObject> rows;
  BSTR language = SysAllocString(L"WQL");
  BSTR query = SysAllocString(L"SELECT * FROM Win32_DiskDrive");
  HRESULT queried = services->ExecQuery(language, query, WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY,
                                        nullptr, rows.put());
  SysFreeString(language);
  SysFreeString(query);
  if (FAILED(queried)) return {};
  std::vector<DiskFacts> drives;
  for (;;) {
    platform::ComPtr<IWbemClassObject> drive;
    ULONG got = 0;
    if (rows->Next(WBEM_INFINITE, 1, drive.put(), &got) != WBEM_S_NO_ERROR || got == 0) break;
    drives.push_back(factsOf(drive.get()));
  }
  return drives;
}

}  // namespace vexil::objects
