// Throwing and freeing the framework's exceptions.
#include "framework/exceptions.h"

#include "framework/memory.h"

#include <new>

static CMemoryException s_memoryException;

void CException::Delete()
{
    if (m_bAutoDelete) {
        this->~CException();
        FwFree(this);
    }
}

void FwThrowMemoryException() { throw static_cast<CException*>(&s_memoryException); }

void FwThrowFileException(int cause)
{
    void* p = FwAlloc(sizeof(CFileException));
    throw static_cast<CException*>(new (p) CFileException(cause));
}
