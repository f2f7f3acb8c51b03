#include "objects/datafile/data_file_class.h"

#include <memory>
#include <string>
#include <vector>

#include "objects/datafile/data_file_form.h"
#include "objects/datafile/data_file_values.h"
#include "objects/datafile/profile_text.h"
#include "platform/file_system.h"
#include "platform/text_encoding.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::objects {

namespace {

using script::HostCall;
using namespace datafile;

struct DataFileData {};  // no state: an instance answers what the class answers

std::optional<std::string> pathArgument(const HostCall& call) { return call.args.ansi(1); }

// save(path, name, ...): every argument a string, else nothing is written. Answers true when every
// named variable was written, false when one was refused (a function, a host object, an
// undefined global, a cycle, a name that would not read back) or the file could not be written.
void save(HostCall& call) {
  uint32_t count = call.args.count();
  if (count < 1) return;
  std::vector<std::u16string> names;
  for (uint32_t i = 1; i <= count; ++i) {
    const script::ScriptString* s = call.args.string(i);
    if (!s) {
      call.result->setBoolean(false);
      return;
    }
    if (i > 1 && s->length) names.emplace_back(s->view());
  }
  call.result->setBoolean(saveVariables(call.engine, *pathArgument(call), names));
}

// load(path): true when the file was read (what it holds that parses is applied, one whole
// variable at a time), false without a string or a readable file.
void load(HostCall& call) {
  std::optional<std::string> path = pathArgument(call);
  call.result->setBoolean(path && loadVariables(call.engine, *path));
}

void remove(HostCall& call) {
  std::optional<std::string> path = pathArgument(call);
  call.result->setBoolean(path && platform::deleteFile(*path));
}

void construct(HostCall& call) { call.publish(std::make_unique<DataFileData>()); }

const script::HostMethodEntry kMethods[] = {
    {"save", save, true},
    {"load", load, true},
    {"remove", remove, true},
};

const script::HostClassInfo kDataFileClass = {
    .name = "DataFile",
    .methods = kMethods,
    .construct = construct,
    .call = construct,
    .release = script::deleteInstance<DataFileData>,
};

}  // namespace

void registerDataFile(script::Engine& engine) { script::defineHostClass(engine, kDataFileClass); }

}  // namespace vexil::objects
