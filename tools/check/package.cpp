// Reading the embedded package: its compound-file header, then its summary information through libmsi.
#include "package.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <libmsi.h>

namespace check {

namespace {

const unsigned char kSignature[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
const char kPatchClass[] = "{000C1086-0000-0000-C000-000000000046}";
const char kDatabaseClass[] = "{000C1084-0000-0000-C000-000000000046}";
const std::size_t kHeaderSize = 512;
const std::size_t kDirectoryEntrySize = 128;
const std::size_t kSectorShiftAt = 0x1E;
const std::size_t kDirectorySectorAt = 0x30;
const std::size_t kClassIdAt = 0x50;

unsigned long Little(const std::string& bytes, std::size_t at, int count)
{
    unsigned long value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// A class id as stored (three little-endian fields, then eight bytes) in its braced text form.
std::string ClassId(const std::string& bytes, std::size_t at)
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

// libmsi and the storage library under it say why a file cannot be read only through
// the log; the reader keeps the first message for its report instead of printing it.
void KeepMessage(const gchar*, GLogLevelFlags, const gchar* message, gpointer kept)
{
    std::string& text = *static_cast<std::string*>(kept);
    if (text.empty())
        text = message;
}

// Reads one string property; "" with the missing property's name in 'problem' when absent.
std::string Property(LibmsiSummaryInfo* info, LibmsiProperty property, const char* name, std::string& problem)
{
    GError* error = nullptr;
    if (libmsi_summary_info_get_property_type(info, property, &error) != LIBMSI_PROPERTY_TYPE_STRING) {
        g_clear_error(&error);
        problem = std::string("the package's summary information has no ") + name +
                  ": the installer does not know what it patches";
        return "";
    }
    const gchar* value = libmsi_summary_info_get_string(info, property, &error);
    g_clear_error(&error);
    return value == nullptr ? "" : value;
}

void ReadSummary(const std::string& path, PackageSummary& summary)
{
    std::string message;
    const GLogFunc previous = g_log_set_default_handler(KeepMessage, &message);
    GError* error = nullptr;
    LibmsiDatabase* database = libmsi_database_new(path.c_str(), LIBMSI_DB_FLAGS_READONLY, nullptr, &error);
    LibmsiSummaryInfo* info = database == nullptr ? nullptr : libmsi_summary_info_new(database, 0, &error);
    if (info == nullptr) {
        const std::string why = error != nullptr ? error->message : message;
        summary.problem = "the package has no readable summary information" + (why.empty() ? "" : " (" + why + ")") +
                          ": the installer will not take it as a patch";
    } else {
        const std::string targets = Property(info, LIBMSI_PROPERTY_TEMPLATE, "Template", summary.problem);
        summary.revision = Property(info, LIBMSI_PROPERTY_UUID, "Revision number", summary.problem);
        for (std::size_t start = 0; start <= targets.size();) {
            std::size_t end = targets.find(';', start);
            end = end == std::string::npos ? targets.size() : end;
            if (end > start)
                summary.targets.push_back(targets.substr(start, end - start));
            start = end + 1;
        }
    }
    g_clear_error(&error);
    if (info != nullptr)
        g_object_unref(info);
    if (database != nullptr)
        g_object_unref(database);
    g_log_set_default_handler(previous, nullptr);
}

}  // namespace

std::string PackageHeaderProblem(const std::string& bytes)
{
    if (bytes.empty())
        return "the package is empty: the first product a run would patch stops it with code 102";
    if (bytes.size() < kHeaderSize ||
        bytes.compare(0, sizeof kSignature, reinterpret_cast<const char*>(kSignature), sizeof kSignature) != 0)
        return "the package is not an OLE compound file (it does not start with D0 CF 11 E0 A1 B1 1A E1): the "
               "installer cannot open it as a patch";
    const unsigned long shift = Little(bytes, kSectorShiftAt, 2);
    if (shift != 9 && shift != 12)
        return "the package's compound-file header gives a sector shift of " + std::to_string(shift) +
               ": the installer cannot open it";
    const unsigned long long root = (static_cast<unsigned long long>(Little(bytes, kDirectorySectorAt, 4)) + 1)
                                    << shift;
    if (root + kDirectoryEntrySize > bytes.size())
        return "the package's directory lies beyond its end: the installer cannot open it";
    const std::string classId = ClassId(bytes, static_cast<std::size_t>(root) + kClassIdAt);
    if (classId == kDatabaseClass)
        return std::string("the package is an installer database (class id ") + kDatabaseClass +
               "), not a patch: the installer will not apply it as one";
    if (classId != kPatchClass)
        return "the package's root storage has the class id " + classId + ", not that of an installer patch " +
               kPatchClass + ": the installer will not apply it";
    return "";
}

PackageSummary ReadPackage(const std::string& bytes)
{
    PackageSummary summary;
    summary.present = true;
    summary.problem = PackageHeaderProblem(bytes);
    if (!summary.problem.empty())
        return summary;
    // libmsi reads files only: the bytes go to a temporary one for as long as it takes.
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/splaunch-check-XXXXXX";
    const int fd = mkstemp(&path[0]);
    if (fd < 0) {
        summary.problem = "the package could not be written to a temporary file for reading";
        return summary;
    }
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    close(fd);
    if (written == bytes.size())
        ReadSummary(path, summary);
    else
        summary.problem = "the package could not be written to a temporary file for reading";
    unlink(path.c_str());
    return summary;
}

}  // namespace check
