#include "script/vm/standard_classes.h"

#include "objects/date/date_class.h"
#include "objects/regexp/regexp_class.h"
#include "objects/streams/stream_classes.h"
#include "script/builtins/core_builtins.h"

namespace vexil::script {

// A class written later adds its step here.
ClassRegistry& addStandardClasses(ClassRegistry& registry) {
  addCoreBuiltins(registry);
  registry.set(ClassStep::Date, objects::registerDate);
  registry.set(ClassStep::RegExp, objects::registerRegExp);
  registry.set(ClassStep::Streams, objects::registerStreams);
  registry.set(ClassStep::StringStream, objects::registerStringStream);
  return registry;
}

ClassRegistry standardClasses() {
  ClassRegistry registry;
  addStandardClasses(registry);
  return registry;
}

}  // namespace vexil::script
