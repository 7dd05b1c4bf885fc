// Fuzz target: version texts and accepted lists against a model of the gate.
#include "fuzz/harness.h"
#include "installer/versiongate.h"

// A number as the runtime's atol reads it, wrapping modulo 2^32.
static uint32_t ModelAtol(const std::string& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool bNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        bNegative = text[i++] == '-';
    uint32_t nValue = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        nValue = nValue * 10 + static_cast<uint32_t>(text[i] - '0');
    return bNegative ? 0u - nValue : nValue;
}

// The model: "," counts as "."; the parts before the first three dots are read, the fourth
// only after a third dot, each number as atol reads it and cut to its low 16 bits.
static std::vector<uint16_t> ModelParts(std::string text)
{
    for (char& ch : text)
        if (ch == ',')
            ch = '.';
    std::vector<uint16_t> parts(4, 0);
    for (int i = 0; i < 3; ++i) {
        const size_t nDot = text.find('.');
        if (nDot == std::string::npos)
            return parts;
        parts[i] = static_cast<uint16_t>(ModelAtol(text.substr(0, nDot)));
        text = text.substr(nDot + 1);
    }
    parts[3] = static_cast<uint16_t>(ModelAtol(text));
    return parts;
}

// Accepted when an entry (text before each ",") reads as the installed version.
static bool ModelAccepts(const std::string& installed, std::string list)
{
    for (size_t nComma; (nComma = list.find(',')) != std::string::npos; list = list.substr(nComma + 1))
        if (ModelParts(list.substr(0, nComma)) == ModelParts(installed))
            return true;
    return false;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzReset();
    SimSetString(IDS_WRONG_VERSION, "Incorrect product version installed");
    SimSetString(IDS_ERROR_FORMAT, "Error %d: The %s update was not applied");
    // Texts as the launcher gets them, from NUL-terminated strings.
    std::vector<std::string> parts = FuzzSplit(pData, nSize, '\n', 2);
    parts.resize(2);
    for (std::string& part : parts)
        part = part.substr(0, part.find('\0'));
    CProductRecord record;
    record.m_strInstalledVersion = parts[0].c_str();
    record.m_strAcceptedVersions = parts[1].c_str();
    const CVersion version = ParseVersion(record.m_strInstalledVersion);
    FuzzCheck(std::vector<uint16_t>(version.m_nParts, version.m_nParts + 4) == ModelParts(parts[0]),
              "the parts are the model's");
    const bool bAccepted = IsVersionAccepted(record) != FALSE;
    FuzzCheck(bAccepted == ModelAccepts(parts[0], parts[1]), "the gate answers as the model");
    FuzzCheck(Sim().messageBoxes.size() == (bAccepted ? 0u : 1u), "only a rejection shows a message");
    return 0;
}
