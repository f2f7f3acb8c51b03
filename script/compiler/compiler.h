#pragma once
// The compile entry points: source text in, one "VS1b" buffer out.
//
// The diagnostics text of a compile (warnings and the first error) is left in the engine's
// message buffer: up to 1023 characters there, a longer text in a separate copy that the next
// compilation frees. On an error nothing is returned. With an output path the compiled bytes are
// also written to that file; with a listing path a listing is written.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/compiler/compile_options.h"

namespace vexil::script {

struct Engine;
class ScriptStream;

struct CompileOutputs {
  const char* listingPath = nullptr;  // written when kOptionListing is set
  const char* outputPath = nullptr;
};

// Compiles the stream (which is closed at the end).
std::optional<std::vector<uint8_t>> compileStream(Engine& engine, ScriptStream& source, CompileOptions options,
                                                  const CompileOutputs& outputs = {});
// Opens the path as a file source; "can't open the script file: <path>" when it cannot.
std::optional<std::vector<uint8_t>> compileFile(Engine& engine, std::string_view path, CompileOptions options,
                                                const CompileOutputs& outputs = {});
std::optional<std::vector<uint8_t>> compileText(Engine& engine, std::string_view text, CompileOptions options,
                                                const CompileOutputs& outputs = {});

// The full diagnostics text of the last compile (the message buffer holds at most 1023
// characters of it).
std::string lastCompileMessages(const Engine& engine);

}  // namespace vexil::script
