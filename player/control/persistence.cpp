// Persistence as containers use it: a property bag carries the <param> values of a hosting page or
// dialog template; a stream carries nothing (the control keeps no state worth saving there).
#include "player/control/bstr.h"
#include "player/control/control_ids.h"
#include "player/control/player_control.h"

namespace vexil::control {
namespace {

// Property-bag names, each with the automation property it sets. Movie comes last so every setting
// that affects loading (base, variables, loop) is in place before the movie loads.
struct BagProperty {
  const wchar_t* bagName;
  const wchar_t* propertyName;
};

constexpr BagProperty kBagProperties[] = {
    {L"Base", L"Base"},           {L"FlashVars", L"FlashVars"},   {L"Loop", L"Loop"},
    {L"Play", L"Playing"},        {L"Quality", L"Quality2"},      {L"Scale", L"Scale"},
    {L"SAlign", L"SAlign"},       {L"WMode", L"WMode"},           {L"BGColor", L"BGColor"},
    {L"Menu", L"Menu"},           {L"DeviceFont", L"DeviceFont"}, {L"EmbedMovie", L"EmbedMovie"},
    {L"SWRemote", L"SWRemote"},   {L"Movie", L"Movie"},           {L"Src", L"Movie"},
};

}  // namespace

STDMETHODIMP PlayerControl::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = kControlClsid;
  return S_OK;
}

STDMETHODIMP PlayerControl::Load(LPSTREAM stream) { return stream ? S_OK : E_POINTER; }

STDMETHODIMP PlayerControl::Save(LPSTREAM stream, BOOL) { return stream ? S_OK : E_POINTER; }

STDMETHODIMP PlayerControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  return S_OK;
}

STDMETHODIMP PlayerControl::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  for (const BagProperty& property : kBagProperties) {
    VARIANT value;
    VariantInit(&value);
    if (FAILED(bag->Read(property.bagName, &value, log))) continue;
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(property.propertyName);
    if (SUCCEEDED(GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) {
      DISPID putId = DISPID_PROPERTYPUT;
      DISPPARAMS parameters{&value, &putId, 1, 1};
      Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &parameters, nullptr, nullptr, nullptr);
    }
    VariantClear(&value);
  }
  return S_OK;
}

STDMETHODIMP PlayerControl::Save(IPropertyBag* bag, BOOL, BOOL) {
  if (!bag) return E_POINTER;
  for (const BagProperty& property : kBagProperties) {
    if (wcscmp(property.bagName, L"Src") == 0) continue;  // an alias, Movie is written
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR name = const_cast<LPOLESTR>(property.propertyName);
    if (FAILED(GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) continue;
    VARIANT value;
    VariantInit(&value);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (SUCCEEDED(Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, nullptr, nullptr))) {
      bag->Write(property.bagName, &value);
    }
    VariantClear(&value);
  }
  return S_OK;
}

}  // namespace vexil::control
