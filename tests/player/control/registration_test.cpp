// Registration under the control's own identity, machine-wide and per user, with its type library,
// and the version that hosts check before using a registered player.
#include <gtest/gtest.h>

#include <functional>

#include "player/control/control_ids.h"
#include "tests/player/control/test_container.h"

using namespace vexil::control;
using namespace vexil::control::testing;

namespace {

using EntryPoint = HRESULT(STDAPICALLTYPE*)();
using InstallEntry = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);

void expectCreatedByClsidAndProgId() {
  ComPtr<IDispatch> byClsid;
  EXPECT_EQ(CoCreateInstance(kControlClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, byClsid.putVoid()), S_OK);
  for (const wchar_t* progId : {kProgId, kVersionIndependentProgId}) {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kControlClsid));
  }
}

// The default value of a key.
std::wstring registryText(HKEY root, const std::wstring& path) {
  wchar_t value[MAX_PATH * 2];
  DWORD size = sizeof value;
  if (RegGetValueW(root, path.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  return value;
}

std::wstring guidText(REFGUID guid) {
  wchar_t text[40];
  int length = StringFromGUID2(guid, text, 40);
  return std::wstring(text, length > 0 ? length - 1 : 0);
}

// Where the type library is registered, or "<missing>".
std::wstring registeredLibraryPath(const TLIBATTR& library) {
  BSTR path = nullptr;
  if (FAILED(QueryPathOfRegTypeLib(library.guid, library.wMajorVerNum, library.wMinorVerNum, library.lcid, &path))) {
    return L"<missing>";
  }
  std::wstring text(path, SysStringLen(path));
  SysFreeString(path);
  return text;
}

}  // namespace

class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_TRUE(library_.loaded());
  }
  void TearDown() override { CoUninitialize(); }
  ControlLibrary library_;
};

TEST_F(Registration, MachineWideRegisterCreateAndUnregister) {
  ASSERT_EQ(library_.entry<EntryPoint>("DllRegisterServer")(), S_OK);
  expectCreatedByClsidAndProgId();
  ASSERT_EQ(library_.entry<EntryPoint>("DllUnregisterServer")(), S_OK);
  CoFreeUnusedLibraries();
  ComPtr<IDispatch> control;
  EXPECT_EQ(CoCreateInstance(kControlClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.putVoid()),
            REGDB_E_CLASSNOTREG);
}

TEST_F(Registration, PerUserRegistration) {
  auto install = library_.entry<InstallEntry>("DllInstall");
  ASSERT_NE(install, nullptr);
  ASSERT_EQ(install(TRUE, L"user"), S_OK);
  // Windows merges these keys into HKEY_CLASSES_ROOT; Wine's COM does not look there, so the
  // entries are checked where they are written.
  const std::wstring classes = L"Software\\Classes\\";
  const std::wstring server = classes + L"CLSID\\" + kClsidText + L"\\InprocServer32";
  EXPECT_EQ(registryText(HKEY_CURRENT_USER, server), playerDllPath());
  EXPECT_EQ(registryText(HKEY_CURRENT_USER, classes + kProgId + L"\\CLSID"), kClsidText);
  EXPECT_EQ(registryText(HKEY_CURRENT_USER, classes + kVersionIndependentProgId + L"\\CurVer"), kProgId);
  ASSERT_EQ(install(FALSE, L"user"), S_OK);
  EXPECT_EQ(registryText(HKEY_CURRENT_USER, server), L"<missing>");
  EXPECT_EQ(registryText(HKEY_CURRENT_USER, classes + kProgId), L"<missing>");
}

// Both scopes register the type library the DLL carries beside the class, and remove it again.
// (Wine registers a per-user type library machine-wide; Windows keeps it with the user's classes.
// Either way the registry's view of the classes finds it.)
TEST_F(Registration, RegistrationAddsAndRemovesTheTypeLibrary) {
  ComPtr<ITypeLib> carried;
  ASSERT_EQ(LoadTypeLibEx(playerDllPath().c_str(), REGKIND_NONE, carried.put()), S_OK);
  TLIBATTR* library = nullptr;
  ASSERT_EQ(carried->GetLibAttr(&library), S_OK);
  const TLIBATTR attributes = *library;
  carried->ReleaseTLibAttr(library);
  auto install = library_.entry<InstallEntry>("DllInstall");
  auto registerServer = library_.entry<EntryPoint>("DllRegisterServer");
  auto unregisterServer = library_.entry<EntryPoint>("DllUnregisterServer");
  struct Case {
    const wchar_t* scope;
    HKEY classes;
    const wchar_t* classesPath;
    std::function<HRESULT()> add;
    std::function<HRESULT()> remove;
  };
  const Case cases[] = {
      {L"machine", HKEY_CLASSES_ROOT, L"", registerServer, unregisterServer},
      {L"user", HKEY_CURRENT_USER, L"Software\\Classes\\", [&] { return install(TRUE, L"user"); },
       [&] { return install(FALSE, L"user"); }},
  };
  const std::wstring classKey = std::wstring(L"CLSID\\") + kClsidText;
  for (const Case& c : cases) {
    ASSERT_EQ(c.add(), S_OK) << c.scope;
    EXPECT_EQ(registeredLibraryPath(attributes), playerDllPath()) << c.scope;
    EXPECT_EQ(registryText(c.classes, c.classesPath + classKey + L"\\TypeLib"), guidText(attributes.guid)) << c.scope;
    EXPECT_EQ(registryText(c.classes, c.classesPath + classKey + L"\\Version"), L"1.0") << c.scope;
    ComPtr<ITypeLib> registered;
    ComPtr<ITypeInfo> coclass;
    EXPECT_EQ(LoadRegTypeLib(attributes.guid, attributes.wMajorVerNum, attributes.wMinorVerNum, attributes.lcid,
                             registered.put()),
              S_OK)
        << c.scope;
    if (registered) {
      EXPECT_EQ(registered->GetTypeInfoOfGuid(kControlClsid, coclass.put()), S_OK) << c.scope;
    }
    ASSERT_EQ(c.remove(), S_OK) << c.scope;
    EXPECT_EQ(registeredLibraryPath(attributes), L"<missing>") << c.scope;
    EXPECT_EQ(registryText(c.classes, c.classesPath + classKey + L"\\TypeLib"), L"<missing>") << c.scope;
  }
}

TEST(VersionResource, FileVersionIsNewEnoughForHosts) {
  std::wstring path = playerDllPath();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&info), &length));
  uint64_t version = (uint64_t{info->dwFileVersionMS} << 32) | info->dwFileVersionLS;
  const uint64_t minimum = (uint64_t{7} << 48) | (uint64_t{0} << 32) | (uint64_t{32} << 16);
  EXPECT_GE(version, minimum);
}
