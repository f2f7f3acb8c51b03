#pragma once
// The read and write vocabulary FileStream and StringStream share, written once over the three
// byte operations both instance types offer:
//
//   int getByte();                               // 0-255, or kStreamEof
//   size_t read(void* out, size_t count);
//   size_t write(const void* data, size_t count);
//
// Binary values travel in the machine's little-endian order; text through the ANSI code page,
// except the "Unicode" forms, which move UTF-16LE units as they are. A fixed-size read that comes
// up short leaves the missing bytes zero.
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "objects/streams/stream_classes.h"
#include "objects/streams/stream_constants.h"
#include "platform/text_encoding.h"
#include "script/runtime/conversions.h"
#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::objects::stream_methods {

static_assert(std::endian::native == std::endian::little, "stream values are little-endian bytes");

using script::HostCall;
using script::Tag;
using script::Value;

// A position or count given to a property: an Integer, or a finite Real truncated toward zero.
inline std::optional<int64_t> integerOf(const Value& value) {
  const Value block[] = {Value::fromInteger(1), value};
  return script::Arguments(block).integer(1);
}

// The byte a put or unget argument names: an integer's low byte, or a non-empty string's first
// character's.
inline std::optional<uint8_t> byteArgument(const script::Arguments& args) {
  if (auto value = args.integer(1)) return uint8_t(*value);
  const script::ScriptString* text = args.string(1);
  if (text && text->length > 0) return uint8_t(text->chars[0]);
  return std::nullopt;
}

template <typename T, typename Stream>
T readValue(Stream& stream) {
  unsigned char bytes[sizeof(T)] = {};
  stream.read(bytes, sizeof bytes);
  T value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

template <typename T, typename Stream>
void writeValue(Stream& stream, T value) {
  stream.write(&value, sizeof value);
}

template <typename Stream>
void get(HostCall& call) {
  call.result->setInteger(call.instance<Stream>()->getByte());
}

template <typename Stream>
void getShort(HostCall& call) {
  call.result->setInteger(readValue<int16_t>(*call.instance<Stream>()));
}

template <typename Stream>
void getLong(HostCall& call) {
  call.result->setInteger(readValue<int32_t>(*call.instance<Stream>()));
}

template <typename Stream>
void getFloat(HostCall& call) {
  *call.result = script::numberFromReal(readValue<float>(*call.instance<Stream>()));
}

template <typename Stream>
void getDouble(HostCall& call) {
  *call.result = script::numberFromReal(readValue<double>(*call.instance<Stream>()));
}

// The result grows with what is actually there, so a huge count costs nothing up front.
template <typename Stream>
void read(HostCall& call) {
  auto count = call.args.integer(1);
  if (!count || *count <= 0) return;
  Stream& stream = *call.instance<Stream>();
  std::vector<uint8_t> bytes;
  uint64_t wanted = uint64_t(*count);
  while (bytes.size() < wanted) {
    size_t at = bytes.size();
    size_t step = size_t(std::min<uint64_t>(wanted - at, kStreamBlockSize));
    bytes.resize(at + step);
    size_t got = stream.read(bytes.data() + at, step);
    bytes.resize(at + got);
    if (got < step) break;
  }
  newStringStream(call.engine, call.result, std::move(bytes));
}

template <typename Stream>
void readString(HostCall& call) {
  Stream& stream = *call.instance<Stream>();
  std::string text;
  for (int c; (c = stream.getByte()) != kStreamEof && c != 0;) text.push_back(char(c));
  *call.result = script::makeStringFromAnsi(call.engine, text);
}

// A lone byte at the very end is half a unit: it is consumed and dropped.
template <typename Stream>
void readUnicodeString(HostCall& call) {
  Stream& stream = *call.instance<Stream>();
  std::u16string text;
  char16_t unit;
  while (stream.read(&unit, 2) == 2 && unit != 0) text.push_back(unit);
  *call.result = script::makeString(call.engine, text);
}

template <typename Stream>
void putShort(HostCall& call) {
  if (auto value = call.args.integer(1)) writeValue(*call.instance<Stream>(), uint16_t(*value));
}

template <typename Stream>
void putFloat(HostCall& call) {
  if (auto value = call.args.number(1)) writeValue(*call.instance<Stream>(), float(*value));
}

// One argument of write. A FileStream also takes a StringStream's whole content.
template <typename Stream>
void writeOne(Stream& stream, const Value& value) {
  switch (value.tag) {
    case Tag::Boolean:
    case Tag::Integer:
      writeValue(stream, value.lowWord());
      break;
    case Tag::Real:
      writeValue(stream, value.real());
      break;
    case Tag::NaN:
      writeValue(stream, std::nan(""));
      break;
    case Tag::String: {
      std::string ansi = platform::utf16ToAnsi(value.string()->view());
      stream.write(ansi.data(), ansi.size());
      break;
    }
    case Tag::Native:
      if constexpr (!std::is_same_v<Stream, StringStream>) {
        if (const StringStream* source = stringStreamOf(value)) stream.write(source->bytes().data(), source->size());
      }
      break;
    default:
      break;
  }
}

template <typename Stream>
void write(HostCall& call) {
  Stream& stream = *call.instance<Stream>();
  for (uint32_t i = 1; i <= call.args.count(); ++i) writeOne(stream, *call.args.at(i));
}

template <typename Stream>
void writeLine(HostCall& call) {
  write<Stream>(call);
  call.instance<Stream>()->write("\r\n", 2);
}

// ToString may run a script's toString, so each text is taken before the next conversion.
template <typename Stream>
void writeString(HostCall& call) {
  Stream& stream = *call.instance<Stream>();
  for (uint32_t i = 1; i <= call.args.count(); ++i) {
    Value text;
    script::valueToString(call.engine, *call.args.at(i), &text);
    std::string ansi = platform::utf16ToAnsi(text.string()->view());
    stream.write(ansi.c_str(), ansi.size() + 1);
  }
}

template <typename Stream>
void writeUnicodeString(HostCall& call) {
  Stream& stream = *call.instance<Stream>();
  for (uint32_t i = 1; i <= call.args.count(); ++i) {
    Value text;
    script::valueToString(call.engine, *call.args.at(i), &text);
    std::u16string_view units = text.string()->view();
    stream.write(units.data(), units.size() * 2);
    stream.write(u"", 2);
  }
}

}  // namespace vexil::objects::stream_methods
