// Encryption has no state of its own: every member answers on the class object and on instances
// alike. Texts are ANSI bytes; an argument that is not a string gives null.
#include "objects/encryption/encryption_class.h"

#include <memory>
#include <optional>
#include <string>

#include "objects/encryption/base64_text.h"
#include "objects/encryption/cipher_keys.h"
#include "objects/encryption/message_digest.h"
#include "platform/stdio_file.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::objects {
namespace {

using script::HostCall;

constexpr size_t kFileChunk = 4096;

struct EncryptionData {};  // instances carry nothing; the data only tells them from the class object

void answerText(HostCall& call, const std::string& ansi) {
  *call.result = script::makeStringFromAnsi(call.engine, ansi);
}

void md5Text(HostCall& call) {
  std::optional<std::string> text = call.args.ansi(1);
  if (!text) return call.result->setNull();
  answerText(call, hexDigits(md5(*text)));
}

void md5File(HostCall& call) {
  call.result->setNull();
  std::optional<std::string> path = call.args.ansi(1);
  if (!path) return;
  platform::StdioFile file = platform::StdioFile::open(*path, "rb");
  if (!file.isOpen()) return;
  Md5Stream digest;
  char chunk[kFileChunk];
  while (size_t got = file.read(chunk, sizeof chunk)) digest.add(chunk, got);
  answerText(call, hexDigits(digest.finish()));
}

template <BlockCipher Cipher>
void encode(HostCall& call) {
  std::optional<std::string> passPhrase = call.args.ansi(1);
  std::optional<std::string> text = call.args.ansi(2);
  if (!passPhrase || !text) return call.result->setNull();
  answerText(call, encodeBase64(encryptText(Cipher, *passPhrase, *text)));
}

// Cipher text that is not base64 gives null, like any other unusable argument.
template <BlockCipher Cipher>
void decode(HostCall& call) {
  call.result->setNull();
  std::optional<std::string> passPhrase = call.args.ansi(1);
  std::optional<std::string> encoded = call.args.ansi(2);
  if (!passPhrase || !encoded) return;
  std::optional<std::string> bytes = decodeBase64(*encoded);
  if (!bytes) return;
  answerText(call, decryptText(Cipher, *passPhrase, *bytes));
}

// The class's own description; the misspelling is what scripts have always seen.
void describe(HostCall& call) { answerText(call, "[object Encrpytion]"); }

void construct(HostCall& call) { call.publish(std::make_unique<EncryptionData>()); }

const script::HostMethodEntry kMethods[] = {
    {"md5", md5Text, true},
    {"md5File", md5File, true},
    {"blowfishEncode", encode<BlockCipher::Blowfish>, true},
    {"blowfishDecode", decode<BlockCipher::Blowfish>, true},
    {"desEncode", encode<BlockCipher::TripleDes>, true},
    {"desDecode", decode<BlockCipher::TripleDes>, true},
    {"toString", describe, true},
};

const script::HostClassInfo kEncryptionClass = {
    .name = "Encryption",
    .methods = kMethods,
    .construct = construct,
    .call = construct,
    .release = script::deleteInstance<EncryptionData>,
};

}  // namespace

void registerEncryption(script::Engine& engine) { script::defineHostClass(engine, kEncryptionClass); }

}  // namespace vexil::objects
