#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

#include "host/package/package_blob.h"
#include "scratch_dir.h"

using namespace vexil::package;
using vexil::package::testing::bytesOf;

namespace {

std::vector<uint8_t> sample() {
  std::string text;
  for (int i = 0; i < 500; ++i) text += "frame " + std::to_string(i) + "\n";
  return bytesOf(text);
}

void putU32(std::vector<uint8_t>& blob, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) blob[at + i] = uint8_t(v >> (8 * i));
}

std::string errorOf(const BlobResult& r) {
  auto* e = std::get_if<BlobError>(&r);
  return e ? e->describe() : "decoded";
}

}  // namespace

TEST(PackageBlob, RoundTripsAndIgnoresTrailingBytesAndTheCrcField) {
  auto data = sample();
  auto blob = encodeBlob(data);
  EXPECT_EQ(std::get<std::vector<uint8_t>>(decodeBlob(blob)), data);

  blob.push_back(0xEE);  // the resource may be longer than the record
  putU32(blob, 12, 0xDEADBEEF);  // the CRC field is carried, not checked
  EXPECT_EQ(std::get<std::vector<uint8_t>>(decodeBlob(blob)), data);

  auto empty = encodeBlob({});
  EXPECT_TRUE(std::get<std::vector<uint8_t>>(decodeBlob(empty)).empty());
}

TEST(PackageBlob, FailuresCarryTheirTextOrZlibCode) {
  auto good = encodeBlob(sample());
  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> damage;
    std::string expected;
  };
  const std::string bufError = "zlib error " + std::to_string(Z_BUF_ERROR);
  const std::string dataError = "zlib error " + std::to_string(Z_DATA_ERROR);
  const Case cases[] = {
      {"exactly the header", [](auto& b) { b.resize(16); }, kBadBlobLength},
      {"a single byte (empty support slot)", [](auto& b) { b.resize(1); }, kBadBlobLength},
      {"compressed size past the end", [](auto& b) { b.resize(b.size() - 1); }, kBadBlobLength},
      {"compressed size 0xFFFFFFFF", [](auto& b) { putU32(b, 8, 0xFFFFFFFF); }, kBadBlobLength},
      {"version 2", [](auto& b) { b[2] = 2; }, kBadBlobHeader},
      {"magic bytes swapped", [](auto& b) { std::swap(b[0], b[1]); }, kBadBlobHeader},
      {"stream cut short", [](auto& b) { putU32(b, 8, uint32_t(b.size() - 16 - 10)); }, bufError},
      {"declared size too small", [](auto& b) { putU32(b, 4, 100); }, bufError},
      {"declared size zero", [](auto& b) { putU32(b, 4, 0); }, bufError},
      {"bad zlib header", [](auto& b) { b[16] = 0x00; }, dataError},
      {"corrupt Adler-32", [](auto& b) { b.back() ^= 1; }, dataError},
  };
  for (const auto& c : cases) {
    auto blob = good;
    c.damage(blob);
    EXPECT_EQ(errorOf(decodeBlob(blob)), c.expected) << c.what;
  }
}

TEST(PackageBlob, ALyingLargeSizeYieldsWhatTheStreamProduces) {
  // 4 GiB declared, a few kilobytes produced: the result is the real bytes, no huge allocation.
  auto data = sample();
  auto blob = encodeBlob(data);
  putU32(blob, 4, 0xFFFFFFFF);
  EXPECT_EQ(std::get<std::vector<uint8_t>>(decodeBlob(blob)), data);
}
