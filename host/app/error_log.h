#pragma once
// Where the saver logs the errors no script caught: below the user's local application data,
// in a folder named like the saver's registry key and profile, so a person can find what went
// wrong in a run nobody watched.
#include <memory>
#include <string_view>

#include "host/package/app_identity.h"
#include "host/package/run_log.h"

namespace vexil::app {

// The log of this run (its folders created), titled with the local time, the profile name and
// the run's switch; null when no folder for it can be made.
std::unique_ptr<package::RunLog> openErrorLog(const package::AppIdentity& identity, std::string_view runSwitch);

}  // namespace vexil::app
