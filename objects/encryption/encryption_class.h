#pragma once
// The Encryption script class: MD5 digests of texts and files, and texts enciphered with Blowfish
// or Triple DES under a pass phrase, carried as base64.
namespace vexil::script {
struct Engine;
}

namespace vexil::objects {

// Registration step: "Encryption".
void registerEncryption(script::Engine& engine);

}  // namespace vexil::objects
