// The framework's exceptions: exhausted memory and file errors, thrown by pointer.
#pragma once

class CException {
public:
    virtual ~CException() {}
    // Frees the exception unless it is the shared static instance.
    void Delete();

protected:
    explicit CException(bool bAutoDelete) : m_bAutoDelete(bAutoDelete) {}

private:
    bool m_bAutoDelete;
};

class CMemoryException : public CException {
public:
    CMemoryException() : CException(false) {}
};

class CFileException : public CException {
public:
    enum { none = 0, genericException = 1 };
    explicit CFileException(int cause = none) : CException(true), m_cause(cause) {}
    int m_cause;
};

// Throws the one preallocated memory exception; never allocates.
[[noreturn]] void FwThrowMemoryException();
// Throws a new file exception, or the memory exception if that cannot be allocated.
[[noreturn]] void FwThrowFileException(int cause);
