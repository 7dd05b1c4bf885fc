// The resource script of a definition, and the files beside it.
#pragma once

#include <map>
#include <string>

#include "definition.h"

namespace define {

// The files the script names: absolute paths, or the package's name on windres's include path.
struct ScriptFiles {
    std::string definition;  // named in the script's first line only
    std::string resourceHeader, manifest, icon, package;
    std::map<unsigned, std::string> descriptions;  // by language, the files beside the script
};

// The script of the definition's resources: icon, manifest, description copies, package,
// string table and version block.
std::string ResourceScript(const Definition& definition, const LauncherTexts& texts, const ScriptFiles& files);

// The file beside the script that holds the description copy of a language.
std::string DescriptionFileName(unsigned language);

}  // namespace define
