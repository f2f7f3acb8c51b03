#include "script/runtime/class_reference.h"

#include "script/runtime/host_class.h"

namespace vexil::script {
namespace {

void addRow(std::string& out, std::string_view name, std::string_view kind) {
  out += "| `";
  out += name;
  out += "` | ";
  out += kind;
  out += " |\n";
}

void addClass(std::string& out, const HostClassInfo& info) {
  out += "\n## ";
  out += info.name;
  out += "\n\n";
  if (info.construct) out += "Made with `new " + std::string(info.name) + "(…)`.\n";
  if (info.call) out += "Callable as `" + std::string(info.name) + "(…)`.\n";
  if (info.dynamic) out += "Also answers members it learns at run time.\n";
  if (info.items) out += "Its instances are collections: `obj[key]` and `for (… in obj)`.\n";
  if (info.methods.empty() && info.properties.empty() && info.constants.empty()) return;
  if (info.construct || info.call || info.dynamic || info.items) out += "\n";
  out += "| member | kind |\n|---|---|\n";
  for (const HostMethodEntry& m : info.methods) addRow(out, m.name, m.onClassObject ? "method, also on the class" : "method");
  for (const HostPropertyEntry& p : info.properties) {
    std::string kind = p.set ? "property" : "property, read-only";
    if (p.onClassObject) kind += ", also on the class";
    addRow(out, p.name, kind);
  }
  for (const HostConstant& c : info.constants) addRow(out, c.name, "constant " + std::to_string(c.value));
}

}  // namespace

std::string classReferenceMarkdown(const Engine& engine) {
  std::string out = "# Script objects\n\nEvery host class and function this build registers, in registration order.\n";
  for (const HostClassRecord& record : engine.hostClasses) addClass(out, *record.info);
  if (!engine.hostFunctions.empty()) {
    out += "\n## Functions\n\n| function |\n|---|\n";
    for (const HostFunctionEntry* f : engine.hostFunctions) out += "| `" + std::string(f->name) + "` |\n";
  }
  return out;
}

}  // namespace vexil::script
