#pragma once
// getUrl's download over WinINet (Wine's is complete enough for HTTP on loopback, follows
// redirects itself and honours the system's proxy settings). The body goes to a temporary file
// beside the target, renamed over it only when the whole body arrived with a 2xx status, so a
// failed or cancelled download never leaves a half file under the script's name.
#include <cstdint>
#include <functional>
#include <string>

namespace vexil::net {

inline constexpr int kUrlTimeoutMs = 10000;
inline constexpr char kUserAgent[] = "LUMARC Vexil 1.0";

struct DownloadEvents {
  std::function<void(const std::string& message)> failed;
  // After each block with the bytes written so far; false stops the download.
  std::function<bool(uint64_t written)> progress;
};

bool downloadUrl(const std::string& url, const std::u16string& path, const DownloadEvents& events,
                 int timeoutMs = kUrlTimeoutMs);

}  // namespace vexil::net
