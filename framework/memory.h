// The framework's allocator: the process heap, with exhausted memory raised as an exception.
#pragma once

#include <stddef.h>

// Returns a block of at least nBytes; throws the memory exception when none is left.
void* FwAlloc(size_t nBytes);
// Frees a block from FwAlloc; a null pointer is ignored.
void FwFree(void* p);
