#pragma once
// The trace file of Application.traceToFile: while it is open it is the engine's trace output, so
// trace and the engine's warnings write their lines (ending in CR LF) to it. The file is written
// in binary mode: the lines already carry their CR LF. Closing it gives the engine back the
// output it had before (none in the screensaver; standard output in the console runner).
#include <string>

#include "platform/stdio_file.h"
#include "script/runtime/engine.h"

namespace vexil::hostobjects {

class TraceFile {
 public:
  explicit TraceFile(script::Engine& engine) : engine_(engine) {}
  ~TraceFile() { close(); }
  TraceFile(const TraceFile&) = delete;
  TraceFile& operator=(const TraceFile&) = delete;

  // Closes any previous file, then opens path (truncating it); false when it cannot be opened,
  // which leaves tracing off.
  bool open(const std::string& path);
  void close();
  bool isOpen() const { return file_.isOpen(); }

 private:
  static void write(void* data, const char* line);

  script::Engine& engine_;
  platform::StdioFile file_;
  script::TraceOutput savedOutput_ = nullptr;
  void* savedData_ = nullptr;
};

}  // namespace vexil::hostobjects
