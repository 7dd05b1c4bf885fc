// A small, bounded text formatter for %d, %u, %s and %%, with typed arguments.
#pragma once

#include <stddef.h>

// One argument of a format: a signed number, an unsigned number or a text.
struct FormatArg {
    enum Kind { kSigned, kUnsigned, kText };
    FormatArg(int n) : kind(kSigned), nValue(n), pszText(NULL) {}
    FormatArg(long n) : kind(kSigned), nValue(n), pszText(NULL) {}
    FormatArg(unsigned n) : kind(kUnsigned), nValue(static_cast<long>(n)), pszText(NULL) {}
    FormatArg(unsigned long n) : kind(kUnsigned), nValue(static_cast<long>(n)), pszText(NULL) {}
    FormatArg(const char* psz) : kind(kText), nValue(0), pszText(psz) {}
    Kind kind;
    long nValue;  // a 32-bit value on the target; unsigned ones are stored by their bits
    const char* pszText;
};

// Formats pszFormat into pszOut, which holds nCapacity bytes (at least 1): at most
// nCapacity - 1 characters and a NUL are written. Returns the length the whole text
// would have. %d, %i, %u and %s each take the next argument and write it as what it
// is (a number as decimal, a text as it stands), so a format that does not match its
// arguments can never read beyond them; a missing argument writes nothing. "%%" writes
// "%"; any other "%" sequence is copied as it stands.
size_t FormatText(char* pszOut, size_t nCapacity, const char* pszFormat, const FormatArg* pArgs, size_t nArgs);
