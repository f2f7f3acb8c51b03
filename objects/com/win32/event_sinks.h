#pragma once
// The COM objects the bridge gives servers to call back into script: the event sink advised on an
// object's source interfaces, and the property-change sink. Both hold their engine only while the
// script object that made them lives; once detached (the object collected, or the engine gone)
// they answer every call and do nothing.
#include <windows.h>
#include <ocidl.h>

#include <unordered_map>
#include <vector>

#include "objects/com/automation_values.h"
#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects::com {

// An event handler: the script function and where the event's output parameters sit.
struct EventHandler {
  script::Value function;
  OutParameterMap outputs;
};

class ComEventSink final : public IDispatch {
 public:
  ComEventSink(script::Engine& engine, std::vector<IID> interfaces);

  // The script object handlers run on (as this); set once the object exists.
  void setOwner(const script::Value& owner) { owner_ = owner; }
  const script::Value& owner() const { return owner_; }
  void setHandler(DISPID id, const script::Value& function, const OutParameterMap& outputs);
  // Connects to each event interface of the object; a failing interface is skipped.
  void advise(IUnknown* object);
  void unadvise(IUnknown* object);
  // Forgets the engine and the handlers (which the engine's heap holds); no script runs after.
  void detach();
  void mark(script::Engine& engine) const;

  // IUnknown: answers IUnknown, IDispatch and the event interfaces only; refusing the marshalling
  // interfaces is what lets an out-of-process server connect.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  // IDispatch: only Invoke does anything.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override;
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                      UINT*) override;

 private:
  ~ComEventSink() = default;

  LONG references_ = 1;
  script::Engine* engine_;
  script::Value owner_;
  std::vector<IID> interfaces_;
  std::vector<DWORD> cookies_;
  std::unordered_map<DISPID, EventHandler> handlers_;
};

class PropertyNotifySink final : public IPropertyNotifySink {
 public:
  PropertyNotifySink(script::Engine& engine, IDispatch* object, const script::Value& owner);

  // Advises on the object's property-notification connection point; false when it has none.
  bool advise();
  void unadvise();
  void detach();
  void mark(script::Engine& engine) const;
  void setChangedHandler(const script::Value& function) { changed_ = function; }
  void setWillChangeHandler(const script::Value& function) { willChange_ = function; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP OnChanged(DISPID id) override;
  STDMETHODIMP OnRequestEdit(DISPID id) override;

 private:
  ~PropertyNotifySink() = default;
  // Runs the handler with the property's name; answers whether it returned a true boolean or a
  // non-zero integer (true when there is no handler).
  bool notify(const script::Value& handler, DISPID id);

  LONG references_ = 1;
  script::Engine* engine_;
  IDispatch* object_;  // not held: the script object that owns this sink holds it
  script::Value owner_;
  DWORD cookie_ = 0;
  script::Value changed_;
  script::Value willChange_;
};

}  // namespace vexil::objects::com
