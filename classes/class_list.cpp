#include "classes/class_list.h"

#include "objects/date/date_class.h"
#include "objects/encryption/encryption_class.h"
#include "objects/regexp/regexp_class.h"
#include "objects/streams/stream_classes.h"
#include "script/builtins/core_builtins.h"

#if defined(_WIN32)
#include "host/hostobjects/host_objects.h"
#include "objects/com/win32/activex_class.h"
#include "objects/sysinfo/win32/sysinfo_class.h"
#endif

namespace vexil::classes {

using script::ClassStep;

// A portable class written later adds its step here; a Windows class adds it in standardClasses.
script::ClassRegistry& addPortableClasses(script::ClassRegistry& registry) {
  script::addCoreBuiltins(registry);
  registry.set(ClassStep::Date, objects::registerDate);
  registry.set(ClassStep::RegExp, objects::registerRegExp);
  registry.set(ClassStep::Streams, objects::registerStreams);
  registry.set(ClassStep::StringStream, objects::registerStringStream);
  registry.set(ClassStep::Encryption, objects::registerEncryption);
  return registry;
}

script::ClassRegistry portableClasses() {
  script::ClassRegistry registry;
  addPortableClasses(registry);
  return registry;
}

script::ClassRegistry standardClasses() {
  script::ClassRegistry registry = portableClasses();
#if defined(_WIN32)
  registry.set(ClassStep::ActiveXObject, objects::com::registerActiveXObject);
  registry.set(ClassStep::Enumerator, objects::com::registerEnumerator);
  registry.set(ClassStep::SysInfo, objects::registerSysInfo);
  registry.set(ClassStep::DiskInfo, objects::registerDiskInfo);
  hostobjects::addHostObjects(registry);
#endif
  return registry;
}

}  // namespace vexil::classes
