// Writes the demo package's movie: a looping timeline in the demo's colours whose first frame
// greets the host through FSCommand.   demo_movie OUT.swf
#include <cstdio>

#include "platform/file_system.h"
#include "player/swf/action_builder.h"
#include "player/swf/swf_writer.h"

using vexil::swf::ActionBuilder;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_movie OUT.swf\n");
    return 2;
  }
  vexil::swf::MovieOutline outline;
  outline.backgroundColor = 0x1E3A5F;
  outline.frameRect = {0, 640 * 20, 0, 480 * 20};
  outline.frameRate = 4 << 8;
  vexil::swf::FrameSpec greeting;
  greeting.labels = {"start"};
  greeting.actions = {ActionBuilder().fsCommand("Vexil_Trace", "demo started").setVariable("state", "playing").bytes()};
  vexil::swf::FrameSpec middle;
  vexil::swf::FrameSpec last;
  last.actions = {ActionBuilder().gotoFrame(1).play().bytes()};  // loop past the greeting
  outline.frames = {greeting, middle, last};
  auto bytes = vexil::swf::writeMovie(outline);
  if (!vexil::platform::writeWholeFile(argv[1], bytes.data(), bytes.size())) {
    std::fprintf(stderr, "demo_movie: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
