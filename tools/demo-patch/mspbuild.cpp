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

Bytes ReadWholeFile(const std::string& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void RequireGuid(const std::string& what, const std::string& g)
{
    if (g.size() != 38 || g[0] != '{' || g[37] != '}')
        throw std::runtime_error(what + " is not a braced GUID: " + g);
}

void RequireIdentifier(const std::string& s)
{
    if (s.empty() ||
        s.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.") != std::string::npos)
        throw std::runtime_error("not an identifier: " + s);
}

// The definition's patch-wide names, checked for form before the target is opened.
struct PatchNames {
    std::string code, xform, cabStream, cabFile;
    TransformIdentity id;
    std::string targets;  // the target product codes, ';'-separated: the product, then also_targets
};

// Reads and parses the definition file; throws on an unreadable file or a malformed line.
Def ReadDefinitionFile(const std::string& path)
{
    std::ifstream in(path.c_str());
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return ParseDefinition(in);
}

// The required [patch]/[target] names; throws unless codes are braced GUIDs and stream names identifiers.
PatchNames ReadNames(const Def& def)
{
    PatchNames n = {Def::Get(def.patch, "code"),
                    Def::Get(def.patch, "transform", "RTM_To_SP1"),
                    Def::Get(def.patch, "cabinet_stream", "PCW_CAB_SP1"),
                    Def::Get(def.patch, "cabinet"),
                    {Def::Get(def.target, "product_code"), Def::Get(def.target, "old_version"),
                     Def::Get(def.target, "new_version"), Def::Get(def.target, "upgrade_code")},
                    Def::Get(def.target, "product_code")};
    RequireGuid("patch code", n.code);
    RequireGuid("product code", n.id.productCode);
    RequireGuid("upgrade code", n.id.upgradeCode);
    // More editions the patch names as its targets (their transforms are the product's own).
    std::istringstream more(Def::Get(def.target, "also_targets", ""));
    for (std::string code; std::getline(more, code, ';');) {
        RequireGuid("target product code", code);
        n.targets += ";" + code;
    }
    RequireIdentifier(n.xform);
    RequireIdentifier(n.cabStream);
    return n;
}

// Opens the target read-only into `target`; throws unless it is the product and version the definition names.
void OpenTarget(const Def& def, const TransformIdentity& id, MsiHandle& target)
{
    const std::string path = Def::Get(def.target, "msi");
    Check(MsiOpenDatabaseA(path.c_str(), MSIDBOPEN_READONLY, target.Out()), "open " + path);
    RequireProperty(target.Get(), "ProductCode", id.productCode);
    RequireProperty(target.Get(), "UpgradeCode", id.upgradeCode);
    RequireProperty(target.Get(), "ProductVersion", id.oldVersion);
}

// Property rows: the definition's, then ProductVersion, which only new_version may set.
void AddPropertyRows(MSIHANDLE target, const Def& def, const std::string& newVersion, Transform& t)
{
    const TableSchema property = ReadSchema(target, "Property");
    Pairs props = def.properties;
    props.push_back(std::make_pair(std::string("ProductVersion"), newVersion));
    for (size_t i = 0; i < props.size(); ++i) {
        if (i + 1 < props.size() && props[i].first == "ProductVersion")
            throw std::runtime_error("ProductVersion comes from new_version, not from [property]");
        AppendRow(t.tables["Property"], property, {Field::String(props[i].first), Field::String(props[i].second)}, true,
                  0, t.pool);
    }
}

// Size and hash rows that make the installer replace each file; throws unless target and cabinet both carry it.
void AddReplacedFileRows(MSIHANDLE target, const Def& def, const std::string& cabFile, Transform& t)
{
    const TableSchema file = ReadSchema(target, "File");
    const bool hashes = TableExists(target, "MsiFileHash");
    const TableSchema hash = hashes ? ReadSchema(target, "MsiFileHash") : TableSchema();
    const std::map<std::string, uint32_t> cab = ListCabinet(ReadWholeFile(cabFile));
    if (def.files.empty())
        throw std::runtime_error("the definition replaces no file");
    for (size_t i = 0; i < def.files.size(); ++i) {
        const std::string& key = def.files[i].first;
        const std::string& path = def.files[i].second;
        RequireIdentifier(key);
        bool known = false;
        (void)QueryString(target, "SELECT `File` FROM `File` WHERE `File`='" + key + "'", &known);
        if (!known)
            throw std::runtime_error("target has no file " + key);
        const long size = static_cast<long>(ReadWholeFile(path).size());
        std::map<std::string, uint32_t>::const_iterator inCab = cab.find(key);
        if (inCab == cab.end() || static_cast<long>(inCab->second) != size)
            throw std::runtime_error("cabinet " + cabFile + " lacks " + key + " with the size of " + path);
        AppendRow(t.tables["File"], file,
                  Fields(file, {{"File", Field::String(key)}, {"FileSize", Field::Number(size)}}), false,
                  Bit(file, "FileSize"), t.pool);
        if (hashes) {
            MSIFILEHASHINFO h;
            h.dwFileHashInfoSize = sizeof(h);
            Check(MsiGetFileHashA(path.c_str(), 0, &h), "hash of " + path);
            AppendRow(t.tables["MsiFileHash"], hash,
                      {Field::String(key), Field::Number(0), Field::Number(static_cast<long>(h.dwData[0])),
                       Field::Number(static_cast<long>(h.dwData[1])), Field::Number(static_cast<long>(h.dwData[2])),
                       Field::Number(static_cast<long>(h.dwData[3]))},
                      true, 0, t.pool);
        }
    }
}

// The definition's [rows] sections, whole rows typed by the target's schema; throws on a wrong cell count.
void AddDefinitionRows(MSIHANDLE target, const Def& def, Transform& t)
{
    std::map<std::string, TableSchema> schemas;
    for (size_t i = 0; i < def.rows.size(); ++i) {
        const DefinitionRow& row = def.rows[i];
        if (!schemas.count(row.table))
            schemas[row.table] = ReadSchema(target, row.table);
        const TableSchema& schema = schemas[row.table];
        if (row.cells.size() != schema.columns.size()) {
            std::ostringstream os;
            os << "line " << row.line << ": " << row.table << " has " << schema.columns.size() << " columns";
            throw std::runtime_error(os.str());
        }
        std::vector<Field> fields;
        for (size_t c = 0; c < row.cells.size(); ++c)
            fields.push_back(CellField(schema.columns[c], row.cells[c], row.line));
        AppendRow(t.tables[row.table], schema, fields, true, 0, t.pool);
    }
}

// The transform that changes the product: properties, replaced files' sizes and hashes, the definition's rows.
Transform ProductTransform(MSIHANDLE target, const Def& def, const PatchNames& n)
{
    Transform t;
    AddPropertyRows(target, def, n.id.newVersion, t);
    AddReplacedFileRows(target, def, n.cabFile, t);
    AddDefinitionRows(target, def, t);
    return t;
}

// The "#" transform: replaced files sequenced past the product's last, on a new disk (Media, PatchPackage).
Transform MediaTransform(MSIHANDLE target, const Def& def, const PatchNames& n)
{
    Transform t;
    const TableSchema file = ReadSchema(target, "File");
    const TableSchema media = ReadSchema(target, "Media");
    long sequence = std::max(QueryMax(target, "SELECT `Sequence` FROM `File`", 1),
                             QueryMax(target, "SELECT `LastSequence` FROM `Media`", 1));
    const long diskId = QueryMax(target, "SELECT `DiskId` FROM `Media`", 1) + 1;
    for (size_t i = 0; i < def.files.size(); ++i)
        AppendRow(t.tables["File"], file,
                  Fields(file, {{"File", Field::String(def.files[i].first)}, {"Sequence", Field::Number(++sequence)}}),
                  false, Bit(file, "Sequence"), t.pool);
    std::map<std::string, Field> mediaRow = {{"DiskId", Field::Number(diskId)},
                                             {"LastSequence", Field::Number(sequence)},
                                             {"Cabinet", Field::String("#" + n.cabStream)}};
    const std::string mediaSource = Def::Get(def.patch, "media_source", "PATCHMediaSrcProp");
    if (mediaSource != "none")
        mediaRow["Source"] = Field::String(mediaSource);
    AppendRow(t.tables["Media"], media, Fields(media, mediaRow), true, 0, t.pool);
    AddPatchPackage(t, n.code, diskId);
    return t;
}

// The MsiPatchMetadata and MsiPatchSequence tables the installer reads to describe and order the patch.
void WritePatchTables(MSIHANDLE db, const Pairs& patch, const PatchNames& n)
{
    Execute(db, "CREATE TABLE `MsiPatchMetadata` (`Company` CHAR(72), `Property` CHAR(72) NOT NULL, "
                "`Value` LONGCHAR NOT NULL PRIMARY KEY `Company`, `Property`)");
    Execute(db, "CREATE TABLE `MsiPatchSequence` (`PatchFamily` CHAR(72) NOT NULL, `ProductCode` CHAR(38), "
                "`Sequence` CHAR(72) NOT NULL, `Attributes` INT PRIMARY KEY `PatchFamily`, `ProductCode`)");
    const std::string meta = "INSERT INTO `MsiPatchMetadata` (`Company`, `Property`, `Value`) VALUES (?, ?, ?)";
    const std::string title = Def::Get(patch, "title");
    Insert(db, meta, {"", "AllowRemoval", Def::Get(patch, "allow_removal", "1")});
    Insert(db, meta, {"", "DisplayName", title});
    Insert(db, meta, {"", "Description", Def::Get(patch, "description", title.c_str())});
    Insert(db, meta, {"", "ManufacturerName", Def::Get(patch, "manufacturer")});
    Insert(db, meta, {"", "Classification", Def::Get(patch, "classification", "Update")});
    Insert(db,
           "INSERT INTO `MsiPatchSequence` (`PatchFamily`, `ProductCode`, `Sequence`, `Attributes`) "
           "VALUES (?, ?, ?, 0)",
           {Def::Get(patch, "family", n.xform.c_str()), n.id.productCode, Def::Get(patch, "sequence", "1.0.0.0")});
}

// The patch summary; PID 7 (target product) and PID 8 (transform names) are what installers match it by.
void WritePatchSummary(MSIHANDLE db, const Pairs& patch, const PatchNames& n)
{
    MsiHandle si;
    const std::string title = Def::Get(patch, "title");
    Check(MsiGetSummaryInformationA(db, nullptr, 20, si.Out()), "patch summary");
    SetSummaryText(si.Get(), 2, title);
    SetSummaryText(si.Get(), 3, Def::Get(patch, "subject", title.c_str()));
    SetSummaryText(si.Get(), 4, Def::Get(patch, "manufacturer"));
    SetSummaryText(si.Get(), 5, "Installer,Patching,PCP,Database");
    SetSummaryText(si.Get(), 6, Def::Get(patch, "comments", ""));
    SetSummaryText(si.Get(), 7, n.targets);
    SetSummaryText(si.Get(), 8, ":" + n.xform + ";:#" + n.xform);
    SetSummaryText(si.Get(), 9, n.code + Def::Get(patch, "obsoletes", ""));
    Check(MsiSummaryInfoSetPropertyA(si.Get(), 15, VT_I4, 4, nullptr, nullptr), "patch summary");
    Check(MsiSummaryInfoPersist(si.Get()), "persist patch summary");
}

// Creates `out` afresh: patch tables, the cabinet stream, the two transform files as substorages, the summary.
void WritePatch(const std::string& out, const Pairs& patch, const PatchNames& n, const std::string& mst1,
                const std::string& mst2)
{
    (void)DeleteFileA(out.c_str());  // a missing old output is fine
    MsiHandle db;
    Check(MsiOpenDatabaseA(out.c_str(), MSIDBOPEN_CREATE + MSIDBOPEN_PATCHFILE, db.Out()), "create " + out);
    WritePatchTables(db.Get(), patch, n);
    InsertStream(db.Get(), "_Streams", n.cabStream, n.cabFile);
    InsertStream(db.Get(), "_Storages", n.xform, mst1);
    InsertStream(db.Get(), "_Storages", "#" + n.xform, mst2);
    WritePatchSummary(db.Get(), patch, n);
    Check(MsiDatabaseCommit(db.Get()), "commit " + out);
}

// Builds patch `out` from definition `defPath`; throws std::runtime_error naming the first fault found.
void Build(const std::string& defPath, const std::string& out)
{
    const Def def = ReadDefinitionFile(defPath);
    const PatchNames names = ReadNames(def);
    Transform product, media;
    {
        MsiHandle target;  // only the transforms read it
        OpenTarget(def, names.id, target);
        product = ProductTransform(target.Get(), def, names);
        media = MediaTransform(target.Get(), def, names);
    }
    const std::string mst1 = out + ".1.mst", mst2 = out + ".2.mst";
    WriteTransformFile(mst1, product, names.id);
    WriteTransformFile(mst2, media, names.id);
    WritePatch(out, def.patch, names, mst1, mst2);
    (void)DeleteFileA(mst1.c_str());  // scratch files; leftovers are harmless
    (void)DeleteFileA(mst2.c_str());
}

}  // namespace

int main(int argc, char** argv)
{
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
