// Prints what the installer reports about a product, for scripts checking a patch by effect,
// and configures a product as a launcher would, for comparing runs with the launcher's.
#include <windows.h>
#include <msi.h>

#include <cstdio>
#include <cstring>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: msiq state PRODUCT          product state (5 = installed)\n"
                         "       msiq version PRODUCT        VersionString\n"
                         "       msiq features PRODUCT F...  one 'feature=state' line each\n"
                         "       msiq patches PRODUCT        one applied patch code a line\n"
                         "       msiq configure PRODUCT LINE configure with that command line, print the result\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const char* product = argv[2];
    if (!std::strcmp(argv[1], "state") && argc == 3) {
        std::printf("%d\n", static_cast<int>(MsiQueryProductStateA(product)));
        return 0;
    }
    if (!std::strcmp(argv[1], "version") && argc == 3) {
        char buf[64];
        DWORD size = sizeof(buf);
        const UINT r = MsiGetProductInfoA(product, "VersionString", buf, &size);
        if (r != ERROR_SUCCESS) {
            std::fprintf(stderr, "msiq: MsiGetProductInfoA: error %u\n", r);
            return 1;
        }
        std::printf("%s\n", buf);
        return 0;
    }
    if (!std::strcmp(argv[1], "configure") && argc == 4) {
        std::printf("%u\n", MsiConfigureProductExA(product, 0, INSTALLSTATE_DEFAULT, argv[3]));
        return 0;
    }
    if (!std::strcmp(argv[1], "features")) {
        for (int i = 3; i < argc; ++i)
            std::printf("%s=%d\n", argv[i], static_cast<int>(MsiQueryFeatureStateA(product, argv[i])));
        return 0;
    }
    if (!std::strcmp(argv[1], "patches") && argc == 3) {
        char patch[39];
        for (DWORD i = 0;; ++i) {
            char transforms[1024];
            DWORD size = sizeof(transforms);
            const UINT r = MsiEnumPatchesA(product, i, patch, transforms, &size);
            if (r == ERROR_NO_MORE_ITEMS)
                return 0;
            if (r != ERROR_SUCCESS) {
                std::fprintf(stderr, "msiq: MsiEnumPatchesA: error %u\n", r);
                return 1;
            }
            std::printf("%s\n", patch);
        }
    }
    return Usage();
}
