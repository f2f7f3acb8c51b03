#pragma once
// The fixed order in which engine creation registers the built-in and host classes. Each class
// library provides the register function of its step; a host assembles them into one
// ClassRegistry. Steps without a function (classes not written yet, or not present on this
// target) are skipped, and the others still run in their places.
#include <array>
#include <cstddef>

namespace vexil::script {

struct Engine;

enum class ClassStep {
  GlobalFunctions,  // NaN, Infinity, parseInt, parseFloat, escape, unescape, isNaN, isFinite, trace
  Date,
  FolderAndFile,
  Drive,
  Streams,          // Stream, FileStream
  StringStream,
  Math,
  RegExp,
  Array,
  Boolean,
  Function,
  Number,
  String,
  Object,
  ActiveXObject,
  Enumerator,
  RegKey,
  RegValue,
  Ini,
  Dialogs,
  FontObject,
  Shell,
  Shortcut,
  UrlShortcut,
  Mci,
  CreateControl,
  FlashPlayer,
  MovieClip,
  ApplicationFunctions,  // getMainWnd ... invoke, and the URI coding functions
  Window,
  Mail,
  SendMail,
  RecvMail,
  Inet,
  IpConfig,
  SysInfo,
  Socket,
  Menu,
  Application,  // Application, _Preferences_, wake-up constants
  Encryption,
  DiskInfo,
  DataFile,
};

inline constexpr size_t kClassStepCount = size_t(ClassStep::DataFile) + 1;

// The globals each step defines, in step order.
extern const char* const kClassStepGlobals[kClassStepCount];

using RegisterClassesFn = void (*)(Engine& engine);

class ClassRegistry {
 public:
  ClassRegistry& set(ClassStep step, RegisterClassesFn fn) {
    steps_[size_t(step)] = fn;
    return *this;
  }
  RegisterClassesFn get(ClassStep step) const { return steps_[size_t(step)]; }
  // Runs the filled steps in order.
  void run(Engine& engine) const;

 private:
  std::array<RegisterClassesFn, kClassStepCount> steps_{};
};

}  // namespace vexil::script
