#pragma once
// What the String class's member files share. Positions and lengths count UTF-16 units; every
// member builds a new string.
#include <string_view>

#include "script/runtime/host_class.h"
#include "script/runtime/script_string.h"

namespace vexil::script {

// The units of the string a member was called on (never called on the class object).
inline std::u16string_view receiverText(const HostCall& call) { return call.instance<Value>()->string()->view(); }
// The argument's text: a String as it is, anything else through valueToString.
Value textArgument(Engine& engine, const Value& value);
// An Integer argument's value, when it has that tag.
const Value* integerArgument(const Arguments& args, uint32_t i);

void stringIndexOf(HostCall& call);
void stringLastIndexOf(HostCall& call);
void stringMatch(HostCall& call);
void stringReplace(HostCall& call);
void stringSearch(HostCall& call);
void stringSplit(HostCall& call);

void stringToLowerCase(HostCall& call);
void stringToUpperCase(HostCall& call);
// Lower and upper case of one unit: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic, the same
// on every platform.
char16_t lowerUnit(char16_t u);
char16_t upperUnit(char16_t u);

void stringAnchor(HostCall& call);
void stringBig(HostCall& call);
void stringBlink(HostCall& call);
void stringBold(HostCall& call);
void stringFixed(HostCall& call);
void stringFontColor(HostCall& call);
void stringFontSize(HostCall& call);
void stringItalics(HostCall& call);
void stringLink(HostCall& call);
void stringSmall(HostCall& call);
void stringStrike(HostCall& call);
void stringSub(HostCall& call);
void stringSup(HostCall& call);

// The global URI coding functions, registered with the String class.
void registerUriFunctions(Engine& engine);

}  // namespace vexil::script
