// Builds a transform's rows and writes the transform (string pool + table streams + summary) as a structured-storage
// file.
#include "transform.h"

#include <windows.h>
#include <objbase.h>
#include <msi.h>
#include <msiquery.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "msidb.h"

namespace msp {
namespace {

const CLSID kTransformClass = {0x000C1082, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

void CheckHr(HRESULT hr, const std::string& what)
{
    if (SUCCEEDED(hr))
        return;
    char code[16];
    wsprintfA(code, "%08lX", static_cast<unsigned long>(hr));
    throw std::runtime_error(what + ": HRESULT 0x" + code);
}

std::wstring Wide(const std::string& s)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    if (n <= 0)
        throw std::runtime_error("bad path " + s);
    std::vector<wchar_t> buf(n);
    if (MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &buf[0], n) != n)
        throw std::runtime_error("bad path " + s);
    return std::wstring(&buf[0]);
}

// Owns one COM interface pointer.
template <class T>
class ComPtr {
public:
    ComPtr() : p_(nullptr) {}
    ~ComPtr()
    {
        if (p_)
            p_->Release();
    }
    T* operator->() const { return p_; }
    T* Get() const { return p_; }
    T** Out() { return &p_; }

private:
    ComPtr(const ComPtr&);
    ComPtr& operator=(const ComPtr&);
    T* p_;
};

void WriteStream(IStorage* stg, const std::string& name, const Bytes& data)
{
    const std::u16string enc = EncodeStreamName(name, true);
    const std::wstring wname(enc.begin(), enc.end());
    ComPtr<IStream> stm;
    CheckHr(stg->CreateStream(wname.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stm.Out()),
            "create stream " + name);
    ULONG written = 0;
    if (!data.empty()) {
        CheckHr(stm->Write(&data[0], static_cast<ULONG>(data.size()), &written), "write stream " + name);
        if (written != data.size())
            throw std::runtime_error("short write to stream " + name);
    }
}

void SetText(MSIHANDLE si, UINT pid, const std::string& text)
{
    Check(MsiSummaryInfoSetPropertyA(si, pid, VT_LPSTR, 0, nullptr, text.c_str()), "transform summary");
}

void SetInt(MSIHANDLE si, UINT pid, INT value)
{
    Check(MsiSummaryInfoSetPropertyA(si, pid, VT_I4, value, nullptr, nullptr), "transform summary");
}

}  // namespace

void WriteTransformFile(const std::string& path, const Transform& t, const TransformIdentity& id)
{
    {
        ComPtr<IStorage> stg;
        CheckHr(StgCreateDocfile(Wide(path).c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, stg.Out()),
                "create " + path);
        CheckHr(stg->SetClass(kTransformClass), "class of " + path);
        WriteStream(stg.Get(), "_StringPool", t.pool.PoolStream());
        WriteStream(stg.Get(), "_StringData", t.pool.DataStream());
        for (std::map<std::string, Bytes>::const_iterator it = t.tables.begin(); it != t.tables.end(); ++it)
            WriteStream(stg.Get(), it->first, it->second);
        CheckHr(stg->Commit(STGC_DEFAULT), "commit " + path);
    }
    // The summary goes in through msi.dll in direct mode and without a commit, so
    // the hand-written string pool is left as it is.
    MsiHandle db, si;
    Check(MsiOpenDatabaseA(path.c_str(), MSIDBOPEN_DIRECT, db.Out()), "open transform " + path);
    Check(MsiGetSummaryInformationA(db.Get(), nullptr, 8, si.Out()), "transform summary");
    SetText(si.Get(), 7, ";1033");  // template: platform;language
    SetText(si.Get(), 8, ";1033");  // last author
    SetText(si.Get(), 9, id.productCode + id.oldVersion + ";" + id.productCode + id.newVersion + ";" + id.upgradeCode);
    SetInt(si.Get(), 14, 200);  // installer version
    SetInt(si.Get(), 16, 0);    // validation flags: none
    Check(MsiSummaryInfoPersist(si.Get()), "persist transform summary");
}

// Fields of `table` all null except those named.
std::vector<Field> Fields(const TableSchema& table, const std::map<std::string, Field>& named)
{
    std::vector<Field> f(table.columns.size(), Field::None());
    for (std::map<std::string, Field>::const_iterator it = named.begin(); it != named.end(); ++it) {
        const int i = table.Find(it->first);
        if (i < 0)
            throw std::runtime_error(table.name + " has no column " + it->first);
        f[i] = it->second;
    }
    return f;
}

uint32_t Bit(const TableSchema& table, const std::string& column)
{
    const int i = table.Find(column);
    if (i < 0)
        throw std::runtime_error(table.name + " has no column " + column);
    return 1u << i;
}

Field CellField(const Column& col, const std::string& cell, int line)
{
    if (cell.empty())
        return Field::None();
    if (col.isString)
        return Field::String(cell);
    char* end = nullptr;
    const long v = std::strtol(cell.c_str(), &end, 10);
    if (*end != '\0') {
        std::ostringstream os;
        os << "line " << line << ": " << col.name << " wants an integer, not '" << cell << "'";
        throw std::runtime_error(os.str());
    }
    return Field::Number(v);
}

// _Tables/_Columns rows that create table PatchPackage (PatchId s38 key, Media_ i2) and its row.
void AddPatchPackage(Transform& t, const std::string& patchCode, long diskId)
{
    TableSchema tables = {"_Tables", {{"Name", true, 2, true, false}}};
    TableSchema columns = {"_Columns",
                           {{"Table", true, 2, true, false},
                            {"Number", false, 2, true, false},
                            {"Name", true, 2, false, false},
                            {"Type", false, 2, false, false}}};
    TableSchema package = {"PatchPackage", {{"PatchId", true, 2, true, false}, {"Media_", false, 2, false, false}}};
    AppendRow(t.tables["_Tables"], tables, {Field::String("PatchPackage")}, true, 0, t.pool);
    AppendRow(t.tables["_Columns"], columns,
              {Field::String("PatchPackage"), Field::Number(1), Field::String("PatchId"),
               Field::Number(static_cast<int16_t>(kTypeKey | kTypeString | 38))},
              true, 0, t.pool);
    AppendRow(t.tables["_Columns"], columns,
              {Field::String("PatchPackage"), Field::Number(2), Field::String("Media_"), Field::Number(kTypeInt2)},
              true, 0, t.pool);
    AppendRow(t.tables["PatchPackage"], package, {Field::String(patchCode), Field::Number(diskId)}, true, 0, t.pool);
}

}  // namespace msp
