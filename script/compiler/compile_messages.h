#pragma once
// Every text the compiler front end writes to its diagnostics, defined once. Tests use the same
// constants or the literal text.

namespace vexil::script {

// Diagnostic lines: the prefix, the line number, ": ", the message, CR LF.
inline constexpr char kWarningPrefix[] = "warning: line ";
inline constexpr char kErrorPrefix[] = "error: line ";
inline constexpr char kLineEnd[] = "\r\n";

// Lexer.
inline constexpr char kUnknownEscape[] = "unknown escape sequence '%c%c'";
inline constexpr char kLineTerminatorInConstant[] = "ECMAScript don't allow line terminators in %s constants";
inline constexpr char kUnterminatedConstant[] = "unterminated %s constant";
inline constexpr char kIllegalHexCharacter[] = "illegal character '%s%c%c'";
inline constexpr char kIllegalUnicodeCharacter[] = "illegal unicode character '%s%c%c%c%c'";
inline constexpr char kIllegalCharacter[] = "illegal character";
inline constexpr char kInvalidExponent[] = "invalid exponent part in a decimal literal";
// What an unterminated constant was.
inline constexpr char kStringConstant[] = "string";
inline constexpr char kCharacterConstant[] = "character";
inline constexpr char kRegExpConstant[] = "regular expression";

// Parser: every syntax error is "syntax error: " and one of the texts below; two have no prefix.
inline constexpr char kSyntaxError[] = "syntax error: %s";
inline constexpr char kMissingSemicolon[] = "missing ;";  // no prefix; also a warning
inline constexpr char kMoreThanOneDefault[] = "more than one switch default";  // no prefix

inline constexpr char kInvalidStatement[] = "invalid statement";
inline constexpr char kInvalidVariableInitialization[] = "invalid variable initialization";
inline constexpr char kIllegalIdentifier[] = "illegal identifier";
inline constexpr char kMissingVariableName[] = "missing variable name";
inline constexpr char kInvalidExpression[] = "invalid expression";
inline constexpr char kMissingBracketAfterElements[] = "missing ] after element list";
inline constexpr char kInvalidPropertyId[] = "invalid property id";
inline constexpr char kMissingColonAfterPropertyId[] = "missing : after property id";
inline constexpr char kMissingBraceAfterProperties[] = "missing } after property list";
inline constexpr char kMissingParenBeforeSwitch[] = "missing ( before switch expression";
inline constexpr char kInvalidSwitchExpression[] = "invalid switch expression";
inline constexpr char kMissingParenAfterSwitch[] = "missing ) after switch expression";
inline constexpr char kMissingBraceBeforeSwitchBody[] = "missing { before switch body";
inline constexpr char kMissingBraceAfterSwitchBlock[] = "missing } after switch block";
inline constexpr char kInvalidCaseExpression[] = "invalid case expression";
inline constexpr char kMissingColonAfterCase[] = "missing : after case label";
inline constexpr char kMissingCatchOrFinally[] = "missing catch or finally after try";
inline constexpr char kMissingParenBeforeCatch[] = "missing ( before catch";
inline constexpr char kMissingCatchIdentifier[] = "missing identifier in catch";
inline constexpr char kMissingParenAfterCatch[] = "missing ) after catch";
inline constexpr char kMissingParenBeforeCondition[] = "missing ( before condition";
inline constexpr char kInvalidCondition[] = "invalid condition expression";
inline constexpr char kMissingParenAfterCondition[] = "missing ) after condition";
inline constexpr char kMissingWhileAfterDo[] = "missing while after do-loop body";
inline constexpr char kMissingParenAfterFor[] = "missing ( after for";
inline constexpr char kInvalidForInitializer[] = "invalid for-loop initializer or for-in expression";
inline constexpr char kInvalidForCondition[] = "invalid for-loop condition expression";
inline constexpr char kMissingSemicolonAfterForCondition[] = "missing ; after for-loop condition";
inline constexpr char kInvalidForControl[] = "invalid for-loop control expression";
inline constexpr char kMoreThanOneVariable[] = "more than one variable declaration";
inline constexpr char kMissingSemicolonAfterForInitializer[] = "missing ; after for-loop initializer";
inline constexpr char kMissingParenAfterForControl[] = "missing ) after for-loop control";
inline constexpr char kMissingBracketInIndex[] = "missing ] in index expression";
inline constexpr char kInvalidLabel[] = "invalid label";
inline constexpr char kInvalidReturn[] = "invalid return";
inline constexpr char kMissingParenBeforeWith[] = "missing ( before with-statement object";
inline constexpr char kInvalidWithObject[] = "invalid with-statement object";
inline constexpr char kMissingParenAfterWith[] = "missing ) after with-statement object";
inline constexpr char kInvalidWithBlock[] = "invalid with block";
inline constexpr char kInvalidThrow[] = "invalid throw";
inline constexpr char kMissingBraceAfterBlock[] = "missing } after block";
inline constexpr char kMissingParenBeforeParameters[] = "missing ( before formal parameters";
inline constexpr char kMissingParenAfterParameters[] = "missing ) after formal parameters";
inline constexpr char kInvalidFunctionBody[] = "invalid function body";
inline constexpr char kMissingColonInConditional[] = "missing : in conditional expression";
inline constexpr char kMissingParenAfterArguments[] = "missing ) after argument list";
// Our own: statements and expressions nested deeper than the parser follows.
inline constexpr char kNestingTooDeep[] = "nesting too deep";

// Generated internal names of functions.
inline constexpr char kGeneratedFunctionName[] = "@F_%d";

}  // namespace vexil::script
