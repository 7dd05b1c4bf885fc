// The version gate's reading of versions and accepted lists, shared by the checks and the definition reader.
#include "checkutil.h"

#include <cctype>

namespace check {

bool IsPlainNumber(const std::string& text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::uint32_t ReadDecimal(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::uint32_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    return negative ? 0u - value : value;
}

std::string GateVersion(std::string text)
{
    for (char& c : text)
        c = c == ',' ? '.' : c;
    unsigned parts[4] = {0, 0, 0, 0};
    int i = 0;
    for (; i < 3; ++i) {
        const std::size_t dot = text.find('.');
        if (dot == std::string::npos)
            break;
        parts[i] = ReadDecimal(text.substr(0, dot)) & 0xFFFFu;
        text = text.substr(dot + 1);
    }
    if (i == 3)
        parts[3] = ReadDecimal(text) & 0xFFFFu;
    return std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) + "." +
           std::to_string(parts[3]);
}

std::string EntryTrouble(const std::string& entry)
{
    const std::vector<std::string> parts = SplitAt(entry, '.');
    std::string trouble;
    const auto add = [&trouble](const std::string& reason) { trouble += (trouble.empty() ? "" : "; ") + reason; };
    if (parts.size() != 4)
        add("it has " + std::to_string(parts.size()) + " parts, not 4");
    for (std::size_t k = 0; k < parts.size(); ++k) {
        if (!IsPlainNumber(parts[k]))
            add("part " + std::to_string(k + 1) + " \"" + parts[k] + "\" is not a plain number");
        else if (parts[k].size() > 5 || std::stoul(parts[k]) > 0xFFFF)
            add("part " + std::to_string(k + 1) + " is over 65535");
    }
    return trouble;
}

std::vector<std::string> AcceptedEntries(const std::string& list)
{
    std::vector<std::string> entries = SplitAt(list, ',');
    entries.pop_back();
    return entries;
}

}  // namespace check
