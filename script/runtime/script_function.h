#pragma once
// What a Function value points at: the loaded code and the function's own property table (made on
// first use). The code record is one engine-heap block to the collector: anything it refers to
// beyond that block is kept alive by the loader.
#include "script/runtime/value.h"

namespace vexil::script {

struct CodeRecord;

struct ScriptFunction {
  CodeRecord* code;
  PropertyTable* props;
};

}  // namespace vexil::script
