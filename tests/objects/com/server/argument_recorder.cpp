#include "tests/objects/com/server/argument_recorder.h"

#include <cstdio>
#include <string_view>

#include "platform/text_encoding.h"
#include "platform/win32/wide_text.h"
#include "tests/objects/com/server/bstr_text.h"

namespace vexil::test_automation {
namespace {

std::string formatNumber(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string formatError(SCODE code) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(code));
  return text;
}

std::string describeText(BSTR text) {
  std::wstring_view wide = bstrView(text);
  std::string out = std::to_string(wide.size()) + ":";
  for (unsigned char c : platform::utf16ToUtf8(platform::asUtf16(wide))) {
    if (c < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
      out += escaped;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string describeArray(SAFEARRAY* array) {
  if (!array) return "array null";
  UINT dimensions = SafeArrayGetDim(array);
  VARTYPE elementType = VT_EMPTY;
  SafeArrayGetVartype(array, &elementType);
  std::string lowerBounds;
  std::string counts;
  for (UINT dimension = 1; dimension <= dimensions; ++dimension) {
    LONG lower = 0;
    LONG upper = -1;
    SafeArrayGetLBound(array, dimension, &lower);
    SafeArrayGetUBound(array, dimension, &upper);
    const char* separator = dimension > 1 ? "," : "";
    lowerBounds += separator + std::to_string(lower);
    counts += separator + std::to_string(static_cast<LONGLONG>(upper) - lower + 1);
  }
  return "array dims=" + std::to_string(dimensions) + " vt=" + std::to_string(elementType) + " lbounds=" + lowerBounds +
         " counts=" + counts;
}

std::string describeDecimal(const DECIMAL& value) {
  BSTR text = nullptr;
  DECIMAL copy = value;  // the call takes a non-const pointer but only reads
  if (FAILED(VarBstrFromDec(&copy, LOCALE_INVARIANT, 0, &text))) return "?";
  std::string out = platform::utf16ToUtf8(platform::asUtf16(bstrView(text)));
  SysFreeString(text);
  return out;
}

std::string describeVariantAt(const VARIANT& value, int depth);

// The value of type `type` (the by-reference bit removed) stored at `data`: the variant's own
// storage, or what a by-reference variant points to.
std::string describeValue(VARTYPE type, const void* data, int depth) {
  if (type & VT_ARRAY) return describeArray(*static_cast<SAFEARRAY* const*>(data));
  switch (type) {
    case VT_EMPTY:
    case VT_NULL: return "";
    case VT_I1: return std::to_string(*static_cast<const signed char*>(data));
    case VT_UI1: return std::to_string(*static_cast<const BYTE*>(data));
    case VT_I2: return std::to_string(*static_cast<const SHORT*>(data));
    case VT_UI2: return std::to_string(*static_cast<const USHORT*>(data));
    case VT_I4: return std::to_string(*static_cast<const LONG*>(data));
    case VT_UI4: return std::to_string(*static_cast<const ULONG*>(data));
    case VT_INT: return std::to_string(*static_cast<const INT*>(data));
    case VT_UINT: return std::to_string(*static_cast<const UINT*>(data));
    case VT_I8: return std::to_string(*static_cast<const LONGLONG*>(data));
    case VT_UI8: return std::to_string(*static_cast<const ULONGLONG*>(data));
    case VT_R4: return formatNumber(*static_cast<const FLOAT*>(data));
    case VT_R8:
    case VT_DATE: return formatNumber(*static_cast<const DOUBLE*>(data));
    case VT_CY: return std::to_string(static_cast<const CY*>(data)->int64);
    case VT_BSTR: return describeText(*static_cast<const BSTR*>(data));
    case VT_ERROR: return formatError(*static_cast<const SCODE*>(data));
    case VT_BOOL: return std::to_string(*static_cast<const VARIANT_BOOL*>(data));
    case VT_DISPATCH:
    case VT_UNKNOWN: return *static_cast<IUnknown* const*>(data) ? "object" : "null";
    case VT_DECIMAL: return describeDecimal(*static_cast<const DECIMAL*>(data));
    case VT_VARIANT: return describeVariantAt(*static_cast<const VARIANT*>(data), depth + 1);
    case VT_RECORD: return "record";
    default: return "?";
  }
}

// What follows "vt=<n> ". A variant holds another variant only by reference; a chain of them that
// loops back on itself stops at a depth no client builds on purpose.
std::string describeContent(const VARIANT& value, int depth) {
  constexpr int kDeepestVariant = 8;
  VARTYPE type = value.vt & ~VT_BYREF;
  if (!(value.vt & VT_BYREF)) {
    if (type == VT_VARIANT) return "?";
    // A decimal fills the whole variant, so its storage starts where the variant does.
    const void* data = type == VT_DECIMAL ? static_cast<const void*>(&value.decVal) : &value.llVal;
    return describeValue(type, data, depth);
  }
  if (!value.byref) return "null pointer";
  if (type == VT_VARIANT && depth >= kDeepestVariant) return "...";
  return describeValue(type, value.byref, depth);
}

std::string describeVariantAt(const VARIANT& value, int depth) {
  std::string out = "vt=" + std::to_string(value.vt);
  std::string content = describeContent(value, depth);
  if (!content.empty()) out += " " + content;
  return out;
}

}  // namespace

std::string describeVariant(const VARIANT& value) { return describeVariantAt(value, 0); }

std::string describeInvoke(WORD flags, const DISPPARAMS* params) {
  UINT named = params && params->rgdispidNamedArgs ? params->cNamedArgs : 0;
  UINT arguments = params && params->rgvarg ? params->cArgs : 0;
  std::string out = "named=" + std::to_string(named);
  for (UINT i = 0; i < named; ++i) out += " " + std::to_string(params->rgdispidNamedArgs[i]);
  out += "\nflags=" + std::to_string(flags);
  for (UINT i = 0; i < arguments; ++i) out += "\n" + describeVariant(params->rgvarg[i]);
  return out;
}

}  // namespace vexil::test_automation
