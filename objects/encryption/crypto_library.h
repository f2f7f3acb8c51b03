#pragma once
// The cryptographic library is made ready once per process before its first use.
namespace vexil::objects {

void ensureCryptoLibrary();

}  // namespace vexil::objects
