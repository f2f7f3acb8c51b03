#pragma once
// What the Array class shares with its sort and with the String class: arrays as scripts get them.
#include <cstdint>

#include "script/runtime/array_elements.h"
#include "script/runtime/host_class.h"

namespace vexil::script {

// A new empty array with its own table linked to the Array prototype, as the constructor makes it.
Value newArrayValue(Engine& engine, uint64_t length = 0);
// A length or index as scripts read it: an Integer, or a Real past the signed 64-bit range.
Value lengthValue(uint64_t length);
// The array a method was called on; null on the class object.
ArrayRecord* receiverArray(const HostCall& call);

// sort(comparison): a stable merge sort of the existing elements, holes squeezed out.
void arraySort(HostCall& call);
// join(separator): the elements' texts with the separator between neighbouring indices.
void arrayJoin(HostCall& call);

}  // namespace vexil::script
