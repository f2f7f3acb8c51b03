// Socket's throughput on loopback beside a plain blocking Winsock client moving the same bytes to
// and from the same peer threads: a sink that reads until the sender closes, and a source that
// writes a fixed count and closes. Run under Wine: socket_bench.exe [megabytes] [rounds]
#include <winsock2.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/script_bench.h"
#include "classes/class_list.h"
#include "script/runtime/engine.h"
#include "script/vm/script_host.h"

namespace {

using vexil::bench::Clock;
using vexil::bench::runScript;
using vexil::bench::secondsSince;

constexpr int kChunk = 1 << 16;        // the peer threads' reads and writes
constexpr int kClientChunk = 1 << 20;  // the client's, as the script's (Socket's largest transfer)

SOCKET listener(uint16_t* port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(s, 1);
  int size = sizeof address;
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  *port = ntohs(address.sin_port);
  return s;
}

// Reads one connection until its peer closes; answers the byte count.
uint64_t sinkOne(SOCKET server) {
  SOCKET s = accept(server, nullptr, nullptr);
  std::vector<char> buffer(kChunk);
  uint64_t total = 0;
  int got;
  while ((got = recv(s, buffer.data(), kChunk, 0)) > 0) total += uint64_t(got);
  closesocket(s);
  return total;
}

void sourceOne(SOCKET server, uint64_t bytes) {
  SOCKET s = accept(server, nullptr, nullptr);
  std::vector<char> buffer(kChunk, 'v');
  uint64_t left = bytes;
  while (left > 0) {
    int sent = send(s, buffer.data(), int(std::min<uint64_t>(left, kChunk)), 0);
    if (sent <= 0) break;
    left -= uint64_t(sent);
  }
  shutdown(s, SD_SEND);
  char drain[256];
  while (recv(s, drain, sizeof drain, 0) > 0) {
  }
  closesocket(s);
}

SOCKET connectTo(uint16_t port) {
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  return s;
}

double plainSend(SOCKET server, uint16_t port, uint64_t bytes) {
  uint64_t received = 0;
  auto start = Clock::now();
  std::thread sink([&] { received = sinkOne(server); });
  SOCKET s = connectTo(port);
  std::vector<char> buffer(kClientChunk, 'v');
  uint64_t left = bytes;
  while (left > 0) {
    int sent = send(s, buffer.data(), int(std::min<uint64_t>(left, kClientChunk)), 0);
    if (sent <= 0) break;
    left -= uint64_t(sent);
  }
  closesocket(s);
  sink.join();
  double seconds = secondsSince(start);
  if (received != bytes) std::fprintf(stderr, "plain send moved %llu bytes\n", (unsigned long long)received);
  return seconds;
}

double plainReceive(SOCKET server, uint16_t port, uint64_t bytes) {
  auto start = Clock::now();
  std::thread source([&] { sourceOne(server, bytes); });
  SOCKET s = connectTo(port);
  std::vector<char> buffer(kClientChunk);
  uint64_t total = 0;
  int got;
  while ((got = recv(s, buffer.data(), kClientChunk, 0)) > 0) total += uint64_t(got);
  closesocket(s);
  source.join();
  double seconds = secondsSince(start);
  if (total != bytes) std::fprintf(stderr, "plain receive moved %llu bytes\n", (unsigned long long)total);
  return seconds;
}

// The script side: one 1 MiB StringStream sent round and round, or received into a stream whose
// write position goes back to the start after each receive, so neither grows.
const char kScriptSetup[] = R"(
var block = "0123456789abcdef";
while (block.length < 1048576) block = block + block;
var data = new StringStream();
data.write(block);
var into = new StringStream();
var moved = 0, done = false;
function pump(s) {
  while (moved < goal) {
    if (data.getPos >= data.length) data.getPos = 0;
    var n = s.send(data, 1048576);
    if (n <= 0) return;
    moved += n;
  }
  s.close();
  done = true;
}
function drain(s) {
  var n;
  while ((n = s.receive(into, 1048576)) > 0) { moved += n; into.putPos = 0; }
}
)";

const char kScriptSend[] = R"(
var out = new Socket();
out.create(0, $SOCK_STREAM);
out.onConnect = function (e) { pump(this); };
out.onSend = function (e) { pump(this); };
out.connect("127.0.0.1", port);
while (!done) processMsg();
)";

const char kScriptReceive[] = R"(
var inp = new Socket();
inp.create(0, $SOCK_STREAM);
inp.onReceive = function (e) { drain(this); };
inp.onClose = function (e) { drain(this); this.close(); done = true; };
inp.connect("127.0.0.1", port);
while (!done) processMsg();
)";

double scriptRun(vexil::script::ScriptHost& host, const char* body, uint16_t port, uint64_t bytes) {
  std::string text = std::string("var goal = ") + std::to_string(bytes) + "; var port = " + std::to_string(port) +
                     ";" + kScriptSetup + body;
  auto start = Clock::now();
  runScript(host, text);
  return secondsSince(start);
}

double scriptSend(vexil::script::ScriptHost& host, SOCKET server, uint16_t port, uint64_t bytes) {
  uint64_t received = 0;
  auto start = Clock::now();
  std::thread sink([&] { received = sinkOne(server); });
  scriptRun(host, kScriptSend, port, bytes);
  sink.join();
  double seconds = secondsSince(start);
  if (received < bytes) std::fprintf(stderr, "script send moved %llu bytes\n", (unsigned long long)received);
  return seconds;
}

double scriptReceive(vexil::script::ScriptHost& host, SOCKET server, uint16_t port, uint64_t bytes) {
  auto start = Clock::now();
  std::thread source([&] { sourceOne(server, bytes); });
  scriptRun(host, kScriptReceive, port, bytes);
  source.join();
  return secondsSince(start);
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void report(const char* what, double plain, double scripted, uint64_t bytes) {
  double mb = double(bytes) / (1 << 20);
  std::printf("%-8s plain %8.1f MB/s   Socket %8.1f MB/s   Socket/plain %5.1f %%\n", what, mb / plain, mb / scripted,
              100.0 * plain / scripted);
}

}  // namespace

int main(int argc, char** argv) {
  uint64_t bytes = uint64_t(argc > 1 ? std::atoi(argv[1]) : 256) << 20;
  int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  uint16_t port = 0;
  SOCKET server = listener(&port);

  vexil::script::ScriptHostOptions options;
  vexil::script::ClassRegistry classes = vexil::classes::standardClasses();
  vexil::script::ScriptHost* host = vexil::script::createScriptHost(&options, &classes);
  std::vector<double> ps, ss, pr, sr;
  for (int round = 0; round < rounds; ++round) {  // interleaved, so load changes hit both alike
    ps.push_back(plainSend(server, port, bytes));
    ss.push_back(scriptSend(*host, server, port, bytes));
    pr.push_back(plainReceive(server, port, bytes));
    sr.push_back(scriptReceive(*host, server, port, bytes));
  }
  std::printf("%llu MiB each way, median of %d rounds\n", (unsigned long long)(bytes >> 20), rounds);
  report("send", median(ps), median(ss), bytes);
  report("receive", median(pr), median(sr), bytes);
  vexil::script::destroyScriptHost(host);
  closesocket(server);
  return 0;
}
