#pragma once
// The FlashPlayer members that forward to the player control: which script name calls which
// control member, with which argument types and which kind of answer.
#include <cstdint>

namespace vexil::hostobjects {

// Argument types are value tags: an integer is not a double, a double not an integer.
enum class ArgType : uint8_t { Integer, String, Double };
// Ok: true when the control's call succeeded. Integer: −1 on failure. Boolean: false on failure.
// String, Double: undefined on failure.
enum class Answer : uint8_t { Ok, Integer, Boolean, String, Double };

struct ForwardedMethod {
  const char* name;
  const wchar_t* control;
  uint8_t count;
  ArgType args[4];
  Answer answer;
};

inline constexpr ArgType I = ArgType::Integer;
inline constexpr ArgType S = ArgType::String;
inline constexpr ArgType D = ArgType::Double;

inline constexpr ForwardedMethod kForwardedMethods[] = {
    {"setZoomRect", L"SetZoomRect", 4, {I, I, I, I}, Answer::Ok},
    {"zoom", L"Zoom", 1, {I}, Answer::Ok},
    {"pan", L"Pan", 3, {I, I, I}, Answer::Ok},
    {"play", L"Play", 0, {}, Answer::Ok},
    {"stop", L"Stop", 0, {}, Answer::Ok},
    {"back", L"Back", 0, {}, Answer::Ok},
    {"forward", L"Forward", 0, {}, Answer::Ok},
    {"rewind", L"Rewind", 0, {}, Answer::Ok},
    {"stopPlay", L"StopPlay", 0, {}, Answer::Ok},
    {"gotoFrame", L"GotoFrame", 1, {I}, Answer::Ok},
    {"currentFrame", L"CurrentFrame", 0, {}, Answer::Integer},
    {"isPlaying", L"IsPlaying", 0, {}, Answer::Boolean},
    {"percentLoaded", L"PercentLoaded", 0, {}, Answer::Integer},
    {"frameLoaded", L"FrameLoaded", 1, {I}, Answer::Boolean},
    {"flashVersion", L"FlashVersion", 0, {}, Answer::Integer},
    {"loadMovie", L"LoadMovie", 2, {I, S}, Answer::Ok},
    {"setVariable", L"SetVariable", 2, {S, S}, Answer::Ok},
    {"getVariable", L"GetVariable", 1, {S}, Answer::String},
    {"targetGotoFrame", L"TGotoFrame", 2, {S, I}, Answer::Ok},
    {"targetGotoLabel", L"TGotoLabel", 2, {S, S}, Answer::Ok},
    {"targetCurrentFrame", L"TCurrentFrame", 1, {S}, Answer::Integer},
    {"targetCurrentLabel", L"TCurrentLabel", 1, {S}, Answer::String},
    {"targetPlay", L"TPlay", 1, {S}, Answer::Ok},
    {"targetStopPlay", L"TStopPlay", 1, {S}, Answer::Ok},
    {"targetGetProperty", L"TGetProperty", 2, {S, I}, Answer::String},
    {"targetSetProperty", L"TSetProperty", 3, {S, I, S}, Answer::Ok},
    {"targetCallFrame", L"TCallFrame", 2, {S, I}, Answer::Ok},
    {"targetCallLabel", L"TCallLabel", 2, {S, S}, Answer::Ok},
    {"targetGetPropertyNum", L"TGetPropertyNum", 2, {S, I}, Answer::Double},
    {"targetSetPropertyNum", L"TSetPropertyNum", 3, {S, I, D}, Answer::Ok},
};

// Property types: a boolean property also takes an integer.
enum class PropertyType : uint8_t { Integer, Boolean, String };

struct ForwardedProperty {
  const char* name;
  const wchar_t* control;
  PropertyType type;
  bool readOnly = false;
};

inline constexpr ForwardedProperty kForwardedProperties[] = {
    {"totalFrames", L"TotalFrames", PropertyType::Integer, true},
    {"playing", L"Playing", PropertyType::Boolean},
    {"quality", L"Quality", PropertyType::Integer},
    {"scaleMode", L"ScaleMode", PropertyType::Integer},
    {"alignMode", L"AlignMode", PropertyType::Integer},
    {"backgroundColor", L"BackgroundColor", PropertyType::Integer},
    {"loop", L"Loop", PropertyType::Boolean},
    {"movie", L"Movie", PropertyType::String},
    {"frameNum", L"FrameNum", PropertyType::Integer},
    {"wmode", L"WMode", PropertyType::String},
    {"salign", L"SAlign", PropertyType::String},
    {"menu", L"Menu", PropertyType::Boolean},
    {"base", L"Base", PropertyType::String},
    {"scale", L"Scale", PropertyType::String},
    {"deviceFont", L"DeviceFont", PropertyType::Boolean},
    {"embedMovie", L"EmbedMovie", PropertyType::Boolean},
    {"bgColor", L"BGColor", PropertyType::String},
    {"quality2", L"Quality2", PropertyType::String},
    {"SWRemote", L"SWRemote", PropertyType::String},
    {"flashVars", L"FlashVars", PropertyType::String},
};

}  // namespace vexil::hostobjects
