// Thin checked helpers over msi.dll for the patch builder (handles, SQL, schemas).
#include "msidb.h"

#include <sstream>
#include <stdexcept>
#include <vector>

namespace msp {

void Check(UINT r, const std::string& what)
{
    if (r == ERROR_SUCCESS)
        return;
    std::ostringstream os;
    os << what << ": error " << r;
    throw std::runtime_error(os.str());
}

void Execute(MSIHANDLE db, const std::string& sql, MSIHANDLE params)
{
    MsiHandle view;
    Check(MsiDatabaseOpenViewA(db, sql.c_str(), view.Out()), sql);
    Check(MsiViewExecute(view.Get(), params), sql);
    (void)MsiViewClose(view.Get());  // closing a finished view cannot fail usefully
}

std::string RecordString(MSIHANDLE rec, unsigned field)
{
    DWORD size = 0;
    char probe[1] = {0};
    UINT r = MsiRecordGetStringA(rec, field, probe, &size);
    if (r != ERROR_MORE_DATA && r != ERROR_SUCCESS)
        Check(r, "MsiRecordGetStringA");
    std::vector<char> buf(size + 1, '\0');
    size = static_cast<DWORD>(buf.size());
    Check(MsiRecordGetStringA(rec, field, &buf[0], &size), "MsiRecordGetStringA");
    return std::string(&buf[0], size);
}

std::string QueryString(MSIHANDLE db, const std::string& sql, bool* found)
{
    MsiHandle view, rec;
    Check(MsiDatabaseOpenViewA(db, sql.c_str(), view.Out()), sql);
    Check(MsiViewExecute(view.Get(), 0), sql);
    const UINT r = MsiViewFetch(view.Get(), rec.Out());
    if (found)
        *found = (r == ERROR_SUCCESS);
    if (r == ERROR_NO_MORE_ITEMS)
        return std::string();
    Check(r, sql);
    return RecordString(rec.Get(), 1);
}

long QueryMax(MSIHANDLE db, const std::string& sql, unsigned column)
{
    MsiHandle view, rec;
    Check(MsiDatabaseOpenViewA(db, sql.c_str(), view.Out()), sql);
    Check(MsiViewExecute(view.Get(), 0), sql);
    long best = 0;
    UINT r;
    while ((r = MsiViewFetch(view.Get(), rec.Out())) == ERROR_SUCCESS) {
        const int v = MsiRecordGetInteger(rec.Get(), column);
        if (v != static_cast<int>(MSI_NULL_INTEGER) && v > best)
            best = v;
    }
    if (r != ERROR_NO_MORE_ITEMS)
        Check(r, sql);
    return best;
}

bool TableExists(MSIHANDLE db, const std::string& table)
{
    return MsiDatabaseIsTablePersistentA(db, table.c_str()) == MSICONDITION_TRUE;
}

TableSchema ReadSchema(MSIHANDLE db, const std::string& table)
{
    if (!TableExists(db, table))
        throw std::runtime_error("target has no table " + table);
    const std::string sql = "SELECT * FROM `" + table + "`";
    MsiHandle view, names, types, keys;
    Check(MsiDatabaseOpenViewA(db, sql.c_str(), view.Out()), sql);
    Check(MsiViewGetColumnInfo(view.Get(), MSICOLINFO_NAMES, names.Out()), "column names of " + table);
    Check(MsiViewGetColumnInfo(view.Get(), MSICOLINFO_TYPES, types.Out()), "column types of " + table);
    Check(MsiDatabaseGetPrimaryKeysA(db, table.c_str(), keys.Out()), "keys of " + table);
    const unsigned keyCount = MsiRecordGetFieldCount(keys.Get());
    TableSchema schema;
    schema.name = table;
    const unsigned count = MsiRecordGetFieldCount(names.Get());
    for (unsigned i = 1; i <= count; ++i) {
        Column col;
        col.name = RecordString(names.Get(), i);
        const std::string type = RecordString(types.Get(), i);
        if (!ParseColumnType(type, &col))
            throw std::runtime_error(table + "." + col.name + " has unsupported type " + type);
        col.key = false;
        for (unsigned k = 1; k <= keyCount; ++k)
            if (RecordString(keys.Get(), k) == col.name)
                col.key = true;
        schema.columns.push_back(col);
    }
    return schema;
}

void RequireProperty(MSIHANDLE db, const std::string& name, const std::string& expected)
{
    const std::string actual = QueryString(db, "SELECT `Value` FROM `Property` WHERE `Property`='" + name + "'");
    if (actual != expected)
        throw std::runtime_error("target " + name + " is '" + actual + "', the definition says '" + expected + "'");
}

void SetSummaryText(MSIHANDLE si, UINT pid, const std::string& text)
{
    Check(MsiSummaryInfoSetPropertyA(si, pid, VT_LPSTR, 0, nullptr, text.c_str()), "patch summary");
}

void Insert(MSIHANDLE db, const std::string& sql, const std::vector<std::string>& values)
{
    MsiHandle rec(MsiCreateRecord(static_cast<UINT>(values.size())));
    for (size_t i = 0; i < values.size(); ++i)
        if (!values[i].empty())
            Check(MsiRecordSetStringA(rec.Get(), static_cast<UINT>(i + 1), values[i].c_str()), sql);
    Execute(db, sql, rec.Get());
}

void InsertStream(MSIHANDLE db, const std::string& table, const std::string& name, const std::string& path)
{
    MsiHandle rec(MsiCreateRecord(2));
    Check(MsiRecordSetStringA(rec.Get(), 1, name.c_str()), table);
    Check(MsiRecordSetStreamA(rec.Get(), 2, path.c_str()), "stream from " + path);
    Execute(db, "INSERT INTO `" + table + "` (`Name`, `Data`) VALUES (?, ?)", rec.Get());
}

}  // namespace msp
