#pragma once
// The option bits a compilation is started with.
#include <cstdint>

namespace vexil::script {

using CompileOptions = uint32_t;

inline constexpr CompileOptions kOptionListing = 1u << 0;
inline constexpr CompileOptions kOptionRewindForListing = 1u << 1;
inline constexpr CompileOptions kOptionDebugInfo = 1u << 2;
// Bits 16-19 and 22 are carried along for the host and change nothing here.
inline constexpr CompileOptions kOptionWarnMissingSemicolon = 1u << 20;
inline constexpr CompileOptions kOptionStrictLineTerminators = 1u << 21;

}  // namespace vexil::script
