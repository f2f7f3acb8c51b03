#pragma once
// The runtime's own message texts, defined once.

namespace vexil::script {

inline constexpr char kRuntimeErrorFormat[] = "Runtime error: %s";
inline constexpr char kOutOfMemory[] = "Out of memory";
inline constexpr char kStackOverflow[] = "stack overflow";
inline constexpr char kCallUndefinedFunction[] = "Warning: call a undefined function";
inline constexpr char kUnknownMethodFormat[] = "Warning: unknown method \"%s\"";
inline constexpr char kInvalidConstructor[] = "Warning: invalid constructor";
inline constexpr char kHookBreakFormat[] = "hook break %d";
inline constexpr char kUnknownAtomName[] = "???";
inline constexpr char kWarningLineEnd[] = "\r\n";

}  // namespace vexil::script
