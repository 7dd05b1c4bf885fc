// Thin checked helpers over msi.dll for the patch builder (handles, SQL, schemas).
#ifndef TOOLS_MSIDB_H
#define TOOLS_MSIDB_H

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <string>
#include <vector>

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

// Throws unless the database's property `name` has the value `expected`.
void RequireProperty(MSIHANDLE db, const std::string& name, const std::string& expected);

// Sets a text property of a summary information handle.
void SetSummaryText(MSIHANDLE si, UINT pid, const std::string& text);

// Runs an INSERT whose ? markers take `values` in order (an empty value stays null).
void Insert(MSIHANDLE db, const std::string& sql, const std::vector<std::string>& values);

// Adds row (name, contents of the file at path) to a table of streams (`Name`, `Data`).
void InsertStream(MSIHANDLE db, const std::string& table, const std::string& name, const std::string& path);

}  // namespace msp

#endif
