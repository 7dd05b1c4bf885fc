// Target build only: the C++ runtime's storage on the framework's terms (operator new
// and delete, thrown exceptions, each thread's caught exceptions), and a terminate
// handler that does not pull in the runtime's verbose one.
#include "framework/memory.h"
#include "platform/win32.h"

#include <cxxabi.h>
#include <exception>
#include <new>
#include <unwind.h>

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

// The runtime keeps its record of a thrown exception (the C++ ABI's exception header: a
// dozen pointer-sized fields and the unwinder's header) just before the object, in
// memory it expects zeroed. Room for it is reserved generously; a multiple of 16 keeps
// the block's alignment for the object.
static const size_t kHeaderRoom = 256;
static_assert(16 * sizeof(void*) + sizeof(_Unwind_Exception) <= kHeaderRoom, "the exception header fits its room");

// With the heap exhausted the framework throws its memory exception: a few exceptions in
// flight at once still find room here.
static const size_t kReserveObject = 64;
static const int kReserveBlocks = 4;
alignas(16) static unsigned char s_reserve[kReserveBlocks][kHeaderRoom + kReserveObject];
static volatile LONG s_aReserveTaken[kReserveBlocks];

// The ABI's record of one thread's exceptions: the stack of caught ones and the count of
// those thrown and not yet caught.
struct __cxxabiv1::__cxa_eh_globals {
    __cxa_exception* caughtExceptions;
    unsigned int uncaughtExceptions;
};

// The thread-local slot of each thread's record, taken on the first throw. The first
// thread to throw gets the static record: its first exception may be the memory one.
static volatile LONG s_nRecordSlot = static_cast<LONG>(TLS_OUT_OF_INDEXES);
static __cxxabiv1::__cxa_eh_globals s_firstRecord;
static volatile LONG s_bFirstRecordTaken;

namespace __cxxabiv1 {

extern "C" void* __cxa_allocate_exception(size_t nBytes) noexcept
{
    unsigned char* pBlock = NULL;
    if (nBytes <= static_cast<size_t>(-1) - kHeaderRoom)
        pBlock = static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kHeaderRoom + nBytes));
    for (int i = 0; pBlock == NULL && nBytes <= kReserveObject && i < kReserveBlocks; ++i) {
        if (InterlockedExchange(&s_aReserveTaken[i], 1) == 0) {
            pBlock = s_reserve[i];
            memset(pBlock, 0, sizeof s_reserve[i]);
        }
    }
    if (pBlock == NULL)
        std::terminate();
    return pBlock + kHeaderRoom;
}

extern "C" void __cxa_free_exception(void* pObject) noexcept
{
    unsigned char* pBlock = static_cast<unsigned char*>(pObject) - kHeaderRoom;
    for (int i = 0; i < kReserveBlocks; ++i) {
        if (pBlock == s_reserve[i]) {
            (void)InterlockedExchange(&s_aReserveTaken[i], 0);
            return;
        }
    }
    (void)HeapFree(GetProcessHeap(), 0, pBlock);
}

// Another thread's record is made on its first throw and kept until the process ends.
extern "C" __cxa_eh_globals* __cxa_get_globals() noexcept
{
    if (s_nRecordSlot == static_cast<LONG>(TLS_OUT_OF_INDEXES)) {
        const DWORD dwSlot = TlsAlloc();
        if (dwSlot == TLS_OUT_OF_INDEXES)
            abort();
        // Another thread may have taken one first: its slot is the one.
        if (InterlockedCompareExchange(&s_nRecordSlot, static_cast<LONG>(dwSlot),
                                       static_cast<LONG>(TLS_OUT_OF_INDEXES)) != static_cast<LONG>(TLS_OUT_OF_INDEXES))
            (void)TlsFree(dwSlot);
    }
    const DWORD dwSlot = static_cast<DWORD>(s_nRecordSlot);
    void* pRecord = TlsGetValue(dwSlot);
    if (pRecord == NULL) {
        pRecord = InterlockedExchange(&s_bFirstRecordTaken, TRUE) == FALSE
                      ? &s_firstRecord
                      : HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(__cxa_eh_globals));
        if (pRecord == NULL || !TlsSetValue(dwSlot, pRecord))
            abort();
    }
    return static_cast<__cxa_eh_globals*>(pRecord);
}

extern "C" __cxa_eh_globals* __cxa_get_globals_fast() noexcept { return __cxa_get_globals(); }

}  // namespace __cxxabiv1
