#include "net/mail/mail_auth.h"

#include <gcrypt.h>

#include <string>

#include "net/mail/line_buffer.h"
#include "objects/encryption/base64_text.h"
#include "objects/encryption/crypto_library.h"
#include "objects/encryption/message_digest.h"

namespace vexil::net::mail {

std::string plainResponse(std::string_view user, std::string_view password) {
  std::string joined;
  joined.push_back('\0');
  joined.append(user);
  joined.push_back('\0');
  joined.append(password);
  return objects::encodeBase64(joined);
}

std::string loginResponse(std::string_view value) { return objects::encodeBase64(value); }

// The library's HMAC follows RFC 2104 (a key over 64 bytes is first replaced by its MD5).
std::string hmacMd5Hex(std::string_view key, std::string_view data) {
  objects::ensureCryptoLibrary();
  objects::Md5Digest digest{};
  gcry_md_hd_t handle = nullptr;
  if (gcry_md_open(&handle, GCRY_MD_MD5, GCRY_MD_FLAG_HMAC) == 0) {
    gcry_md_setkey(handle, key.data(), key.size());
    gcry_md_write(handle, data.data(), data.size());
    const unsigned char* result = gcry_md_read(handle, GCRY_MD_MD5);
    if (result) std::copy(result, result + digest.size(), digest.begin());
    gcry_md_close(handle);
  }
  return objects::hexDigits(digest);
}

std::optional<std::string> cramMd5Response(std::string_view user, std::string_view password,
                                           std::string_view challengeReply) {
  std::string_view text = withoutLineEnd(challengeReply);
  if (text.size() < 4) return std::nullopt;
  std::optional<std::string> challenge = objects::decodeBase64(text.substr(4));
  if (!challenge) return std::nullopt;
  std::string answer(user);
  answer.push_back(' ');
  answer += hmacMd5Hex(password, *challenge);
  return objects::encodeBase64(answer);
}

std::string apopDigest(std::string_view timestamp, std::string_view password) {
  std::string joined(timestamp);
  joined.append(password);
  return objects::hexDigits(objects::md5(joined));
}

bool breaksCommandLine(std::string_view value) {
  return value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool isSendableAddress(std::string_view address) {
  if (address.empty()) return false;
  for (char c : address) {
    if (static_cast<unsigned char>(c) <= ' ' || c == '<' || c == '>' || c == 127) return false;
  }
  return true;
}

}  // namespace vexil::net::mail
