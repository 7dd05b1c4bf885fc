// Fuzz target: the checker's resource-file reader against a model; its package header check on any bytes.
#include "fuzz/harness.h"

#include "compoundfile.h"
#include "resfile.h"

#include <stdexcept>
#include <string_view>

namespace {

uint32_t Le(std::string_view bytes, size_t at, size_t width)
{
    uint32_t value = 0;
    for (size_t i = 0; i < width; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

// The unit table pins each header field; here, on any bytes: a package the check accepts is a
// compound file whose root entry, where the header puts it, holds the patch class id.
void CheckHeader(std::string_view b)
{
    if (!check::PackageHeaderProblem(b).empty())
        return;
    FuzzCheck(b.size() >= 512 && b.substr(0, 8) == "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1",
              "an accepted package is a compound file");
    const size_t root = (static_cast<size_t>(Le(b, 0x30, 4)) + 1) * (Le(b, 0x1E, 2) == 12 ? 4096 : 512);
    FuzzCheck(root + 128 <= b.size() &&
                  b.substr(root + 0x50, 16) ==
                      std::string_view("\x86\x10\x0C\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16),
              "an accepted package's root holds the patch class id");
}

// A resource's type or name as the model reads it: an id as a NUL and its number (no text
// holds a NUL), text in capitals with a unit past ASCII as '?' (in none of the names sought).
bool ReadModelName(std::string_view b, size_t& at, std::string& name)
{
    if (at + 4 <= b.size() && Le(b, at, 2) == 0xFFFF) {
        name = '\0' + std::to_string(Le(b, at + 2, 2));
        at += 4;
        return true;
    }
    for (; at + 2 <= b.size(); at += 2) {
        const uint32_t unit = Le(b, at, 2);
        if (unit == 0) {
            at += 2;
            return true;
        }
        name += unit >= 'a' && unit <= 'z' ? static_cast<char>(unit - 32) : unit < 128 ? static_cast<char>(unit) : '?';
    }
    return false;
}

// What the model finds in a resource file.
struct ModelFile {
    bool hasPackage = false;
    std::string_view package;
    std::vector<std::string_view> descriptions;
};

// The model of the file's layout: entries of a data size, a header size, a type and a name,
// then the data after the header, each entry padded to 4 bytes. The package is the first MSP
// entry named IDR_MSP, a description each TXT entry 206. FALSE when an entry does not fit the
// input or does not move on.
bool ModelLayout(std::string_view b, ModelFile& file)
{
    const std::string description = '\0' + std::to_string(IDR_DESCRIPTION);
    for (size_t entry = 0; entry < b.size();) {
        if (entry + 8 > b.size())
            return false;
        const size_t dataSize = Le(b, entry, 4);
        const size_t data = entry + Le(b, entry + 4, 4);
        size_t at = entry + 8;
        std::string type;
        std::string name;
        if (!ReadModelName(b, at, type) || !ReadModelName(b, at, name) || data > b.size() || dataSize > b.size() - data)
            return false;
        if (type == SPLAUNCH_PACKAGE_TYPE && name == SPLAUNCH_PACKAGE_NAME && !file.hasPackage) {
            file.hasPackage = true;
            file.package = b.substr(data, dataSize);
        } else if (type == SPLAUNCH_DESCRIPTION_TYPE && name == description) {
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
