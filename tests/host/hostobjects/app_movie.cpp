// Writes a small movie whose first frame sends one player command to the host, then loops.
//   app_movie OUT.swf COMMAND ARGUMENT
#include <cstdio>

#include "platform/file_system.h"
#include "player/swf/action_builder.h"
#include "player/swf/swf_writer.h"

using vexil::swf::ActionBuilder;

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: app_movie OUT.swf COMMAND ARGUMENT\n");
    return 2;
  }
  vexil::swf::MovieOutline outline;
  outline.backgroundColor = 0x336699;
  outline.frameRate = 4 << 8;
  vexil::swf::FrameSpec first;
  first.actions = {ActionBuilder().fsCommand(argv[2], argv[3]).bytes()};
  vexil::swf::FrameSpec last;
  last.actions = {ActionBuilder().gotoFrame(1).play().bytes()};  // loop past the command
  outline.frames = {first, vexil::swf::FrameSpec{}, last};
  auto bytes = vexil::swf::writeMovie(outline);
  if (!vexil::platform::writeWholeFile(argv[1], bytes.data(), bytes.size())) {
    std::fprintf(stderr, "app_movie: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
