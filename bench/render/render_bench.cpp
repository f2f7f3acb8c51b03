// Frames per second of the renderer at 1920 x 1080 (show-all, anti-aliased), one core: every core
// movie of the swf-render reference corpus and the demo package's movie. Each movie is advanced
// and drawn for the given number of frames after one untimed warm-up frame.
// Usage: render_bench [frames] [corpus_dir]   (default 120 frames, the project's corpus)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/demo/demo_movie_content.h"
#include "platform/file_system.h"
#include "player/render/stage.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kWidth = 1920, kHeight = 1080;

// The names of the core movies, from the corpus's list (name is the second column, tier the third).
std::vector<std::string> coreMovies(const std::string& corpus) {
  std::ifstream list(corpus + "/tests.csv");
  std::vector<std::string> names;
  std::string line;
  std::getline(list, line);
  while (std::getline(list, line)) {
    std::stringstream fields(line);
    std::string rank, name, tier;
    std::getline(fields, rank, ',');
    std::getline(fields, name, ',');
    std::getline(fields, tier, ',');
    if (tier == "core") names.push_back(name);
  }
  return names;
}

void measure(const std::string& label, const std::vector<uint8_t>& bytes, int frames) {
  auto stage = vexil::render::Stage::load(bytes);
  if (!stage) {
    std::printf("%-34s unreadable\n", label.c_str());
    return;
  }
  vexil::render::Bitmap frame(kWidth, kHeight);
  stage->render(frame);
  auto start = Clock::now();
  std::clock_t cpuStart = std::clock();
  for (int i = 0; i < frames; ++i) {
    stage->advance();
    stage->render(frame);
  }
  double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  // The machine is shared: processor time says what one core of our own would give.
  double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  std::printf("%-34s %8.1f fps  %7.2f ms/frame  %8.1f fps of processor time\n", label.c_str(), frames / seconds,
              seconds * 1000 / frames, cpuSeconds > 0 ? frames / cpuSeconds : 0.0);
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::atoi(argv[1]) : 120;
  std::string corpus = argc > 2 ? argv[2] : std::string(VEXIL_CORPUS_DIR) + "/swf-render";
  if (frames <= 0) frames = 120;
  std::printf("render at %dx%d, %d frames each\n", kWidth, kHeight, frames);
  for (const std::string& name : coreMovies(corpus)) {
    auto bytes = vexil::platform::readWholeFile(corpus + "/" + name + "/test.swf");
    if (bytes) measure(name, *bytes, frames);
  }
  measure("demo", vexil::demo::makeDemoMovie(), frames);
  return 0;
}
