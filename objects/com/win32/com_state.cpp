#include "objects/com/win32/com_state.h"

#include <cstring>

#include "objects/com/win32/event_sinks.h"

namespace vexil::objects::com {

namespace {

std::array<uint8_t, 16> keyOf(const IID& iid) {
  std::array<uint8_t, 16> key;
  std::memcpy(key.data(), &iid, 16);
  return key;
}

std::u16string foldedName(BSTR name) {
  std::u16string folded(reinterpret_cast<const char16_t*>(name), SysStringLen(name));
  if (!folded.empty()) CharLowerBuffW(reinterpret_cast<wchar_t*>(folded.data()), DWORD(folded.size()));
  return folded;
}

EventMembers readMembers(ITypeInfo* info) {
  EventMembers members;
  TYPEATTR* attr = nullptr;
  if (!info || FAILED(info->GetTypeAttr(&attr)) || !attr) return members;
  WORD count = attr->cFuncs;
  info->ReleaseTypeAttr(attr);
  for (WORD i = 0; i < count; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(i, &function)) || !function) continue;
    BSTR name = nullptr;
    if (SUCCEEDED(info->GetDocumentation(function->memid, &name, nullptr, nullptr, nullptr)) && name) {
      EventMember& member = members[foldedName(name)];
      member.id = function->memid;
      member.outputs = OutParameterMap();
      uint32_t n = uint32_t(function->cParams);
      for (uint32_t k = 0; k < n; ++k) {
        if (function->lprgelemdescParam[k].paramdesc.wParamFlags & PARAMFLAG_FOUT) {
          member.outputs.add(argumentSlot(k, n));
        }
      }
      SysFreeString(name);
    }
    info->ReleaseFuncDesc(function);
  }
  return members;
}

}  // namespace

ActiveXInstance::~ActiveXInstance() {
  if (sink) {
    if (object) sink->unadvise(object.get());
    sink->Release();
  }
  if (propertySink) {
    propertySink->unadvise();
    propertySink->Release();
  }
}

void ActiveXInstance::detach() {
  if (sink) sink->detach();
  if (propertySink) propertySink->detach();
}

ComState::ComState() : initialised_(SUCCEEDED(CoInitialize(nullptr))) {}

ComState::~ComState() {
  releasePending();
  handedOut_.clear();
  plans_.clear();
  planTypes_.clear();
  if (initialised_) CoUninitialize();
}

const EventMembers& ComState::eventMembers(const IID& iid, ITypeInfo* info) {
  auto key = keyOf(iid);
  auto found = events_.find(key);
  if (found != events_.end()) return found->second;
  return events_.emplace(key, readMembers(info)).first->second;
}

const EventMembers* ComState::knownEventMembers(const IID& iid) const {
  auto found = events_.find(keyOf(iid));
  return found == events_.end() ? nullptr : &found->second;
}

const MemberPlan* ComState::findPlan(ITypeInfo* info, uint64_t key) const {
  auto found = plans_.find(PlanKey{info, key});
  return found == plans_.end() ? nullptr : &found->second;
}

const MemberPlan& ComState::keepPlan(ITypeInfo* info, uint64_t key, MemberPlan plan) {
  planTypes_.try_emplace(info, info);
  return plans_.insert_or_assign(PlanKey{info, key}, std::move(plan)).first->second;
}

int64_t ComState::handOut(IUnknown* object) {
  auto value = int64_t(reinterpret_cast<intptr_t>(object));
  handedOut_.try_emplace(value, object);
  return value;
}

IUnknown* ComState::handedOut(int64_t value) const {
  auto found = handedOut_.find(value);
  return found == handedOut_.end() ? nullptr : found->second.get();
}

void ComState::releasePending() {
  while (!pendingInstances_.empty() || !pendingReleases_.empty()) {
    auto instances = std::move(pendingInstances_);
    auto releases = std::move(pendingReleases_);
    pendingInstances_.clear();
    pendingReleases_.clear();
    instances.clear();
    for (IUnknown* object : releases) object->Release();
  }
}

}  // namespace vexil::objects::com
