#include "script/runtime/arguments.h"

#include <cmath>

#include "platform/text_encoding.h"
#include "script/runtime/native_class.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

// A count is present when it is an Integer above 0; larger counts than 32 bits can address are
// nonsense from a broken caller and read as none.
uint32_t Arguments::countOf(const Value* block) {
  if (!block || block->tag != Tag::Integer) return 0;
  int64_t n = block->integer();
  return n > 0 && n <= int64_t(UINT32_MAX) ? uint32_t(n) : 0;
}

std::optional<int64_t> Arguments::integer(uint32_t i) const {
  const Value* v = at(i);
  if (!v) return std::nullopt;
  if (v->tag == Tag::Integer) return v->integer();
  // Doubles outside the 64-bit range have no integer form.
  if (v->tag == Tag::Real && std::isfinite(v->real()) && std::fabs(v->real()) < 9.2e18) {
    return int64_t(v->real());
  }
  return std::nullopt;
}

std::optional<double> Arguments::number(uint32_t i) const {
  const Value* v = at(i);
  if (!v) return std::nullopt;
  switch (v->tag) {
    case Tag::Integer: return double(v->integer());
    case Tag::Real: return v->real();
    case Tag::NaN: return std::nan("");
    default: return std::nullopt;
  }
}

std::optional<bool> Arguments::boolean(uint32_t i) const {
  const Value* v = at(i);
  if (!v || v->tag != Tag::Boolean) return std::nullopt;
  return v->boolean();
}

const ScriptString* Arguments::string(uint32_t i) const {
  const Value* v = at(i);
  return v && v->tag == Tag::String ? v->string() : nullptr;
}

std::optional<std::u16string> Arguments::text(uint32_t i) const {
  const ScriptString* s = string(i);
  if (!s) return std::nullopt;
  return std::u16string(s->view());
}

std::optional<std::string> Arguments::ansi(uint32_t i) const {
  const ScriptString* s = string(i);
  if (!s) return std::nullopt;
  return platform::utf16ToAnsi(s->view());
}

PropertyTable* Arguments::object(uint32_t i) const {
  const Value* v = at(i);
  return v && v->tag == Tag::Object ? v->table() : nullptr;
}

const Value* Arguments::callable(uint32_t i) const {
  const Value* v = at(i);
  return v && isCallable(*v) ? v : nullptr;
}

std::vector<Value> argumentBlock(std::initializer_list<Value> args) {
  std::vector<Value> block;
  block.reserve(args.size() + 1);
  block.push_back(Value::fromInteger(int64_t(args.size())));
  block.insert(block.end(), args.begin(), args.end());
  return block;
}

}  // namespace vexil::script
