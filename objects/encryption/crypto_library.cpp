#include "objects/encryption/crypto_library.h"

#include <gcrypt.h>

namespace vexil::objects {

// The library wants its version check before anything else; secure memory is not used (the texts
// it would protect live in script strings anyway), and saying so silences its warning.
void ensureCryptoLibrary() {
  static const bool ready = [] {
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  (void)ready;
}

}  // namespace vexil::objects
