#pragma once
// The class id the DLL's class factory answers to. The product answers only to its own; test
// copies of the DLL link another definition to stand in for an installed player.
#include <windows.h>

namespace vexil::control {

bool servesClass(REFCLSID clsid);

}  // namespace vexil::control
