#include "cli_runner.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quarry {

namespace {

std::string readAll(int fd) {
    std::string text;
    char buffer[4096];
    ::lseek(fd, 0, SEEK_SET);
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(n));
    return text;
}

int temporaryFile() {
    char name[] = "/tmp/quarry-cli-test-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd >= 0) ::unlink(name);
    return fd;
}

// Forks and runs the tool with the given descriptors as standard output and
// error. The alarm outlives exec, so a tool that hangs is ended by SIGALRM.
pid_t spawn(const std::vector<std::string>& args, int outFd, int errFd,
            unsigned timeLimitSeconds = cCliRunOptions().timeLimitSeconds) {
    std::vector<char*> argv;
    static char program[] = QUARRY_CLI_PATH;
    argv.push_back(program);
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outFd, STDOUT_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        ::alarm(timeLimitSeconds);
        ::execv(program, argv.data());
        ::_exit(127);
    }
    return pid;
}

int waitStatus(pid_t pid) {
    int raw = 0;
    if (pid < 0 || ::waitpid(pid, &raw, 0) != pid || !WIFEXITED(raw)) return -1;
    return WEXITSTATUS(raw);
}

} // namespace

cCliResult runCli(const std::vector<std::string>& args, const cCliRunOptions& options) {
    cCliResult result;
    const int outFd = options.outputPath.empty()
                          ? temporaryFile()
                          : ::open(options.outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int errFd = temporaryFile();
    if (outFd < 0 || errFd < 0) return result;
    result.status = waitStatus(spawn(args, outFd, errFd, options.timeLimitSeconds));
    if (options.outputPath.empty()) result.out = readAll(outFd);
    result.err = readAll(errFd);
    ::close(outFd);
    ::close(errFd);
    return result;
}

cCliResult runCliWithTerminalStderr(const std::vector<std::string>& args) {
    cCliResult result;
    const int outFd = temporaryFile();
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (outFd < 0 || master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) return result;
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    if (slave < 0) return result;
    const pid_t pid = spawn(args, outFd, slave);
    ::close(slave);

    // Drain the terminal while the tool runs, so it never blocks on a full one;
    // reading ends when the last holder of the terminal's other side is gone.
    char buffer[4096];
    for (;;) {
        pollfd ready{master, POLLIN, 0};
        if (::poll(&ready, 1, 10000) <= 0) break;
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n <= 0) break;
        result.err.append(buffer, std::size_t(n));
    }
    result.status = waitStatus(pid);
    result.out = readAll(outFd);
    ::close(master);
    ::close(outFd);
    return result;
}

} // namespace quarry
