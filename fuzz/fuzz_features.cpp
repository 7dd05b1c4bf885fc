// Fuzz target: arbitrary feature rows and installed states; the lists and the snapshot hold only what the rows name.
#include "fuzz/harness.h"
#include "installer/features.h"

#include <set>
#include <stdlib.h>

namespace {
const char kCode[] = "{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}";

// The names of a comma list, the text after the last comma the last; with bTerminated,
// the list must end with a comma and has no name after it.
std::vector<std::string> Names(const std::string& text, bool bTerminated = false)
{
    std::vector<std::string> names =
        FuzzSplit(reinterpret_cast<const uint8_t*>(text.data()), text.size(), ',', text.size() + 1);
    if (bTerminated) {
        FuzzCheck(names.back().empty(), "a list ends with a comma");
        names.pop_back();
    }
    return names;
}
}  // namespace

// Lines: "1<row>" a first-band row, "2<row>" a second-band row, "S<name>=<state>" an
// installed feature, "N" a network installation; the product's tag is "U1".
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzReset();
    std::set<std::string> firstNames;  // of the rows with the product's tag
    std::set<std::string> names;
    UINT nRows[2] = {0, 0};
    bool bNetwork = false;
    for (std::string line : FuzzSplit(pData, nSize, '\n', 64)) {
        line = line.substr(0, line.find('\0'));
        const std::string rest = line.empty() ? "" : line.substr(1);
        if ((line[0] == '1' || line[0] == '2') && !rest.empty() && nRows[line[0] - '1'] < 24) {
            SimSetString((line[0] == '1' ? IDS_FEATURES_FIRST_BAND : IDS_FEATURES_SECOND_BAND) + nRows[line[0] - '1']++,
                         rest);
            if (rest.compare(0, 3, "U1:") == 0) {
                firstNames.insert(Names(rest.substr(3))[0]);
                for (const std::string& name : Names(rest.substr(3)))
                    names.insert(name);
            }
        } else if (line[0] == 'S' && rest.find('=') != std::string::npos) {
            const int state = static_cast<int>(strtoul(rest.c_str() + rest.find('=') + 1, NULL, 10) % 7) - 1;
            Sim().products[kCode].features[rest.substr(0, rest.find('='))] = state;
        } else if (line[0] == 'N') {
            bNetwork = true;
        }
    }
    Sim().products[kCode].version = "7.0.43.5";
    CProductRecord record;
    record.m_strTag = "U1";
    record.m_strProductCode = kCode;
    record.m_bNetworkInstall = bNetwork;
    CString strAddLocal;
    CString strReinstall;
    CFeatureSnapshot snapshot;
    SelectFeatures(record, strAddLocal, strReinstall, &snapshot);
    for (const CString* pList : {&strAddLocal, &strReinstall})
        for (const std::string& name : Names(static_cast<const char*>(*pList), true))
            FuzzCheck(firstNames.count(name) != 0, "the lists name only first names of the product's rows");
    std::set<std::string> recorded;
    for (POSITION pos = snapshot.GetEntries().GetHeadPosition(); pos != NULL;) {
        const std::string entry = static_cast<const char*>(snapshot.GetEntries().GetNext(pos));
        const size_t nComma = entry.rfind(',');
        const std::string name = entry.substr(0, nComma);
        FuzzCheck(nComma != std::string::npos && names.count(name) != 0 && recorded.insert(name).second,
                  "the snapshot records names of the product's rows, each once");
        FuzzCheck(entry.substr(nComma + 1) == "1" || entry.substr(nComma + 1) == "2" || entry.substr(nComma + 1) == "4",
                  "the snapshot records advertised, absent or source states");
    }
    return 0;
}
