// The embedded package's compound-file header: its fixed fields and the sectors it names, checked on the bytes alone.
#include "compoundfile.h"

#include <algorithm>
#include <cstdio>

namespace check {

namespace {

const unsigned char kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
const char kPatchClass[] = "{000C1086-0000-0000-C000-000000000046}";
const char kDatabaseClass[] = "{000C1084-0000-0000-C000-000000000046}";
const std::size_t kHeaderSize = 512;
const std::size_t kDirectoryEntrySize = 128;
const std::size_t kClassIdAt = 0x50;  // within a directory entry
const unsigned long kEndOfChain = 0xFFFFFFFE;
const unsigned long kFirstSpecialSector = 0xFFFFFFFA;  // this and above mark chains, not sectors
const unsigned long kHeaderFatEntries = 109;

// The header's fields by offset.
const std::size_t kMinorVersionAt = 0x18;
const std::size_t kMajorVersionAt = 0x1A;
const std::size_t kByteOrderAt = 0x1C;
const std::size_t kSectorShiftAt = 0x1E;
const std::size_t kMiniSectorShiftAt = 0x20;
const std::size_t kReservedAt = 0x22;
const std::size_t kReservedSize = 6;
const std::size_t kDirectorySectorsAt = 0x28;
const std::size_t kFatSectorsAt = 0x2C;
const std::size_t kFirstDirectorySectorAt = 0x30;
const std::size_t kMiniStreamCutoffAt = 0x38;
const std::size_t kFirstMiniFatSectorAt = 0x3C;
const std::size_t kMiniFatSectorsAt = 0x40;
const std::size_t kFirstDifatSectorAt = 0x44;
const std::size_t kDifatSectorsAt = 0x48;
const std::size_t kHeaderFatAt = 0x4C;

unsigned long Little(std::string_view bytes, std::size_t at, int count)
{
    unsigned long value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

std::string Hex(unsigned long value, int digits)
{
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*lX", digits, value);
    return text;
}

// A sector index as a number, or in hexadecimal when it is one of the chain marks.
std::string Sector(unsigned long value) { return value >= kFirstSpecialSector ? Hex(value, 8) : std::to_string(value); }

std::string Malformed(const std::string& field, const std::string& value, const std::string& expected)
{
    return "the package's compound-file header is malformed: its " + field + " is " + value + ", " + expected;
}

// A class id as stored (three little-endian fields, then eight bytes) in its braced text form.
std::string ClassId(std::string_view bytes, std::size_t at)
{
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04lX-%04lX-%02X%02X-", Little(bytes, at, 4), Little(bytes, at + 4, 2),
                  Little(bytes, at + 6, 2), static_cast<unsigned char>(bytes[at + 8]),
                  static_cast<unsigned char>(bytes[at + 9]));
    std::string id = text;
    for (std::size_t i = 10; i < 16; ++i) {
        std::snprintf(text, sizeof text, "%02X", static_cast<unsigned char>(bytes[at + i]));
        id += text;
    }
    return id + "}";
}

// The fields that have one value in every compound file, or one per major version.
std::string FixedFieldProblem(std::string_view bytes)
{
    const unsigned long minor = Little(bytes, kMinorVersionAt, 2);
    if (minor != 0x3E)
        return Malformed("minor version", Hex(minor, 4), "not 0x003E");
    const unsigned long order = Little(bytes, kByteOrderAt, 2);
    if (order != 0xFFFE)
        return Malformed("byte order mark", Hex(order, 4), "not 0xFFFE");
    const unsigned long major = Little(bytes, kMajorVersionAt, 2);
    if (major != 3 && major != 4)
        return Malformed("major version", std::to_string(major), "not 3 or 4");
    const unsigned long shift = Little(bytes, kSectorShiftAt, 2);
    const unsigned long wanted = major == 3 ? 9 : 12;
    if (shift != wanted)
        return Malformed("sector shift", std::to_string(shift),
                         "not the " + std::to_string(wanted) + " of major version " + std::to_string(major));
    const unsigned long miniShift = Little(bytes, kMiniSectorShiftAt, 2);
    if (miniShift != 6)
        return Malformed("mini sector shift", std::to_string(miniShift), "not 6");
    for (std::size_t at = kReservedAt; at < kReservedAt + kReservedSize; ++at)
        if (bytes[at] != 0)
            return Malformed("reserved byte at " + Hex(at, 2), Hex(Little(bytes, at, 1), 2), "not 0");
    const unsigned long directorySectors = Little(bytes, kDirectorySectorsAt, 4);
    if (major == 3 && directorySectors != 0)
        return Malformed("directory sector count", std::to_string(directorySectors), "not the 0 of major version 3");
    const unsigned long cutoff = Little(bytes, kMiniStreamCutoffAt, 4);
    if (cutoff != 4096)
        return Malformed("mini-stream cutoff", std::to_string(cutoff), "not 4096");
    return "";
}

// A chain's first sector: end-of-chain when the chain has no sectors, else one of the file's.
std::string FirstSectorProblem(std::string_view bytes, std::size_t at, const char* field, unsigned long count,
                               unsigned long sectors)
{
    const unsigned long first = Little(bytes, at, 4);
    if (count == 0 && first != kEndOfChain)
        return Malformed(field, Sector(first), "not end-of-chain " + Hex(kEndOfChain, 8) + " for an empty chain");
    if (count != 0 && first >= sectors)
        return Malformed(field, Sector(first), "beyond the file's " + std::to_string(sectors) + " sectors");
    return "";
}

// The counts and the first sectors against the file's size (a last sector cut short
// counts), and the DIFAT count against the FAT count.
std::string SectorProblem(std::string_view bytes)
{
    const unsigned long shift = Little(bytes, kSectorShiftAt, 2);
    const unsigned long sectors = static_cast<unsigned long>((bytes.size() - 1) >> shift);
    const std::string within = "the file's " + std::to_string(sectors) + " sectors";
    const unsigned long fat = Little(bytes, kFatSectorsAt, 4);
    if (fat == 0 || fat > sectors)
        return Malformed("FAT sector count", std::to_string(fat), "not from 1 to " + within);
    // Each DIFAT sector lists the FAT sectors past the header's, and the next DIFAT sector.
    const unsigned long perDifatSector = (1ul << shift) / 4 - 1;
    const unsigned long difat =
        fat <= kHeaderFatEntries ? 0 : (fat - kHeaderFatEntries + perDifatSector - 1) / perDifatSector;
    const unsigned long difatCount = Little(bytes, kDifatSectorsAt, 4);
    if (difatCount != difat)
        return Malformed("DIFAT sector count", std::to_string(difatCount),
                         "not the " + std::to_string(difat) + " that the FAT sector count " + std::to_string(fat) +
                             " needs");
    const unsigned long miniFat = Little(bytes, kMiniFatSectorsAt, 4);
    if (miniFat > sectors)
        return Malformed("mini FAT sector count", std::to_string(miniFat), "more than " + within);
    const unsigned long directorySectors = Little(bytes, kDirectorySectorsAt, 4);
    if (directorySectors > sectors)
        return Malformed("directory sector count", std::to_string(directorySectors), "more than " + within);
    std::string problem = FirstSectorProblem(bytes, kFirstDifatSectorAt, "first DIFAT sector", difat, sectors);
    if (problem.empty())
        problem = FirstSectorProblem(bytes, kFirstMiniFatSectorAt, "first mini FAT sector", miniFat, sectors);
    if (problem.empty())
        problem = FirstSectorProblem(bytes, kFirstDirectorySectorAt, "first directory sector", 1, sectors);
    for (unsigned long i = 0; problem.empty() && i < std::min(fat, kHeaderFatEntries); ++i) {
        const unsigned long sector = Little(bytes, kHeaderFatAt + 4 * i, 4);
        if (sector >= sectors)
            problem = Malformed("FAT sector " + std::to_string(i), Sector(sector), "beyond " + within);
    }
    return problem;
}

}  // namespace

std::string PackageHeaderProblem(std::string_view bytes)
{
    if (bytes.empty())
        return "the package is empty: the first product a run would patch stops it with code 102";
    if (bytes.size() < kHeaderSize ||
        bytes.compare(0, sizeof kSignature,
                      std::string_view(reinterpret_cast<const char*>(kSignature), sizeof kSignature)) != 0)
        return "the package is not an OLE compound file (it does not start with D0 CF 11 E0 A1 B1 1A E1): the "
               "installer cannot open it as a patch";
    std::string problem = FixedFieldProblem(bytes);
    if (problem.empty())
        problem = SectorProblem(bytes);
    if (!problem.empty())
        return problem;
    const std::size_t root = (static_cast<std::size_t>(Little(bytes, kFirstDirectorySectorAt, 4)) + 1)
                             << Little(bytes, kSectorShiftAt, 2);
    if (root + kDirectoryEntrySize > bytes.size())
        return "the package's directory is cut short by its end: the installer cannot open it";
    const std::string classId = ClassId(bytes, root + kClassIdAt);
    if (classId == kDatabaseClass)
        return std::string("the package is an installer database (class id ") + kDatabaseClass +
               "), not a patch: the installer will not apply it as one";
    if (classId != kPatchClass)
        return "the package's root storage has the class id " + classId + ", not that of an installer patch " +
               kPatchClass + ": the installer will not apply it";
    return "";
}

}  // namespace check
