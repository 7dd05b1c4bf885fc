// The framework's allocator on the process heap.
#include "framework/memory.h"

#include "framework/exceptions.h"
#include "platform/win32.h"

void* FwAlloc(size_t nBytes)
{
    void* p = HeapAlloc(GetProcessHeap(), 0, nBytes == 0 ? 1 : nBytes);
    if (p == NULL)
        FwThrowMemoryException();
    return p;
}

void FwFree(void* p)
{
    if (p != NULL)
        HeapFree(GetProcessHeap(), 0, p);
}
