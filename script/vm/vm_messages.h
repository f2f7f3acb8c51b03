#pragma once
// The machine's own warning and error texts, defined once. The texts shared with the rest of the
// runtime (call and method warnings, stack overflow) live in script/runtime/messages.h.

namespace vexil::script {

inline constexpr char kUndefinedVariableFormat[] = "Warning: using undefined variable \"%s\"";
inline constexpr char kUndefinedPropertyFormat[] = "Warning: using undefined property \"%s\"";
inline constexpr char kWrongTypeFormat[] = "Warning: can't set property \"%s\" with a wrong type";
inline constexpr char kStringIndexOutOfRange[] = "Warning: string index out of range";
inline constexpr char kInvalidIndex[] = "Warning: invalid index for operator []";
inline constexpr char kStaticStringChange[] = "Warning: can't change a static string";
inline constexpr char kNonCharacterStore[] = "Warning: can't store a non-charactor value to string";
inline constexpr char kUnimplementedBytecode[] = "Unimplemented Vexil Script bytecode";
inline constexpr char kUnknownSourceName[] = "unknown";

}  // namespace vexil::script
