#pragma once
// The script classes over streams: FileStream (published also as Stream) and StringStream, and
// the calls other host classes use to hand StringStreams to scripts and to read them back.
#include <cstdint>
#include <vector>

#include "objects/streams/string_stream.h"
#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects {

// Registration steps: "Stream" and "FileStream"; "StringStream" with the "$STREAM_..." constants.
void registerStreams(script::Engine& engine);
void registerStringStream(script::Engine& engine);

// Sets target to a new StringStream (mode 3) holding content, and answers it; when the engine did
// not register StringStream, target becomes Null and the answer is null. What a script does to the
// global "StringStream" makes no difference.
StringStream* newStringStream(script::Engine& engine, script::Value* target, std::vector<uint8_t> content = {});
// The stream behind a value, when it is an open StringStream; null otherwise. The class is
// recognised by its class record, so a script that rebinds the global cannot fool it.
StringStream* stringStreamOf(const script::Value& value);

}  // namespace vexil::objects
