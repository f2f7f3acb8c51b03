// A message with one large attachment: composing and saving it, then loading it back and saving
// the attachment out, with the time and the process's memory peak after each step. Kept parts are
// copied by range in pieces, so composing should not grow with the attachment.
//   mail_bench [MEGABYTES] [SCRATCH_DIR]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "net/mime/mail_message.h"

using namespace vexil::net::mime;

namespace {

long peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void report(const char* step, std::chrono::steady_clock::time_point start) {
  std::printf("%-34s %7.3f s   peak %7.1f MB\n", step, secondsSince(start), peakKilobytes() / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
  size_t megabytes = argc > 1 ? size_t(std::atoi(argv[1])) : 50;
  std::string dir = argc > 2 ? argv[2] : "/tmp";
  std::string source = dir + "/mail_bench_source.bin", saved = dir + "/mail_bench.eml", out = dir + "/mail_bench_out.bin";

  auto start = std::chrono::steady_clock::now();
  {
    std::FILE* f = std::fopen(source.c_str(), "wb");
    std::string block(1 << 20, '\0');
    uint32_t x = 1;
    for (size_t i = 0; i < megabytes; ++i) {
      for (char& c : block) c = char((x = x * 1103515245 + 12345) >> 24);
      std::fwrite(block.data(), 1, block.size(), f);
    }
    std::fclose(f);
  }
  report("write the source file", start);

  start = std::chrono::steady_clock::now();
  {
    auto m = MailMessage::create();
    m->setField(&MailHeaders::to, "bench@example.com");
    m->setText("The attachment.");
    m->addAttachment(source, "source.bin", "application/octet-stream");
    m->setField(&MailHeaders::subject, "recomposed once more");
    if (!m->save(saved)) return 1;
  }
  report("compose, recompose and save", start);

  start = std::chrono::steady_clock::now();
  {
    auto m = MailMessage::create();
    if (!m->load(saved) || m->parts().attachments.size() != 1) return 1;
    report("load (parse) the message", start);
    start = std::chrono::steady_clock::now();
    if (!m->savePart(m->parts().attachments[0], out)) return 1;
  }
  report("save the attachment out", start);
  std::remove(source.c_str());
  std::remove(saved.c_str());
  std::remove(out.c_str());
  return 0;
}
