// The StringStream script class: a growable in-memory byte stream with the shared read and write
// vocabulary, plus zlib compression, CRC-32 and whole-file load and save.
#include <string>
#include <utility>
#include <vector>

#include "objects/streams/stream_classes.h"
#include "objects/streams/stream_compression.h"
#include "objects/streams/stream_methods.h"
#include "platform/file_system.h"
#include "script/runtime/atom_table.h"
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
  script::makeNative(call.engine, call.result, call.cls, new StringStream(kStreamInOut, std::move(content)));
}

void construct(Engine& engine, NativeClass* cls, const Value* args, Value* result) {
  auto mode = Arguments(args).integer(1);
  script::makeNative(engine, result, cls, new StringStream(mode ? uint32_t(*mode) : kStreamInOut));
}

void call(Engine& engine, NativeClass* cls, void*, Value* result, const Value* args) {
  construct(engine, cls, args, result);
}

void release(NativeClass*, void* data) { delete static_cast<StringStream*>(data); }

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
    .call = call,
    .release = release,
    .mark = nullptr,
    .isOpen = isOpen,
};

}  // namespace

void registerStringStream(Engine& engine) {
  script::defineHostClass(engine, kStringStreamClass);
  script::globalSlot(engine, kEofConstant) = Value::fromInteger(kStreamEof);
}

StringStream* newStringStream(Engine& engine, Value* target, std::vector<uint8_t> content) {
  script::Atom name = script::findAtom(engine, kStringStreamClass.name);
  const Value* published = name >= 0 ? &engine.globals.data[name] : nullptr;
  if (!published || published->tag != script::Tag::Native || !published->native()->cls ||
      published->native()->cls->construct != construct) {
    target->setNull();
    return nullptr;
  }
  auto* stream = new StringStream(kStreamInOut, std::move(content));
  script::makeNative(engine, target, published->native()->cls, stream);
  return stream;
}

StringStream* stringStreamOf(const Value& value) {
  if (value.tag != script::Tag::Native) return nullptr;
  const script::NativeObject* object = value.native();
  if (!object->cls || object->cls->construct != construct || !object->data) return nullptr;
  auto* stream = static_cast<StringStream*>(object->data);
  return stream->isOpen() ? stream : nullptr;
}

}  // namespace vexil::objects
