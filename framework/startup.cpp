// Target build only: the process entry, in place of the toolchain's start-up objects.
#include "framework/winapp.h"

// The C runtime's start-up services (msvcrt.dll), which its headers do not declare.
extern "C" {
struct _startupinfo {
    int newmode;
};
int __cdecl __getmainargs(int* pArgc, char*** pppArgv, char*** pppEnv, int bExpandWildcards, _startupinfo* pInfo);
void __cdecl __set_app_type(int nType);

// The linker's list of static constructors: -1, the constructors, 0. They run last to
// first; the last, from crtend.o, registers the exception frame tables.
extern void (*__CTOR_LIST__[])();
}

enum { kGuiApp = 2 };

// Static objects' constructors register their destructors here; the C runtime's exit
// runs them, the last registered first. (Destructor functions in .dtors are not run:
// the code has none.)
extern "C" int __cdecl atexit(void(__cdecl* pfnDestructor)())
{
    return _onexit(reinterpret_cast<_onexit_t>(pfnDestructor)) != NULL ? 0 : -1;
}

// Named by the linker as the entry, so kept although no code calls it. The loader
// aligns the stack to 4 bytes only; the compiler's code expects 16.
extern "C" __attribute__((used, noreturn, force_align_arg_pointer)) void WinMainCRTStartup()
{
    // The runtime reports its own errors in boxes, as for any program without a console.
    __set_app_type(kGuiApp);
    // Fills __argc and __argv from the command line, without wildcard expansion.
    int nArgs = 0;
    char** ppArgv = NULL;
    char** ppEnv = NULL;
    _startupinfo info = {0};
    (void)__getmainargs(&nArgs, &ppArgv, &ppEnv, 0, &info);

    size_t nConstructors = 0;
    while (__CTOR_LIST__[nConstructors + 1] != NULL)
        ++nConstructors;
    for (; nConstructors > 0; --nConstructors)
        __CTOR_LIST__[nConstructors]();

    exit(FwRunApp());
}
