#include "host/hostobjects/trace_file.h"

namespace vexil::hostobjects {

bool TraceFile::open(const std::string& path) {
  close();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  file_ = file;
  savedOutput_ = engine_.traceOutput;
  savedData_ = engine_.traceData;
  engine_.traceOutput = write;
  engine_.traceData = this;
  return true;
}

void TraceFile::close() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
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
  if (!self->file_) return;
  std::fputs(line, self->file_);
  std::fflush(self->file_);
}

}  // namespace vexil::hostobjects
