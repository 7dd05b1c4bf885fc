// The string-table rows and description texts a definition makes.
#include "definition.h"

#include "res/resource.h"

namespace define {

namespace {

// The bytes of text whose code points are all below U+0100 (the reader has made sure).
std::string Latin1(const std::string& utf8)
{
    std::string bytes;
    for (unsigned long point : CodePoints(utf8))
        bytes += static_cast<char>(point);
    return bytes;
}

}  // namespace

std::vector<unsigned long> CodePoints(const std::string& utf8)
{
    std::vector<unsigned long> points;
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
        unsigned long point = extra == 0 ? lead : lead & (0x3Fu >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k)
            point = point << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        points.push_back(point);
        i += 1 + extra;
    }
    return points;
}

LauncherTexts MakeTexts(const Definition& d, const std::string& guid)
{
    LauncherTexts texts;
    std::map<unsigned, std::string>& rows = texts.rows;
    if (!guid.empty())
        rows[IDS_PATCH_GUID] = guid;
    for (const auto& [id, text] : d.messages)
        if (!text.empty())
            rows[id] = text;
    for (unsigned i = 0; i < d.products.size(); ++i) {
        const Product& p = d.products[i];
        const std::string tag = p.tag + ":";
        rows[IDS_PRODUCT_NAMES + i] = tag + p.name;
        rows[IDS_PRODUCT_CODES + i] = tag + p.code;
        rows[IDS_PRODUCT_LANGUAGES + i] = tag + p.language;
        rows[IDS_PRODUCT_TARGET_VERSIONS + i] = tag + p.targetVersion;
        rows[IDS_PRODUCT_HOST_KEYS + i] = tag + p.hostKey;
        // Every entry ends with a comma: the gate reads no text after the last one.
        std::string accepted = tag;
        for (const std::string& version : p.accepted)
            accepted += version + ",";
        rows[IDS_PRODUCT_ACCEPTED_VERSIONS + i] = accepted;
    }
    unsigned first = IDS_FEATURES_FIRST_BAND;
    unsigned second = IDS_FEATURES_SECOND_BAND;
    for (const FeatureRows& tagged : d.features) {
        for (const std::string& row : tagged.first)
            rows[first++] = tagged.tag + ":" + row;
        for (const std::string& row : tagged.second)
            rows[second++] = tagged.tag + ":" + row;
    }
    for (const DescriptionCopy& copy : d.copies) {
        std::string text;
        for (const std::string& line : copy.lines)
            text += (line == kTitleKey ? line + "=" + d.title : line == kGuidKey ? line + "=" + guid : line) + "\r\n";
        texts.descriptions[copy.language] = Latin1(text);
    }
    return texts;
}

}  // namespace define
