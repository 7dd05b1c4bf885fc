// Writes a transform (string pool + table streams + summary) as a structured-storage file.
#ifndef TOOLS_TRANSFORM_H
#define TOOLS_TRANSFORM_H

#include <map>
#include <string>

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

// Creates `path` (overwritten) holding the transform; throws std::runtime_error.
void WriteTransformFile(const std::string& path, const Transform& t, const TransformIdentity& id);

}  // namespace msp

#endif
