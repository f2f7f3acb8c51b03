#include "objects/com/win32/member_binding.h"

#include <vector>

#include "objects/com/automation_values.h"
#include "objects/com/win32/automation_errors.h"
#include "objects/com/win32/variant_conversion.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/wide_text.h"

namespace vexil::objects::com {

namespace {

using platform::ComPtr;
using script::Engine;
using script::Value;

// Deeper alias chains than this are taken as broken type information.
constexpr int kMaxAliasDepth = 16;

constexpr SYSKIND kSystemKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;

struct UserType {
  VARTYPE vt = VT_VARIANT;
  bool isInterface = false;
};

UserType userDefinedType(ITypeInfo* info, HREFTYPE reference, int depth);

VARTYPE mapType(ITypeInfo* info, const TYPEDESC& type, int depth) {
  if (depth > kMaxAliasDepth) return VT_VARIANT;
  switch (type.vt) {
    case VT_PTR: {
      const TYPEDESC& inner = *type.lptdesc;
      if (inner.vt == VT_USERDEFINED) {
        UserType user = userDefinedType(info, inner.hreftype, depth + 1);
        if (user.isInterface) return user.vt;  // an interface pointer passes by value
      }
      VARTYPE target = mapType(info, inner, depth + 1);
      if (target & VT_BYREF || target == VT_EMPTY) return VT_VARIANT;
      return VARTYPE(target | VT_BYREF);
    }
    case VT_USERDEFINED: return userDefinedType(info, type.hreftype, depth + 1).vt;
    case VT_UI4:
    case VT_INT:
    case VT_UINT: return VT_I4;
    case VT_VOID: return VT_EMPTY;
    case VT_HRESULT: return VT_ERROR;
    case VT_SAFEARRAY:
    case VT_CARRAY:
    case VT_LPSTR:
    case VT_LPWSTR: return VT_VARIANT;
    default: return type.vt;
  }
}

UserType userDefinedType(ITypeInfo* info, HREFTYPE reference, int depth) {
  UserType result;
  ComPtr<ITypeInfo> target;
  if (depth > kMaxAliasDepth || FAILED(info->GetRefTypeInfo(reference, target.put())) || !target) return result;
  TYPEATTR* attr = nullptr;
  if (FAILED(target->GetTypeAttr(&attr)) || !attr) return result;
  switch (attr->typekind) {
    case TKIND_ALIAS: result.vt = mapType(target.get(), attr->tdescAlias, depth + 1); break;
    case TKIND_ENUM: result.vt = VT_I4; break;
    case TKIND_DISPATCH:
    case TKIND_COCLASS:
      result = {VT_DISPATCH, true};
      break;
    case TKIND_INTERFACE:
      result = {(attr->wTypeFlags & TYPEFLAG_FDUAL) ? VARTYPE(VT_DISPATCH) : VARTYPE(VT_UNKNOWN), true};
      break;
    default: break;
  }
  target->ReleaseTypeAttr(attr);
  return result;
}

// The last parameter is the call's result when it is the return value, or an output-only pointer of
// a function that returns nothing else. An [in, out] parameter is an argument like any other.
bool isResultParameter(const FUNCDESC& f, const ELEMDESC& parameter) {
  if (parameter.tdesc.vt != VT_PTR) return false;
  USHORT flags = parameter.paramdesc.wParamFlags;
  if (flags & PARAMFLAG_FRETVAL) return true;
  VARTYPE returns = f.elemdescFunc.tdesc.vt;
  return (flags & PARAMFLAG_FOUT) && !(flags & PARAMFLAG_FIN) && (returns == VT_VOID || returns == VT_HRESULT);
}

bool isOutputOnly(const ELEMDESC& parameter) {
  USHORT flags = parameter.paramdesc.wParamFlags;
  return (flags & PARAMFLAG_FOUT) && !(flags & PARAMFLAG_FIN);
}

bool namesMatch(ITypeInfo* info, MEMBERID id, const std::u16string& name) {
  BSTR found = nullptr;
  if (FAILED(info->GetDocumentation(id, &found, nullptr, nullptr, nullptr)) || !found) return false;
  bool same = CompareStringOrdinal(found, int(SysStringLen(found)), platform::asWide(name).data(), int(name.size()),
                                   TRUE) == CSTR_EQUAL;
  SysFreeString(found);
  return same;
}

// A description for a call or a read of the name, when kind 0 found its put (a property with both,
// listed put first).
FUNCDESC* findReadable(ITypeInfo* info, const std::u16string& name) {
  TYPEATTR* attr = nullptr;
  if (FAILED(info->GetTypeAttr(&attr)) || !attr) return nullptr;
  WORD count = attr->cFuncs;
  info->ReleaseTypeAttr(attr);
  for (WORD i = 0; i < count; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function)) || !function) continue;
    if ((function->invkind == INVOKE_FUNC || function->invkind == INVOKE_PROPERTYGET) &&
        namesMatch(info, function->memid, name)) {
      return function;
    }
    info->ReleaseFuncDesc(function);
  }
  return nullptr;
}

void clearArguments(std::vector<VARIANT>& arguments) {
  for (VARIANT& v : arguments) VariantClear(&v);
}

// What one Invoke left: its result and exception record, freed on every path.
struct Outcome {
  Outcome() { VariantInit(&result); }
  ~Outcome() {
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    VariantClear(&result);
  }
  VARIANT result;
  EXCEPINFO exception{};
};

void planFunction(ITypeInfo* info, const FUNCDESC& f, MemberPlan& plan) {
  plan.kind = MemberPlan::Kind::Function;
  plan.id = f.memid;
  plan.invokeKind = WORD(f.invkind);
  uint32_t parameters = uint32_t(f.cParams);
  // A last parameter that is an output or return pointer is the call's result.
  bool resultParameter = parameters > 0 && isResultParameter(f, f.lprgelemdescParam[parameters - 1]);
  if (resultParameter) --parameters;
  plan.expected = resultParameter ? VARTYPE(VT_VARIANT) : declaredType(info, f.elemdescFunc.tdesc);
  if (f.elemdescFunc.tdesc.vt == VT_HRESULT && !resultParameter) plan.expected = VT_EMPTY;
  plan.parameters.clear();
  plan.outputOnly.clear();
  for (uint32_t i = 0; i < parameters; ++i) {
    plan.parameters.push_back(declaredType(info, f.lprgelemdescParam[i].tdesc));
    plan.outputOnly.push_back(isOutputOnly(f.lprgelemdescParam[i]));
  }
}

void planVariable(ITypeInfo* info, const VARDESC& v, MemberPlan& plan) {
  plan.kind = MemberPlan::Kind::Variable;
  plan.id = v.memid;
  plan.expected = declaredType(info, v.elemdescVar.tdesc);
  plan.parameters.assign(1, plan.expected);
  plan.outputOnly.assign(1, false);
}

// Binds through the type information; false when it has no usable description of the name.
bool planFromTypeInfo(ITypeInfo* info, const std::u16string& name, MemberUse use, MemberPlan& plan) {
  ComPtr<ITypeComp> comp;
  if (!info || FAILED(info->GetTypeComp(comp.put())) || !comp) return false;
  std::wstring wide = platform::toWide(name);
  const WORD wanted = use == MemberUse::Call ? INVOKE_FUNC : use == MemberUse::Get ? INVOKE_PROPERTYGET
                                                                                    : INVOKE_PROPERTYPUT;
  ULONG hash = LHashValOfNameSys(kSystemKind, LOCALE_USER_DEFAULT, wide.c_str());
  for (WORD kind : {wanted, WORD(0)}) {
    ITypeInfo* bound = nullptr;
    DESCKIND found = DESCKIND_NONE;
    BINDPTR pointer{};
    if (FAILED(comp->Bind(wide.data(), hash, kind, &bound, &found, &pointer))) continue;
    bool planned = false;
    if (found == DESCKIND_FUNCDESC) {
      FUNCDESC* function = pointer.lpfuncdesc;
      // Kind 0 may find a put first; a call or a read wants the readable side of the name.
      FUNCDESC* readable = nullptr;
      if (use != MemberUse::Put && (function->invkind & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF))) {
        readable = findReadable(bound, name);
      }
      planFunction(bound, readable ? *readable : *function, plan);
      if (readable) bound->ReleaseFuncDesc(readable);
      bound->ReleaseFuncDesc(function);
      planned = true;
    } else if (found == DESCKIND_VARDESC) {
      if (use != MemberUse::Call && pointer.lpvardesc->varkind == VAR_DISPATCH) {
        planVariable(bound, *pointer.lpvardesc, plan);
        planned = true;
      }
      bound->ReleaseVarDesc(pointer.lpvardesc);
    } else if ((found == DESCKIND_TYPECOMP || found == DESCKIND_IMPLICITAPPOBJ) && pointer.lptcomp) {
      pointer.lptcomp->Release();
    }
    if (bound) bound->Release();
    if (planned) return true;
  }
  return false;
}

HRESULT invokeFunction(Engine& engine, IDispatch* object, const MemberPlan& plan, MemberUse use, Value* args,
                       uint32_t count, Outcome& outcome, VARTYPE& expected) {
  // A variable's one "parameter" is the value a write puts.
  const bool reading = plan.kind == MemberPlan::Kind::Variable && use != MemberUse::Put;
  const uint32_t parameters = reading ? 0 : uint32_t(plan.parameters.size());
  std::vector<VARIANT> arguments;
  ArgumentCells cells;
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{};
  expected = plan.expected;
  if (use == MemberUse::Put) {
    if (parameters == 0) {  // a put with nothing to put
      expected = VT_EMPTY;
      return S_FALSE;
    }
    arguments.resize(1);
    toDeclaredVariant(engine, count ? &args[0] : nullptr, plan.parameters[parameters - 1], cells, &arguments[0]);
    params = {arguments.data(), &putId, 1, 1};
    expected = VT_EMPTY;
  } else {
    arguments.resize(parameters);
    for (uint32_t i = 0; i < parameters; ++i) {
      VARTYPE type = plan.parameters[i];
      VARIANT* slot = &arguments[argumentSlot(i, parameters)];
      // An output the script did not supply still needs somewhere to go: an empty cell.
      if (i >= count && (type & VT_BYREF) && plan.outputOnly[i]) emptyReference(type, cells, slot);
      else toDeclaredVariant(engine, i < count ? &args[i] : nullptr, type, cells, slot);
    }
    params = {arguments.data(), nullptr, parameters, 0};
  }
  UINT argumentError = 0;
  WORD kind = plan.kind == MemberPlan::Kind::Function ? plan.invokeKind
              : use == MemberUse::Put                  ? WORD(DISPATCH_PROPERTYPUT)
                                                       : WORD(DISPATCH_PROPERTYGET);
  HRESULT hr = object->Invoke(plan.id, IID_NULL, 0, kind, &params, expected == VT_EMPTY ? nullptr : &outcome.result,
                              &outcome.exception, &argumentError);
  cells.copyBack();
  clearArguments(arguments);
  return hr;
}

// Without a description: every argument converted by its own value, the kinds the use implies.
HRESULT invokeLate(Engine& engine, IDispatch* object, const MemberPlan& plan, MemberUse use, Value* args,
                   uint32_t count, Outcome& outcome, VARTYPE& expected) {
  if (use == MemberUse::Get) count = 0;
  if (use == MemberUse::Put) count = count ? 1 : 0;
  std::vector<VARIANT> arguments(count);
  for (uint32_t i = 0; i < count; ++i) toVariant(engine, args[i], &arguments[argumentSlot(i, count)]);
  DISPID putId = DISPID_PROPERTYPUT;
  DISPPARAMS params{arguments.data(), use == MemberUse::Put ? &putId : nullptr, count,
                    use == MemberUse::Put ? 1u : 0u};
  WORD kind = use == MemberUse::Put ? DISPATCH_PROPERTYPUT : DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  expected = use == MemberUse::Put ? VARTYPE(VT_EMPTY) : VARTYPE(VT_VARIANT);
  UINT argumentError = 0;
  HRESULT hr = object->Invoke(plan.id, IID_NULL, 0, kind, &params, use == MemberUse::Put ? nullptr : &outcome.result,
                              &outcome.exception, &argumentError);
  clearArguments(arguments);
  return hr;
}

HRESULT dispatchPlan(Engine& engine, IDispatch* object, const MemberPlan& plan, MemberUse use, Value* args,
                     uint32_t count, Outcome& outcome, VARTYPE& expected) {
  if (plan.kind == MemberPlan::Kind::Late) return invokeLate(engine, object, plan, use, args, count, outcome, expected);
  return invokeFunction(engine, object, plan, use, args, count, outcome, expected);
}

}  // namespace

VARTYPE declaredType(ITypeInfo* info, const TYPEDESC& type) { return mapType(info, type, 0); }

bool planMember(IDispatch* object, ITypeInfo* info, const std::u16string& name, MemberUse use, MemberPlan& plan) {
  if (name.empty()) return false;
  if (planFromTypeInfo(info, name, use, plan)) return true;
  // No type information, or a name it lacks: ask the object itself.
  std::wstring wide = platform::toWide(name);
  LPOLESTR names[] = {wide.data()};
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) return false;
  plan = MemberPlan{};
  plan.kind = MemberPlan::Kind::Late;
  plan.id = id;
  plan.expected = VT_VARIANT;
  return true;
}

void invokeMember(Engine& engine, IDispatch* object, const MemberPlan& plan, MemberUse use, Value* args,
                  uint32_t count, Value* out) {
  out->setUndefined();
  Outcome outcome;
  VARTYPE expected = VT_EMPTY;
  HRESULT hr = dispatchPlan(engine, object, plan, use, args, count, outcome, expected);
  if (FAILED(hr)) traceAutomationFailure(engine, hr, outcome.exception);
  else fromVariant(engine, outcome.result, expected, out);
}

bool invokeRaw(Engine& engine, IDispatch* object, const MemberPlan& plan, VARIANT* out) {
  Outcome outcome;
  VARTYPE expected = VT_EMPTY;
  MemberPlan reading = plan;
  if (reading.expected == VT_EMPTY) reading.expected = VT_VARIANT;  // keep whatever comes back
  HRESULT hr = dispatchPlan(engine, object, reading, MemberUse::Call, nullptr, 0, outcome, expected);
  if (FAILED(hr)) {
    traceAutomationFailure(engine, hr, outcome.exception);
    return false;
  }
  VariantClear(out);
  *out = outcome.result;
  VariantInit(&outcome.result);
  return true;
}

std::u16string memberName(IDispatch* object, DISPID id) {
  ComPtr<ITypeInfo> info;
  if (FAILED(object->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put())) || !info) return {};
  BSTR name = nullptr;
  if (FAILED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr)) || !name) return {};
  std::u16string text(platform::asUtf16(std::wstring_view(name, SysStringLen(name))));
  SysFreeString(name);
  return text;
}

}  // namespace vexil::objects::com
