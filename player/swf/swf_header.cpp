#include "player/swf/swf_header.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "player/swf/byte_reader.h"
#include "player/swf/swf_error.h"

namespace vexil::swf {
namespace {

constexpr size_t kSignatureSize = 8;

// Inflates the body after the eight header bytes, growing the output as data arrives so that a
// lying file length cannot make us allocate more than the stream really produces.
void inflateBody(std::span<const uint8_t> body, size_t expected, std::vector<uint8_t>& out) {
  z_stream stream{};
  if (inflateInit(&stream) != Z_OK) throw SwfError(kErrorBadCompression);
  stream.next_in = const_cast<Bytef*>(body.data());
  stream.avail_in = static_cast<uInt>(std::min<size_t>(body.size(), UINT32_MAX));
  size_t produced = 0;
  int status = Z_OK;
  while (produced < expected && status == Z_OK) {
    size_t chunk = std::min<size_t>(expected - produced, 256u << 10);
    out.resize(kSignatureSize + produced + chunk);
    stream.next_out = out.data() + kSignatureSize + produced;
    stream.avail_out = static_cast<uInt>(chunk);
    status = inflate(&stream, Z_NO_FLUSH);
    produced += chunk - stream.avail_out;
    if (status == Z_BUF_ERROR && stream.avail_in == 0) break;  // input ran out
  }
  inflateEnd(&stream);
  out.resize(kSignatureSize + produced);
  if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
    throw SwfError(kErrorBadCompression);
  }
  if (produced == 0) throw SwfError(kErrorTruncatedBody);
}

void readFrameFields(ByteReader& reader, SwfHeader& header) {
  unsigned fieldBits = reader.bits(5);
  header.frameRect.xMin = reader.signedBits(fieldBits);
  header.frameRect.xMax = reader.signedBits(fieldBits);
  header.frameRect.yMin = reader.signedBits(fieldBits);
  header.frameRect.yMax = reader.signedBits(fieldBits);
  header.frameRate = reader.u16();
  header.frameCount = reader.u16();
}

}  // namespace

DecodedMovie decodeMovie(std::span<const uint8_t> file, const ReadLimits& limits) {
  if (file.size() < kSignatureSize) throw SwfError(kErrorTooShort);
  DecodedMovie movie;
  SwfHeader& header = movie.header;
  if ((file[0] != 'F' && file[0] != 'C') || file[1] != 'W' || file[2] != 'S') {
    throw SwfError(kErrorNotSwf);
  }
  header.signature = static_cast<char>(file[0]);
  header.version = file[3];
  header.fileLength = static_cast<uint32_t>(file[4]) | (static_cast<uint32_t>(file[5]) << 8) |
                      (static_cast<uint32_t>(file[6]) << 16) | (static_cast<uint32_t>(file[7]) << 24);
  if (header.fileLength < kSignatureSize) throw SwfError(kErrorLengthTooSmall);

  // Real files often state a length a little off from what they hold: use what is there, but never
  // more than the header claims.
  size_t wanted = std::min<size_t>(header.fileLength, limits.maxMovieBytes);
  if (header.compressed()) {
    movie.bytes.assign(file.begin(), file.begin() + kSignatureSize);
    inflateBody(file.subspan(kSignatureSize), wanted - kSignatureSize, movie.bytes);
  } else {
    size_t available = std::min(file.size(), wanted);
    movie.bytes.assign(file.begin(), file.begin() + available);
  }
  if (header.fileLength > limits.maxMovieBytes && movie.bytes.size() >= limits.maxMovieBytes) {
    throw SwfError(kErrorTooLarge);
  }
  movie.bytes[0] = 'F';

  ByteReader reader(movie.bytes, kErrorTruncatedHeader);
  reader.skip(kSignatureSize);
  readFrameFields(reader, header);
  movie.tagsOffset = reader.position();
  return movie;
}

}  // namespace vexil::swf
