#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

#include "builder/shell_command.h"

extern char** environ;

namespace zsetup {
namespace {

// A file descriptor closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void Close() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_{};
};

std::runtime_error CannotRun(const char* what, int error) {
    return std::runtime_error(std::string("Cannot run /bin/sh: ") + what + ": " + std::strerror(error));
}

}  // namespace

CommandOutcome RunShellCommand(const std::string& command_line) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) throw CannotRun("pipe", errno);
    Descriptor reading(ends[0]), writing(ends[1]);
    SpawnActions actions;
    // Both streams into the one pipe, in the order the command wrote them.
    posix_spawn_file_actions_addopen(actions.get(), STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.get(), writing.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(actions.get(), writing.get(), STDERR_FILENO);
    const char* argv[] = {"sh", "-c", command_line.c_str(), nullptr};
    pid_t child = 0;
    const int spawned = posix_spawn(&child, "/bin/sh", actions.get(), nullptr, const_cast<char* const*>(argv), environ);
    if (spawned != 0) throw CannotRun("spawn", spawned);
    writing.Close();  // the command holds the only writing end: the read ends with it

    CommandOutcome outcome;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(reading.get(), buffer, sizeof buffer);
        if (n > 0) KeepCommandOutput(outcome.output, buffer, static_cast<std::size_t>(n));
        else if (n == 0 || errno != EINTR) break;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0)
        if (errno != EINTR) throw CannotRun("wait", errno);
    outcome.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return outcome;
}

std::string ShellQuoted(const std::filesystem::path& path) {
    // Between single quotes sh takes every byte as it is, but a single quote:
    // that one closes the quotes, is written escaped, and opens them again.
    std::string quoted = "'";
    for (char c : path.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace zsetup
