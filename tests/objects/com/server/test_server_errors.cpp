// Failing members. Fail returns the HRESULT it is given, which the Invoke front hands back as
// Invoke's own result. Raise goes the way of a server with rich errors: it sets an error object
// (source, description, help file) through SetErrorInfo and fails; ITypeInfo::Invoke turns that
// into DISP_E_EXCEPTION with the EXCEPINFO filled from the error object.
#include <string>

#include "tests/objects/com/server/bstr_text.h"
#include "tests/objects/com/server/test_server_object.h"

namespace vexil::test_automation {
namespace {

constexpr const wchar_t* kErrorSource = L"VexilTest";
constexpr const wchar_t* kErrorHelpFile = L"test.hlp";
// The scode of a raised error: a code of this interface's own, so a client cannot mistake it for a
// system error.
constexpr HRESULT kRaisedError = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_ITF, 0x201);

}  // namespace

STDMETHODIMP TestServerObject::Fail(LONG hr) { return hr; }

STDMETHODIMP TestServerObject::Raise(BSTR description) {
  ComPtr<ICreateErrorInfo> error;
  HRESULT result = CreateErrorInfo(error.put());
  if (FAILED(result)) return result;
  // The setters copy plain null-terminated texts.
  std::wstring text(bstrView(description));
  error->SetGUID(IID_ITestServer);
  error->SetSource(const_cast<LPOLESTR>(kErrorSource));
  error->SetDescription(text.data());
  error->SetHelpFile(const_cast<LPOLESTR>(kErrorHelpFile));
  error->SetHelpContext(0);
  if (ComPtr<IErrorInfo> info = error.as<IErrorInfo>(IID_IErrorInfo)) SetErrorInfo(0, info.get());
  return kRaisedError;
}

}  // namespace vexil::test_automation
