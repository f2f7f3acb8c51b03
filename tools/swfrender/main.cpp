// swfrender FILE [--frames N] [--width W --height H] [--scale MODE] --out OUT.png
// Runs a movie from its start for N frames (default 1) and writes the frame shown after the Nth as
// a PNG, at the movie's stage size or at W x H laid out as the control would (show-all unless
// --scale says otherwise); --quality low draws without anti-aliasing. One line of output per file; exit 1 for a movie it cannot read or a PNG
// it cannot write, 2 for a usage mistake.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "player/render/png_writer.h"
#include "player/render/stage.h"

namespace {

constexpr const char* kUsage =
    "usage: swfrender FILE [--frames N] [--width W --height H] [--scale showall|noborder|exactfit|noscale] "
    "[--quality low|medium|high] --out OUT.png\n";
constexpr long kMaxFrames = 1'000'000;
constexpr long kMaxSide = 8192;

struct Options {
  std::string input, output;
  long frames = 1, width = 0, height = 0;
  int scaleMode = 0;
  bool antiAlias = true;
};

bool parseCount(const char* text, long low, long high, long& out) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < low || value > high) return false;
  out = value;
  return true;
}

bool parseScale(std::string_view text, int& out) {
  const char* names[] = {"showall", "noborder", "exactfit", "noscale"};
  for (int i = 0; i < 4; ++i) {
    if (text == names[i]) {
      out = i;
      return true;
    }
  }
  return false;
}

bool parseArguments(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--help") return false;
    if (arg == "--out" && hasValue) {
      options.output = argv[++i];
    } else if (arg == "--frames" && hasValue) {
      if (!parseCount(argv[++i], 1, kMaxFrames, options.frames)) return false;
    } else if (arg == "--width" && hasValue) {
      if (!parseCount(argv[++i], 1, kMaxSide, options.width)) return false;
    } else if (arg == "--height" && hasValue) {
      if (!parseCount(argv[++i], 1, kMaxSide, options.height)) return false;
    } else if (arg == "--quality" && hasValue) {
      std::string_view quality = argv[++i];
      if (quality != "low" && quality != "medium" && quality != "high") return false;
      options.antiAlias = quality != "low";
    } else if (arg == "--scale" && hasValue) {
      if (!parseScale(argv[++i], options.scaleMode)) return false;
    } else if (arg.starts_with("--") || !options.input.empty()) {
      return false;
    } else {
      options.input = std::string(arg);
    }
  }
  bool sizeGiven = options.width > 0 || options.height > 0;
  bool sizeComplete = options.width > 0 && options.height > 0;
  return !options.input.empty() && !options.output.empty() && (!sizeGiven || sizeComplete);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseArguments(argc, argv, options)) {
    std::fputs(kUsage, stderr);
    return argc > 1 && std::string_view(argv[1]) == "--help" ? 0 : 2;
  }
  auto bytes = vexil::platform::readWholeFile(options.input);
  std::string error = "cannot open file";
  auto stage = bytes ? vexil::render::Stage::load(*bytes, &error) : nullptr;
  if (!stage) {
    std::printf("%s: error: %s\n", options.input.c_str(), error.c_str());
    return 1;
  }
  for (long frame = 1; frame < options.frames; ++frame) stage->advance();
  int width = options.width ? static_cast<int>(options.width) : std::max(1, stage->widthPixels());
  int height = options.height ? static_cast<int>(options.height) : std::max(1, stage->heightPixels());
  vexil::render::Bitmap frame(std::min(width, 8192), std::min(height, 8192));
  stage->render(frame, options.scaleMode, 0, options.antiAlias);
  auto png = vexil::render::encodePng(frame);
  if (!vexil::platform::writeWholeFile(options.output, png.data(), png.size())) {
    std::printf("%s: error: cannot write %s\n", options.input.c_str(), options.output.c_str());
    return 1;
  }
  std::printf("%s: %dx%d after frame %ld -> %s\n", options.input.c_str(), frame.width, frame.height, options.frames,
              options.output.c_str());
  return 0;
}
