#include "net/inet/win32/url_download.h"

#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "net/inet/win32/program_ending.h"
#include "platform/win32/wide_text.h"

namespace vexil::net {
namespace {

constexpr DWORD kBlockSize = 16384;
constexpr char kTemporarySuffix[] = ".download";

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_) InternetCloseHandle(handle_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  HINTERNET get() const { return handle_; }

 private:
  HINTERNET handle_;
};

// The system's text for an error, WinINet's own numbers included.
std::string systemMessage(DWORD error) {
  char* text = nullptr;
  DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM;
  HMODULE wininet = GetModuleHandleA("wininet.dll");
  if (error >= INTERNET_ERROR_BASE && error <= INTERNET_ERROR_LAST && wininet) flags |= FORMAT_MESSAGE_FROM_HMODULE;
  DWORD length = FormatMessageA(flags, wininet, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string message = length && text ? std::string(text, length) : "Error " + std::to_string(error);
  if (text) LocalFree(text);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) message.pop_back();
  return message;
}

std::optional<DWORD> queryNumber(HINTERNET request, DWORD what) {
  DWORD value = 0, size = sizeof value;
  if (!HttpQueryInfoA(request, what | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr)) return std::nullopt;
  return value;
}

class TemporaryFile {
 public:
  explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (file_) std::fclose(file_);
    if (!kept_) DeleteFileW(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  bool open() {
    file_ = _wfopen(path_.c_str(), L"wb");
    return file_ != nullptr;
  }
  bool write(const void* data, size_t size) { return std::fwrite(data, 1, size, file_) == size; }
  // Closes the file and renames it to the target, replacing what was there.
  bool keepAs(const std::wstring& target) {
    bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed || !MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
      return false;
    kept_ = true;
    return true;
  }

 private:
  std::wstring path_;
  FILE* file_ = nullptr;
  bool kept_ = false;
};

}  // namespace

bool downloadUrl(const std::string& url, const std::u16string& path, const DownloadEvents& events, int timeoutMs) {
  auto fail = [&](const std::string& message) {
    events.failed(message);
    return false;
  };
  auto failWithSystem = [&] { return fail(systemMessage(GetLastError())); };

  DWORD length = DWORD(url.size() * 3 + 64);
  std::vector<char> canonical(length);
  if (!InternetCanonicalizeUrlA(url.c_str(), canonical.data(), &length, ICU_BROWSER_MODE)) {
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return failWithSystem();
    canonical.assign(length + 1, 0);
    if (!InternetCanonicalizeUrlA(url.c_str(), canonical.data(), &length, ICU_BROWSER_MODE)) return failWithSystem();
  }
  InternetHandle session(InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session.get()) return failWithSystem();
  DWORD timeout = DWORD(timeoutMs);
  for (DWORD option : {DWORD(INTERNET_OPTION_CONNECT_TIMEOUT), DWORD(INTERNET_OPTION_SEND_TIMEOUT),
                       DWORD(INTERNET_OPTION_RECEIVE_TIMEOUT)})
    InternetSetOptionA(session.get(), option, &timeout, sizeof timeout);
  InternetHandle request(InternetOpenUrlA(session.get(), canonical.data(), nullptr, 0,
                                          INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
  if (!request.get()) return failWithSystem();

  // An HTTP answer counts only with a 2xx status; other schemes have none to check.
  std::optional<DWORD> expected;
  if (auto status = queryNumber(request.get(), HTTP_QUERY_STATUS_CODE)) {
    if (*status < 200 || *status > 299) return fail("HTTP status " + std::to_string(*status));
    expected = queryNumber(request.get(), HTTP_QUERY_CONTENT_LENGTH);
  }

  std::wstring target = platform::toWide(path);
  TemporaryFile file(target + platform::toWide(std::string_view(kTemporarySuffix)));
  if (!file.open()) return fail(systemMessage(ERROR_CANNOT_MAKE));
  std::vector<char> block(kBlockSize);
  uint64_t written = 0;
  while (true) {
    DWORD got = 0;
    if (!InternetReadFile(request.get(), block.data(), kBlockSize, &got)) return failWithSystem();
    if (got == 0) break;
    if (!file.write(block.data(), got)) return fail(systemMessage(ERROR_WRITE_FAULT));
    written += got;
    if (!events.progress(written)) return false;
    if (programEnding()) return fail("The download stopped because the program is ending");
  }
  // A connection that closes early reads as a quiet end: the announced length tells.
  if (expected && written != *expected)
    return fail("The connection ended after " + std::to_string(written) + " of " + std::to_string(*expected) + " bytes");
  if (!file.keepAs(target)) return failWithSystem();
  return true;
}

}  // namespace vexil::net
