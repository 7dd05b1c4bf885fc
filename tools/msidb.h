// Thin checked helpers over msi.dll for the patch builder (handles, SQL, schemas).
#ifndef TOOLS_MSIDB_H
#define TOOLS_MSIDB_H

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>

#include "mspformat.h"

namespace msp {

// Owns one installer handle and closes it.
class MsiHandle {
public:
    MsiHandle() : h_(0) {}
    explicit MsiHandle(MSIHANDLE h) : h_(h) {}
    ~MsiHandle() { Reset(); }
    MSIHANDLE Get() const { return h_; }
    MSIHANDLE* Out()
    {
        Reset();
        return &h_;
    }
    void Reset()
    {
        if (h_)
            (void)MsiCloseHandle(h_);
        h_ = 0;
    }

private:
    MsiHandle(const MsiHandle&);
    MsiHandle& operator=(const MsiHandle&);
    MSIHANDLE h_;
};

// Throws std::runtime_error("what: error N") unless r is ERROR_SUCCESS.
void Check(UINT r, const std::string& what);

// Runs one statement; `params` (0 for none) supplies the ? markers.
void Execute(MSIHANDLE db, const std::string& sql, MSIHANDLE params = 0);

// Text of field 1 of the first row of a query; `found` says whether there was a row.
std::string QueryString(MSIHANDLE db, const std::string& sql, bool* found = nullptr);

// Largest value of integer column `column` (1-based) over all rows of a query; 0 if none.
long QueryMax(MSIHANDLE db, const std::string& sql, unsigned column);

bool TableExists(MSIHANDLE db, const std::string& table);

// Column names, types and keys of a table of the database, in column order.
TableSchema ReadSchema(MSIHANDLE db, const std::string& table);

// Text of a record field (empty for null).
std::string RecordString(MSIHANDLE rec, unsigned field);

}  // namespace msp

#endif
