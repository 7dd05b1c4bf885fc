/* Asks WinVerifyTrust whether a file's Authenticode signature holds and prints its answer (0:
   it holds). Given a CA certificate (DER), adds it to the machine's trusted roots first. */
#include <stdio.h>
#include <windows.h>
#include <wincrypt.h>
#include <wintrust.h>
#include <softpub.h>

static int trust_root(const char* path)
{
    static BYTE der[16384];
    FILE* file = fopen(path, "rb");
    if (file == NULL)
        return 0;
    const size_t size = fread(der, 1, sizeof der, file);
    fclose(file);
    HCERTSTORE root = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, "Root");
    if (root == NULL)
        return 0;
    const BOOL added = CertAddEncodedCertificateToStore(root, X509_ASN_ENCODING, der, (DWORD)size,
                                                        CERT_STORE_ADD_REPLACE_EXISTING, NULL);
    CertCloseStore(root, 0);
    return added;
}

int main(int argc, char** argv)
{
    WCHAR path[MAX_PATH];
    if (argc < 2 || (argc == 3 && !trust_root(argv[2])) || !MultiByteToWideChar(CP_ACP, 0, argv[1], -1, path, MAX_PATH))
        return 2;
    WINTRUST_FILE_INFO file = {.cbStruct = sizeof file, .pcwszFilePath = path};
    WINTRUST_DATA data = {.cbStruct = sizeof data,
                          .dwUIChoice = WTD_UI_NONE,
                          .fdwRevocationChecks = WTD_REVOKE_NONE,
                          .dwUnionChoice = WTD_CHOICE_FILE,
                          .pFile = &file,
                          .dwStateAction = WTD_STATEACTION_VERIFY};
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG result = WinVerifyTrust(NULL, &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    (void)WinVerifyTrust(NULL, &action, &data);
    printf("%08lx\n", (unsigned long)result);
    return result == 0 ? 0 : 1;
}
