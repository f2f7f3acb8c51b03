// Writes the FlashPlayer test's movie. Its first frame sets variables the script reads, asks the
// script to start (FSCommand Vexil_Eval "movieReady()") and stops. Its third frame, which the script
// runs with targetCallFrame once it has written the variable "reply", sends that reply back:
// Vexil_Eval "movieHeard('<reply>')".
//   flash_movie OUT RRGGBB [compressed | exe]
// "exe" writes the compressed movie the way a player executable carries one: after a stand-in for
// the program, followed by a marker and the movie's length.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/file_system.h"
#include "player/swf/action_builder.h"
#include "player/swf/swf_writer.h"

using vexil::swf::ActionBuilder;
using vexil::swf::ActionCode;

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: flash_movie OUT RRGGBB [compressed | exe]\n");
    return 2;
  }
  const char* form = argc > 3 ? argv[3] : "";
  bool exe = std::strcmp(form, "exe") == 0;
  vexil::swf::MovieOutline outline;
  outline.compressed = exe || std::strcmp(form, "compressed") == 0;
  outline.backgroundColor = uint32_t(std::strtoul(argv[2], nullptr, 16));
  outline.frameRate = 8 << 8;
  vexil::swf::FrameSpec first;
  first.actions = {ActionBuilder()
                       .setVariable("score", "12")
                       .setVariable("ratio", "1.5")
                       .setVariable("flag", "true")
                       .setVariable("name", "Ann")
                       .fsCommand("Vexil_Eval", "movieReady()")
                       .stop()
                       .bytes()};
  vexil::swf::FrameSpec answer;
  answer.actions = {ActionBuilder()
                        .push("FSCommand:Vexil_Eval")
                        .push("movieHeard('")
                        .push("reply")
                        .op(ActionCode::GetVariable)
                        .op(ActionCode::StringAdd)
                        .push("')")
                        .op(ActionCode::StringAdd)
                        .getUrl2()
                        .bytes()};
  outline.frames = {first, vexil::swf::FrameSpec{}, answer};
  auto bytes = vexil::swf::writeMovie(outline);
  if (exe) {
    std::vector<uint8_t> file = {'M', 'Z', 0x90, 0x00, 'n', 'o', 't', ' ', 'a', ' ', 'p', 'r', 'o', 'g', 'r', 'a', 'm'};
    file.insert(file.end(), bytes.begin(), bytes.end());
    uint32_t length = uint32_t(bytes.size());
    for (uint8_t b : {0x56, 0x34, 0x12, 0xFA}) file.push_back(b);
    for (int i = 0; i < 4; ++i) file.push_back(uint8_t(length >> (8 * i)));
    bytes = std::move(file);
  }
  if (!vexil::platform::writeWholeFile(argv[1], bytes.data(), bytes.size())) {
    std::fprintf(stderr, "flash_movie: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
