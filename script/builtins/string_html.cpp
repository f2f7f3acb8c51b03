// The HTML wrappers (anchor, big, … sup) and the case mappings of the String class.
//
// A wrapper puts the string, and for anchor, fontColor, fontSize and link the attribute text, into
// its pattern unescaped. The result is built to its full length: no text is cut short, however
// long the string or the attribute.
#include <string>

#include "script/builtins/string_builtin.h"
#include "script/runtime/stack_roots.h"

namespace vexil::script {

namespace {

// Each "%s" takes the next of the texts; the string is always the last.
Value formatPattern(Engine& engine, std::u16string_view pattern, std::u16string_view attribute,
                    std::u16string_view text, bool withAttribute) {
  StringBuilder out;
  bool attributeDone = !withAttribute;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == u'%' && i + 1 < pattern.size() && pattern[i + 1] == u's') {
      out.append(attributeDone ? text : attribute);
      attributeDone = true;
      ++i;
    } else {
      out.append(pattern[i]);
    }
  }
  return out.finish(engine);
}

void wrap(HostCall& call, std::u16string_view pattern) {
  *call.result = formatPattern(call.engine, pattern, {}, receiverText(call), false);
}

// The attribute is the text of the first argument, or empty without one.
void wrapWithAttribute(HostCall& call, std::u16string_view pattern) {
  StackRoots roots(call.engine);
  Value* attribute = roots.hold(makeString(call.engine, 0));
  if (call.args.count() > 0) *attribute = textArgument(call.engine, *call.args.at(1));
  *call.result = formatPattern(call.engine, pattern, attribute->string()->view(), receiverText(call), true);
}

template <char16_t (*Map)(char16_t)>
void mapUnits(HostCall& call) {
  std::u16string_view text = receiverText(call);
  Value out = makeString(call.engine, text.size());
  char16_t* units = out.string()->units();
  for (size_t i = 0; i < text.size(); ++i) units[i] = Map(text[i]);
  *call.result = out;
}

}  // namespace

void stringAnchor(HostCall& call) { wrapWithAttribute(call, u"<A NAME=\"%s\">%s</A>"); }
void stringBig(HostCall& call) { wrap(call, u"<BIG>%s</BIG>"); }
void stringBlink(HostCall& call) { wrap(call, u"<BLINK>%s</BLINK>"); }
void stringBold(HostCall& call) { wrap(call, u"<B>%s</B>"); }
void stringFixed(HostCall& call) { wrap(call, u"<TT>%s</TT>"); }
void stringFontColor(HostCall& call) { wrapWithAttribute(call, u"<FONT COLOR=\"%s\">%s</FONT>"); }
void stringFontSize(HostCall& call) { wrapWithAttribute(call, u"<FONT SIZE=\"%s\">%s</FONT>"); }
void stringItalics(HostCall& call) { wrap(call, u"<I>%s</I>"); }
void stringLink(HostCall& call) { wrapWithAttribute(call, u"<A HREF=\"%s\">%s</A>"); }
void stringSmall(HostCall& call) { wrap(call, u"<SMALL>%s</SMALL>"); }
void stringStrike(HostCall& call) { wrap(call, u"<STRIKE>%s</STRIKE>"); }
void stringSub(HostCall& call) { wrap(call, u"<SUB>%s</SUB>"); }
void stringSup(HostCall& call) { wrap(call, u"<SUP>%s</SUP>"); }

// Pairs that differ by one (upper case even) in Latin Extended-A, except where the pairing shifts.
char16_t lowerUnit(char16_t u) {
  if (u >= u'A' && u <= u'Z') return char16_t(u + 32);
  if (u < 0xC0) return u;
  if (u <= 0xDE) return u == 0xD7 ? u : char16_t(u + 32);
  if (u == 0x130 || u == 0x131) return u;  // dotted and dotless i pair with ASCII, not each other
  if (u >= 0x100 && u <= 0x137) return char16_t(u | 1);
  if (u >= 0x139 && u <= 0x148) return (u & 1) ? char16_t(u + 1) : u;
  if (u >= 0x14A && u <= 0x177) return char16_t(u | 1);
  if (u == 0x178) return 0xFF;
  if (u >= 0x179 && u <= 0x17E) return (u & 1) ? char16_t(u + 1) : u;
  if (u >= 0x391 && u <= 0x3AB && u != 0x3A2) return char16_t(u + 32);
  if (u >= 0x410 && u <= 0x42F) return char16_t(u + 32);
  if (u >= 0x400 && u <= 0x40F) return char16_t(u + 80);
  return u;
}

char16_t upperUnit(char16_t u) {
  if (u >= u'a' && u <= u'z') return char16_t(u - 32);
  if (u < 0xE0) return u;
  if (u <= 0xFE) return u == 0xF7 ? u : char16_t(u - 32);
  if (u == 0xFF) return 0x178;
  if (u == 0x130 || u == 0x131) return u;
  if (u >= 0x100 && u <= 0x137) return char16_t(u & ~1);
  if (u >= 0x139 && u <= 0x148) return (u & 1) ? u : char16_t(u - 1);
  if (u >= 0x14A && u <= 0x177) return char16_t(u & ~1);
  if (u >= 0x179 && u <= 0x17E) return (u & 1) ? u : char16_t(u - 1);
  if (u >= 0x3B1 && u <= 0x3CB && u != 0x3C2) return char16_t(u - 32);
  if (u >= 0x430 && u <= 0x44F) return char16_t(u - 32);
  if (u >= 0x450 && u <= 0x45F) return char16_t(u - 80);
  return u;
}

void stringToLowerCase(HostCall& call) { mapUnits<lowerUnit>(call); }
void stringToUpperCase(HostCall& call) { mapUnits<upperUnit>(call); }

}  // namespace vexil::script
