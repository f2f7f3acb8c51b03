// Every real movie in the outside corpus either reads or fails with an error text, and running
// its timeline for a while never crashes or hangs.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "player/swf/fscommand_probe.h"
#include "player/swf/movie_player.h"
#include "player/swf/swf_reader.h"

using namespace vexil::swf;

TEST(Corpus, EveryMovieReadsOrFailsCleanly) {
  std::filesystem::path dir = std::filesystem::path(VEXIL_CORPUS_DIR) / "swf";
  if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no corpus at " << dir;
  size_t read = 0, withActions = 0, commands = 0;
  std::map<std::string, size_t> failures;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".swf") continue;
    ReadResult result = readMovieFile(entry.path().string());
    if (!result.ok()) {
      EXPECT_FALSE(result.error.empty()) << entry.path();
      ++failures[result.error];
      continue;
    }
    ++read;
    const Movie& movie = *result.movie;
    EXPECT_GE(movie.frames.size(), 1u);
    bool hasActions = false;
    for (const Frame& frame : movie.frames) hasActions |= !frame.actions.empty();
    withActions += hasActions;
    commands += probeFsCommands(movie).size();
    MoviePlayer player;
    player.load(movie);
    for (int tick = 0; tick < 50; ++tick) player.tick();
  }
  size_t failed = 0;
  for (const auto& [error, count] : failures) {
    failed += count;
    std::cout << "  failed: " << count << " x " << error << "\n";
  }
  std::cout << "  corpus: " << read << " read (" << withActions << " with actions, " << commands
            << " FSCommands probed), " << failed << " failed\n";
  EXPECT_GT(read, 0u);
}
