// The bounded formatter behind CString::Format and the message texts.
#include "framework/format.h"

namespace {

// Appends characters while room is left; always counts the full length.
struct Sink {
    char* pszOut;
    size_t nCapacity;
    size_t nLength;

    void Put(char ch)
    {
        if (pszOut != NULL && nLength + 1 < nCapacity)
            pszOut[nLength] = ch;
        ++nLength;
    }
    void PutText(const char* psz)
    {
        if (psz == NULL)
            return;
        while (*psz != '\0')
            Put(*psz++);
    }
    void PutNumber(long nValue, bool bSigned)
    {
        unsigned long nMagnitude = static_cast<unsigned long>(nValue);
        if (bSigned && nValue < 0) {
            Put('-');
            nMagnitude = 0ul - nMagnitude;
        }
        char szDigits[24];
        int nDigits = 0;
        do {
            szDigits[nDigits++] = static_cast<char>('0' + nMagnitude % 10);
            nMagnitude /= 10;
        } while (nMagnitude != 0);
        while (nDigits > 0)
            Put(szDigits[--nDigits]);
    }
};

}  // namespace

size_t FormatText(char* pszOut, size_t nCapacity, const char* pszFormat, const FormatArg* pArgs, size_t nArgs)
{
    Sink sink = {pszOut, nCapacity, 0};
    size_t nNext = 0;
    for (const char* p = pszFormat; *p != '\0'; ++p) {
        if (*p != '%') {
            sink.Put(*p);
            continue;
        }
        const char chConversion = p[1];
        if (chConversion == '%') {
            sink.Put('%');
            ++p;
        } else if (chConversion == 'd' || chConversion == 'i' || chConversion == 'u' || chConversion == 's') {
            ++p;
            if (nNext < nArgs) {
                const FormatArg& arg = pArgs[nNext++];
                if (arg.kind == FormatArg::kText)
                    sink.PutText(arg.pszText);
                else
                    sink.PutNumber(arg.nValue, arg.kind == FormatArg::kSigned);
            }
        } else {
            sink.Put('%');
        }
    }
    if (pszOut != NULL && nCapacity > 0)
        pszOut[sink.nLength < nCapacity ? sink.nLength : nCapacity - 1] = '\0';
    return sink.nLength;
}
