// Target build only: operator new and delete on the framework allocator, and a
// terminate handler that does not pull in the runtime's verbose one.
#include "framework/memory.h"

#include <new>
#include <stdlib.h>

void* operator new(size_t nBytes) { return FwAlloc(nBytes); }
void* operator new[](size_t nBytes) { return FwAlloc(nBytes); }
void operator delete(void* p) noexcept { FwFree(p); }
void operator delete[](void* p) noexcept { FwFree(p); }
void operator delete(void* p, size_t) noexcept { FwFree(p); }
void operator delete[](void* p, size_t) noexcept { FwFree(p); }

namespace __gnu_cxx {
// An uncaught exception ends the process without printing through the runtime.
void __verbose_terminate_handler() { abort(); }
}  // namespace __gnu_cxx
