#include "script/runtime/uncaught_errors.h"

#include "script/runtime/messages.h"

namespace vexil::script {

std::string uncaughtErrorText(const Engine& engine, std::string_view what) {
  std::string text(what);
  if (engine.failurePlace) text += engine.failurePlace(engine);
  text += engine.message;
  return text;
}

void reportUncaught(Engine& engine, std::string_view what) { reportUncaughtText(engine, uncaughtErrorText(engine, what)); }

void reportUncaughtText(Engine& engine, std::string_view text) {
  std::string line(text);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  line += kWarningLineEnd;
  if (engine.traceOutput) engine.traceOutput(engine.traceData, line.c_str());
  if (engine.failureReport) engine.failureReport(engine.failureReportData, line.c_str());
}

}  // namespace vexil::script
