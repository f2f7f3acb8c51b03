#pragma once
// The message text of an SMTP DATA transfer, line by line. Every line ends in CR LF (a bare CR or
// bare LF in the message is taken as a line end too, so no lone byte can end the data early or
// reach the server as a line it reads differently), and a line that begins with "." gets a second
// "." in front, so no line of the message reads as the end of the data.
#include <cstddef>
#include <string>
#include <string_view>

namespace vexil::net::mail {

class DataLines {
 public:
  explicit DataLines(std::string_view message) : rest_(message) {}
  // Replaces *line with the next line as it is sent; false when the message is exhausted.
  bool next(std::string* line);

 private:
  std::string_view rest_;
};

// The line that ends the data.
inline constexpr std::string_view kEndOfData = ".\r\n";

// True when the bytes hold any byte above 127 (the server is then told the body is 8-bit).
bool hasEightBitBytes(std::string_view bytes);

}  // namespace vexil::net::mail
