#pragma once
// The tagged value that lives in variables, properties, array elements, the constant pool and the
// value stack: a signed 32-bit tag word followed by an 8-byte payload. The payload is kept as raw
// bytes with pointer alignment and read through memcpy, because engine-heap blocks are only
// word-aligned on 32-bit targets (a 64-bit integer or double there may sit at a 4-byte boundary).
#include <cstdint>
#include <cstring>

namespace vexil::script {

struct ScriptString;
struct PropertyTable;
struct ArrayRecord;
struct NativeObject;
struct ScriptFunction;

using Atom = int32_t;

// Tag codes are part of the compiled-script format and of the class-descriptor index.
enum class Tag : int32_t {
  Undefined = 0,
  Null = 1,
  Boolean = 2,
  Integer = 3,
  String = 4,
  Real = 5,
  Array = 6,
  Object = 7,
  Name = 10,
  Native = 11,
  Function = 12,
  NaN = 13,
  FrameMark = 14,  // a call-frame link slot on the value stack
  FrameArgs = 15,  // a call-frame argument-adjustment slot on the value stack
};

inline constexpr int kTagCount = 16;

struct Value {
  Tag tag = Tag::Undefined;
  alignas(alignof(void*)) unsigned char payload[8] = {};

  int64_t integer() const { int64_t v; std::memcpy(&v, payload, 8); return v; }
  double real() const { double v; std::memcpy(&v, payload, 8); return v; }
  uint32_t lowWord() const { uint32_t v; std::memcpy(&v, payload, 4); return v; }
  uint32_t highWord() const { uint32_t v; std::memcpy(&v, payload + 4, 4); return v; }
  void* pointer() const { void* p; std::memcpy(&p, payload, sizeof p); return p; }
  bool boolean() const { return lowWord() != 0; }
  Atom atom() const { return Atom(lowWord()); }

  ScriptString* string() const { return static_cast<ScriptString*>(pointer()); }
  PropertyTable* table() const { return static_cast<PropertyTable*>(pointer()); }
  ArrayRecord* array() const { return static_cast<ArrayRecord*>(pointer()); }
  NativeObject* native() const { return static_cast<NativeObject*>(pointer()); }
  ScriptFunction* function() const { return static_cast<ScriptFunction*>(pointer()); }

  bool is(Tag t) const { return tag == t; }
  bool isNumber() const { return tag == Tag::Integer || tag == Tag::Real || tag == Tag::NaN; }

  void setUndefined() { set(Tag::Undefined, int64_t(0)); }
  void setNull() { set(Tag::Null, int64_t(0)); }
  void setNaN() { set(Tag::NaN, int64_t(0)); }
  void setBoolean(bool b) { set(Tag::Boolean, int64_t(b ? 1 : 0)); }
  void setInteger(int64_t i) { set(Tag::Integer, i); }
  void setReal(double d) { tag = Tag::Real; std::memcpy(payload, &d, 8); }
  void setName(Atom a) { set(Tag::Name, int64_t(uint32_t(a))); }
  // A pointer payload; on 32-bit targets the high word is zero.
  void setPointer(Tag t, const void* p) {
    tag = t;
    std::memset(payload, 0, 8);
    std::memcpy(payload, &p, sizeof p);
  }
  void setString(ScriptString* s) { setPointer(Tag::String, s); }
  void setObject(PropertyTable* t) { setPointer(Tag::Object, t); }
  void setArray(ArrayRecord* a) { setPointer(Tag::Array, a); }
  void setNative(NativeObject* n) { setPointer(Tag::Native, n); }
  void setFunction(ScriptFunction* f) { setPointer(Tag::Function, f); }

  static Value undefined() { return Value(); }
  static Value null() { Value v; v.setNull(); return v; }
  static Value nan() { Value v; v.setNaN(); return v; }
  static Value fromBoolean(bool b) { Value v; v.setBoolean(b); return v; }
  static Value fromInteger(int64_t i) { Value v; v.setInteger(i); return v; }
  static Value fromReal(double d) { Value v; v.setReal(d); return v; }
  static Value fromName(Atom a) { Value v; v.setName(a); return v; }
  static Value fromString(ScriptString* s) { Value v; v.setString(s); return v; }
  static Value fromObject(PropertyTable* t) { Value v; v.setObject(t); return v; }

 private:
  void set(Tag t, int64_t bits) { tag = t; std::memcpy(payload, &bits, 8); }
};

static_assert(sizeof(Value) == 4 + (sizeof(void*) == 8 ? 4 : 0) + 8);

// The text typeof gives for a tag; empty for names, frame marks and unassigned tags.
const char* typeofText(Tag tag);

// Identity of two values as stored: same tag and same payload bytes.
bool sameValue(const Value& a, const Value& b);

}  // namespace vexil::script
