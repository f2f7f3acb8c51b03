#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>

#include "platform/environment.h"
#include "platform/text_encoding.h"

namespace vexil::platform {

std::optional<std::string> environmentVariable(std::string_view name) {
  const char* value = std::getenv(std::string(name).c_str());
  if (!value) return std::nullopt;
  return utf16ToAnsi(utf8ToUtf16(value));
}

void setEnvironmentVariable(std::string_view name, const std::optional<std::string>& value) {
  std::string n(name);
  if (value) {
    ::setenv(n.c_str(), utf16ToUtf8(ansiToUtf16(*value)).c_str(), 1);
  } else {
    ::unsetenv(n.c_str());
  }
}

std::string windowsDirectory() { return "/tmp"; }

// A version-4 GUID from the kernel's random source.
std::string newGuidText() {
  unsigned char b[16] = {};
  int fd = ::open("/dev/urandom", O_RDONLY);
  bool ok = fd >= 0 && ::read(fd, b, sizeof b) == ssize_t(sizeof b);
  if (fd >= 0) ::close(fd);
  if (!ok) {
    std::random_device rd;
    for (auto& x : b) x = static_cast<unsigned char>(rd());
  }
  b[6] = (b[6] & 0x0F) | 0x40;
  b[8] = (b[8] & 0x3F) | 0x80;
  char text[40];
  std::snprintf(text, sizeof text,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[0], b[1],
                b[2], b[3], b[4], b[5], b[6], b[7], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
  return text;
}

int32_t localTimeOffsetMinutes() {
  // Standard time, as Windows' zone information reports its bias: take January's offset, or July's
  // on the southern hemisphere where January is summer (the smaller of the two).
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  long best = local.tm_gmtoff;
  for (int month : {0, 6}) {
    std::tm probe{};
    probe.tm_year = local.tm_year;
    probe.tm_mon = month;
    probe.tm_mday = 15;
    probe.tm_hour = 12;
    probe.tm_isdst = -1;
    std::time_t t = std::mktime(&probe);
    std::tm back{};
    localtime_r(&t, &back);
    if (!back.tm_isdst) best = back.tm_gmtoff;
  }
  return int32_t(best / 60);
}

int32_t currentZoneBiasMinutes() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  if (!localtime_r(&now, &local)) return 0;
  return int32_t(-local.tm_gmtoff / 60);
}

}  // namespace vexil::platform
