#include "host/hostobjects/host_objects.h"

#include "host/hostobjects/application_class.h"
#include "host/hostobjects/create_control.h"
#include "host/hostobjects/dialogs_class.h"
#include "host/hostobjects/font_object_class.h"
#include "host/hostobjects/mci_class.h"
#include "host/hostobjects/flash_player_class.h"
#include "host/hostobjects/menu_class.h"
#include "host/hostobjects/runner_services.h"
#include "host/hostobjects/window_object.h"

namespace vexil::hostobjects {

// Each class adds its step here as it is written.
script::ClassRegistry& addHostObjects(script::ClassRegistry& registry) {
  registry.set(script::ClassStep::CreateControl, registerCreateControl);
  registry.set(script::ClassStep::FlashPlayer, registerFlashPlayer);
  registry.set(script::ClassStep::MovieClip, registerMovieClip);
  registry.set(script::ClassStep::ApplicationFunctions, registerApplicationFunctions);
  registry.set(script::ClassStep::Window, registerWindow);
  registry.set(script::ClassStep::Application, registerApplication);
  registry.set(script::ClassStep::Menu, registerMenu);
  registry.set(script::ClassStep::Dialogs, registerDialogs);
  registry.set(script::ClassStep::FontObject, registerFontObject);
  registry.set(script::ClassStep::Mci, registerMci);
  connectRunnerServices();
  return registry;
}

}  // namespace vexil::hostobjects
