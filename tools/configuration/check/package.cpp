// Reading the embedded package: its header on the bytes, then its summary through libmsi in a child process.
#include "package.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <libmsi.h>

#include "compoundfile.h"

namespace check {

namespace {

// How every report of a reader that failed starts.
const char kCannotRead[] = "the package cannot be read: ";

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

// FALSE when the bytes could not all be written.
bool WriteAll(int fd, const std::string& bytes)
{
    for (std::size_t written = 0; written < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The package's bytes in a new file of the temporary folder, removed with the object.
class TemporaryCopy {
public:
    explicit TemporaryCopy(const std::string& bytes);
    ~TemporaryCopy()
    {
        if (!m_path.empty())
            (void)unlink(m_path.c_str());
    }
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;
    // Empty when the copy could not be made.
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

TemporaryCopy::TemporaryCopy(const std::string& bytes)
{
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/splaunch-check-XXXXXX";
    const int fd = mkstemp(&path[0]);
    if (fd < 0)
        return;
    const bool written = WriteAll(fd, bytes);
    if (close(fd) == 0 && written)
        m_path = path;
    else
        (void)unlink(path.c_str());
}

// What the child hands back: the problem, the revision and each target, each ended by a
// NUL (none holds one: libmsi gives C strings).
std::string Record(const PackageSummary& summary)
{
    std::string record = summary.problem + '\0' + summary.revision + '\0';
    for (const std::string& target : summary.targets)
        record += target + '\0';
    return record;
}

// FALSE when the record is cut short.
bool ReadRecord(const std::string& record, PackageSummary& summary)
{
    std::vector<std::string> fields;
    for (std::size_t start = 0, end; start < record.size(); start = end + 1) {
        end = record.find('\0', start);
        if (end == std::string::npos)
            return false;
        fields.push_back(record.substr(start, end - start));
    }
    if (fields.size() < 2)
        return false;
    summary.problem = fields[0];
    summary.revision = fields[1];
    summary.targets.assign(fields.begin() + 2, fields.end());
    return true;
}

// The child: reads the file within 'seconds' (SIGALRM ends it otherwise), writes its
// record, and leaves without running the parent's exit handlers or flushing its buffers.
[[noreturn]] void ReadInChild(int fd, const std::string& path, SummaryReader reader, unsigned seconds)
{
    (void)std::signal(SIGALRM, SIG_DFL);
    (void)alarm(seconds);
    PackageSummary found;
    try {
        reader(path, found);
    } catch (...) {
        _exit(1);
    }
    _exit(WriteAll(fd, Record(found)) ? 0 : 1);
}

// How a child that gave no record ended.
std::string ChildEnd(int status, unsigned seconds)
{
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM)
        return "took longer than " + std::to_string(seconds) + " seconds";
    if (WIFSIGNALED(status))
        return "crashed with signal " + std::to_string(WTERMSIG(status)) + " (" + strsignal(WTERMSIG(status)) + ")";
    if (WIFEXITED(status))
        return "stopped with exit code " + std::to_string(WEXITSTATUS(status)) + " and no result";
    return "stopped with no result";
}

// Runs 'reader' on the file in a child process and takes its findings into 'summary'; a
// child that ends without them leaves its problem, saying how it ended.
void ReadApart(const std::string& path, SummaryReader reader, unsigned seconds, PackageSummary& summary)
{
    int fds[2];
    if (pipe(fds) != 0) {
        summary.problem = std::string(kCannotRead) + "no pipe for its reader: " + std::strerror(errno);
        return;
    }
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        (void)close(fds[0]);
        (void)close(fds[1]);
        summary.problem = std::string(kCannotRead) + "no process for its reader: " + std::strerror(error);
        return;
    }
    if (child == 0) {
        (void)close(fds[0]);
        ReadInChild(fds[1], path, reader, seconds);
    }
    (void)close(fds[1]);
    std::string record;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n > 0)
            record.append(buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    (void)close(fds[0]);
    int status = 0;
    pid_t waited;
    while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
    }
    if (waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0 && ReadRecord(record, summary))
        return;
    summary.problem = kCannotRead + (waited == child ? "reading its summary information " + ChildEnd(status, seconds)
                                                     : "its reader was lost: " + std::string(std::strerror(errno)));
}

}  // namespace

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

PackageSummary ReadPackage(const std::string& bytes, SummaryReader reader, unsigned seconds)
{
    PackageSummary summary;
    summary.present = true;
    summary.problem = PackageHeaderProblem(bytes);
    if (!summary.problem.empty())
        return summary;
    // libmsi reads files only: the bytes go to a temporary one for as long as it takes.
    const TemporaryCopy copy(bytes);
    if (copy.Path().empty()) {
        summary.problem = "the package could not be written to a temporary file for reading";
        return summary;
    }
    ReadApart(copy.Path(), reader, seconds, summary);
    return summary;
}

}  // namespace check
