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

// Wall time says what a user sees; the client thread's CPU time says what Socket itself costs,
// and stays meaningful when other work shares the machine.
struct Timing {
  double wall = 0;
  double cpu = 0;
};

double threadCpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  auto seconds = [](FILETIME t) { return double((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) * 1e-7; };
  return seconds(kernel) + seconds(user);
}

class Stopwatch {
 public:
  Timing stop() const { return {secondsSince(start_), threadCpuSeconds() - cpu_}; }

 private:
  Clock::time_point start_ = Clock::now();
  double cpu_ = threadCpuSeconds();
};

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

Timing plainSend(SOCKET server, uint16_t port, uint64_t bytes) {
  uint64_t received = 0;
  Stopwatch watch;
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
  Timing taken = watch.stop();
  if (received != bytes) std::fprintf(stderr, "plain send moved %llu bytes\n", (unsigned long long)received);
  return taken;
}

Timing plainReceive(SOCKET server, uint16_t port, uint64_t bytes) {
  Stopwatch watch;
  std::thread source([&] { sourceOne(server, bytes); });
  SOCKET s = connectTo(port);
  std::vector<char> buffer(kClientChunk);
  uint64_t total = 0;
  int got;
  while ((got = recv(s, buffer.data(), kClientChunk, 0)) > 0) total += uint64_t(got);
  closesocket(s);
  source.join();
  Timing taken = watch.stop();
  if (total != bytes) std::fprintf(stderr, "plain receive moved %llu bytes\n", (unsigned long long)total);
  return taken;
}

// The script side: one 1 MiB StringStream sent round and round, or received into a stream whose
// write position goes back to the start after each receive, so neither grows.
const char kScriptSetup[] = R"(
var block = "0123456789abcdef";
while (block.length < 1048576) block = block + block;
var data = new StringStream();
data.write(block);
var into = new StringStream();
var moved = 0;
function pump(s) {
  while (moved < goal) {
    if (data.getPos >= data.length) data.getPos = 0;
    var n = s.send(data, 1048576);
    if (n <= 0) return;
    moved += n;
  }
  s.close();
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
)";

const char kScriptReceive[] = R"(
var inp = new Socket();
inp.create(0, $SOCK_STREAM);
inp.onReceive = function (e) { drain(this); };
inp.onClose = function (e) { drain(this); this.close(); };
inp.connect("127.0.0.1", port);
)";

// The script starts the transfer and returns; its handlers then run from a message loop that
// sleeps until a message comes, as in the saver, until the peer thread says it is done.
void scriptRun(vexil::script::ScriptHost& host, const char* body, uint16_t port, uint64_t bytes, HANDLE peerDone) {
  std::string text = std::string("var goal = ") + std::to_string(bytes) + "; var port = " + std::to_string(port) +
                     ";" + kScriptSetup + body;
  runScript(host, text);
  while (MsgWaitForMultipleObjects(1, &peerDone, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
}

Timing scriptSend(vexil::script::ScriptHost& host, SOCKET server, uint16_t port, uint64_t bytes) {
  uint64_t received = 0;
  Stopwatch watch;
  HANDLE peerDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread sink([&] {
    received = sinkOne(server);
    SetEvent(peerDone);
  });
  scriptRun(host, kScriptSend, port, bytes, peerDone);
  sink.join();
  CloseHandle(peerDone);
  Timing taken = watch.stop();
  if (received < bytes) std::fprintf(stderr, "script send moved %llu bytes\n", (unsigned long long)received);
  return taken;
}

Timing scriptReceive(vexil::script::ScriptHost& host, SOCKET server, uint16_t port, uint64_t bytes) {
  Stopwatch watch;
  HANDLE peerDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  std::thread source([&] {
    sourceOne(server, bytes);
    SetEvent(peerDone);
  });
  scriptRun(host, kScriptReceive, port, bytes, peerDone);
  source.join();
  CloseHandle(peerDone);
  return watch.stop();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Medians of wall throughput and of the client thread's CPU per MiB, plain beside Socket.
void report(const char* what, const std::vector<Timing>& plain, const std::vector<Timing>& scripted, uint64_t bytes) {
  auto medianOf = [](const std::vector<Timing>& runs, double Timing::*field) {
    std::vector<double> values;
    for (const Timing& t : runs) values.push_back(t.*field);
    return median(values);
  };
  double mb = double(bytes) / (1 << 20);
  double plainWall = medianOf(plain, &Timing::wall), scriptWall = medianOf(scripted, &Timing::wall);
  double plainCpu = medianOf(plain, &Timing::cpu), scriptCpu = medianOf(scripted, &Timing::cpu);
  std::printf("%-8s plain %8.1f MB/s   Socket %8.1f MB/s   Socket/plain %5.1f %%   client CPU ms/MiB plain %.2f Socket %.2f\n",
              what, mb / plainWall, mb / scriptWall, 100.0 * plainWall / scriptWall, 1000 * plainCpu / mb,
              1000 * scriptCpu / mb);
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
  std::vector<Timing> ps, ss, pr, sr;
  for (int round = 0; round < rounds; ++round) {  // interleaved, so load changes hit both alike
    ps.push_back(plainSend(server, port, bytes));
    ss.push_back(scriptSend(*host, server, port, bytes));
    pr.push_back(plainReceive(server, port, bytes));
    sr.push_back(scriptReceive(*host, server, port, bytes));
  }
  std::printf("%llu MiB each way, median of %d rounds\n", (unsigned long long)(bytes >> 20), rounds);
  report("send", ps, ss, bytes);
  report("receive", pr, sr, bytes);
  vexil::script::destroyScriptHost(host);
  closesocket(server);
  return 0;
}
