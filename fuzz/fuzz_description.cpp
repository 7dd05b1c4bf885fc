// Fuzz target: the patch description resource against a model of its reading.
#include "description/description.h"
#include "fuzz/harness.h"

#include <map>

// The model: the text up to its first NUL, CR LF lines of key=value up to the first line
// without "=" or the last complete line; a later key replaces an earlier one.
static std::string ModelSuffix(std::string text)
{
    text = text.substr(0, text.find('\0'));
    std::map<std::string, std::string> values;
    for (size_t nEnd; (nEnd = text.find("\r\n")) != std::string::npos;) {
        const std::string line = text.substr(0, nEnd);
        text = text.substr(nEnd + 2);
        const size_t nEquals = line.find('=');
        if (nEquals == std::string::npos)
            break;
        values[line.substr(0, nEquals)] = line.substr(nEquals + 1);
    }
    return " PATCHTITLE=\"" + values["PatchTitle"] + "\" PATCHGUID=\"" + values["PatchGUID"] + "\"";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzReset();
    const std::string text(reinterpret_cast<const char*>(pData), nSize);
    SimAddResource(SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE, text);
    CString strSuffix;
    const int nCode = LoadPatchDescription(strSuffix);
    FuzzCheck(nCode == (nSize == 0 ? 102 : 0), "only an empty resource fails");
    FuzzCheck(nSize == 0 || std::string(strSuffix, strSuffix.GetLength()) == ModelSuffix(text),
              "the suffix is the model's");
    return 0;
}
