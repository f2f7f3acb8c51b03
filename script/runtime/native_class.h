#pragma once
// Native classes: every class not written in script (built-in or host) is one NativeClass, a
// record of ten slots in the engine heap. A NativeObject pairs a class with instance data; class
// objects are NativeObjects with null data published in the global slot of the class's name.
//
// The receiver handed to invoke and property is the instance data of a Native value (null for the
// class object itself), or a pointer to the Value itself for a tag that has a class descriptor.
#include <cstdint>

#include "script/runtime/value.h"

namespace vexil::script {

struct Engine;
struct NativeClass;

using CallOp = void (*)(Engine& engine, NativeClass* cls, void* data, Value* result, const Value* args);
using InvokeOp = bool (*)(Engine& engine, NativeClass* cls, void* receiver, Atom method, Value* result,
                          const Value* args);
// set false: read the property into *value; set true: assign *value to it.
using PropertyOp = bool (*)(Engine& engine, NativeClass* cls, void* receiver, Atom property, bool set,
                            Value* value);
using ConstructOp = void (*)(Engine& engine, NativeClass* cls, const Value* args, Value* result);
// Runs during a sweep: may free system memory and close handles, must not touch the engine heap.
using ReleaseInstanceOp = void (*)(NativeClass* cls, void* data);
// Marks what the instance data keeps in the engine heap, with markValue and markHeapBlock.
using MarkInstanceOp = void (*)(Engine& engine, NativeClass* cls, void* data);
using ReleaseClassDataOp = void (*)(void* classData);
// Element access on instances of collection classes: obj[key] reads (Get) and writes (Set, from
// *value), and for-in steps (At, key an Integer index; false past the last item). True when the
// class handled it, false to let the usual rules for native values apply.
enum class ItemAccess { Get, Set, At };
using ItemOp = bool (*)(Engine& engine, NativeClass* cls, void* data, ItemAccess access, const Value& key,
                        Value* value);

struct NativeClass {
  void (*finalizer)(void* self);       // 0: set by newClass; releases the class data
  CallOp call;                         // 1
  InvokeOp invoke;                     // 2
  PropertyOp property;                 // 3
  ConstructOp construct;               // 4
  ReleaseInstanceOp releaseInstance;   // 5
  MarkInstanceOp markInstance;         // 6
  void* classData;                     // 7: by convention the atoms of the member names
  ReleaseClassDataOp releaseClassData; // 8: usually std::free
  PropertyTable* prototype;            // 9
  // Beyond the ten operations: element access for classes whose instances are collections, so the
  // virtual machine never needs to know which classes those are. Null for every other class.
  ItemOp item;
};

struct NativeObject {
  void (*finalizer)(void* self);  // releases the instance data through the class
  NativeClass* cls;
  void* data;
  PropertyTable* props;  // own table; null when data is null
};

NativeClass* newClass(Engine& engine);
// Sets target to a new Native value. Instances with data get an own table linked to the class's
// prototype table. The object owns the data from this call on: when making it fails (out of
// memory) the class's release operation frees the data before the error propagates, so the caller
// must never free it. Host classes use HostCall::publish or newInstance, which take a unique_ptr.
void makeNative(Engine& engine, Value* target, NativeClass* cls, void* data);
// Publishes the class object in the global slot of the name.
void defineClass(Engine& engine, const char* name, NativeClass* cls);
// A class with only a call operation, published under the name.
NativeClass* defineFunction(Engine& engine, const char* name, CallOp function);
void defineConstant(Engine& engine, const char* name, uint32_t value);
// True when value is a Native of the class published under className. This answers what a script
// would see under that name; host code recognises its own instances by their class record
// (instanceOf in host_class.h), which a script cannot rebind.
bool isInstanceOf(Engine& engine, const Value& value, const char* className);

// True for a Function, or a Native whose class can be called: what a script can call.
bool isCallable(const Value& value);

// Where a Native value keeps its own properties: the object's table, or the class's prototype
// table for an object without one (a class object); null without a class.
PropertyTable* nativeTable(const NativeObject* object);

// Where a String, Array or Function value keeps its own properties (made on first use by the
// machine); null for every other tag. attachedTable reads that place.
PropertyTable** attachedPlace(const Value& value);
PropertyTable* attachedTable(const Value& value);

// The class descriptor of a tag, or null.
NativeClass* classDescriptor(const Engine& engine, Tag tag);
void setClassDescriptor(Engine& engine, Tag tag, NativeClass* cls);
// Marks the tag's class as one whose toString answers exactly the value's own text (a number's
// digits, a Boolean's word, the string itself), so that conversions skip the call. Setting the
// tag's class again clears the mark.
void markOwnTextClass(Engine& engine, Tag tag);
bool hasOwnTextClass(const Engine& engine, Tag tag);

// The global slot of a name (interned on first use).
Value& globalSlot(Engine& engine, const char* name);

}  // namespace vexil::script
