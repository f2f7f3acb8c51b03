#pragma once
// What an IDispatch::Invoke call received, written as text a test can compare line by line:
//
//   named=<count>[ <dispid>...]      the named arguments' DISPIDs, in DISPPARAMS order
//   flags=<wFlags>
//   vt=<vt> <value>                  one line per rgvarg entry, rgvarg[0] first
//
// The vt is decimal, with the 0x4000 by-reference bit included; a by-reference entry shows the
// value it points to. Values: integers in decimal; floats and dates with %.17g; currency as its
// scaled 64-bit integer; a BSTR as its length, ':', then its text in UTF-8 with every character
// below 0x20 (NUL included) written \xHH; an error code as 0x%08X; a boolean as its stored number
// (-1 or 0); an object as "null" or "object"; VT_EMPTY and VT_NULL as nothing; an array as
// "array dims=<n> vt=<element vt> lbounds=<l1>,... counts=<c1>,...", dimensions from the first.
#include <windows.h>
#include <oleauto.h>

#include <string>

namespace vexil::test_automation {

std::string describeInvoke(WORD flags, const DISPPARAMS* params);
std::string describeVariant(const VARIANT& value);

}  // namespace vexil::test_automation
