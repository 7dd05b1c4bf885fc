// Reading a compiled resource file (.res, 32-bit format) into a configuration.
#include "resfile.h"

#include <map>
#include <stdexcept>

#include "res/resource.h"

namespace check {

namespace {

const unsigned kStringTableType = 6;
const unsigned kStringsPerBlock = 16;

// A resource's type or name: a 16-bit id, or a string when isId is false.
struct NameOrId {
    bool isId = true;
    unsigned id = 0;
    std::string text;  // upper-cased, as the loader compares names
};

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    unsigned Word(std::size_t at) const
    {
        Need(at, 2);
        return Byte(at) | Byte(at + 1) << 8;
    }
    unsigned long Dword(std::size_t at) const { return Word(at) | static_cast<unsigned long>(Word(at + 2)) << 16; }
    void Need(std::size_t at, std::size_t count) const
    {
        if (at > m_bytes.size() || count > m_bytes.size() - at)
            throw std::runtime_error("truncated at offset " + std::to_string(at));
    }
    NameOrId ReadNameOrId(std::size_t& at) const
    {
        NameOrId value;
        if (Word(at) == 0xFFFF) {
            value.id = Word(at + 2);
            at += 4;
            return value;
        }
        value.isId = false;
        for (unsigned unit; (unit = Word(at)) != 0; at += 2)
            value.text += unit >= 'a' && unit <= 'z' ? static_cast<char>(unit - 'a' + 'A') : Narrow(unit);
        at += 2;
        return value;
    }
    // The loader's 8-bit text of UTF-16 units: code points below 256 as bytes, others as '?'.
    std::string Text(std::size_t at, unsigned units) const
    {
        Need(at, 2u * units);
        std::string text;
        for (unsigned k = 0; k < units; ++k) {
            const unsigned unit = Word(at + 2 * k);
            const bool pair = unit >= 0xD800 && unit < 0xDC00 && k + 1 < units && Word(at + 2 * k + 2) >= 0xDC00 &&
                              Word(at + 2 * k + 2) < 0xE000;
            k += pair ? 1 : 0;
            text += Narrow(pair ? 0x10000 : unit);
        }
        return text;
    }

private:
    static char Narrow(unsigned codePoint) { return codePoint < 256 ? static_cast<char>(codePoint) : '?'; }
    unsigned Byte(std::size_t at) const { return static_cast<unsigned char>(m_bytes[at]); }
    std::string_view m_bytes;
};

std::string Describe(const NameOrId& value) { return value.isId ? std::to_string(value.id) : value.text; }

}  // namespace

ResourceFile ReadResourceFile(std::string_view bytes)
{
    ResourceFile file;
    Configuration& config = file.config;
    const Reader reader(bytes);
    std::map<unsigned, unsigned> blockLanguages;
    // A 32-bit resource file opens with an empty entry; a 16-bit one, or anything else, does not.
    if (bytes.size() < 32 || reader.Dword(0) != 0 || reader.Word(8) != 0xFFFF || reader.Word(10) != 0)
        throw std::runtime_error("it does not open with the empty entry of a 32-bit resource file");
    for (std::size_t entry = 0; entry < bytes.size();) {
        const unsigned long dataSize = reader.Dword(entry);
        const unsigned long headerSize = reader.Dword(entry + 4);
        std::size_t at = entry + 8;
        const NameOrId type = reader.ReadNameOrId(at);
        const NameOrId name = reader.ReadNameOrId(at);
        at = (at + 3) & ~std::size_t(3);
        // DataVersion, MemoryFlags, LanguageId, Version, Characteristics.
        if (at + 16 > entry + headerSize)
            throw std::runtime_error("the header at offset " + std::to_string(entry) + " is shorter than its names");
        const unsigned language = reader.Word(at + 6);
        const std::size_t data = entry + headerSize;
        reader.Need(data, dataSize);
        entry = (data + dataSize + 3) & ~std::size_t(3);

        if (type.isId && type.id == kStringTableType && name.isId && name.id != 0) {
            config.stringTableLanguages.insert(static_cast<std::uint16_t>(language));
            // Of a block in several languages only the first copy is taken.
            if (!blockLanguages.emplace(name.id, language).second)
                continue;
            std::size_t at16 = data;
            for (unsigned k = 0; k < kStringsPerBlock; ++k) {
                if (at16 + 2 > data + dataSize)
                    throw std::runtime_error("string block " + std::to_string(name.id) + " is cut short");
                const unsigned units = reader.Word(at16);
                if (at16 + 2 + 2u * units > data + dataSize)
                    throw std::runtime_error("string block " + std::to_string(name.id) + " runs past its end");
                const std::string text = reader.Text(at16 + 2, units);
                at16 += 2 + 2u * units;
                if (!text.empty())
                    config.rows[(name.id - 1) * kStringsPerBlock + k] = text;
            }
        } else if (!type.isId && type.text == SPLAUNCH_DESCRIPTION_TYPE && name.isId && name.id == IDR_DESCRIPTION) {
            config.descriptions.push_back(
                {static_cast<std::uint16_t>(language), std::string(bytes.substr(data, dataSize))});
        } else if (!type.isId && type.text == SPLAUNCH_PACKAGE_TYPE) {
            if (!name.isId && name.text == SPLAUNCH_PACKAGE_NAME && !config.package.present) {
                config.package.present = true;
                file.package = std::string(bytes.substr(data, dataSize));
            } else if (!config.package.present) {
                config.package.elsewhere +=
                    (config.package.elsewhere.empty() ? "" : ", ") + type.text + " " + Describe(name);
            }
        }
    }
    return file;
}

}  // namespace check
