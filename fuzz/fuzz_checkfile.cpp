// Fuzz target: the checker's resource-file reader and package header check against models, reading only the input.
#include "fuzz/harness.h"

#include "compoundfile.h"
#include "resfile.h"

#include <stdexcept>
#include <stdio.h>
#include <string.h>
#include <string_view>

namespace {

uint32_t Le(std::string_view bytes, size_t at, size_t width)
{
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

// A chain's first sector: end-of-chain for a chain of no sectors, else a sector of the file.
bool FirstSectorFits(uint32_t first, uint32_t count, int64_t sectors)
{
    return count == 0 ? first == 0xFFFFFFFEu : first < sectors;
}

// The model of the header check: a phrase its problem must hold (for a malformed field, the
// field's name), "" for a patch. The fields are tried in order; a file holds every sector
// that starts before its end.
std::string ModelHeaderPhrase(std::string_view b)
{
    if (b.empty())
        return "is empty";
    if (b.size() < 512 || b.substr(0, 8) != std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))
        return "not an OLE compound file";
    const uint32_t major = Le(b, 0x1A, 2);
    const size_t sectorBytes = major == 4 ? 4096 : 512;
    const int64_t sectors = static_cast<int64_t>(b.size() / sectorBytes) - 1 + (b.size() % sectorBytes != 0 ? 1 : 0);
    const uint32_t fat = Le(b, 0x2C, 4);
    const uint32_t entriesPerDifat = static_cast<uint32_t>(sectorBytes / 4 - 1);
    uint32_t difat = 0;
    for (int64_t listed = 109; listed < fat; listed += entriesPerDifat)
        ++difat;
    size_t reserved = 0x22;  // the first reserved byte that is not 0, or the end of them
    while (reserved < 0x28 && b[reserved] == 0)
        ++reserved;
    char reservedPhrase[32];
    snprintf(reservedPhrase, sizeof reservedPhrase, "its reserved byte at 0x%02zX is", reserved);
    const std::pair<std::string, bool> fields[] = {
        {"its minor version is", Le(b, 0x18, 2) == 0x3E},
        {"its byte order mark is", Le(b, 0x1C, 2) == 0xFFFE},
        {"its major version is", major == 3 || major == 4},
        {"its sector shift is", Le(b, 0x1E, 2) == (major == 4 ? 12u : 9u)},
        {"its mini sector shift is", Le(b, 0x20, 2) == 6},
        {reservedPhrase, reserved == 0x28},
        {"its directory sector count is", major == 4 || Le(b, 0x28, 4) == 0},
        {"its mini-stream cutoff is", Le(b, 0x38, 4) == 4096},
        {"its FAT sector count is", fat >= 1 && fat <= sectors},
        {"its DIFAT sector count is", Le(b, 0x48, 4) == difat},
        {"its mini FAT sector count is", Le(b, 0x40, 4) <= sectors},
        {"its directory sector count is", Le(b, 0x28, 4) <= sectors},
        {"its first DIFAT sector is", FirstSectorFits(Le(b, 0x44, 4), difat, sectors)},
        {"its first mini FAT sector is", FirstSectorFits(Le(b, 0x3C, 4), Le(b, 0x40, 4), sectors)},
        {"its first directory sector is", Le(b, 0x30, 4) < sectors},
    };
    for (const auto& field : fields)
        if (!field.second)
            return field.first;
    for (uint32_t i = 0; i < fat && i < 109; ++i)
        if (Le(b, 0x4C + 4 * i, 4) >= sectors)
            return "its FAT sector " + std::to_string(i) + " is";
    const size_t root = (static_cast<size_t>(Le(b, 0x30, 4)) + 1) * sectorBytes;
    if (root + 128 > b.size())
        return "directory is cut short";
    const std::string_view classId = b.substr(root + 0x50, 16);
    if (classId == std::string_view("\x86\x10\x0C\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16))
        return "";
    if (classId == std::string_view("\x84\x10\x0C\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16))
        return "is an installer database";
    return "root storage has the class id";
}

void CheckHeader(std::string_view bytes)
{
    const std::string problem = check::PackageHeaderProblem(bytes);
    const std::string phrase = ModelHeaderPhrase(bytes);
    FuzzCheck(problem.empty() == phrase.empty(), "the header check accepts exactly the model's patches");
    FuzzCheck(problem.find(phrase) != std::string::npos, "a refused header names the model's first failing field");
}

// A resource's type or name as the model reads it: text matched without regard to case.
struct ModelName {
    bool isId = false;
    uint32_t id = 0;
    std::u16string text;
};

bool Named(const ModelName& name, const char* ascii)
{
    if (name.isId || name.text.size() != strlen(ascii))
        return false;
    for (size_t i = 0; i < name.text.size(); ++i) {
        const char16_t unit = name.text[i];
        const char c = ascii[i];
        if (unit != static_cast<char16_t>(c) && !(c >= 'A' && c <= 'Z' && unit == static_cast<char16_t>(c + 32)))
            return false;
    }
    return true;
}

// What the model finds in a resource file.
struct ModelFile {
    bool hasPackage = false;
    std::string_view package;
    std::vector<std::string_view> descriptions;
};

// 0xFFFF and an id, or UTF-16 units up to a 0.
bool ReadModelName(std::string_view b, size_t& at, ModelName& name)
{
    if (at + 2 > b.size())
        return false;
    if (Le(b, at, 2) == 0xFFFF) {
        if (at + 4 > b.size())
            return false;
        name.isId = true;
        name.id = Le(b, at + 2, 2);
        at += 4;
        return true;
    }
    for (; at + 2 <= b.size(); at += 2) {
        const uint32_t unit = Le(b, at, 2);
        if (unit == 0) {
            at += 2;
            return true;
        }
        name.text += static_cast<char16_t>(unit);
    }
    return false;
}

// The model of the file's layout: entries of a data size, a header size, a type and a name,
// then the data after the header, each entry padded to 4 bytes. The package is the first MSP
// entry named IDR_MSP, a description each TXT entry 206. FALSE when an entry does not fit the
// input or does not move on.
bool ModelLayout(std::string_view b, ModelFile& file)
{
    for (size_t entry = 0; entry < b.size();) {
        if (entry + 8 > b.size())
            return false;
        const size_t dataSize = Le(b, entry, 4);
        const size_t data = entry + Le(b, entry + 4, 4);
        size_t at = entry + 8;
        ModelName type;
        ModelName name;
        if (!ReadModelName(b, at, type) || !ReadModelName(b, at, name) || data > b.size() || dataSize > b.size() - data)
            return false;
        if (Named(type, SPLAUNCH_PACKAGE_TYPE) && Named(name, SPLAUNCH_PACKAGE_NAME) && !file.hasPackage) {
            file.hasPackage = true;
            file.package = b.substr(data, dataSize);
        } else if (Named(type, SPLAUNCH_DESCRIPTION_TYPE) && name.isId && name.id == IDR_DESCRIPTION) {
            file.descriptions.push_back(b.substr(data, dataSize));
        }
        const size_t next = (data + dataSize + 3) / 4 * 4;
        if (next <= entry)
            return false;
        entry = next;
    }
    return true;
}

}  // namespace

// The input is both a resource file and a package: the readers see exactly its bytes, so
// the sanitizer stops any read past them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize)
{
    const std::string_view bytes(reinterpret_cast<const char*>(pData), nSize);
    CheckHeader(bytes);
    check::ResourceFile file;
    try {
        file = check::ReadResourceFile(bytes);
    } catch (const std::runtime_error&) {
        return 0;
    }
    ModelFile model;
    FuzzCheck(ModelLayout(bytes, model), "the reader accepts only files whose entries fit");
    FuzzCheck(file.config.package.present == model.hasPackage && file.package == model.package,
              "the package is the model's");
    FuzzCheck(file.config.descriptions.size() == model.descriptions.size(), "the descriptions are the model's");
    for (size_t i = 0; i < model.descriptions.size(); ++i)
        FuzzCheck(file.config.descriptions[i].bytes == model.descriptions[i], "the descriptions are the model's");
    if (file.config.package.present)
        CheckHeader(file.package);
    return 0;
}
