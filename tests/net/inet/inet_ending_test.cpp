// A ping or a download under way stops when the program is ending (the saver woke while a script
// waited in the call), and the ICMP helper answers pings as the raw socket does. Runs under Wine;
// the only peer is a server thread of the test's own on 127.0.0.1.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "net/inet/win32/ping_echo.h"
#include "net/inet/win32/url_download.h"
#include "platform/win32/winsock_session.h"

namespace vexil::net {
namespace {

// Takes the quit message a test posted back off the queue, so the next test starts clean.
void dropQuit() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
}

struct PingRun {
  int replies = 0;
  std::vector<PingReport> kinds;
};

PingRun ping(int count, EchoWay way) {
  PingRun run;
  run.replies = pingHost("127.0.0.1", count, [&](PingReport kind, int, const std::string&) { run.kinds.push_back(kind); },
                         way);
  return run;
}

TEST(InetEnding, BothEchoWaysAnswerLoopback) {
  for (EchoWay way : {EchoWay::RawFirst, EchoWay::HelperOnly}) {
    PingRun run = ping(2, way);
    EXPECT_EQ(run.replies, 2);
    EXPECT_EQ(run.kinds, (std::vector<PingReport>{PingReport::Starting, PingReport::Reply, PingReport::Reply}));
  }
}

TEST(InetEnding, PingStopsBeforeTheNextRequestWhenTheProgramEnds) {
  for (EchoWay way : {EchoWay::RawFirst, EchoWay::HelperOnly}) {
    PostQuitMessage(0);
    PingRun run = ping(50, way);
    dropQuit();
    EXPECT_EQ(run.replies, 0);
    EXPECT_EQ(run.kinds, std::vector<PingReport>{PingReport::Starting});
  }
}

// An HTTP server that announces 100 MB and then sends a 16 KiB block every 20 ms until the
// client goes away or ten seconds pass.
class TricklingServer {
 public:
  TricklingServer() {
    platform::startWinsock();
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 1);
    int size = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~TricklingServer() {
    closesocket(listener_);
    thread_.join();
  }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/big.bin"; }
  int blocksSent() const { return sent_; }

 private:
  void serve() {
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos) {
      int got = recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, size_t(got));
    }
    std::string head = "HTTP/1.0 200 OK\r\nContent-Length: 100000000\r\nContent-Type: application/octet-stream\r\n\r\n";
    send(client, head.data(), int(head.size()), 0);
    std::vector<char> block(16384, 'x');
    for (int i = 0; i < 500; ++i) {
      if (send(client, block.data(), int(block.size()), 0) <= 0) break;
      ++sent_;
      Sleep(20);
    }
    closesocket(client);
  }

  SOCKET listener_ = INVALID_SOCKET;
  uint16_t port_ = 0;
  std::atomic<int> sent_{0};
  std::thread thread_;
};

TEST(InetEnding, DownloadStopsAfterItsBlockAndLeavesNoFile) {
  std::filesystem::path folder = std::filesystem::temp_directory_path() / ("inet_ending_" + std::to_string(GetCurrentProcessId()));
  std::filesystem::create_directories(folder);
  std::filesystem::path target = folder / "big.bin";
  std::string failure;
  int progressCalls = 0;
  bool ok;
  {
    TricklingServer server;
    DownloadEvents events;
    events.failed = [&](const std::string& message) { failure = message; };
    events.progress = [&](uint64_t) {
      ++progressCalls;
      return true;
    };
    PostQuitMessage(0);
    ok = downloadUrl(server.url(), target.u16string(), events);
    dropQuit();
  }
  EXPECT_FALSE(ok);
  EXPECT_EQ(failure, "The download stopped because the program is ending");
  EXPECT_EQ(progressCalls, 1);
  EXPECT_TRUE(std::filesystem::is_empty(folder)) << "no file under the target name, no temporary file";
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vexil::net
