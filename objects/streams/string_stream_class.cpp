// The StringStream script class: a growable in-memory byte stream with the shared read and write
// vocabulary, plus zlib compression, CRC-32 and whole-file load and save.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "objects/streams/stream_classes.h"
#include "objects/streams/stream_compression.h"
#include "objects/streams/stream_methods.h"
#include "platform/file_system.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"

namespace vexil::objects {

namespace {

using script::Arguments;
using script::Engine;
using script::HostCall;
using script::NativeClass;
using script::Value;
namespace m = stream_methods;

StringStream& streamOf(HostCall& call) { return *call.instance<StringStream>(); }

// Publishes a stream of the class the call came through, so results never depend on what the
// global "StringStream" holds at the time.
void publish(HostCall& call, std::vector<uint8_t> content) {
  call.publish(std::make_unique<StringStream>(kStreamInOut, std::move(content)));
}

// Called as a function, the class constructs too.
void construct(HostCall& call) {
  auto mode = call.args.integer(1);
  call.publish(std::make_unique<StringStream>(mode ? uint32_t(*mode) : kStreamInOut));
}

bool isOpen(const void* data) { return static_cast<const StringStream*>(data)->isOpen(); }

// A line ends at LF, or at CR followed by LF or by the end of data; a CR followed by anything else
// is dropped and the byte after it read as usual.
void readLine(HostCall& call) {
  StringStream& stream = streamOf(call);
  std::string line;
  for (int c; (c = stream.getByte()) != kStreamEof && c != '\n';) {
    if (c != '\r') {
      line.push_back(char(c));
      continue;
    }
    int next = stream.getByte();
    if (next == '\n' || next == kStreamEof) break;
    stream.unget();
  }
  *call.result = script::makeStringFromAnsi(call.engine, line);
}

void put(HostCall& call) {
  if (auto byte = m::byteArgument(call.args)) streamOf(call).write(&*byte, 1);
}

void unget(HostCall& call) { streamOf(call).unget(m::byteArgument(call.args)); }

void flush(HostCall&) {}

void close(HostCall& call) { streamOf(call).close(); }

void toString(HostCall& call) {
  std::span<const uint8_t> bytes = streamOf(call).bytes();
  *call.result = script::makeStringFromAnsi(call.engine, reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

void compress(HostCall& call) {
  int64_t level = call.args.integer(1).value_or(kDefaultCompressionLevel);
  std::optional<std::vector<uint8_t>> packed;
  if (level >= -1 && level <= 9) packed = compressBytes(streamOf(call).bytes(), int(level));
  if (packed) {
    publish(call, std::move(*packed));
  } else {
    call.result->setNull();
  }
}

void uncompress(HostCall& call) {
  if (auto unpacked = uncompressBytes(streamOf(call).bytes())) {
    publish(call, std::move(*unpacked));
  } else {
    call.result->setNull();
  }
}

void saveToFile(HostCall& call) {
  auto path = call.args.ansi(1);
  std::span<const uint8_t> bytes = streamOf(call).bytes();
  if (path) platform::writeWholeFile(*path, bytes.data(), bytes.size());
}

void readFromFile(HostCall& call) {
  auto path = call.args.ansi(1);
  if (!path) return;
  if (auto bytes = platform::readWholeFile(*path)) publish(call, std::move(*bytes));
}

void eof(HostCall& call) { call.result->setBoolean(streamOf(call).eof()); }
void length(HostCall& call) { call.result->setInteger(int64_t(streamOf(call).size())); }
void getPos(HostCall& call) { call.result->setInteger(int64_t(streamOf(call).getPos())); }
void putPos(HostCall& call) { call.result->setInteger(int64_t(streamOf(call).putPos())); }
void crc(HostCall& call) { call.result->setInteger(crc32Of(streamOf(call).bytes())); }

void setGetPos(HostCall& call, const Value& value) {
  auto position = m::integerOf(value);
  if (position && *position >= 0) streamOf(call).seekGet(uint64_t(*position));
}

void setPutPos(HostCall& call, const Value& value) {
  auto position = m::integerOf(value);
  if (position && *position >= 0) streamOf(call).seekPut(uint64_t(*position));
}

const script::HostMethodEntry kMethods[] = {
    {"get", m::get<StringStream>},
    {"getShort", m::getShort<StringStream>},
    {"getLong", m::getLong<StringStream>},
    {"getFloat", m::getFloat<StringStream>},
    {"getDouble", m::getDouble<StringStream>},
    {"read", m::read<StringStream>},
    {"readLine", readLine},
    {"readString", m::readString<StringStream>},
    {"readUnicodeString", m::readUnicodeString<StringStream>},
    {"put", put},
    {"unget", unget},
    {"putShort", m::putShort<StringStream>},
    {"putFloat", m::putFloat<StringStream>},
    {"write", m::write<StringStream>},
    {"writeLine", m::writeLine<StringStream>},
    {"writeString", m::writeString<StringStream>},
    {"writeUnicodeString", m::writeUnicodeString<StringStream>},
    {"flush", flush},
    {"close", close},
    {"toString", toString},
    {"compress", compress},
    {"uncompress", uncompress},
    {"saveToFile", saveToFile},
    {"readFromFile", readFromFile, true},
};

const script::HostPropertyEntry kProperties[] = {
    {"eof", eof},
    {"length", length},
    {"getPos", getPos, setGetPos},
    {"putPos", putPos, setPutPos},
    {"crc", crc},
};

// "$STREAM_EOF" is defined apart: constants are unsigned 32-bit words, which would make it
// 4294967295, and then it would never equal the -1 that get returns.
const script::HostConstant kConstants[] = {
    {"$STREAM_IN", kStreamIn},
    {"$STREAM_OUT", kStreamOut},
};
constexpr char kEofConstant[] = "$STREAM_EOF";

const script::HostClassInfo kStringStreamClass = {
    .name = "StringStream",
    .methods = kMethods,
    .properties = kProperties,
    .constants = kConstants,
    .construct = construct,
    .call = construct,
    .release = script::deleteInstance<StringStream>,
    .mark = nullptr,
    .isOpen = isOpen,
};

}  // namespace

void registerStringStream(Engine& engine) {
  script::defineHostClass(engine, kStringStreamClass);
  script::globalSlot(engine, kEofConstant) = Value::fromInteger(kStreamEof);
}

StringStream* newStringStream(Engine& engine, Value* target, std::vector<uint8_t> content) {
  return script::newInstance(engine, kStringStreamClass, target,
                             std::make_unique<StringStream>(kStreamInOut, std::move(content)));
}

StringStream* stringStreamOf(const Value& value) {
  StringStream* stream = script::instanceOf<StringStream>(value, kStringStreamClass);
  return stream && stream->isOpen() ? stream : nullptr;
}

}  // namespace vexil::objects
