// Registration under the control's own identity, machine-wide and per user, and the version that
// hosts check before using a registered player.
#include <gtest/gtest.h>

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

// The default value of a key under HKEY_CURRENT_USER.
std::wstring registryText(const wchar_t* path) {
  wchar_t value[MAX_PATH * 2];
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, path, nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS) {
    return L"<missing>";
  }
  return value;
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
  EXPECT_EQ(registryText(server.c_str()), playerDllPath());
  EXPECT_EQ(registryText((classes + kProgId + L"\\CLSID").c_str()), kClsidText);
  EXPECT_EQ(registryText((classes + kVersionIndependentProgId + L"\\CurVer").c_str()), kProgId);
  ASSERT_EQ(install(FALSE, L"user"), S_OK);
  EXPECT_EQ(registryText(server.c_str()), L"<missing>");
  EXPECT_EQ(registryText((classes + kProgId).c_str()), L"<missing>");
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
