// The control's type library as a late-binding host reads it: the automation interface from
// IDispatch::GetTypeInfo, the class and its events from IProvideClassInfo. The library is written
// by hand beside the hand-written dispatch, so these tests hold the two together.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "player/control/control_ids.h"
#include "player/swf/action_builder.h"
#include "player/swf/swf_writer.h"
#include "tests/player/control/test_container.h"

using namespace vexil::control;
using namespace vexil::control::testing;

namespace {

enum class Kind { Method, Property, ReadOnly };

struct Member {
  const wchar_t* name;
  Kind kind;
};

// Every member the control's IDispatch answers, and how it may be used.
constexpr Member kMembers[] = {
    {L"ReadyState", Kind::ReadOnly},      {L"TotalFrames", Kind::ReadOnly},     {L"Playing", Kind::Property},
    {L"Quality", Kind::Property},         {L"ScaleMode", Kind::Property},       {L"AlignMode", Kind::Property},
    {L"BackgroundColor", Kind::Property}, {L"Loop", Kind::Property},            {L"Movie", Kind::Property},
    {L"FrameNum", Kind::Property},        {L"SetZoomRect", Kind::Method},       {L"Zoom", Kind::Method},
    {L"Pan", Kind::Method},               {L"Play", Kind::Method},              {L"Stop", Kind::Method},
    {L"Back", Kind::Method},              {L"Forward", Kind::Method},           {L"Rewind", Kind::Method},
    {L"StopPlay", Kind::Method},          {L"GotoFrame", Kind::Method},         {L"CurrentFrame", Kind::Method},
    {L"IsPlaying", Kind::Method},         {L"PercentLoaded", Kind::Method},     {L"FrameLoaded", Kind::Method},
    {L"FlashVersion", Kind::Method},      {L"WMode", Kind::Property},           {L"SAlign", Kind::Property},
    {L"Menu", Kind::Property},            {L"Base", Kind::Property},            {L"Scale", Kind::Property},
    {L"DeviceFont", Kind::Property},      {L"EmbedMovie", Kind::Property},      {L"BGColor", Kind::Property},
    {L"Quality2", Kind::Property},        {L"LoadMovie", Kind::Method},         {L"TGotoFrame", Kind::Method},
    {L"TGotoLabel", Kind::Method},        {L"TCurrentFrame", Kind::Method},     {L"TCurrentLabel", Kind::Method},
    {L"TPlay", Kind::Method},             {L"TStopPlay", Kind::Method},         {L"SetVariable", Kind::Method},
    {L"GetVariable", Kind::Method},       {L"TSetProperty", Kind::Method},      {L"TGetProperty", Kind::Method},
    {L"TCallFrame", Kind::Method},        {L"TCallLabel", Kind::Method},        {L"TSetPropertyNum", Kind::Method},
    {L"TGetPropertyNum", Kind::Method},   {L"SWRemote", Kind::Property},        {L"FlashVars", Kind::Property},
};

bool usableAs(Kind kind, WORD invokeKind) {
  switch (kind) {
    case Kind::Method: return invokeKind == INVOKE_FUNC;
    case Kind::Property: return invokeKind == INVOKE_PROPERTYGET || invokeKind == INVOKE_PROPERTYPUT;
    case Kind::ReadOnly: return invokeKind == INVOKE_PROPERTYGET;
  }
  return false;
}

// A function description and the type information that owns it.
class Function {
 public:
  Function() = default;
  Function(ComPtr<ITypeInfo> info, FUNCDESC* description) : info_(std::move(info)), description_(description) {}
  Function(const Function&) = delete;
  Function& operator=(const Function&) = delete;
  ~Function() {
    if (description_) info_->ReleaseFuncDesc(description_);
  }
  explicit operator bool() const { return description_ != nullptr; }
  const FUNCDESC* operator->() const { return description_; }
  VARTYPE parameterType(SHORT index) const { return description_->lprgelemdescParam[index].tdesc.vt; }
  std::wstring name() const { return nameOf(description_->memid, 0); }
  std::wstring parameterName(SHORT index) const { return nameOf(description_->memid, index + 1); }

 private:
  std::wstring nameOf(MEMBERID id, UINT position) const {
    BSTR names[8] = {};
    UINT count = 0;
    std::wstring text;
    if (SUCCEEDED(info_->GetNames(id, names, 8, &count)) && position < count) text = names[position];
    for (UINT i = 0; i < count; ++i) SysFreeString(names[i]);
    return text;
  }

  ComPtr<ITypeInfo> info_;
  FUNCDESC* description_ = nullptr;
};

// What ITypeComp::Bind finds for name used as invokeKind; empty when it finds no function.
Function bind(ITypeInfo* info, const wchar_t* name, WORD invokeKind) {
  ComPtr<ITypeComp> comp;
  if (FAILED(info->GetTypeComp(comp.put()))) return {};
  std::wstring text = name;
  constexpr SYSKIND kSystem = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  ULONG hash = LHashValOfNameSys(kSystem, LOCALE_USER_DEFAULT, text.c_str());
  ITypeInfo* bound = nullptr;
  DESCKIND kind = DESCKIND_NONE;
  BINDPTR pointer{};
  if (FAILED(comp->Bind(text.data(), hash, invokeKind, &bound, &kind, &pointer))) return {};
  ComPtr<ITypeInfo> owner(bound);
  if (bound) bound->Release();
  if (kind == DESCKIND_FUNCDESC) return {owner, pointer.lpfuncdesc};
  if (kind == DESCKIND_VARDESC) owner->ReleaseVarDesc(pointer.lpvardesc);
  if ((kind == DESCKIND_TYPECOMP || kind == DESCKIND_IMPLICITAPPOBJ) && pointer.lptcomp) pointer.lptcomp->Release();
  return {};
}

Function functionAt(ITypeInfo* info, UINT index) {
  FUNCDESC* description = nullptr;
  if (FAILED(info->GetFuncDesc(index, &description))) return {};
  return {ComPtr<ITypeInfo>(info), description};
}

// The attributes that matter here, copied out of a TYPEATTR.
struct TypeShape {
  TYPEKIND kind = TKIND_MAX;
  GUID guid{};
  WORD functions = 0;
  WORD variables = 0;
  WORD implemented = 0;
};

TypeShape shapeOf(ITypeInfo* info) {
  TypeShape shape;
  TYPEATTR* attributes = nullptr;
  if (!info || FAILED(info->GetTypeAttr(&attributes))) return shape;
  shape = {attributes->typekind, attributes->guid, attributes->cFuncs, attributes->cVars, attributes->cImplTypes};
  info->ReleaseTypeAttr(attributes);
  return shape;
}

DISPID idOfName(IDispatch* control, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

// One frame labelled "start" that sets the main timeline's variable "greeting".
std::vector<uint8_t> labelledMovie() {
  vexil::swf::MovieOutline outline;
  vexil::swf::FrameSpec frame;
  frame.labels = {"start"};
  frame.actions = {vexil::swf::ActionBuilder().setVariable("greeting", "hello").bytes()};
  outline.frames = {frame};
  return vexil::swf::writeMovie(outline);
}

// An argument of the declared type that the member can act on in labelledMovie(): timeline
// targets name the main timeline, variable names name its variable, other numbers are 0.
VARIANT sampleArgument(VARTYPE type, const std::wstring& parameter) {
  switch (type) {
    case VT_BSTR: return bstrArg(parameter == L"target" ? L"/" : parameter == L"name" ? L"greeting" : L"");
    case VT_I4: return intArg(0);
    case VT_R8: return realArg(0);
    case VT_BOOL: return boolArg(false);
    default: {
      ADD_FAILURE() << "a parameter type no handler reads: " << type;
      VARIANT empty;
      VariantInit(&empty);
      return empty;
    }
  }
}

}  // namespace

TEST(TypeInformation, DescribesEveryMemberWithTheIdTheDispatchAnswers) {
  ComApartment com;
  ControlLibrary library;
  ComPtr<IDispatch> control = library.createControl();
  ASSERT_TRUE(control);
  UINT count = 0;
  EXPECT_EQ(control->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ComPtr<ITypeInfo> info, none;
  ASSERT_EQ(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()), S_OK);
  EXPECT_EQ(control->GetTypeInfo(1, LOCALE_USER_DEFAULT, none.put()), DISP_E_BADINDEX);
  TypeShape shape = shapeOf(info.get());
  EXPECT_EQ(shape.kind, TKIND_DISPATCH);
  EXPECT_TRUE(IsEqualIID(shape.guid, kAutomationIid));

  size_t described = 0;
  for (const Member& member : kMembers) {
    DISPID id = idOfName(control.get(), member.name);
    ASSERT_NE(id, DISPID_UNKNOWN) << member.name;
    for (WORD invokeKind : {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT}) {
      Function function = bind(info.get(), member.name, invokeKind);
      ASSERT_EQ(bool(function), usableAs(member.kind, invokeKind)) << member.name << " as " << invokeKind;
      if (!function) continue;
      ++described;
      EXPECT_EQ(function->memid, id) << member.name;
      EXPECT_EQ(function->invkind, invokeKind) << member.name;
      EXPECT_EQ(function.name(), member.name);  // spelled as the control spells it
    }
  }
  // ...and nothing the control does not answer.
  EXPECT_EQ(shape.functions, described);
  EXPECT_EQ(shape.variables, 0);
  EXPECT_EQ(idOfName(control.get(), L"Movie"), kDispidMovie);
}

TEST(TypeInformation, EveryDescribedMemberTakesACallShapedByItsDescription) {
  ComApartment com;
  ControlLibrary library;
  MovieFile movie(labelledMovie());
  ComPtr<IDispatch> probe = library.createControl();
  ASSERT_TRUE(probe);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(probe->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put()), S_OK);
  WORD functions = shapeOf(info.get()).functions;
  ASSERT_GT(functions, 0);
  for (UINT i = 0; i < functions; ++i) {
    Function function = functionAt(info.get(), i);
    ASSERT_TRUE(function);
    std::wstring name = function.name();
    // A fresh control with the movie for every member, so no call changes what the next one sees.
    ComPtr<IDispatch> control = library.createControl();
    ASSERT_EQ(putProperty(control.get(), L"Movie", bstrArg(movie.path().c_str())), S_OK);
    std::vector<VARIANT> arguments;
    for (SHORT p = function->cParams - 1; p >= 0; --p) {
      arguments.push_back(sampleArgument(function.parameterType(p), function.parameterName(p)));
    }
    bool put = function->invkind == INVOKE_PROPERTYPUT;
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{arguments.data(), put ? &putId : nullptr, UINT(arguments.size()), put ? 1u : 0u};
    VARTYPE declared = function->elemdescFunc.tdesc.vt;
    VARIANT result;
    VariantInit(&result);
    HRESULT status = control->Invoke(function->memid, IID_NULL, LOCALE_USER_DEFAULT, WORD(function->invkind),
                                     &parameters, declared == VT_VOID ? nullptr : &result, nullptr, nullptr);
    EXPECT_NE(status, DISP_E_MEMBERNOTFOUND) << name << " as " << function->invkind;
    EXPECT_NE(status, DISP_E_TYPEMISMATCH) << name << " as " << function->invkind;
    EXPECT_NE(status, DISP_E_BADPARAMCOUNT) << name << " as " << function->invkind;
    if (declared != VT_VOID) {
      // With the movie loaded every read answers, and in the type it is declared with.
      EXPECT_EQ(status, S_OK) << name;
      EXPECT_EQ(result.vt, declared) << name;
    }
    VariantClear(&result);
    for (VARIANT& argument : arguments) VariantClear(&argument);
  }
}

TEST(TypeInformation, ClassInfoNamesTheEventInterfaceAsDefaultSource) {
  ComApartment com;
  ControlLibrary library;
  ComPtr<IDispatch> control = library.createControl();
  ComPtr<IProvideClassInfo> provider = control.as<IProvideClassInfo>(IID_IProvideClassInfo);
  ASSERT_TRUE(provider);
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(provider->GetClassInfo(coclass.put()), S_OK);
  TypeShape shape = shapeOf(coclass.get());
  EXPECT_EQ(shape.kind, TKIND_COCLASS);
  EXPECT_TRUE(IsEqualCLSID(shape.guid, kControlClsid));
  ASSERT_EQ(shape.implemented, 2);

  ComPtr<ITypeInfo> automation, events;
  for (UINT i = 0; i < shape.implemented; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    ComPtr<ITypeInfo> implemented;
    ASSERT_EQ(coclass->GetImplTypeFlags(i, &flags), S_OK);
    ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &reference), S_OK);
    ASSERT_EQ(coclass->GetRefTypeInfo(reference, implemented.put()), S_OK);
    if (flags == IMPLTYPEFLAG_FDEFAULT) automation = implemented;
    if (flags == (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) events = implemented;
  }
  ASSERT_TRUE(automation && events);
  EXPECT_TRUE(IsEqualIID(shapeOf(automation.get()).guid, kAutomationIid));
  TypeShape eventShape = shapeOf(events.get());
  EXPECT_EQ(eventShape.kind, TKIND_DISPATCH);
  EXPECT_TRUE(IsEqualIID(eventShape.guid, kEventsIid));
  GUID advertised{};
  ComPtr<IProvideClassInfo2> provider2 = control.as<IProvideClassInfo2>(IID_IProvideClassInfo2);
  ASSERT_TRUE(provider2);
  ASSERT_EQ(provider2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &advertised), S_OK);
  EXPECT_TRUE(IsEqualIID(advertised, eventShape.guid));

  // FSCommand is the one event the control fires.
  EXPECT_EQ(eventShape.functions, 1);
  Function fsCommand = bind(events.get(), L"FSCommand", INVOKE_FUNC);
  ASSERT_TRUE(fsCommand);
  EXPECT_EQ(fsCommand->memid, kDispidFsCommand);
  EXPECT_EQ(fsCommand.name(), L"FSCommand");
  EXPECT_EQ(fsCommand->elemdescFunc.tdesc.vt, VT_VOID);
  ASSERT_EQ(fsCommand->cParams, 2);
  EXPECT_EQ(fsCommand.parameterType(0), VT_BSTR);
  EXPECT_EQ(fsCommand.parameterType(1), VT_BSTR);
  EXPECT_EQ(fsCommand.parameterName(0), L"command");
  EXPECT_EQ(fsCommand.parameterName(1), L"args");
}
