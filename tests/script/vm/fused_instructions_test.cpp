// Fused instructions: every program must end the same way with and without them — the same
// trace, the same result, the same error — whatever the operand types, and whatever malformed
// code does around a fused sequence.
#include "script/vm/vm_messages.h"
#include "vm_assembler.h"
#include "vm_fixture.h"

namespace vexil::script::test {
namespace {

struct Ending {
  bool ok = false;
  std::string trace;
  std::string message;
  bool operator==(const Ending&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Ending& e) {
  return out << (e.ok ? "ok" : "failed") << " [" << e.message << "]\n" << e.trace;
}

class FusedInstructionsTest : public VmTest {
 protected:
  Ending runText(const std::string& text, bool fused) {
    engine().fuseInstructions = fused;
    trace_.clear();
    Ending e;
    e.ok = run(text);
    e.trace = trace_;
    if (!e.ok) e.message = message();
    return e;
  }
  Ending runModule(const std::vector<uint8_t>& bytes, bool fused) {
    engine().fuseInstructions = fused;
    trace_.clear();
    Ending e;
    e.ok = runBytes(bytes);
    if (e.ok && run("trace(r)")) e.trace = trace_;
    if (!e.ok) e.message = message();
    return e;
  }
};

// Every fused form (operands from locals, arguments, constants and the stack; stores, branches
// and the left side of &&) over operands of every type and the numbers at the edges.
const char kOperatorsOverEveryType[] = R"(
function arith(a, b) {
  var x = a;
  var y = b;
  var r = x + y;
  var s = x - y;
  var m = x * y;
  var k = x + 1;
  var n = 2 * x;
  var p = x - 0.5;
  var q = x;
  q++;
  var d = y;
  d--;
  var t = (x + y) * y;
  var u = (x * y) - 3;
  var w = x + b;
  trace(r, "|", s, "|", m, "|", k, "|", n, "|", p, "|", q, "|", d, "|", t, "|", u, "|", w, "|", x - y, "|",
        typeof (x * y));
}
function compare(a, b) {
  var x = a;
  var y = b;
  var out = "";
  if (x < y) out = out + "<";
  if (x <= y) out = out + "L";
  if (x > y) out = out + ">";
  if (x >= y) out = out + "G";
  if (x == y) out = out + "=";
  if (x != y) out = out + "!";
  if (x < 3) out = out + "a";
  if (x == 2.5) out = out + "b";
  if (1 < x) out = out + "c";
  if (x < b) out = out + "d";
  if ((x + 0) <= y) out = out + "e";
  if (x < y && y < 10) out = out + "f";
  if (x == y && x != 0) out = out + "g";
  var n = 0;
  while (n < y && n < 5) n++;
  var i = 0;
  for (i = 0; i < b; i++) if (i > 6) break;
  trace(out, " ", n, " ", i);
}
var gx = 0;
var gy = 0;
var gr = 0;
var gs = 0;
var gn = 0;
function globals(a, b) {
  gx = a;
  gy = b;
  gr = gx + gy;
  gs = gx * 2;
  gn = gx;
  gn++;
  var l = a;
  var t = l - gy;
  var u = (l + 0) * gy;
  var out = "";
  if (gx < gy) out = out + "<";
  if (gx == gy) out = out + "=";
  if (l >= gy) out = out + "G";
  if (gx <= 2) out = out + "a";
  if (gx < gy && gy != 3) out = out + "f";
  trace(gr, "|", gs, "|", gn, "|", t, "|", u, "|", out, "|", gx - gy, "|", gx + 1);
}
var big = 1e300;
var inf = big * big;
var values = [0, 1, 2, -3, 2.5, 0.1, -0.5, inf, -inf, inf - inf, -1e-300 * 1e-300, 9007199254740993,
              9007199254740992.0, 4611686018427387904, -9223372036854775807 - 1, "a", "10", "9", "",
              null, undefined, true, false, [1], {}];
for (var i = 0; i < values.length; i++) {
  for (var j = 0; j < values.length; j++) {
    arith(values[i], values[j]);
    compare(values[i], values[j]);
    globals(values[i], values[j]);
  }
}
)";

TEST_F(FusedInstructionsTest, FusedAndPlainRunsAgreeOverEveryOperandType) {
  Ending plain = runText(kOperatorsOverEveryType, false);
  ASSERT_TRUE(plain.ok) << plain;
  EXPECT_EQ(runText(kOperatorsOverEveryType, true), plain);
}

TEST_F(FusedInstructionsTest, FusedAndPlainRunsAgreeOnErrorsAndLoops) {
  const char* programs[] = {
      // A runtime error inside a fused sequence's operator (an object without a usable value).
      "function f(o) { var x = o; var y = 1; try { return x * y; } catch (e) { return e; } } trace(f({}));",
      // A global that was never set warns from inside a sequence, as its own instruction would.
      "function f() { var x = 2; return neverSet + 1 + x * neverSet; } trace(f());",
      // Backward jumps taken by fused branches still reach the break hook's count.
      "function f(n) { var i = 0; var s = 0; do { s = s + i; i++; } while (i < n); return s; } trace(f(200000));",
      // Deep recursion through fused comparisons ends in the same stack overflow.
      "function f(n) { var x = n; if (x > 0) return f(x - 1) + 1; return 0; } trace(f(1000000));",
      // Nested loops with && conditions, and locals changed between the two halves.
      "function f(n) { var a = 0; var b = 0; var c = 0; while (a < n && b <= a) { b = b + 2; a++; c = c + a * b; } return c; } trace(f(50));",
  };
  for (const char* text : programs) {
    Ending plain = runText(text, false);
    EXPECT_EQ(runText(text, true), plain) << text;
  }
}

TEST_F(FusedInstructionsTest, AJumpIntoTheMiddleOfASequenceRunsTheOriginalInstructions) {
  // 10 and 20 in locals 0 and 1; 7 pushed, then a jump to the second GetLocal of
  // "GetLocal 0; GetLocal 1; Add; SetLocal 2": the sum must be 7 + 20, not 10 + 20.
  VmAssembler a;
  uint32_t r = a.name("r");
  a.function(".main")
      .op(Opcode::ReserveLocals, 3)
      .op(Opcode::PushInt, 10)
      .op(Opcode::SetLocal, 0)
      .op(Opcode::PushInt, 20)
      .op(Opcode::SetLocal, 1)
      .op(Opcode::PushInt, 7)
      .jump(Opcode::Jump, "middle")
      .op(Opcode::GetLocal, 0)
      .label("middle")
      .op(Opcode::GetLocal, 1)
      .op(Opcode::Add)
      .op(Opcode::SetLocal, 2)
      .op(Opcode::GetLocal, 2)
      .op(Opcode::SetGlobal, r)
      .op(Opcode::Pop);
  Ending plain = runModule(a.build(), false);
  EXPECT_EQ(plain.trace, "27\r\n") << plain;
  EXPECT_EQ(runModule(a.build(), true), plain);
}

TEST_F(FusedInstructionsTest, MalformedCodeAroundASequenceFailsAsItWouldUnfused) {
  struct Case {
    const char* what;
    std::vector<std::pair<Opcode, int64_t>> code;
    bool fails = true;
  };
  const Case cases[] = {
      {"operator with nothing under a constant", {{Opcode::PushConst, 0}, {Opcode::Add, 0}}},
      {"locals never reserved", {{Opcode::GetLocal, 3}, {Opcode::GetLocal, 4}, {Opcode::Mul, 0}}},
      {"first local never reserved, its slot holding a number",
       {{Opcode::PushInt, 9}, {Opcode::Pop, 0}, {Opcode::GetLocal, 0}, {Opcode::PushConst, 0}, {Opcode::Sub, 0}}},
      {"second local is the slot the first was pushed into",
       {{Opcode::ReserveLocals, 1}, {Opcode::PushInt, 4}, {Opcode::SetLocal, 0}, {Opcode::GetLocal, 0},
        {Opcode::GetLocal, 1}, {Opcode::Add, 0}},
       false},
      {"store into a local below the operands",
       {{Opcode::ReserveLocals, 1}, {Opcode::GetLocal, 0}, {Opcode::GetLocal, 0}, {Opcode::Add, 0},
        {Opcode::SetLocal, 40}}},
      {"argument beyond the frame",
       {{Opcode::ReserveLocals, 1}, {Opcode::GetLocal, 0}, {Opcode::GetArg, 9}, {Opcode::Less, 0},
        {Opcode::JumpIfFalseFast, 0}}},
  };
  for (const Case& c : cases) {
    VmAssembler a;
    a.integer(5);
    uint32_t r = a.name("r");
    a.function(".main");
    for (const auto& [code, operand] : c.code) {
      if (code == Opcode::JumpIfFalseFast) {
        a.jump(code, "end");
      } else {
        a.op(code, operand);
      }
    }
    a.op(Opcode::SetGlobal, r).op(Opcode::Pop).label("end");
    Ending plain = runModule(a.build(), false);
    EXPECT_EQ(plain.ok, !c.fails) << c.what << ": " << plain;
    EXPECT_EQ(runModule(a.build(), true), plain) << c.what;
  }
  // A loop that grows the stack by one value a round until it overflows inside a fused sequence.
  VmAssembler overflow;
  overflow.integer(5);
  overflow.function(".main")
      .op(Opcode::ReserveLocals, 1)
      .label("top")
      .op(Opcode::GetLocal, 0)
      .op(Opcode::PushConst, 0)
      .op(Opcode::Add)
      .jump(Opcode::Jump, "top");
  Ending plain = runModule(overflow.build(), false);
  EXPECT_EQ(plain.message, "Runtime error: stack overflow");
  EXPECT_EQ(runModule(overflow.build(), true), plain);
}

}  // namespace
}  // namespace vexil::script::test
