#include "host/mainwnd/fs_commands.h"

#include "host/package/text_item.h"
#include "platform/text_case.h"

namespace vexil::mainwnd {
namespace {

using Handler = void (FsCommandTarget::*)(const std::string&);

struct FsCommand {
  const char* verb;
  Handler handler;  // null: accepted and ignored
};

constexpr FsCommand kCommands[] = {
    {kVerbQuitScripts, &FsCommandTarget::quitScripts},
    {kVerbRun, &FsCommandTarget::runPackagedScript},
    {kVerbAsyncRun, &FsCommandTarget::queueScript},
    {kVerbEval, &FsCommandTarget::evaluate},
    {kVerbFile, &FsCommandTarget::runScriptFile},
    {kVerbTrace, nullptr},
    {kVerbQuit, &FsCommandTarget::closeProgram},
    {kVerbExec, &FsCommandTarget::execute},
};

}  // namespace

bool dispatchFsCommand(FsCommandTarget& target, std::string_view verb, const std::string& argument) {
  for (const FsCommand& command : kCommands) {
    if (!platform::equalsIgnoringAsciiCase(verb, command.verb)) continue;
    if (command.handler) (target.*command.handler)(argument);
    return true;
  }
  return false;
}

}  // namespace vexil::mainwnd
