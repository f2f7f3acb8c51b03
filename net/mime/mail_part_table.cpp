#include "net/mime/mail_part_table.h"

#include "platform/text_case.h"

namespace vexil::net::mime {

const char* transferEncodingName(TransferEncoding encoding) {
  switch (encoding) {
    case TransferEncoding::kQuotedPrintable: return "quoted-printable";
    case TransferEncoding::kBase64: return "base64";
    case TransferEncoding::kBinary: break;
  }
  return "binary";
}

TransferEncoding transferEncodingFrom(std::string_view name) {
  if (platform::equalsIgnoringAsciiCase(name, "quoted-printable")) return TransferEncoding::kQuotedPrintable;
  if (platform::equalsIgnoringAsciiCase(name, "base64")) return TransferEncoding::kBase64;
  return TransferEncoding::kBinary;
}

}  // namespace vexil::net::mime
