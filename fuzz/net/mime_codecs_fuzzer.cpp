// Any bytes through the transfer encodings and header codecs: quoted-printable and encoded words
// written by us read back exactly, and reading anything never fails.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/mime/body_base64.h"
#include "net/mime/encoded_words.h"
#include "net/mime/header_fields.h"
#include "net/mime/quoted_printable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vexil::net::mime;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  decodeQuotedPrintable(bytes);
  decodeEncodedWords(bytes);
  headerParameter(bytes, "name");
  findHeaderField(bytes, "To");
  std::string canonical;  // line breaks as the encoder writes them
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' || bytes[i] == '\n') {
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      canonical += "\r\n";
    } else {
      canonical += bytes[i];
    }
  }
  if (decodeQuotedPrintable(encodeQuotedPrintable(bytes)) != canonical) std::abort();
  if (decodeBase64Body(encodeBase64Lines(bytes, 76)) != bytes) std::abort();
  std::string line = singleLine(bytes);
  if (line.find_first_of("\r\n") != std::string::npos) std::abort();
  std::string encoded = encodeHeaderText(line, 9);
  if (encoded.find_first_of("\r\n") != std::string::npos && encoded.find("\r\n ") == std::string::npos) std::abort();
  return 0;
}
