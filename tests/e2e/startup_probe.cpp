// A program on the launcher's process entry and runtime pieces. It exits 0 when its
// application object was made before the run and framework exceptions reached their
// handlers across frames, also with the heap used up; C:\exit-marker is made when the
// process ends through exit.
#include "framework/exceptions.h"
#include "framework/memory.h"
#include "framework/winapp.h"
#include "platform/win32.h"

// Destroyed by the runtime's exit, after the run: makes the marker file.
class CExitMarker {
public:
    ~CExitMarker()
    {
        HANDLE hFile =
            CreateFileA("C:\\exit-marker", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (hFile != INVALID_HANDLE_VALUE)
            (void)CloseHandle(hFile);
    }
};

static CExitMarker s_marker;

static int s_nUnwound = 0;

// Counts the frames an exception unwound through.
class CUnwindCounter {
public:
    ~CUnwindCounter() { ++s_nUnwound; }
};

// A file exception thrown two frames down, each frame with a destructor to run.
static __attribute__((noinline)) void ThrowFileException()
{
    CUnwindCounter counter;
    FwThrowFileException(CFileException::genericException);
}

static __attribute__((noinline)) void CallThrower()
{
    CUnwindCounter counter;
    ThrowFileException();
}

// Takes every block the process heap still gives, largest first, each holding a link to
// the one before; returns the last.
static void* TakeWholeHeap()
{
    void* pLast = NULL;
    for (size_t nSize = static_cast<size_t>(1) << 26; nSize >= sizeof(void*); nSize /= 2) {
        for (void* p; (p = HeapAlloc(GetProcessHeap(), 0, nSize)) != NULL; pLast = p)
            *static_cast<void**>(p) = pLast;
    }
    return pLast;
}

static void GiveBackHeap(void* pLast)
{
    while (pLast != NULL) {
        void* pBefore = *static_cast<void**>(pLast);
        (void)HeapFree(GetProcessHeap(), 0, pLast);
        pLast = pBefore;
    }
}

// 0 when every step passed, else the code of the first that failed (10 and up: 1 is the
// entry's answer without an application object, 3 the runtime's abort).
static int Probe()
{
    // First, as the launcher may meet it: its first exception the memory exception a refused
    // allocation raises, on a used-up heap where the address space is small enough to use up;
    // a file exception thrown and caught while it is held (on that heap it becomes a memory
    // exception: the runtime's reserve holds both), then it thrown again from its handler.
    void* pTaken = sizeof(void*) == 4 ? TakeWholeHeap() : NULL;
    int nCaught = 0;
    try {
        try {
            (void)FwAlloc(static_cast<size_t>(-64));
        } catch (CException* e) {
            try {
                FwThrowFileException(CFileException::genericException);
            } catch (CException* eInner) {
                ++nCaught;
                eInner->Delete();
            }
            throw;
        }
    } catch (CException* e) {
        ++nCaught;
        e->Delete();
    }
    GiveBackHeap(pTaken);
    if (nCaught != 2)
        return 10;

    int nCause = CFileException::none;
    try {
        CallThrower();
    } catch (CException* e) {
        nCause = static_cast<CFileException*>(e)->m_cause;
        e->Delete();
    }
    if (nCause != CFileException::genericException || s_nUnwound != 2)
        return 11;
    return 0;
}

class CProbeApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        m_nResult = Probe();
        return TRUE;
    }
    int ExitInstance() override { return m_nResult; }

private:
    // 1 until the run sets it (the entry also answers 1 when no application object was made).
    int m_nResult = 1;
};

static CProbeApp theApp;
