#include "objects/com/win32/event_sinks.h"

#include <string>

#include "objects/com/win32/member_binding.h"
#include "objects/com/win32/variant_conversion.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/wide_text.h"
#include "script/runtime/arguments.h"
#include "script/runtime/array_elements.h"
#include "script/runtime/atom_table.h"
#include "script/runtime/call_entries.h"
#include "script/runtime/collector.h"
#include "script/runtime/conversions.h"
#include "script/runtime/engine.h"
#include "script/runtime/native_class.h"
#include "script/runtime/property_table.h"
#include "script/runtime/runtime_error.h"
#include "script/runtime/script_string.h"
#include "script/runtime/outside_run.h"
#include "script/runtime/stack_roots.h"
#include "script/runtime/uncaught_errors.h"

namespace vexil::objects::com {

namespace {

using script::Engine;
using script::Value;

constexpr char kHandlerFailedPrefix[] = "Automation event handler failed: ";

template <typename Body>
void runInEngine(Engine& engine, Body&& body) {
  script::OutsideRun outside(engine);
  script::StackRoots outer(engine);
  Value* saved = outer.hold(engine.lastResult);
  std::string message = engine.message;
  script::protectedCall(engine, [&] {
    script::StackRoots roots(engine);
    if (!body(roots)) script::reportUncaught(engine, kHandlerFailedPrefix);
  });
  engine.lastResult = *saved;
  snprintf(engine.message, sizeof engine.message, "%s", message.c_str());
}

}  // namespace

// ComEventSink

ComEventSink::ComEventSink(Engine& engine, std::vector<IID> interfaces)
    : engine_(&engine), interfaces_(std::move(interfaces)), cookies_(interfaces_.size(), 0) {}

void ComEventSink::setHandler(DISPID id, const Value& function, const OutParameterMap& outputs) {
  handlers_[id] = EventHandler{function, outputs};
}

void ComEventSink::advise(IUnknown* object) {
  platform::ComPtr<IConnectionPointContainer> container;
  if (FAILED(object->QueryInterface(IID_IConnectionPointContainer, container.putVoid())) || !container) return;
  for (size_t i = 0; i < interfaces_.size(); ++i) {
    platform::ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(interfaces_[i], point.put())) || !point) continue;
    DWORD cookie = 0;
    if (SUCCEEDED(point->Advise(static_cast<IDispatch*>(this), &cookie))) cookies_[i] = cookie;
  }
}

void ComEventSink::unadvise(IUnknown* object) {
  platform::ComPtr<IConnectionPointContainer> container;
  if (FAILED(object->QueryInterface(IID_IConnectionPointContainer, container.putVoid())) || !container) return;
  for (size_t i = 0; i < interfaces_.size(); ++i) {
    if (!cookies_[i]) continue;
    platform::ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(container->FindConnectionPoint(interfaces_[i], point.put())) && point) point->Unadvise(cookies_[i]);
    cookies_[i] = 0;
  }
}

void ComEventSink::detach() {
  engine_ = nullptr;
  owner_ = Value();
  handlers_.clear();
}

void ComEventSink::mark(Engine& engine) const {
  for (const auto& [id, handler] : handlers_) script::markValue(engine, handler.function);
}

STDMETHODIMP ComEventSink::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  bool answers = iid == IID_IUnknown || iid == IID_IDispatch;
  for (const IID& event : interfaces_) answers = answers || iid == event;
  if (!answers) return E_NOINTERFACE;
  *out = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) ComEventSink::AddRef() { return ULONG(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) ComEventSink::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return ULONG(left);
}

STDMETHODIMP ComEventSink::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return E_NOTIMPL;
}
STDMETHODIMP ComEventSink::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
STDMETHODIMP ComEventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP ComEventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                  UINT*) {
  if (result) VariantClear(result);
  if (!engine_) return S_OK;
  auto found = handlers_.find(id);
  if (found == handlers_.end() || !script::isCallable(found->second.function)) return S_OK;
  // The handler may drop this sink's object (and so detach it): keep it and copy what it needs.
  platform::ComPtr<ComEventSink> keepAlive(this);
  Engine& engine = *engine_;
  const EventHandler handler = found->second;
  const Value owner = owner_;
  const uint32_t count = params ? params->cArgs : 0;
  runInEngine(engine, [&](script::StackRoots& roots) {
    Value* function = roots.hold(handler.function);
    Value* self = roots.hold(owner);
    std::vector<Value> block(size_t(count) + 1);
    block[0].setInteger(count);
    Value* arguments = roots.hold();  // the arguments stay reachable through an array
    script::ArrayRecord* kept = script::newArray(engine);
    arguments->setArray(kept);
    script::Atom valueName = script::intern(engine, "value");
    for (uint32_t k = 0; k < count; ++k) {
      uint32_t slot = count - 1 - k;
      Value converted;
      fromVariant(engine, params->rgvarg[slot], VT_VARIANT, &converted);
      Value* held = roots.hold(converted);
      if (handler.outputs.contains(slot)) {
        script::PropertyTable* box = script::newTable(engine);
        Value boxed = Value::fromObject(box);
        script::setProperty(engine, box, valueName, *held);
        *held = boxed;
      }
      block[k + 1] = *held;
      script::storeElement(engine, *kept, k, *held);
    }
    if (!script::callValueOn(engine, *function, *self, block.data())) return false;
    for (uint32_t k = 0; k < count; ++k) {
      uint32_t slot = count - 1 - k;
      if (!handler.outputs.contains(slot) || block[k + 1].tag != script::Tag::Object) continue;
      Value* answer = roots.hold(script::getProperty(engine, block[k + 1].table(), valueName));
      writeBack(engine, *answer, params->rgvarg[slot]);
    }
    return true;
  });
  return S_OK;
}

// PropertyNotifySink

PropertyNotifySink::PropertyNotifySink(Engine& engine, IDispatch* object, const Value& owner)
    : engine_(&engine), object_(object), owner_(owner) {}

bool PropertyNotifySink::advise() {
  platform::ComPtr<IConnectionPointContainer> container;
  platform::ComPtr<IConnectionPoint> point;
  if (FAILED(object_->QueryInterface(IID_IConnectionPointContainer, container.putVoid())) || !container ||
      FAILED(container->FindConnectionPoint(IID_IPropertyNotifySink, point.put())) || !point) {
    return false;
  }
  return SUCCEEDED(point->Advise(static_cast<IPropertyNotifySink*>(this), &cookie_));
}

void PropertyNotifySink::unadvise() {
  if (!cookie_) return;
  platform::ComPtr<IConnectionPointContainer> container;
  platform::ComPtr<IConnectionPoint> point;
  if (SUCCEEDED(object_->QueryInterface(IID_IConnectionPointContainer, container.putVoid())) && container &&
      SUCCEEDED(container->FindConnectionPoint(IID_IPropertyNotifySink, point.put())) && point) {
    point->Unadvise(cookie_);
  }
  cookie_ = 0;
}

void PropertyNotifySink::detach() {
  engine_ = nullptr;
  owner_ = changed_ = willChange_ = Value();
}

void PropertyNotifySink::mark(Engine& engine) const {
  script::markValue(engine, changed_);
  script::markValue(engine, willChange_);
}

STDMETHODIMP PropertyNotifySink::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IPropertyNotifySink) return E_NOINTERFACE;
  *out = static_cast<IPropertyNotifySink*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) PropertyNotifySink::AddRef() { return ULONG(InterlockedIncrement(&references_)); }

STDMETHODIMP_(ULONG) PropertyNotifySink::Release() {
  LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return ULONG(left);
}

STDMETHODIMP PropertyNotifySink::OnChanged(DISPID id) {
  notify(changed_, id);
  return S_OK;
}

STDMETHODIMP PropertyNotifySink::OnRequestEdit(DISPID id) { return notify(willChange_, id) ? S_OK : S_FALSE; }

bool PropertyNotifySink::notify(const Value& handler, DISPID id) {
  if (!engine_ || !script::isCallable(handler)) return true;
  platform::ComPtr<PropertyNotifySink> keepAlive(this);
  Engine& engine = *engine_;
  std::u16string name = memberName(object_, id);
  // Names travel as the program's narrow text, like every other name a script sees.
  std::string text = name.empty() ? std::to_string(id) : platform::utf16ToAnsi(name);
  const Value function = handler;
  const Value owner = owner_;
  bool allowed = false;
  runInEngine(engine, [&](script::StackRoots& roots) {
    Value* callee = roots.hold(function);
    Value* receiver = roots.hold(owner);
    Value* argument = roots.hold(script::makeStringFromAnsi(engine, text));
    std::vector<Value> block = script::argumentBlock({*argument});
    if (!script::callValueOn(engine, *callee, *receiver, block.data())) return false;
    const Value& answer = engine.lastResult;
    allowed = (answer.tag == script::Tag::Boolean && answer.boolean()) ||
              (answer.tag == script::Tag::Integer && answer.integer() != 0);
    return true;
  });
  return allowed;
}

}  // namespace vexil::objects::com
