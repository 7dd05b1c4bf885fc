// Running a reader of untrusted files in a child process bounded in time.
#include "apart.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include "files.h"

namespace check {

namespace {

// The fields as the child hands them back: each ended by a NUL.
std::string Record(const std::vector<std::string>& fields)
{
    std::string record;
    for (const std::string& field : fields)
        record += field + '\0';
    return record;
}

// FALSE when the record is empty or cut short.
bool ReadRecord(const std::string& record, std::vector<std::string>& fields)
{
    fields.clear();
    if (record.empty())
        return false;
    for (std::size_t start = 0, end; start < record.size(); start = end + 1) {
        end = record.find('\0', start);
        if (end == std::string::npos)
            return false;
        fields.push_back(record.substr(start, end - start));
    }
    return true;
}

// The child: works within 'seconds' (SIGALRM ends it otherwise), writes its record, and
// leaves without running the parent's exit handlers or flushing its buffers.
[[noreturn]] void WorkInChild(int fd, const std::function<std::vector<std::string>()>& work, unsigned seconds)
{
    (void)std::signal(SIGALRM, SIG_DFL);
    (void)alarm(seconds);
    std::string record;
    try {
        record = Record(work());
    } catch (...) {
        _exit(1);
    }
    _exit(WriteAll(fd, record) ? 0 : 1);
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

}  // namespace

std::string RunApart(const std::string& what, const std::function<std::vector<std::string>()>& work, unsigned seconds,
                     std::vector<std::string>& fields)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "no pipe for " + what + ": " + std::strerror(errno);
    const pid_t child = fork();
    if (child < 0) {
        const int error = errno;
        (void)close(fds[0]);
        (void)close(fds[1]);
        return "no process for " + what + ": " + std::strerror(error);
    }
    if (child == 0) {
        (void)close(fds[0]);
        WorkInChild(fds[1], work, seconds);
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
    if (waited != child)
        return what + " was lost: " + std::strerror(errno);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && ReadRecord(record, fields))
        return "";
    return what + " " + ChildEnd(status, seconds);
}

}  // namespace check
