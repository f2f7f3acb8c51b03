// The automation surface: one table of names, dispatch ids and handlers, and a handler per member.
// Methods report failure through their HRESULT so a host can tell a call that did nothing from one
// that worked; property reads never fail. player_control.idl describes these same members to hosts
// that read type information; a change here is a change there.
#include <exception>
#include <new>
#include <string_view>

#include "platform/text_case.h"
#include "player/control/bstr.h"
#include "player/control/control_ids.h"
#include "player/control/player_control.h"
#include "player/swf/clip_properties.h"

namespace vexil::control {

enum class MemberKind { Method, Property, ReadOnlyProperty };

struct AutomationMember {
  const wchar_t* name;
  DISPID id;
  MemberKind kind;
  HRESULT (PlayerControl::*handler)(DispatchCall&);
};

struct AutomationTable {
  using C = PlayerControl;
  static constexpr MemberKind kMethod = MemberKind::Method;
  static constexpr MemberKind kProperty = MemberKind::Property;
  static constexpr MemberKind kReadOnly = MemberKind::ReadOnlyProperty;
  static constexpr AutomationMember kMembers[] = {
      {L"ReadyState", DISPID_READYSTATE, kReadOnly, &C::memberReadyState},
      {L"TotalFrames", 124, kReadOnly, &C::memberTotalFrames},
      {L"Playing", 125, kProperty, &C::memberPlaying},
      {L"Quality", 105, kProperty, &C::memberQuality},
      {L"ScaleMode", 120, kProperty, &C::memberScaleMode},
      {L"AlignMode", 121, kProperty, &C::memberAlignMode},
      {L"BackgroundColor", 123, kProperty, &C::memberBackgroundColor},
      {L"Loop", 106, kProperty, &C::memberLoop},
      {L"Movie", kDispidMovie, kProperty, &C::memberMovie},
      {L"FrameNum", 107, kProperty, &C::memberFrameNum},
      {L"SetZoomRect", 109, kMethod, &C::memberSetZoomRect},
      {L"Zoom", 118, kMethod, &C::memberZoom},
      {L"Pan", 119, kMethod, &C::memberPan},
      {L"Play", 112, kMethod, &C::memberPlay},
      {L"Stop", 113, kMethod, &C::memberStop},
      {L"Back", 114, kMethod, &C::memberBack},
      {L"Forward", 115, kMethod, &C::memberForward},
      {L"Rewind", 116, kMethod, &C::memberRewind},
      {L"StopPlay", 126, kMethod, &C::memberStopPlay},
      {L"GotoFrame", 127, kMethod, &C::memberGotoFrame},
      {L"CurrentFrame", 128, kMethod, &C::memberCurrentFrame},
      {L"IsPlaying", 129, kMethod, &C::memberIsPlaying},
      {L"PercentLoaded", 130, kMethod, &C::memberPercentLoaded},
      {L"FrameLoaded", 131, kMethod, &C::memberFrameLoaded},
      {L"FlashVersion", 132, kMethod, &C::memberFlashVersion},
      {L"WMode", 133, kProperty, &C::memberWMode},
      {L"SAlign", 134, kProperty, &C::memberSAlign},
      {L"Menu", 135, kProperty, &C::memberMenu},
      {L"Base", 136, kProperty, &C::memberBase},
      {L"Scale", 137, kProperty, &C::memberScale},
      {L"DeviceFont", 138, kProperty, &C::memberDeviceFont},
      {L"EmbedMovie", 139, kProperty, &C::memberEmbedMovie},
      {L"BGColor", 140, kProperty, &C::memberBGColor},
      {L"Quality2", 141, kProperty, &C::memberQuality2},
      {L"LoadMovie", 142, kMethod, &C::memberLoadMovie},
      {L"TGotoFrame", 143, kMethod, &C::memberTGotoFrame},
      {L"TGotoLabel", 144, kMethod, &C::memberTGotoLabel},
      {L"TCurrentFrame", 145, kMethod, &C::memberTCurrentFrame},
      {L"TCurrentLabel", 146, kMethod, &C::memberTCurrentLabel},
      {L"TPlay", 147, kMethod, &C::memberTPlay},
      {L"TStopPlay", 148, kMethod, &C::memberTStopPlay},
      {L"SetVariable", 151, kMethod, &C::memberSetVariable},
      {L"GetVariable", 152, kMethod, &C::memberGetVariable},
      {L"TSetProperty", 153, kMethod, &C::memberTSetProperty},
      {L"TGetProperty", 154, kMethod, &C::memberTGetProperty},
      {L"TCallFrame", 155, kMethod, &C::memberTCallFrame},
      {L"TCallLabel", 156, kMethod, &C::memberTCallLabel},
      {L"TSetPropertyNum", 157, kMethod, &C::memberTSetPropertyNum},
      {L"TGetPropertyNum", 158, kMethod, &C::memberTGetPropertyNum},
      {L"SWRemote", 159, kProperty, &C::memberSWRemote},
      {L"FlashVars", 170, kProperty, &C::memberFlashVars},
  };

  static const AutomationMember* byId(DISPID id) {
    for (const AutomationMember& member : kMembers) {
      if (member.id == id) return &member;
    }
    return nullptr;
  }

  static const AutomationMember* byName(const wchar_t* name) {
    for (const AutomationMember& member : kMembers) {
      if (platform::equalsIgnoringAsciiCase(std::wstring_view(member.name), name)) return &member;
    }
    return nullptr;
  }
};

namespace {

constexpr HRESULT kNoMovie = E_FAIL;
constexpr int32_t kReadyStateUninitialized = 0;
constexpr int32_t kReadyStateComplete = 4;
constexpr int32_t kAllAlignBits = 15;

// Flags a member accepts: methods are called, properties are read (some callers add
// DISPATCH_METHOD to a read) or written.
bool flagsFit(const AutomationMember& member, WORD flags) {
  bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  switch (member.kind) {
    case MemberKind::Method: return (flags & DISPATCH_METHOD) != 0;
    case MemberKind::Property: return put || (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0;
    case MemberKind::ReadOnlyProperty: return !put && (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0;
  }
  return false;
}

}  // namespace

STDMETHODIMP PlayerControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 1;
  return S_OK;
}

// The automation interface's description; names and calls still go through the table below.
STDMETHODIMP PlayerControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return typeLibrary_.typeInfo(kAutomationIid, info);
}

STDMETHODIMP PlayerControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  HRESULT result = S_OK;
  for (UINT i = 0; i < count; ++i) {
    // Only member names are known; parameter names (i > 0) are not.
    const AutomationMember* member = i == 0 && names[i] ? AutomationTable::byName(names[i]) : nullptr;
    ids[i] = member ? member->id : DISPID_UNKNOWN;
    if (!member) result = DISP_E_UNKNOWNNAME;
  }
  return result;
}

STDMETHODIMP PlayerControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                   EXCEPINFO*, UINT* argumentError) {
  const AutomationMember* member = AutomationTable::byId(id);
  if (!member || !flagsFit(*member, flags)) return DISP_E_MEMBERNOTFOUND;
  if (argumentError) *argumentError = 0;
  if (result) VariantInit(result);
  DispatchCall call(flags, parameters, result);
  try {
    return (this->*member->handler)(call);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (const std::exception&) {
    return E_FAIL;  // nothing may unwind through a COM call
  }
}

// Methods

HRESULT PlayerControl::memberPlay(DispatchCall&) {
  player_.setPlaying(true);
  return S_OK;
}

HRESULT PlayerControl::memberStop(DispatchCall&) {
  player_.setPlaying(false);
  return S_OK;
}

HRESULT PlayerControl::memberStopPlay(DispatchCall& call) { return memberStop(call); }

HRESULT PlayerControl::memberBack(DispatchCall&) {
  if (!player_.hasMovie()) return kNoMovie;
  withEvents([&] { player_.back(); });
  return S_OK;
}

HRESULT PlayerControl::memberForward(DispatchCall&) {
  if (!player_.hasMovie()) return kNoMovie;
  withEvents([&] { player_.forward(); });
  return S_OK;
}

HRESULT PlayerControl::memberRewind(DispatchCall&) {
  if (!player_.hasMovie()) return kNoMovie;
  withEvents([&] { player_.rewind(); });
  return S_OK;
}

HRESULT PlayerControl::memberGotoFrame(DispatchCall& call) {
  auto frame = call.int32(0);
  if (!frame) return DispatchCall::kBadArgument;
  if (!player_.hasMovie()) return kNoMovie;
  if (*frame < 0 || static_cast<size_t>(*frame) >= player_.totalFrames()) return E_INVALIDARG;
  withEvents([&] { player_.gotoFrame(static_cast<size_t>(*frame)); });
  return S_OK;
}

HRESULT PlayerControl::memberCurrentFrame(DispatchCall& call) {
  if (!player_.hasMovie()) return kNoMovie;
  return call.returnInt32(static_cast<int32_t>(player_.currentFrame()));
}

HRESULT PlayerControl::memberIsPlaying(DispatchCall& call) { return call.returnBoolean(player_.playing()); }

HRESULT PlayerControl::memberPercentLoaded(DispatchCall& call) {
  // Movies load whole from a file or not at all.
  return call.returnInt32(player_.hasMovie() ? 100 : 0);
}

HRESULT PlayerControl::memberFrameLoaded(DispatchCall& call) {
  auto frame = call.int32(0);
  if (!frame) return DispatchCall::kBadArgument;
  return call.returnBoolean(*frame >= 0 && static_cast<size_t>(*frame) < player_.totalFrames());
}

HRESULT PlayerControl::memberFlashVersion(DispatchCall& call) {
  return call.returnInt32((swf::kPlayerMajorVersion << 16) | swf::kPlayerMinorVersion);
}

HRESULT PlayerControl::memberLoadMovie(DispatchCall& call) {
  auto layer = call.int32(0);
  auto url = call.string(1);
  if (!layer || !url) return DispatchCall::kBadArgument;
  if (*layer != 0) return E_INVALIDARG;  // only the main movie exists here
  settings_.movie = *url;
  return loadMovie(*url) ? S_OK : E_FAIL;
}

HRESULT PlayerControl::memberSetVariable(DispatchCall& call) {
  auto name = call.string(0);
  auto value = call.string(1);
  if (!name || !value) return DispatchCall::kBadArgument;
  return player_.setVariable(*name, *value) ? S_OK : E_FAIL;
}

HRESULT PlayerControl::memberGetVariable(DispatchCall& call) {
  auto name = call.string(0);
  if (!name) return DispatchCall::kBadArgument;
  auto value = player_.getVariable(*name);
  if (!value) return E_FAIL;
  return call.returnString(*value);
}

// Zooming and panning change only how vector content is shown; there is none to show yet, so the
// calls are accepted once their arguments are valid.
HRESULT PlayerControl::memberSetZoomRect(DispatchCall& call) {
  for (UINT i = 0; i < 4; ++i) {
    if (!call.int32(i)) return DispatchCall::kBadArgument;
  }
  return S_OK;
}

HRESULT PlayerControl::memberZoom(DispatchCall& call) { return call.int32(0) ? S_OK : DispatchCall::kBadArgument; }

HRESULT PlayerControl::memberPan(DispatchCall& call) {
  return call.int32(0) && call.int32(1) && call.int32(2) ? S_OK : DispatchCall::kBadArgument;
}

HRESULT PlayerControl::memberTGotoFrame(DispatchCall& call) {
  auto target = call.string(0);
  auto frame = call.int32(1);
  if (!target || !frame) return DispatchCall::kBadArgument;
  if (!player_.isKnownTarget(*target) || *frame < 0) return E_FAIL;
  bool done = false;
  withEvents([&] { done = player_.gotoFrame(static_cast<size_t>(*frame)); });
  return done ? S_OK : E_FAIL;
}

HRESULT PlayerControl::memberTGotoLabel(DispatchCall& call) {
  auto target = call.string(0);
  auto label = call.string(1);
  if (!target || !label) return DispatchCall::kBadArgument;
  if (!player_.isKnownTarget(*target)) return E_FAIL;
  bool done = false;
  withEvents([&] { done = player_.gotoLabel(*label); });
  return done ? S_OK : E_FAIL;
}

HRESULT PlayerControl::memberTCurrentFrame(DispatchCall& call) {
  auto target = call.string(0);
  if (!target) return DispatchCall::kBadArgument;
  if (!player_.isKnownTarget(*target)) return E_FAIL;
  return call.returnInt32(static_cast<int32_t>(player_.currentFrame()));
}

HRESULT PlayerControl::memberTCurrentLabel(DispatchCall& call) {
  auto target = call.string(0);
  if (!target) return DispatchCall::kBadArgument;
  if (!player_.isKnownTarget(*target)) return E_FAIL;
  return call.returnString(player_.currentLabel().value_or(""));
}

HRESULT PlayerControl::memberTPlay(DispatchCall& call) {
  auto target = call.string(0);
  if (!target) return DispatchCall::kBadArgument;
  if (!player_.isKnownTarget(*target)) return E_FAIL;
  player_.setPlaying(true);
  return S_OK;
}

HRESULT PlayerControl::memberTStopPlay(DispatchCall& call) {
  auto target = call.string(0);
  if (!target) return DispatchCall::kBadArgument;
  if (!player_.isKnownTarget(*target)) return E_FAIL;
  player_.setPlaying(false);
  return S_OK;
}

HRESULT PlayerControl::memberTSetProperty(DispatchCall& call) {
  auto target = call.string(0);
  auto property = call.int32(1);
  auto value = call.string(2);
  if (!target || !property || !value) return DispatchCall::kBadArgument;
  return player_.setTargetProperty(*target, *property, swf::ActionValue::fromString(*value)) ? S_OK : E_FAIL;
}

HRESULT PlayerControl::memberTGetProperty(DispatchCall& call) {
  auto target = call.string(0);
  auto property = call.int32(1);
  if (!target || !property) return DispatchCall::kBadArgument;
  auto value = player_.targetProperty(*target, *property);
  if (!value) return E_FAIL;
  return call.returnString(swf::toString(*value, player_.movie()->header.version));
}

HRESULT PlayerControl::memberTCallFrame(DispatchCall& call) {
  auto target = call.string(0);
  auto frame = call.int32(1);
  if (!target || !frame) return DispatchCall::kBadArgument;
  if (*frame < 0) return E_FAIL;
  bool done = false;
  withEvents([&] { done = player_.callFrame(*target, static_cast<size_t>(*frame)); });
  return done ? S_OK : E_FAIL;
}

HRESULT PlayerControl::memberTCallLabel(DispatchCall& call) {
  auto target = call.string(0);
  auto label = call.string(1);
  if (!target || !label) return DispatchCall::kBadArgument;
  bool done = false;
  withEvents([&] { done = player_.callLabel(*target, *label); });
  return done ? S_OK : E_FAIL;
}

HRESULT PlayerControl::memberTSetPropertyNum(DispatchCall& call) {
  auto target = call.string(0);
  auto property = call.int32(1);
  auto value = call.real(2);
  if (!target || !property || !value) return DispatchCall::kBadArgument;
  return player_.setTargetProperty(*target, *property, swf::ActionValue::fromNumber(*value)) ? S_OK : E_FAIL;
}

HRESULT PlayerControl::memberTGetPropertyNum(DispatchCall& call) {
  auto target = call.string(0);
  auto property = call.int32(1);
  if (!target || !property) return DispatchCall::kBadArgument;
  auto value = player_.targetProperty(*target, *property);
  if (!value) return E_FAIL;
  return call.returnReal(swf::toNumber(*value, player_.movie()->header.version));
}

// Properties

HRESULT PlayerControl::stringProperty(DispatchCall& call, std::string& field) {
  if (!call.isPut()) return call.returnString(field);
  auto value = call.putString();
  if (!value) return DispatchCall::kBadArgument;
  field = *value;
  return S_OK;
}

HRESULT PlayerControl::booleanProperty(DispatchCall& call, bool& field) {
  if (!call.isPut()) return call.returnBoolean(field);
  auto value = call.putBoolean();
  if (!value) return DispatchCall::kBadArgument;
  field = *value;
  return S_OK;
}

HRESULT PlayerControl::memberReadyState(DispatchCall& call) {
  return call.returnInt32(player_.hasMovie() ? kReadyStateComplete : kReadyStateUninitialized);
}

HRESULT PlayerControl::memberTotalFrames(DispatchCall& call) {
  return call.returnInt32(static_cast<int32_t>(player_.totalFrames()));
}

HRESULT PlayerControl::memberPlaying(DispatchCall& call) {
  if (!call.isPut()) return call.returnBoolean(player_.playing());
  auto value = call.putBoolean();
  if (!value) return DispatchCall::kBadArgument;
  player_.setPlaying(*value);
  return S_OK;
}

HRESULT PlayerControl::memberQuality(DispatchCall& call) {
  if (!call.isPut()) return call.returnInt32(settings_.quality);
  auto value = call.putInt32();
  if (!value) return DispatchCall::kBadArgument;
  if (qualityName(*value).empty()) return E_INVALIDARG;
  settings_.quality = *value;
  return S_OK;
}

HRESULT PlayerControl::memberQuality2(DispatchCall& call) {
  if (!call.isPut()) return call.returnString(qualityName(settings_.quality));
  auto value = call.putString();
  if (!value) return DispatchCall::kBadArgument;
  auto quality = parseQualityName(*value);
  if (!quality) return E_INVALIDARG;
  settings_.quality = *quality;
  return S_OK;
}

HRESULT PlayerControl::memberScaleMode(DispatchCall& call) {
  if (!call.isPut()) return call.returnInt32(settings_.scaleMode);
  auto value = call.putInt32();
  if (!value) return DispatchCall::kBadArgument;
  if (scaleName(*value).empty()) return E_INVALIDARG;
  settings_.scaleMode = *value;
  window_.invalidate();
  return S_OK;
}

HRESULT PlayerControl::memberScale(DispatchCall& call) {
  if (!call.isPut()) return call.returnString(scaleName(settings_.scaleMode));
  auto value = call.putString();
  if (!value) return DispatchCall::kBadArgument;
  auto mode = parseScaleName(*value);
  if (!mode) return E_INVALIDARG;
  settings_.scaleMode = *mode;
  window_.invalidate();
  return S_OK;
}

HRESULT PlayerControl::memberAlignMode(DispatchCall& call) {
  if (!call.isPut()) return call.returnInt32(settings_.alignMode);
  auto value = call.putInt32();
  if (!value) return DispatchCall::kBadArgument;
  settings_.alignMode = *value & kAllAlignBits;
  window_.invalidate();
  return S_OK;
}

HRESULT PlayerControl::memberSAlign(DispatchCall& call) {
  if (!call.isPut()) return call.returnString(alignName(settings_.alignMode));
  auto value = call.putString();
  if (!value) return DispatchCall::kBadArgument;
  settings_.alignMode = parseAlignName(*value);
  window_.invalidate();
  return S_OK;
}

HRESULT PlayerControl::memberBackgroundColor(DispatchCall& call) {
  if (!call.isPut()) {
    if (settings_.backgroundColor) return call.returnInt32(static_cast<int32_t>(*settings_.backgroundColor));
    const swf::Movie* movie = player_.movie();
    return call.returnInt32(movie && movie->backgroundColor ? static_cast<int32_t>(*movie->backgroundColor) : -1);
  }
  auto value = call.putInt32();
  if (!value) return DispatchCall::kBadArgument;
  // -1 hands the choice back to the movie.
  if (*value < 0) {
    settings_.backgroundColor.reset();
  } else {
    settings_.backgroundColor = static_cast<uint32_t>(*value) & 0xFFFFFFu;
  }
  window_.invalidate();
  return S_OK;
}

HRESULT PlayerControl::memberBGColor(DispatchCall& call) {
  if (!call.isPut()) return call.returnString(colorName(settings_.backgroundColor));
  auto value = call.putString();
  if (!value) return DispatchCall::kBadArgument;
  if (value->empty()) {
    settings_.backgroundColor.reset();
  } else if (auto color = parseColorName(*value)) {
    settings_.backgroundColor = *color;
  } else {
    return E_INVALIDARG;
  }
  window_.invalidate();
  return S_OK;
}

HRESULT PlayerControl::memberLoop(DispatchCall& call) {
  HRESULT result = booleanProperty(call, settings_.loop);
  player_.setLoop(settings_.loop);
  return result;
}

HRESULT PlayerControl::memberMovie(DispatchCall& call) {
  if (!call.isPut()) return call.returnString(settings_.movie);
  auto value = call.putString();
  if (!value) return DispatchCall::kBadArgument;
  settings_.movie = *value;
  // Like a page that names a missing movie, a path that does not load leaves an empty player.
  if (value->empty()) {
    player_.unload();
    restartFrameTimer();
    window_.invalidate();
  } else {
    loadMovie(*value);
  }
  return S_OK;
}

HRESULT PlayerControl::memberFrameNum(DispatchCall& call) {
  if (!call.isPut()) return call.returnInt32(player_.hasMovie() ? static_cast<int32_t>(player_.currentFrame()) : -1);
  auto frame = call.putInt32();
  if (!frame) return DispatchCall::kBadArgument;
  if (!player_.hasMovie()) return kNoMovie;
  if (*frame < 0 || static_cast<size_t>(*frame) >= player_.totalFrames()) return E_INVALIDARG;
  withEvents([&] { player_.gotoFrame(static_cast<size_t>(*frame)); });
  return S_OK;
}

HRESULT PlayerControl::memberWMode(DispatchCall& call) { return stringProperty(call, settings_.windowMode); }
HRESULT PlayerControl::memberMenu(DispatchCall& call) { return booleanProperty(call, settings_.menu); }
HRESULT PlayerControl::memberBase(DispatchCall& call) { return stringProperty(call, settings_.base); }
HRESULT PlayerControl::memberDeviceFont(DispatchCall& call) { return booleanProperty(call, settings_.deviceFont); }
HRESULT PlayerControl::memberEmbedMovie(DispatchCall& call) { return booleanProperty(call, settings_.embedMovie); }
HRESULT PlayerControl::memberSWRemote(DispatchCall& call) { return stringProperty(call, settings_.swRemote); }
HRESULT PlayerControl::memberFlashVars(DispatchCall& call) { return stringProperty(call, settings_.flashVars); }

}  // namespace vexil::control
