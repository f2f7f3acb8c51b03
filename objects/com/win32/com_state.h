#pragma once
// What the bridge keeps once per engine: COM initialised for the script thread, the members of the
// event interfaces seen so far, the pointers handed to scripts as integers, and the releases that
// wait for a safe moment.
//
// Releasing an automation object can run code of its server, and for a server in another process
// it pumps messages, which can run script; neither may happen during a collection. So instances
// the collector finalises are queued here and let go the next time the bridge is entered (or when
// the engine ends).
#include <windows.h>
#include <oaidl.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "objects/com/automation_values.h"
#include "objects/com/win32/member_binding.h"
#include "platform/win32/com_ptr.h"
#include "script/runtime/value.h"

namespace vexil::script {
struct Engine;
}

namespace vexil::objects::com {

class ComEventSink;
class PropertyNotifySink;

struct EventMember {
  DISPID id = DISPID_UNKNOWN;
  OutParameterMap outputs;
};

// The members of one event interface, by name folded to lower case.
using EventMembers = std::unordered_map<std::u16string, EventMember>;

// The data of an ActiveXObject.
struct ActiveXInstance {
  platform::ComPtr<IDispatch> object;
  platform::ComPtr<ITypeInfo> typeInfo;  // null for objects without type information
  // Late bindings (names the type information lacks) belong to the object, not to its type.
  std::unordered_map<uint64_t, MemberPlan> latePlans;
  script::Value self;                      // the script object: what handlers run on
  bool eventsKnown = false;                // eventInterfaces looked up (on the first handler)
  std::vector<IID> eventInterfaces;
  ComEventSink* sink = nullptr;            // one reference, once a handler is set
  PropertyNotifySink* propertySink = nullptr;  // one reference, while notifications are on

  ActiveXInstance() = default;
  ActiveXInstance(const ActiveXInstance&) = delete;
  ActiveXInstance& operator=(const ActiveXInstance&) = delete;
  // Unadvises both sinks and lets go of everything; run only where script may run.
  ~ActiveXInstance();
  // Cuts the sinks off from the engine: no script runs through them any more.
  void detach();
};

class ComState {
 public:
  ComState();
  ~ComState();
  ComState(const ComState&) = delete;
  ComState& operator=(const ComState&) = delete;

  // The members of an event interface, entered from its type information on first sight.
  const EventMembers& eventMembers(const IID& iid, ITypeInfo* info);
  const EventMembers* knownEventMembers(const IID& iid) const;

  // Bindings through type information, shared by every object of that type. The type information
  // is held, so its address stays its own while plans are keyed by it.
  const MemberPlan* findPlan(ITypeInfo* info, uint64_t key) const;
  const MemberPlan& keepPlan(ITypeInfo* info, uint64_t key, MemberPlan plan);

  int64_t handOut(IUnknown* object);
  IUnknown* handedOut(int64_t value) const;

  // Called by the collector's release operations; nothing is released there.
  void deferInstance(ActiveXInstance* instance) { pendingInstances_.emplace_back(instance); }
  void deferRelease(IUnknown* object) { pendingReleases_.push_back(object); }
  // Lets go of what waits. Releases can re-enter the bridge, so it takes the lists first.
  void releasePending();

 private:
  bool initialised_;
  std::map<std::array<uint8_t, 16>, EventMembers> events_;
  std::map<int64_t, platform::ComPtr<IUnknown>> handedOut_;
  struct PlanKey {
    ITypeInfo* info;
    uint64_t key;
    bool operator==(const PlanKey&) const = default;
  };
  struct PlanKeyHash {
    size_t operator()(const PlanKey& k) const { return std::hash<uint64_t>()(k.key * 31 + uintptr_t(k.info)); }
  };
  std::unordered_map<PlanKey, MemberPlan, PlanKeyHash> plans_;
  std::map<ITypeInfo*, platform::ComPtr<ITypeInfo>> planTypes_;
  std::vector<std::unique_ptr<ActiveXInstance>> pendingInstances_;
  std::vector<IUnknown*> pendingReleases_;
};

// The engine's bridge state; null when it did not register ActiveXObject.
ComState* comState(script::Engine& engine);

}  // namespace vexil::objects::com
