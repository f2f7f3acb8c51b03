#include "script/compiler/script_stream.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "script/runtime/engine.h"

namespace vexil::script {

namespace {

void appendMessage(Engine& engine, std::string_view text) {
  size_t used = std::strlen(engine.message);
  size_t room = kMessageBufferSize - 1 - used;
  size_t n = text.size() < room ? text.size() : room;
  std::memcpy(engine.message + used, text.data(), n);
  engine.message[used + n] = 0;
}

void putBigEndian(uint8_t* out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, value >>= 8) out[i] = uint8_t(value);
}

}  // namespace

ScriptStream::ScriptStream() : ScriptStream(StreamKind::MemoryBuffer, kStringStreamName) {}

ScriptStream::ScriptStream(std::string_view text) : ScriptStream(StreamKind::StringSource, kStringStreamName) {
  data_ = text.data();
  const void* nul = std::memchr(text.data(), 0, text.size());
  limit_ = nul ? size_t(static_cast<const char*>(nul) - text.data()) : text.size();
}

ScriptStream::ScriptStream(StreamKind kind, std::string name) : kind_(kind), name_(std::move(name)) {}

ScriptStream::~ScriptStream() { close(); }

std::unique_ptr<ScriptStream> ScriptStream::openFileSource(Engine& engine, std::string_view path) {
  platform::File file = platform::File::open(path, platform::File::Mode::Read);
  if (!file.isOpen()) {
    appendMessage(engine, kCannotOpenScriptFile);
    appendMessage(engine, path);
    appendMessage(engine, "\n");
    return nullptr;
  }
  std::unique_ptr<ScriptStream> stream(new ScriptStream(StreamKind::FileSource, std::string(path)));
  // One byte more than a read takes, for the 0 that marks the end of the file.
  stream->buffer_ = static_cast<char*>(std::malloc(kFileBufferSize + 1));
  if (!stream->buffer_) throw std::bad_alloc();
  stream->capacity_ = kFileBufferSize + 1;
  stream->data_ = stream->buffer_;
  stream->file_ = std::move(file);
  return stream;
}

std::unique_ptr<ScriptStream> ScriptStream::openFileSink(std::string_view path) {
  platform::File file = platform::File::open(path, platform::File::Mode::Write);
  if (!file.isOpen()) return nullptr;
  std::unique_ptr<ScriptStream> stream(new ScriptStream(StreamKind::FileSink, std::string(path)));
  stream->buffer_ = static_cast<char*>(std::malloc(kFileBufferSize));
  if (!stream->buffer_) throw std::bad_alloc();
  stream->capacity_ = kFileBufferSize;
  stream->file_ = std::move(file);
  return stream;
}

int ScriptStream::getByteSlow() {
  if (!pushedBack_.empty()) {
    int byte = pushedBack_.back();
    pushedBack_.pop_back();
    return byte;
  }
  if (kind_ == StreamKind::FileSource && fillFileBuffer()) return static_cast<unsigned char>(data_[position_++]);
  return 0;
}

// A short read means the end of the file: a 0 byte is placed after what was read, so the end reads
// as 0 however often it is asked for.
bool ScriptStream::fillFileBuffer() {
  if (!file_.isOpen()) return false;
  size_t n = file_.read(buffer_, kFileBufferSize);
  if (n < kFileBufferSize) buffer_[n++] = 0;
  position_ = 0;
  limit_ = n;
  return true;
}

void ScriptStream::ungetByte(int byte) {
  if (pushedBack_.size() == pushedBack_.capacity()) pushedBack_.reserve(pushedBack_.size() + kPushBackGrowth);
  pushedBack_.push_back(uint8_t(byte));
}

bool ScriptStream::appendToMemory(const void* data, size_t size) {
  if (size > SIZE_MAX - kMemoryBufferGrowth - length_) return false;
  size_t needed = length_ + size;
  if (needed > capacity_) {
    size_t grown = (needed + kMemoryBufferGrowth) & ~(kMemoryBufferGrowth - 1);
    auto* bigger = static_cast<char*>(std::realloc(buffer_, grown));
    if (!bigger) return false;
    buffer_ = bigger;
    capacity_ = grown;
  }
  if (size) std::memcpy(buffer_ + length_, data, size);
  length_ = needed;
  return true;
}

// Writes of half the buffer or more go straight to the file, after what is already buffered.
bool ScriptStream::appendToFile(const void* data, size_t size) {
  if (!file_.isOpen()) return false;
  if (size >= kFileBufferSize / 2) return flush() && file_.write(data, size);
  if (length_ + size > kFileBufferSize && !flush()) return false;
  std::memcpy(buffer_ + length_, data, size);
  length_ += size;
  return true;
}

bool ScriptStream::writeBytes(const void* data, size_t size) {
  switch (kind_) {
    case StreamKind::MemoryBuffer: return appendToMemory(data, size);
    case StreamKind::FileSink: return appendToFile(data, size);
    default: return false;
  }
}

int ScriptStream::write(const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool ok = true;
  for (const char* letter = format; ok && *letter; ++letter) {
    uint8_t bytes[8];
    char text[512];
    switch (std::tolower(static_cast<unsigned char>(*letter))) {
      case 'a': {
        int n = std::snprintf(text, sizeof text, "%d", va_arg(args, int));
        ok = writeBytes(text, size_t(n));
        break;
      }
      case 'b': {
        int count = va_arg(args, int);
        const void* data = va_arg(args, const void*);
        ok = count >= 0 && writeBytes(data, size_t(count));
        break;
      }
      case 'c':
        bytes[0] = uint8_t(va_arg(args, int));
        ok = writeBytes(bytes, 1);
        break;
      case 'd': {
        double value = va_arg(args, double);
        uint64_t raw;
        std::memcpy(&raw, &value, sizeof raw);
        for (int i = 0; i < 8; ++i) bytes[i] = uint8_t(raw >> (8 * i));
        ok = writeBytes(bytes, 8);
        break;
      }
      case 'f': {
        // Large doubles print hundreds of digits; the text is measured first.
        double value = va_arg(args, double);
        int n = std::snprintf(nullptr, 0, "%f", value);
        std::string out(size_t(n) + 1, '\0');
        std::snprintf(out.data(), out.size(), "%f", value);
        ok = writeBytes(out.data(), size_t(n));
        break;
      }
      case 'i':
        putBigEndian(bytes, uint32_t(va_arg(args, int)), 2);
        ok = writeBytes(bytes, 2);
        break;
      case 'l':
        putBigEndian(bytes, va_arg(args, uint32_t), 4);
        ok = writeBytes(bytes, 4);
        break;
      case 's': {
        const char* s = va_arg(args, const char*);
        ok = writeBytes(s, std::strlen(s));
        break;
      }
      case 'x': {
        int count = va_arg(args, int);
        const void* data = va_arg(args, const void*);
        putBigEndian(bytes, uint32_t(count), 4);
        ok = count >= 0 && writeBytes(bytes, 4) && writeBytes(data, size_t(count));
        break;
      }
      default:
        // The letter's argument type is unknown, so nothing after it can be read safely.
        ok = false;
        break;
    }
  }
  va_end(args);
  return ok ? 1 : 0;
}

bool ScriptStream::flush() {
  if (kind_ != StreamKind::FileSink || !file_.isOpen() || length_ == 0) return true;
  bool ok = file_.write(buffer_, length_);
  length_ = 0;
  return ok;
}

void ScriptStream::rewind() {
  pushedBack_.clear();
  line = 0;
  switch (kind_) {
    case StreamKind::StringSource: position_ = 0; break;
    case StreamKind::MemoryBuffer: length_ = 0; break;
    case StreamKind::FileSource:
      if (file_.isOpen()) file_.seek(0);
      position_ = limit_ = 0;
      break;
    case StreamKind::FileSink:
      flush();
      if (file_.isOpen()) file_.seek(0);
      break;
  }
}

bool ScriptStream::close() {
  bool ok = flush();
  if (file_.isOpen()) ok = file_.close() && ok;
  std::free(buffer_);
  buffer_ = nullptr;
  data_ = nullptr;
  length_ = capacity_ = position_ = limit_ = 0;
  pushedBack_.clear();
  return ok;
}

}  // namespace vexil::script
