#include "script/runtime/class_registration.h"

namespace vexil::script {

const char* const kClassStepGlobals[kClassStepCount] = {
    "NaN Infinity parseInt parseFloat escape unescape isNaN isFinite trace",
    "Date",
    "Folder File",
    "Drive",
    "Stream FileStream",
    "StringStream",
    "Math",
    "RegExp",
    "Array",
    "Boolean",
    "Function",
    "Number",
    "String",
    "Object",
    "ActiveXObject",
    "Enumerator",
    "RegKey",
    "RegValue",
    "Ini",
    "Dialogs",
    "FontObject",
    "Shell",
    "Shortcut",
    "URLShortcut",
    "MCI",
    "createControl",
    "FlashPlayer",
    "MovieClip",
    ("getMainWnd getAppDir getMovies readProfile writeProfile processMsg getAdditionalFile "
     "getExeName invoke decodeURI encodeURI decodeURIComponent encodeURIComponent"),
    "Window",
    "Mail",
    "SendMail",
    "RecvMail",
    "Inet",
    "IPConfig",
    "SysInfo",
    "Socket",
    "Menu",
    "Application _Preferences_",
    "Encryption",
    "DiskInfo",
    "DataFile",
};

void ClassRegistry::run(Engine& engine) const {
  for (RegisterClassesFn fn : steps_) {
    if (fn) fn(engine);
  }
}

}  // namespace vexil::script
