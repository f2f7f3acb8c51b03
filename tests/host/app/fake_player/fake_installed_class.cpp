// A test copy of the stand-in player answers to the real player's class id, the way an installed
// player of a given version would once registered. The provisioning test registers it and checks
// which versions the screensaver accepts.
#include <windows.h>

#include "player/control/served_class.h"

namespace vexil::control {

// {D27CDB6E-AE6D-11CF-96B8-444553540000}
bool servesClass(REFCLSID clsid) {
  static constexpr CLSID kInstalledPlayerClsid = {0xD27CDB6E, 0xAE6D, 0x11CF,
                                                  {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
  return IsEqualCLSID(clsid, kInstalledPlayerClsid);
}

}  // namespace vexil::control
