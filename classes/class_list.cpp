#include "classes/class_list.h"

#include "objects/datafile/data_file_class.h"
#include "objects/date/date_class.h"
#include "objects/encryption/encryption_class.h"
#include "objects/regexp/regexp_class.h"
#include "objects/streams/stream_classes.h"
#include "net/mime/mail_object.h"
#include "script/builtins/core_builtins.h"

#if defined(_WIN32)
#include "host/hostobjects/host_objects.h"
#include "host/shell/shell_class.h"
#include "net/inet/win32/inet_class.h"
#include "net/socket/win32/socket_class.h"
#include "net/mail/win32/mail_transport_classes.h"
#include "objects/com/win32/activex_class.h"
#include "objects/files/win32/file_classes.h"
#include "objects/registry/win32/registry_classes.h"
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
  registry.set(ClassStep::DataFile, objects::registerDataFile);
  registry.set(ClassStep::Encryption, objects::registerEncryption);
  registry.set(ClassStep::Mail, net::mime::registerMail);
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
  registry.set(ClassStep::FolderAndFile, objects::files::registerFolderAndFile);
  registry.set(ClassStep::Drive, objects::files::registerDrive);
  registry.set(ClassStep::RegKey, objects::registry::registerRegKey);
  registry.set(ClassStep::RegValue, objects::registry::registerRegValue);
  registry.set(ClassStep::Ini, objects::registry::registerIni);
  registry.set(ClassStep::SysInfo, objects::registerSysInfo);
  registry.set(ClassStep::DiskInfo, objects::registerDiskInfo);
  hostobjects::addHostObjects(registry);
  registry.set(ClassStep::Shell, shell::registerShell);
  registry.set(ClassStep::Shortcut, shell::registerShortcut);
  registry.set(ClassStep::UrlShortcut, shell::registerUrlShortcut);
  registry.set(ClassStep::Socket, net::registerSocket);
  registry.set(ClassStep::Inet, net::registerInet);
  registry.set(ClassStep::IpConfig, net::registerIpConfig);
  registry.set(ClassStep::SendMail, net::mail::registerSendMail);
  registry.set(ClassStep::RecvMail, net::mail::registerRecvMail);
#endif
  return registry;
}

}  // namespace vexil::classes
