// Builds a transform's rows and writes the transform (string pool + table streams + summary) as a structured-storage
// file.
#ifndef TOOLS_TRANSFORM_H
#define TOOLS_TRANSFORM_H

#include <map>
#include <string>
#include <vector>

#include "mspformat.h"

namespace msp {

struct Transform {
    StringPool pool;
    std::map<std::string, Bytes> tables;  // table name -> row stream
};

// The identity a transform's summary carries: it applies to product `productCode`
// at `oldVersion` and brings it to `newVersion`.
struct TransformIdentity {
    std::string productCode, oldVersion, newVersion, upgradeCode;
};

// Fields of `table` all null except those named; throws for a column the table lacks.
std::vector<Field> Fields(const TableSchema& table, const std::map<std::string, Field>& named);

// The bit of `column` in a row's column mask.
uint32_t Bit(const TableSchema& table, const std::string& column);

// The field a definition cell gives for `col` (empty: null); `line` names the cell in errors.
Field CellField(const Column& col, const std::string& cell, int line);

// _Tables/_Columns rows that create table PatchPackage (PatchId s38 key, Media_ i2) and its row.
void AddPatchPackage(Transform& t, const std::string& patchCode, long diskId);

// Creates `path` (overwritten) holding the transform; throws std::runtime_error.
void WriteTransformFile(const std::string& path, const Transform& t, const TransformIdentity& id);

}  // namespace msp

#endif
