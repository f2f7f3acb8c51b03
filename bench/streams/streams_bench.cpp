// Stream throughput through the script members, as the virtual machine calls them, beside plain
// zlib at the same level on the same data:
//   write/get loops on StringStream and FileStream, readLine over a 100 MB file, and compress and
//   uncompress of 100 MB (beside zlib called directly, and python3's zlib on the same file).
// Usage: streams_bench [megabytes]   (default 100)
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "objects/streams/stream_classes.h"
#include "platform/environment.h"
#include "script/runtime/arguments.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/class_registration.h"
#include "script/runtime/collector.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"

namespace {

using namespace vexil;
using script::Value;
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void report(const char* what, double seconds, double megabytes, double calls = 0) {
  std::printf("%-44s %8.3f s  %9.1f MB/s", what, seconds, megabytes / seconds);
  if (calls > 0) std::printf("  %7.2f M calls/s", calls / seconds / 1e6);
  std::printf("\n");
}

// Log-like text: compresses about as well as real text does.
std::vector<uint8_t> sampleText(size_t bytes) {
  std::vector<uint8_t> out;
  out.reserve(bytes + 100);
  uint32_t x = 1;
  const char* words[] = {"stream", "value", "engine", "movie", "frame", "script", "window", "error"};
  while (out.size() < bytes) {
    x = x * 1664525 + 1013904223;
    std::string line = std::to_string(x % 100000) + " " + words[x >> 29] + " " + words[(x >> 26) & 7] + " =" +
                       std::to_string(x >> 8) + "\r\n";
    out.insert(out.end(), line.begin(), line.end());
  }
  out.resize(bytes);
  return out;
}

class Bench {
 public:
  Bench() {
    registry_.set(script::ClassStep::Streams, objects::registerStreams)
        .set(script::ClassStep::StringStream, objects::registerStringStream);
    script::EngineConfig config;
    config.classes = &registry_;
    engine_ = script::createEngine(config);
    if (!engine_) std::abort();
  }
  ~Bench() { script::destroyEngine(engine_); }

  script::Engine& e() { return *engine_; }
  Value keep(const char* name, const Value& v) { return script::globalSlot(*engine_, name) = v; }
  Value call(const Value& target, script::Atom method, const std::vector<Value>& block) {
    if (!script::callMethod(*engine_, target, method, block.data())) std::abort();
    return engine_->lastResult;
  }
  Value make(const char* cls, std::initializer_list<Value> args) {
    auto block = script::argumentBlock(args);
    if (!script::callGlobal(*engine_, cls, block.data())) std::abort();
    return engine_->lastResult;
  }
  script::Atom atom(const char* name) { return script::intern(*engine_, name); }

 private:
  script::ClassRegistry registry_;
  script::Engine* engine_ = nullptr;
};

void writeGetLoops(Bench& b, const Value& stream, const char* label, int64_t calls) {
  auto write = b.atom("write"), get = b.atom("get");
  auto integer = script::argumentBlock({Value::fromInteger(0x01020304)});
  Clock::time_point start = Clock::now();
  for (int64_t i = 0; i < calls; ++i) b.call(stream, write, integer);
  report((std::string(label) + " write(integer) loop").c_str(), secondsSince(start), calls * 4 / 1e6, double(calls));

  auto none = script::argumentBlock({});
  if (objects::stringStreamOf(stream)) {
    objects::stringStreamOf(stream)->seekGet(0);
  } else {
    Value zero = Value::fromInteger(0);
    stream.native()->cls->property(b.e(), stream.native()->cls, stream.native()->data, b.atom("pos"), true, &zero);
  }
  start = Clock::now();
  for (int64_t i = 0; i < calls * 4; ++i) b.call(stream, get, none);
  report((std::string(label) + " get() loop").c_str(), secondsSince(start), calls * 4 / 1e6, double(calls * 4));
}

void readLines(Bench& b, const std::vector<uint8_t>& text, const std::string& path) {
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  Value file = b.keep("file", b.make("FileStream", {script::makeStringFromAnsi(b.e(), path)}));
  auto readLine = b.atom("readLine");
  auto none = script::argumentBlock({});
  size_t lines = 0, units = 0;
  Clock::time_point start = Clock::now();
  for (;;) {
    Value line = b.call(file, readLine, none);
    units += line.string()->length;
    ++lines;
    if (lines % 65536 == 0) script::collectGarbage(b.e(), b.e().sp);
    if (line.string()->length == 0 && file.native()->cls) {
      Value eof;
      file.native()->cls->property(b.e(), file.native()->cls, file.native()->data, b.atom("eof"), false, &eof);
      if (eof.boolean()) break;
    }
  }
  report("FileStream readLine over the file", secondsSince(start), text.size() / 1e6, double(lines));
  std::printf("  (%zu lines, %zu characters)\n", lines, units);
  b.call(file, b.atom("close"), none);
}

void compression(Bench& b, const std::vector<uint8_t>& text) {
  double mb = text.size() / 1e6;
  Value source;
  objects::newStringStream(b.e(), &source, text);
  b.keep("source", source);
  auto none = script::argumentBlock({});

  Clock::time_point start = Clock::now();
  Value packed = b.keep("packed", b.call(source, b.atom("compress"), none));
  double ours = secondsSince(start);
  report("StringStream compress (level 6)", ours, mb);

  start = Clock::now();
  std::vector<uint8_t> plain(compressBound(uLong(text.size())));
  uLongf plainSize = uLongf(plain.size());
  compress2(plain.data(), &plainSize, text.data(), uLong(text.size()), 6);
  double zlibTime = secondsSince(start);
  report("plain zlib compress2 (level 6)", zlibTime, mb);
  std::printf("  compressed %zu bytes (zlib %lu); ratio to plain zlib %.2fx\n", objects::stringStreamOf(packed)->size(),
              (unsigned long)plainSize, ours / zlibTime);

  start = Clock::now();
  Value back = b.keep("back", b.call(packed, b.atom("uncompress"), none));
  ours = secondsSince(start);
  report("StringStream uncompress", ours, mb);
  // The baseline gets its output buffer inside the timing too, and is told the exact size.
  start = Clock::now();
  std::unique_ptr<uint8_t[]> out(new uint8_t[text.size()]);
  uLongf outSize = uLongf(text.size());
  uncompress(out.get(), &outSize, plain.data(), plainSize);
  zlibTime = secondsSince(start);
  report("plain zlib uncompress", zlibTime, mb);
  std::printf("  round trip %s; ratio to plain zlib %.2fx\n",
              objects::stringStreamOf(back)->size() == text.size() ? "complete" : "BROKEN", ours / zlibTime);
}

}  // namespace

int main(int argc, char** argv) {
  size_t megabytes = argc > 1 ? size_t(std::atoi(argv[1])) : 100;
  std::vector<uint8_t> text = sampleText(megabytes * 1000 * 1000);
  Bench b;
  int64_t calls = 4000000;
  Value buffer = b.keep("buffer", b.make("StringStream", {}));
  writeGetLoops(b, buffer, "StringStream", calls);
  Value file = b.keep("temp", b.make("FileStream", {}));
  writeGetLoops(b, file, "FileStream", calls);
  b.call(file, b.atom("close"), script::argumentBlock({}));

  std::string path =
      (std::filesystem::temp_directory_path() / ("vx-streams-bench-" + platform::newGuidText() + ".txt")).string();
  readLines(b, text, path);
  compression(b, text);
  // The zlib a command-line user would reach for, on the same file, when python3 is there.
  std::string python = "python3 -c \"import sys, time, zlib\n"
                       "data = open(sys.argv[1], 'rb').read()\n"
                       "t = time.perf_counter(); packed = zlib.compress(data, 6); c = time.perf_counter() - t\n"
                       "t = time.perf_counter(); zlib.decompress(packed); d = time.perf_counter() - t\n"
                       "mb = len(data) / 1e6\n"
                       "print('%-44s %8.3f s  %9.1f MB/s' % ('python3 zlib.compress (level 6)', c, mb / c))\n"
                       "print('%-44s %8.3f s  %9.1f MB/s' % ('python3 zlib.decompress', d, mb / d))\" " +
                       path + " 2>/dev/null";
  std::fflush(stdout);
  if (std::system(python.c_str()) != 0) std::printf("(python3 not available for the command-line comparison)\n");
  std::filesystem::remove(path);
  return 0;
}
