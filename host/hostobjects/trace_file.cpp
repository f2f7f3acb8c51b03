#include "host/hostobjects/trace_file.h"

#include <cstring>

namespace vexil::hostobjects {

bool TraceFile::open(const std::string& path) {
  close();
  file_ = platform::StdioFile::open(path, "wb");
  if (!file_.isOpen()) return false;
  savedOutput_ = engine_.traceOutput;
  savedData_ = engine_.traceData;
  engine_.traceOutput = write;
  engine_.traceData = this;
  return true;
}

void TraceFile::close() {
  if (!file_.isOpen()) return;
  file_.close();
  if (engine_.traceOutput == write && engine_.traceData == this) {
    engine_.traceOutput = savedOutput_;
    engine_.traceData = savedData_;
  }
  savedOutput_ = nullptr;
  savedData_ = nullptr;
}

// Each line is flushed: a test or a person reading the file sees it while the program runs, and
// nothing is lost if the process is ended from outside.
void TraceFile::write(void* data, const char* line) {
  auto* self = static_cast<TraceFile*>(data);
  if (!self->file_.isOpen()) return;
  self->file_.write(line, std::strlen(line));
  self->file_.flush();
}

}  // namespace vexil::hostobjects
