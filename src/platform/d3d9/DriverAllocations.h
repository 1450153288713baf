#pragma once
// OpenGL drivers keep some allocations for the life of the process (shader variants compiled on
// first use by a draw, a clear or a blit) and never free them. In sanitizer builds the calls
// that make them run inside this scope, so that LeakSanitizer reports only leaks of ours; the
// scope holds nothing but GL calls. In other builds it is empty.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LV_PLATFORM_LEAK_CHECKS 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) && !defined(LV_PLATFORM_LEAK_CHECKS)
#define LV_PLATFORM_LEAK_CHECKS 1
#endif

#ifdef LV_PLATFORM_LEAK_CHECKS
#include <sanitizer/lsan_interface.h>
#endif

namespace lv::platform {

class CDriverAllocations
{
public:
#ifdef LV_PLATFORM_LEAK_CHECKS
    CDriverAllocations() { __lsan_disable(); }
    ~CDriverAllocations() { __lsan_enable(); }
#else
    CDriverAllocations() {}
#endif
    CDriverAllocations(const CDriverAllocations&) = delete;
    CDriverAllocations& operator=(const CDriverAllocations&) = delete;
};

} // namespace lv::platform
