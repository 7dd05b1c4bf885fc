// Reading the embedded package: its compound-file header, then its summary information through libmsi.
#include "package.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <libmsi.h>

#include "compoundfile.h"

namespace check {

namespace {

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
