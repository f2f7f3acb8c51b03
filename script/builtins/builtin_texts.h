#pragma once
// Fixed texts the built-in classes answer with, defined once.

namespace vexil::script {

// What the class objects of the built-in classes answer to toString.
inline constexpr char16_t kTypeFunction[] = u"[type Function]";
inline constexpr char16_t kNewObjectSource[] = u"new Object()";
inline constexpr char kGeneratedFunctionFormat[] = "@F_%u";
inline constexpr char kTraceLineEnd[] = "\r\n";

}  // namespace vexil::script
