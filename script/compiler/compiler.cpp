// The compile entry points: front end, code generation, the optimisation passes, the listing,
// and the "VS1b" bytes, with the diagnostics left in the engine's message buffer.
#include "script/compiler/compiler.h"

#include <cstring>

#include "script/compiler/code_generator.h"
#include "script/compiler/compilation.h"
#include "script/compiler/compiled_writer.h"
#include "script/compiler/front_end.h"
#include "script/compiler/script_stream.h"
#include "script/runtime/engine.h"
#include "script/runtime/runtime_error.h"

namespace vexil::script {
namespace {

inline constexpr char kListingFirstLine[] = "; -*- asm -*-\r\n";
inline constexpr char kCannotWriteCompiledFile[] = "can't write the compiled file: ";

// Up to 1023 characters fit the message buffer; a longer text is kept whole beside it.
void leaveMessages(Engine& engine, std::string_view text) {
  size_t fits = std::min(text.size(), kMessageBufferSize - 1);
  std::memcpy(engine.message, text.data(), fits);
  engine.message[fits] = 0;
  if (text.size() > fits) engine.compileMessages.assign(text);
}

bool generate(Compilation& compilation, CompiledWriter& writer) {
  bool generated = false;
  bool completed = protectedCall(compilation.engine, [&] {
    try {
      generateProgram(compilation, writer);
      generated = true;
    } catch (const CompileError&) {
      // The diagnostics hold the error line.
    }
  });
  return completed && generated;
}

void writeListing(Compilation& compilation, const char* path) {
  if (compilation.option(kOptionRewindForListing)) compilation.source.rewind();
  auto listing = ScriptStream::openFileSink(path);
  if (!listing) return;
  listing->write("s", kListingFirstLine);
  listing->close();
}

bool writeOutputFile(const char* path, const std::vector<uint8_t>& bytes) {
  auto sink = ScriptStream::openFileSink(path);
  if (!sink) return false;
  bool written = sink->writeBytes(bytes.data(), bytes.size());
  return sink->close() && written;
}

std::optional<std::vector<uint8_t>> compileOpen(Engine& engine, ScriptStream& source, CompileOptions options,
                                                const CompileOutputs& outputs) {
  Compilation compilation(engine, source, options);
  if (!runFrontEnd(compilation)) {
    // Without an error line the heap ran out, and the message buffer already says so.
    if (compilation.diagnostics.failed()) leaveMessages(engine, compilation.diagnostics.text());
    return std::nullopt;
  }
  // Functions are optimised and written as they are generated.
  WriterOptions writing;
  writing.debugInfo = compilation.option(kOptionDebugInfo);
  writing.sourceName = source.name();
  writing.tagSeed = timeSeed();
  CompiledWriter writer(writing);
  if (!generate(compilation, writer)) {
    if (compilation.diagnostics.failed()) leaveMessages(engine, compilation.diagnostics.text());
    return std::nullopt;
  }
  if (compilation.option(kOptionListing) && outputs.listingPath) writeListing(compilation, outputs.listingPath);
  std::vector<uint8_t> bytes = writer.finish();
  std::string messages(compilation.diagnostics.text());
  if (outputs.outputPath && !writeOutputFile(outputs.outputPath, bytes)) {
    messages += kCannotWriteCompiledFile;
    messages += outputs.outputPath;
    messages += "\n";
    leaveMessages(engine, messages);
    return std::nullopt;
  }
  leaveMessages(engine, messages);
  return bytes;
}

}  // namespace

std::optional<std::vector<uint8_t>> compileStream(Engine& engine, ScriptStream& source, CompileOptions options,
                                                  const CompileOutputs& outputs) {
  engine.compileMessages.clear();
  engine.compileMessages.shrink_to_fit();
  auto result = compileOpen(engine, source, options, outputs);
  source.close();
  return result;
}

std::optional<std::vector<uint8_t>> compileFile(Engine& engine, std::string_view path, CompileOptions options,
                                                const CompileOutputs& outputs) {
  engine.compileMessages.clear();
  auto stream = ScriptStream::openFileSource(engine, path);
  if (!stream) return std::nullopt;
  return compileStream(engine, *stream, options, outputs);
}

std::optional<std::vector<uint8_t>> compileText(Engine& engine, std::string_view text, CompileOptions options,
                                                const CompileOutputs& outputs) {
  ScriptStream stream(text);
  return compileStream(engine, stream, options, outputs);
}

std::string lastCompileMessages(const Engine& engine) {
  const std::string& whole = engine.compileMessages;
  if (!whole.empty() && std::strncmp(engine.message, whole.data(), kMessageBufferSize - 1) == 0) return whole;
  return engine.message;
}

}  // namespace vexil::script
