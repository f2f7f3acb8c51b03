// Name and Number: bindable properties that ask IPropertyNotifySink sinks before a change
// (OnRequestEdit) and tell them after (OnChanged). A put that a sink refuses leaves the value as it
// was and still succeeds, as a control does when its container declines an edit.
#include "tests/objects/com/server/bstr_text.h"
#include "tests/objects/com/server/test_server_object.h"

namespace vexil::test_automation {

bool TestServerObject::editAllowed(DISPID id) {
  for (const ComPtr<IPropertyNotifySink>& sink : propertyNotifications_.sinks<IPropertyNotifySink>()) {
    if (sink->OnRequestEdit(id) == S_FALSE) return false;
  }
  return true;
}

void TestServerObject::notifyChanged(DISPID id) {
  for (const ComPtr<IPropertyNotifySink>& sink : propertyNotifications_.sinks<IPropertyNotifySink>()) {
    sink->OnChanged(id);
  }
}

STDMETHODIMP TestServerObject::get_Name(BSTR* name) { return returnText(name_, name); }

STDMETHODIMP TestServerObject::put_Name(BSTR name) {
  if (!editAllowed(kDispidName)) return S_OK;
  name_ = bstrView(name);
  notifyChanged(kDispidName);
  return S_OK;
}

STDMETHODIMP TestServerObject::get_Number(LONG* number) {
  if (!number) return E_POINTER;
  *number = number_;
  return S_OK;
}

STDMETHODIMP TestServerObject::put_Number(LONG number) {
  if (!editAllowed(kDispidNumber)) return S_OK;
  number_ = number;
  notifyChanged(kDispidNumber);
  return S_OK;
}

}  // namespace vexil::test_automation
