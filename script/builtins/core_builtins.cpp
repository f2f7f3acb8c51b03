#include "script/builtins/core_builtins.h"

namespace vexil::script {

ClassRegistry& addCoreBuiltins(ClassRegistry& registry) {
  return registry.set(ClassStep::GlobalFunctions, registerGlobalFunctions)
      .set(ClassStep::Math, registerMath)
      .set(ClassStep::Array, registerArray)
      .set(ClassStep::Boolean, registerBoolean)
      .set(ClassStep::Function, registerFunction)
      .set(ClassStep::Number, registerNumber)
      .set(ClassStep::String, registerString)
      .set(ClassStep::Object, registerObject);
}

}  // namespace vexil::script
