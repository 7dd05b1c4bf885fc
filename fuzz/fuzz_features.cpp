// Fuzz target: feature rows and installed states against a model of the feature selection.
#include "fuzz/harness.h"
#include "installer/features.h"

#include <map>

namespace {
// The names of a feature text: split at each ",", the text after the last comma the last.
std::vector<std::string> Names(const std::string& text)
{
    std::vector<std::string> names(1);
    for (char ch : text) {
        if (ch == ',')
            names.emplace_back();
        else
            names.back() += ch;
    }
    return names;
}

// The selection as the launcher's rules state it, on plain strings.
struct Model {
    std::map<std::string, int> states;  // a name absent here is not defined (-1)
    std::vector<std::string> snapshot;  // "name,state", the first at the head, later ones after it
    std::string addLocal, reinstall;

    int State(const std::string& name) const
    {
        auto it = states.find(name);
        return it == states.end() ? -1 : it->second;
    }
    bool Recorded(const std::string& name) const
    {
        for (const std::string& entry : snapshot)
            if (entry.substr(0, entry.find(',')) == name)
                return true;
        return false;
    }
    void Record(const std::string& upTo, const std::string& text, int state)
    {
        for (const std::string& name : Names(text)) {
            if (!Recorded(name))
                snapshot.insert(snapshot.empty() ? snapshot.begin() : snapshot.begin() + 1,
                                name + "," + std::to_string(state));
            if (name == upTo)
                return;
        }
    }
    bool Collect(const std::string& text)
    {
        bool bKnown = false;
        const std::vector<std::string> names = Names(text);
        for (size_t i = 0; i < names.size(); ++i) {
            const int state = State(names[i]);
            if (state == 1 || state == 2 || state == 4)
                Record(names[i], text, state);
            if (state >= 1 && state <= 4 && i + 1 < names.size())
                bKnown = true;
        }
        return bKnown;
    }
};

// A row's tag and feature text, split at its first ":".
void SplitRow(const std::string& row, std::string& tag, std::string& text)
{
    const size_t nColon = row.find(':');
    tag = nColon == std::string::npos ? "" : row.substr(0, nColon);
    text = nColon == std::string::npos ? row : row.substr(nColon + 1);
}
}  // namespace

// Lines: "1<row>" a first-band row, "2<row>" a second-band row, "S<name>=<state>" an
// installed feature, "N" a network installation; the product's tag is "U1".
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    FuzzReset();
    Model model;
    std::vector<std::string> bands[2];
    bool bNetwork = false;
    SimProduct& product = Sim().products["{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}"];
    for (std::string line : FuzzSplit(pData, nSize, '\n', 64)) {
        line = line.substr(0, line.find('\0'));
        if (line.empty())
            continue;
        const std::string rest = line.substr(1);
        if ((line[0] == '1' || line[0] == '2') && !rest.empty() && bands[line[0] - '1'].size() < 24) {
            bands[line[0] - '1'].push_back(rest);
        } else if (line[0] == 'S' && rest.find('=') != std::string::npos) {
            const std::string name = rest.substr(0, rest.find('='));
            const int state = static_cast<int>(FuzzAtol(rest.substr(rest.find('=') + 1)) % 7) - 1;
            product.features[name] = state;
            model.states[name] = state;
        } else if (line[0] == 'N') {
            bNetwork = true;
        }
    }
    for (size_t i = 0; i < bands[0].size(); ++i)
        SimSetString(IDS_FEATURES_FIRST_BAND + static_cast<UINT>(i), bands[0][i]);
    for (size_t i = 0; i < bands[1].size(); ++i)
        SimSetString(IDS_FEATURES_SECOND_BAND + static_cast<UINT>(i), bands[1][i]);

    std::string tag;
    std::string text;
    for (const std::string& row : bands[0]) {
        SplitRow(row, tag, text);
        if (tag != "U1")
            continue;
        const bool bKnown = model.Collect(text);
        if (bNetwork && text.find(",System_Files") != std::string::npos)
            continue;
        (bKnown ? model.reinstall : model.addLocal) += Names(text)[0] + ",";
    }
    for (const std::string& row : bands[1]) {
        SplitRow(row, tag, text);
        if (tag == "U1" && model.Collect(text) && !model.Recorded(Names(text)[0]))
            model.reinstall += Names(text)[0] + ",";
    }

    CProductRecord record;
    record.m_strTag = "U1";
    record.m_strProductCode = "{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}";
    record.m_bNetworkInstall = bNetwork;
    CString strAddLocal;
    CString strReinstall;
    CFeatureSnapshot snapshot;
    SelectFeatures(record, strAddLocal, strReinstall, &snapshot);
    FuzzCheck(model.addLocal == static_cast<const char*>(strAddLocal), "ADDLOCAL is the model's");
    FuzzCheck(model.reinstall == static_cast<const char*>(strReinstall), "REINSTALL is the model's");
    std::vector<std::string> entries;
    for (POSITION pos = snapshot.GetEntries().GetHeadPosition(); pos != NULL;)
        entries.push_back(static_cast<const char*>(snapshot.GetEntries().GetNext(pos)));
    FuzzCheck(entries == model.snapshot, "the snapshot is the model's");
    return 0;
}
