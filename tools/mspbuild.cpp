// Builds a patch package (.msp) from a patch definition file and the target product .msi.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

#include "cabdir.h"
#include "msidb.h"
#include "mspdef.h"
#include "mspformat.h"
#include "transform.h"

using namespace msp;

namespace {

typedef PatchDefinition Def;

Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void RequireGuid(const std::string& what, const std::string& g) {
    if (g.size() != 38 || g[0] != '{' || g[37] != '}')
        throw std::runtime_error(what + " is not a braced GUID: " + g);
}

void RequireIdentifier(const std::string& s) {
    if (s.empty() || s.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.") !=
                         std::string::npos)
        throw std::runtime_error("not an identifier: " + s);
}

void RequireProperty(MSIHANDLE db, const std::string& name, const std::string& expected) {
    const std::string actual = QueryString(db, "SELECT `Value` FROM `Property` WHERE `Property`='" + name + "'");
    if (actual != expected)
        throw std::runtime_error("target " + name + " is '" + actual + "', the definition says '" + expected + "'");
}

// Fields of `table` all null except those named.
std::vector<Field> Fields(const TableSchema& table, const std::map<std::string, Field>& named) {
    std::vector<Field> f(table.columns.size(), Field::None());
    for (std::map<std::string, Field>::const_iterator it = named.begin(); it != named.end(); ++it) {
        const int i = table.Find(it->first);
        if (i < 0) throw std::runtime_error(table.name + " has no column " + it->first);
        f[i] = it->second;
    }
    return f;
}

uint32_t Bit(const TableSchema& table, const std::string& column) {
    const int i = table.Find(column);
    if (i < 0) throw std::runtime_error(table.name + " has no column " + column);
    return 1u << i;
}

Field CellField(const Column& col, const std::string& cell, int line) {
    if (cell.empty()) return Field::None();
    if (col.isString) return Field::String(cell);
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
void AddPatchPackage(Transform& t, const std::string& patchCode, long diskId) {
    TableSchema tables = {"_Tables", {{"Name", true, 2, true, false}}};
    TableSchema columns = {"_Columns", {{"Table", true, 2, true, false}, {"Number", false, 2, true, false},
                                        {"Name", true, 2, false, false}, {"Type", false, 2, false, false}}};
    TableSchema package = {"PatchPackage", {{"PatchId", true, 2, true, false}, {"Media_", false, 2, false, false}}};
    AppendRow(t.tables["_Tables"], tables, {Field::String("PatchPackage")}, true, 0, t.pool);
    AppendRow(t.tables["_Columns"], columns, {Field::String("PatchPackage"), Field::Number(1), Field::String("PatchId"),
              Field::Number(static_cast<int16_t>(kTypeKey | kTypeString | 38))}, true, 0, t.pool);
    AppendRow(t.tables["_Columns"], columns, {Field::String("PatchPackage"), Field::Number(2), Field::String("Media_"),
              Field::Number(kTypeInt2)}, true, 0, t.pool);
    AppendRow(t.tables["PatchPackage"], package, {Field::String(patchCode), Field::Number(diskId)}, true, 0, t.pool);
}

void SetSummaryText(MSIHANDLE si, UINT pid, const std::string& text) {
    Check(MsiSummaryInfoSetPropertyA(si, pid, VT_LPSTR, 0, nullptr, text.c_str()), "patch summary");
}

void Insert(MSIHANDLE db, const std::string& sql, const std::vector<std::string>& values) {
    MsiHandle rec(MsiCreateRecord(static_cast<UINT>(values.size())));
    for (size_t i = 0; i < values.size(); ++i)
        if (!values[i].empty()) Check(MsiRecordSetStringA(rec.Get(), static_cast<UINT>(i + 1), values[i].c_str()), sql);
    Execute(db, sql, rec.Get());
}

void InsertStream(MSIHANDLE db, const std::string& table, const std::string& name, const std::string& path) {
    MsiHandle rec(MsiCreateRecord(2));
    Check(MsiRecordSetStringA(rec.Get(), 1, name.c_str()), table);
    Check(MsiRecordSetStreamA(rec.Get(), 2, path.c_str()), "stream from " + path);
    Execute(db, "INSERT INTO `" + table + "` (`Name`, `Data`) VALUES (?, ?)", rec.Get());
}

void Build(const std::string& defPath, const std::string& out) {
    std::ifstream in(defPath.c_str());
    if (!in) throw std::runtime_error("cannot read " + defPath);
    const Def def = ParseDefinition(in);
    const std::string patchCode = Def::Get(def.patch, "code");
    const std::string xform = Def::Get(def.patch, "transform", "RTM_To_SP1");
    const std::string cabStream = Def::Get(def.patch, "cabinet_stream", "PCW_CAB_SP1");
    const std::string cabFile = Def::Get(def.patch, "cabinet");
    const TransformIdentity id = {Def::Get(def.target, "product_code"), Def::Get(def.target, "old_version"),
                                  Def::Get(def.target, "new_version"), Def::Get(def.target, "upgrade_code")};
    RequireGuid("patch code", patchCode);
    RequireGuid("product code", id.productCode);
    RequireGuid("upgrade code", id.upgradeCode);
    RequireIdentifier(xform);
    RequireIdentifier(cabStream);

    MsiHandle target;
    const std::string targetPath = Def::Get(def.target, "msi");
    Check(MsiOpenDatabaseA(targetPath.c_str(), MSIDBOPEN_READONLY, target.Out()), "open " + targetPath);
    RequireProperty(target.Get(), "ProductCode", id.productCode);
    RequireProperty(target.Get(), "UpgradeCode", id.upgradeCode);
    RequireProperty(target.Get(), "ProductVersion", id.oldVersion);

    Transform t1, t2;  // t1 changes the product; t2 ("#" name) adds the patch media
    const TableSchema property = ReadSchema(target.Get(), "Property");
    Pairs props = def.properties;
    props.push_back(std::make_pair(std::string("ProductVersion"), id.newVersion));
    for (size_t i = 0; i < props.size(); ++i) {
        if (i + 1 < props.size() && props[i].first == "ProductVersion")
            throw std::runtime_error("ProductVersion comes from new_version, not from [property]");
        AppendRow(t1.tables["Property"], property, {Field::String(props[i].first), Field::String(props[i].second)},
                  true, 0, t1.pool);
    }

    const TableSchema file = ReadSchema(target.Get(), "File");
    const TableSchema media = ReadSchema(target.Get(), "Media");
    const bool hashes = TableExists(target.Get(), "MsiFileHash");
    const TableSchema hash = hashes ? ReadSchema(target.Get(), "MsiFileHash") : TableSchema();
    const long lastSequence = std::max(QueryMax(target.Get(), "SELECT `Sequence` FROM `File`", 1),
                                       QueryMax(target.Get(), "SELECT `LastSequence` FROM `Media`", 1));
    const long diskId = QueryMax(target.Get(), "SELECT `DiskId` FROM `Media`", 1) + 1;
    const std::map<std::string, uint32_t> cab = ListCabinet(ReadWholeFile(cabFile));
    if (def.files.empty()) throw std::runtime_error("the definition replaces no file");
    long sequence = lastSequence;
    for (size_t i = 0; i < def.files.size(); ++i) {
        const std::string& key = def.files[i].first;
        const std::string& path = def.files[i].second;
        RequireIdentifier(key);
        bool known = false;
        (void)QueryString(target.Get(), "SELECT `File` FROM `File` WHERE `File`='" + key + "'", &known);
        if (!known) throw std::runtime_error("target has no file " + key);
        const long size = static_cast<long>(ReadWholeFile(path).size());
        std::map<std::string, uint32_t>::const_iterator inCab = cab.find(key);
        if (inCab == cab.end() || static_cast<long>(inCab->second) != size)
            throw std::runtime_error("cabinet " + cabFile + " lacks " + key + " with the size of " + path);
        AppendRow(t1.tables["File"], file, Fields(file, {{"File", Field::String(key)}, {"FileSize", Field::Number(size)}}),
                  false, Bit(file, "FileSize"), t1.pool);
        if (hashes) {
            MSIFILEHASHINFO h;
            h.dwFileHashInfoSize = sizeof(h);
            Check(MsiGetFileHashA(path.c_str(), 0, &h), "hash of " + path);
            AppendRow(t1.tables["MsiFileHash"], hash,
                      {Field::String(key), Field::Number(0), Field::Number(static_cast<long>(h.dwData[0])),
                       Field::Number(static_cast<long>(h.dwData[1])), Field::Number(static_cast<long>(h.dwData[2])),
                       Field::Number(static_cast<long>(h.dwData[3]))}, true, 0, t1.pool);
        }
        AppendRow(t2.tables["File"], file, Fields(file, {{"File", Field::String(key)}, {"Sequence", Field::Number(++sequence)}}),
                  false, Bit(file, "Sequence"), t2.pool);
    }
    std::map<std::string, Field> mediaRow = {{"DiskId", Field::Number(diskId)}, {"LastSequence", Field::Number(sequence)},
                                             {"Cabinet", Field::String("#" + cabStream)}};
    const std::string mediaSource = Def::Get(def.patch, "media_source", "PATCHMediaSrcProp");
    if (mediaSource != "none") mediaRow["Source"] = Field::String(mediaSource);
    AppendRow(t2.tables["Media"], media, Fields(media, mediaRow), true, 0, t2.pool);
    AddPatchPackage(t2, patchCode, diskId);

    std::map<std::string, TableSchema> schemas;
    for (size_t i = 0; i < def.rows.size(); ++i) {
        const DefinitionRow& row = def.rows[i];
        if (!schemas.count(row.table)) schemas[row.table] = ReadSchema(target.Get(), row.table);
        const TableSchema& schema = schemas[row.table];
        if (row.cells.size() != schema.columns.size()) {
            std::ostringstream os;
            os << "line " << row.line << ": " << row.table << " has " << schema.columns.size() << " columns";
            throw std::runtime_error(os.str());
        }
        std::vector<Field> fields;
        for (size_t c = 0; c < row.cells.size(); ++c) fields.push_back(CellField(schema.columns[c], row.cells[c], row.line));
        AppendRow(t1.tables[row.table], schema, fields, true, 0, t1.pool);
    }
    target.Reset();

    const std::string mst1 = out + ".1.mst", mst2 = out + ".2.mst";
    WriteTransformFile(mst1, t1, id);
    WriteTransformFile(mst2, t2, id);

    (void)DeleteFileA(out.c_str());  // a missing old output is fine
    {
        MsiHandle db, si;
        Check(MsiOpenDatabaseA(out.c_str(), MSIDBOPEN_CREATE + MSIDBOPEN_PATCHFILE, db.Out()), "create " + out);
        Execute(db.Get(), "CREATE TABLE `MsiPatchMetadata` (`Company` CHAR(72), `Property` CHAR(72) NOT NULL, "
                          "`Value` LONGCHAR NOT NULL PRIMARY KEY `Company`, `Property`)");
        Execute(db.Get(), "CREATE TABLE `MsiPatchSequence` (`PatchFamily` CHAR(72) NOT NULL, `ProductCode` CHAR(38), "
                          "`Sequence` CHAR(72) NOT NULL, `Attributes` INT PRIMARY KEY `PatchFamily`, `ProductCode`)");
        const std::string meta = "INSERT INTO `MsiPatchMetadata` (`Company`, `Property`, `Value`) VALUES (?, ?, ?)";
        const std::string title = Def::Get(def.patch, "title");
        Insert(db.Get(), meta, {"", "AllowRemoval", Def::Get(def.patch, "allow_removal", "1")});
        Insert(db.Get(), meta, {"", "DisplayName", title});
        Insert(db.Get(), meta, {"", "Description", Def::Get(def.patch, "description", title.c_str())});
        Insert(db.Get(), meta, {"", "ManufacturerName", Def::Get(def.patch, "manufacturer")});
        Insert(db.Get(), meta, {"", "Classification", Def::Get(def.patch, "classification", "Update")});
        Insert(db.Get(), "INSERT INTO `MsiPatchSequence` (`PatchFamily`, `ProductCode`, `Sequence`, `Attributes`) "
                         "VALUES (?, ?, ?, 0)",
               {Def::Get(def.patch, "family", xform.c_str()), id.productCode, Def::Get(def.patch, "sequence", "1.0.0.0")});
        InsertStream(db.Get(), "_Streams", cabStream, cabFile);
        InsertStream(db.Get(), "_Storages", xform, mst1);
        InsertStream(db.Get(), "_Storages", "#" + xform, mst2);

        Check(MsiGetSummaryInformationA(db.Get(), nullptr, 20, si.Out()), "patch summary");
        SetSummaryText(si.Get(), 2, title);
        SetSummaryText(si.Get(), 3, Def::Get(def.patch, "subject", title.c_str()));
        SetSummaryText(si.Get(), 4, Def::Get(def.patch, "manufacturer"));
        SetSummaryText(si.Get(), 5, "Installer,Patching,PCP,Database");
        SetSummaryText(si.Get(), 6, Def::Get(def.patch, "comments", ""));
        SetSummaryText(si.Get(), 7, id.productCode);
        SetSummaryText(si.Get(), 8, ":" + xform + ";:#" + xform);
        SetSummaryText(si.Get(), 9, patchCode + Def::Get(def.patch, "obsoletes", ""));
        Check(MsiSummaryInfoSetPropertyA(si.Get(), 15, VT_I4, 4, nullptr, nullptr), "patch summary");
        Check(MsiSummaryInfoPersist(si.Get()), "persist patch summary");
        si.Reset();
        Check(MsiDatabaseCommit(db.Get()), "commit " + out);
    }
    (void)DeleteFileA(mst1.c_str());  // scratch files; leftovers are harmless
    (void)DeleteFileA(mst2.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: mspbuild DEFINITION OUTPUT.msp\n");
        return 2;
    }
    try {
        Build(argv[1], argv[2]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mspbuild: %s\n", e.what());
        return 1;
    }
    return 0;
}
