#include "objects/sysinfo/win32/cpu_speed.h"

#include <windows.h>
#include <cpuid.h>
#include <x86intrin.h>

namespace vexil::objects {
namespace {

constexpr DWORD kSettleMs = 10;
constexpr DWORD kMeasureMs = 500;
constexpr unsigned kTimeStampCounterBit = 1u << 4;  // CPUID function 1, EDX

bool hasTimeStampCounter() {
  unsigned eax, ebx, ecx, edx;
  return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & kTimeStampCounterBit) != 0;
}

// Raises the process and thread priorities and pins the thread to the processor it runs on; the
// destructor puts all three back.
class MeasuringConditions {
 public:
  MeasuringConditions()
      : process_(GetCurrentProcess()), thread_(GetCurrentThread()),
        priorityClass_(GetPriorityClass(process_)), threadPriority_(GetThreadPriority(thread_)) {
    SetPriorityClass(process_, REALTIME_PRIORITY_CLASS);
    SetThreadPriority(thread_, THREAD_PRIORITY_TIME_CRITICAL);
    DWORD_PTR processMask = 0, systemMask = 0;
    if (GetProcessAffinityMask(process_, &processMask, &systemMask) && processMask != 0) {
      DWORD_PTR lowest = processMask & (~processMask + 1);
      savedAffinity_ = SetThreadAffinityMask(thread_, lowest);
    }
  }
  ~MeasuringConditions() {
    if (savedAffinity_ != 0) SetThreadAffinityMask(thread_, savedAffinity_);
    SetThreadPriority(thread_, threadPriority_);
    if (priorityClass_ != 0) SetPriorityClass(process_, priorityClass_);
  }
  MeasuringConditions(const MeasuringConditions&) = delete;
  MeasuringConditions& operator=(const MeasuringConditions&) = delete;

 private:
  HANDLE process_;
  HANDLE thread_;
  DWORD priorityClass_;
  int threadPriority_;
  DWORD_PTR savedAffinity_ = 0;
};

}  // namespace

std::optional<double> measureCpuSpeedMhz() {
  if (!hasTimeStampCounter()) return std::nullopt;
  LARGE_INTEGER frequency;
  if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0) return std::nullopt;
  MeasuringConditions conditions;
  Sleep(kSettleMs);
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  unsigned long long ticksStart = __rdtsc();
  Sleep(kMeasureMs);
  unsigned long long ticksEnd = __rdtsc();
  QueryPerformanceCounter(&end);
  double seconds = double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
  if (seconds <= 0) return std::nullopt;
  return double(ticksEnd - ticksStart) / seconds / 1e6;
}

}  // namespace vexil::objects
