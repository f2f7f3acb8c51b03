// The FileStream script class (published also as Stream): one C runtime file stream, always in
// binary mode, with the shared read and write vocabulary. A closed stream keeps its wrapper and
// answers nothing.
#include <memory>
#include <string>
#include <utility>

#include "objects/streams/stream_classes.h"
#include "objects/streams/stream_methods.h"
#include "platform/file_system.h"
#include "platform/stdio_file.h"
#include "script/runtime/native_class.h"

namespace vexil::objects {

namespace {

using script::Arguments;
using script::Engine;
using script::HostCall;
using script::NativeClass;
using script::Value;
namespace m = stream_methods;

// The instance data: the byte operations the shared vocabulary reads and writes through.
struct FileStream {
  platform::StdioFile file;

  int getByte() {
    int c = file.getByte();
    return c == EOF ? kStreamEof : c;
  }
  size_t read(void* out, size_t count) { return file.read(out, count); }
  size_t write(const void* data, size_t count) { return file.write(data, count); }
};

FileStream& streamOf(HostCall& call) { return *call.instance<FileStream>(); }

// Text mode is never used: every "t" becomes "b", and a mode without either gets a "b".
std::string binaryMode(std::string mode) {
  bool binary = false;
  for (char& c : mode) {
    if (c == 't') c = 'b';
    binary = binary || c == 'b';
  }
  if (!binary) mode += 'b';
  return mode;
}

// No argument: a private temporary file. A path: an existing file, opened for update. A path and a
// mode: opened with that mode made binary.
platform::StdioFile openFor(const Arguments& args) {
  if (args.count() == 0) return platform::StdioFile::openTemporary();
  auto path = args.ansi(1);
  if (!path) return {};
  if (args.count() == 1) {
    return platform::fileExists(*path) ? platform::StdioFile::open(*path, "r+b") : platform::StdioFile();
  }
  auto mode = args.ansi(2);
  if (args.count() != 2 || !mode) return {};
  return platform::StdioFile::open(*path, binaryMode(*mode));
}

// Called as a function, the class constructs too; a file that does not open gives null.
void construct(HostCall& call) {
  platform::StdioFile file = openFor(call.args);
  if (!file.isOpen()) {
    call.result->setNull();
    return;
  }
  call.publish(std::make_unique<FileStream>(FileStream{std::move(file)}));
}

bool isOpen(const void* data) { return static_cast<const FileStream*>(data)->file.isOpen(); }

// A line ends after LF; a CR right before that LF goes with it, any other CR stays in the line.
void readLine(HostCall& call) {
  FileStream& stream = streamOf(call);
  std::string line;
  int c;
  while ((c = stream.getByte()) != kStreamEof && c != '\n') line.push_back(char(c));
  if (c == '\n' && !line.empty() && line.back() == '\r') line.pop_back();
  *call.result = script::makeStringFromAnsi(call.engine, line);
}

void put(HostCall& call) {
  auto value = call.args.integer(1);
  call.result->setBoolean(value && streamOf(call).file.putByte(uint8_t(*value)));
}

void unget(HostCall& call) {
  auto byte = m::byteArgument(call.args);
  call.result->setBoolean(byte && streamOf(call).file.ungetByte(*byte));
}

void flush(HostCall& call) { call.result->setBoolean(streamOf(call).file.flush()); }

// Closing deletes a temporary file; the wrapper stays and answers nothing from now on.
void close(HostCall& call) { streamOf(call).file.close(); }

void pos(HostCall& call) { call.result->setInteger(streamOf(call).file.position()); }

void setPos(HostCall& call, const Value& value) {
  auto position = m::integerOf(value);
  if (position && *position >= 0) streamOf(call).file.seek(*position);
}

void eof(HostCall& call) { call.result->setBoolean(streamOf(call).file.atEnd()); }

void length(HostCall& call) { call.result->setInteger(streamOf(call).file.length()); }

// Only a cut is accepted: the file is shortened and read again from its start.
void setLength(HostCall& call, const Value& value) {
  auto size = m::integerOf(value);
  platform::StdioFile& file = streamOf(call).file;
  if (!size || *size < 0 || *size >= file.length()) return;
  file.seek(0);
  file.truncate(*size);
}

const script::HostMethodEntry kMethods[] = {
    {"get", m::get<FileStream>},
    {"getShort", m::getShort<FileStream>},
    {"getLong", m::getLong<FileStream>},
    {"getFloat", m::getFloat<FileStream>},
    {"getDouble", m::getDouble<FileStream>},
    {"read", m::read<FileStream>},
    {"readLine", readLine},
    {"readString", m::readString<FileStream>},
    {"readUnicodeString", m::readUnicodeString<FileStream>},
    {"put", put},
    {"unget", unget},
    {"putShort", m::putShort<FileStream>},
    {"putFloat", m::putFloat<FileStream>},
    {"write", m::write<FileStream>},
    {"writeLine", m::writeLine<FileStream>},
    {"writeString", m::writeString<FileStream>},
    {"writeUnicodeString", m::writeUnicodeString<FileStream>},
    {"flush", flush},
    {"close", close},
};

const script::HostPropertyEntry kProperties[] = {
    {"pos", pos, setPos},
    {"eof", eof},
    {"length", length, setLength},
};

const script::HostClassInfo kFileStreamClass = {
    .name = "FileStream",
    .methods = kMethods,
    .properties = kProperties,
    .constants = {},
    .construct = construct,
    .call = construct,
    .release = script::deleteInstance<FileStream>,
    .mark = nullptr,
    .isOpen = isOpen,
};

}  // namespace

// One class under two names: a stream made through either is the same kind of object and
// describes itself as "[object FileStream]".
void registerStreams(Engine& engine) {
  NativeClass* cls = script::defineHostClass(engine, kFileStreamClass);
  script::defineClass(engine, "Stream", cls);
}

}  // namespace vexil::objects
