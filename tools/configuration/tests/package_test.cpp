// Tests of splaunch-check's package reading: a patch told from other packages, the reader in its child process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

#include "compoundfile.h"
#include "package.h"

using namespace check;

namespace {

const std::string kPatch = "{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}";
const std::string kCodes[] = {"{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}", "{4F2A7C15-3B9D-0407-A1E6-5C8D2B7F9031}"};

void Put(std::string& bytes, std::size_t at, int width, unsigned long value)
{
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<char>(value >> 8 * i);
}

struct Field {
    std::size_t at;
    int width;
    unsigned long value;
};

// The header fields of a version 3 file with one FAT sector (sector 0), the directory in sector 1 and no
// mini FAT or DIFAT.
// clang-format off
const Field kPatchHeader[] = {{0x18, 2, 0x3E}, {0x1A, 2, 3}, {0x1C, 2, 0xFFFE}, {0x1E, 2, 9}, {0x20, 2, 6},
                              {0x2C, 4, 1}, {0x30, 4, 1}, {0x38, 4, 4096}, {0x3C, 4, 0xFFFFFFFE},
                              {0x44, 4, 0xFFFFFFFE}, {0x4C, 4, 0}};
// clang-format on

// A patch of three 4096-byte sectors (23 of 512 after the header at major version 3): one FAT sector,
// then the directory, whose root has the patch class id where either sector size puts it; cut or
// grown with zeros to 'size'.
std::string Patch(const std::vector<Field>& changes = {}, std::size_t size = 3 * 4096)
{
    std::string patch(3 * 4096, '\0');
    patch.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    for (std::size_t at = 0x4C; at < 512; at += 4)
        Put(patch, at, 4, 0xFFFFFFFF);
    for (const Field& field : kPatchHeader)
        Put(patch, field.at, field.width, field.value);
    for (std::size_t root : {2 * 512, 2 * 4096})
        patch.replace(root + 0x50, 16, "\x86\x10\x0C\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    patch.resize(size);
    for (const Field& field : changes)
        Put(patch, field.at, field.width, field.value);
    return patch;
}

const std::string kMalformed = "the package's compound-file header is malformed: its ";

// clang-format off
const struct {
    const char* name;
    std::vector<Field> changes;
    std::string problem;
    std::size_t size = 3 * 4096;
} kHeaders[] = {
    {"a patch", {}, ""},
    {"a patch of major version 4, its directory all of it", {{0x1A, 2, 4}, {0x1E, 2, 12}, {0x28, 4, 2}}, ""},
    {"no bytes", {}, "the package is empty: the first product a run would patch stops it with code 102", 0},
    {"an installer database", {{2 * 512 + 0x50, 1, 0x84}}, "the package is an installer database (class id "
     "{000C1084-0000-0000-C000-000000000046}), not a patch: the installer will not apply it as one"},
    {"another class id, in a directory that ends the file", {{0x30, 4, 23}, {24 * 512 + 0x50, 4, 0xC1185},
     {24 * 512 + 0x54, 2, 1}, {24 * 512 + 0x5F, 1, 0x47}}, "the package's root storage has the class id {000C1185-"
     "0001-0000-0000-000000000047}, not that of an installer patch {000C1086-0000-0000-C000-000000000046}: the "
     "installer will not apply it", 3 * 4096 + 128},
    {"a directory cut short", {{0x30, 4, 23}}, "the package's directory is cut short by its end: the installer cannot "
     "open it", 3 * 4096 + 127},
    {"a program", {{0, 2, 'M' | 'Z' << 8}}, "the package is not an OLE compound file (it does not start with D0 CF 11 "
     "E0 A1 B1 1A E1): the installer cannot open it as a patch"},
    {"minor version", {{0x18, 2, 0x3F}}, kMalformed + "minor version is 0x003F, not 0x003E"},
    {"byte order", {{0x1C, 2, 0xFEFF}}, kMalformed + "byte order mark is 0xFEFF, not 0xFFFE"},
    {"major version", {{0x1A, 2, 5}}, kMalformed + "major version is 5, not 3 or 4"},
    {"sector shift", {{0x1E, 2, 12}}, kMalformed + "sector shift is 12, not the 9 of major version 3"},
    {"mini sector shift", {{0x20, 2, 7}}, kMalformed + "mini sector shift is 7, not 6"},
    {"reserved bytes", {{0x27, 1, 1}}, kMalformed + "reserved byte at 0x27 is 0x01, not 0"},
    {"directory sectors at version 3", {{0x28, 4, 1}}, kMalformed + "directory sector count is 1, not the 0 of major "
     "version 3"},
    {"mini-stream cutoff, one byte flipped", {{0x39, 1, 0xEF}}, kMalformed + "mini-stream cutoff is 61184, not 4096"},
    {"FAT sectors", {{0x2C, 4, 24}}, kMalformed + "FAT sector count is 24, not from 1 to the file's 23 sectors"},
    {"no FAT sector", {{0x2C, 4, 0}}, kMalformed + "FAT sector count is 0, not from 1 to the file's 23 sectors"},
    {"a last sector cut short counts", {{0x2C, 4, 24}}, kMalformed + "FAT sector 1 is 0xFFFFFFFF, beyond the file's 24 "
     "sectors", 3 * 4096 + 1},
    {"DIFAT sectors", {{0x48, 4, 1}}, kMalformed + "DIFAT sector count is 1, not the 0 that the FAT sector count 1 "
     "needs"},
    {"DIFAT sectors for 237 FAT sectors", {{0x2C, 4, 237}}, kMalformed + "DIFAT sector count is 0, not the "
     "2 that the FAT sector count 237 needs", 239 * 512},
    {"mini FAT sectors", {{0x40, 4, 24}}, kMalformed + "mini FAT sector count is 24, more than the file's 23 sectors"},
    {"directory sectors at version 4", {{0x1A, 2, 4}, {0x1E, 2, 12}, {0x28, 4, 3}}, kMalformed + "directory sector "
     "count is 3, more than the file's 2 sectors"},
    {"first DIFAT sector", {{0x44, 4, 0}}, kMalformed + "first DIFAT sector is 0, not end-of-chain 0xFFFFFFFE for an "
     "empty chain"},
    {"first mini FAT sector", {{0x40, 4, 23}, {0x3C, 4, 23}}, kMalformed + "first mini FAT sector is 23, beyond the "
     "file's 23 sectors"},
    {"first directory sector", {{0x30, 4, 23}}, kMalformed + "first directory sector is 23, beyond the file's 23 "
     "sectors"},
    {"a FAT sector the header lists", {{0x4C, 4, 23}}, kMalformed + "FAT sector 0 is 23, beyond the file's 23 sectors"},
};
// clang-format on

// The resource reader meets windres's real output in every target build; here, what tells a patch from other
// compound files and from malformed ones.
TEST(Check, TellsAPatchFromOtherPackages)
{
    for (const auto& test : kHeaders) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(PackageHeaderProblem(Patch(test.changes, test.size)), test.problem);
    }
}

// Readers that stand for libmsi in the child process, well-behaved or not.
// clang-format off
const struct {
    const char* name;
    SummaryReader reader;
    std::string problem;
} kReaders[] = {
    {"a reader that finds the targets",
     [](const std::string&, PackageSummary& s) {
         s.revision = kPatch;
         s.targets = {kCodes[0], kCodes[1]};
         s.transforms = {{"RTM_To_SP1", kCodes[0], "7.0.43.5", ""}, {"Gone", "", "", "no such substorage"}}; },
     ""},
    {"a reader that crashes", [](const std::string&, PackageSummary&) { std::abort(); },
     "the package cannot be read: reading its summary information crashed with signal 6"},
    {"a reader that hangs", [](const std::string&, PackageSummary&) { (void)pause(); },
     "the package cannot be read: reading its summary information took longer than 2 seconds"},
    {"a reader that leaves at once", [](const std::string&, PackageSummary&) { _exit(0); },
     "the package cannot be read: reading its summary information stopped with exit code 0 and no result"},
};
// clang-format on

TEST(Check, ReadsThePackageApartAndLeavesNoCopy)
{
    char folder[] = "/tmp/splaunch-check-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous != nullptr ? previous : "";
    ASSERT_EQ(setenv("TMPDIR", folder, 1), 0);
    for (const auto& test : kReaders) {
        SCOPED_TRACE(test.name);
        const PackageSummary summary = ReadPackage(Patch(), test.reader, 2);
        EXPECT_EQ(summary.problem.substr(0, test.problem.empty() ? std::string::npos : test.problem.size()),
                  test.problem);
        const std::vector<std::string> targets = {kCodes[0], kCodes[1]};
        EXPECT_EQ(summary.targets, test.problem.empty() ? targets : std::vector<std::string>());
        EXPECT_EQ(summary.revision, test.problem.empty() ? kPatch : "");
        ASSERT_EQ(summary.transforms.size(), test.problem.empty() ? 2u : 0u);
        if (test.problem.empty()) {
            EXPECT_EQ(summary.transforms[0].productCode + " " + summary.transforms[0].oldVersion,
                      kCodes[0] + " 7.0.43.5");
            EXPECT_EQ(summary.transforms[1].name + ": " + summary.transforms[1].problem, "Gone: no such substorage");
        }
    }
    EXPECT_EQ(previous != nullptr ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR"), 0);
    EXPECT_EQ(rmdir(folder), 0) << "a temporary copy is left in " << folder;
}

}  // namespace
