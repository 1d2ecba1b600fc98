#include "process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <thread>

extern char** environ;

namespace quorvel::e2e {

namespace {

using Clock = std::chrono::steady_clock;

std::vector<char*> pointers(const std::vector<std::string>& strings) {
    std::vector<char*> result;
    result.reserve(strings.size() + 1);
    for (const std::string& s : strings) {
        result.push_back(const_cast<char*>(s.c_str()));
    }
    result.push_back(nullptr);
    return result;
}

// In the forked child: die with the test, then become the program. Only calls that
// are safe between fork and exec.
[[noreturn]] void becomeProgram(char* const* argv, char* const* envp, int outFd, int errFd) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    const int devNull = open("/dev/null", O_RDONLY);
    if (devNull >= 0) {
        dup2(devNull, STDIN_FILENO);
    }
    dup2(outFd, STDOUT_FILENO);
    dup2(errFd, STDERR_FILENO);
    // Its own process group, so that a terminal's signals go to the test alone.
    setpgid(0, 0);
    execve(argv[0], argv, envp);
    _exit(127);
}

std::string resolve(const std::string& program) {
    if (program.find('/') != std::string::npos) {
        return program;
    }
    return findProgram(program);
}

}  // namespace

Environment Environment::inherited() {
    Environment env;
    for (char** e = environ; *e != nullptr; ++e) {
        env.entries_.emplace_back(*e);
    }
    return env;
}

void Environment::set(const std::string& name, const std::string& value) {
    unset(name);
    entries_.push_back(name + "=" + value);
}

void Environment::unset(const std::string& name) {
    const std::string prefix = name + "=";
    std::erase_if(entries_, [&](const std::string& e) { return e.starts_with(prefix); });
}

std::string findProgram(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (dir.empty()) {
            continue;
        }
        const std::filesystem::path candidate = std::filesystem::path(dir) / name;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return {};
}

Child::~Child() {
    stop();
}

std::string Child::start(const std::vector<std::string>& argv, const Environment& env,
                         const std::string& logPath) {
    std::vector<std::string> args = argv;
    args.at(0) = resolve(args.at(0));
    if (args[0].empty()) {
        return "program " + argv[0] + " not found in PATH";
    }
    const int logFd = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (logFd < 0) {
        return "cannot create " + logPath + ": " + std::strerror(errno);
    }
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(env.entries());
    const pid_t pid = fork();
    if (pid == 0) {
        becomeProgram(argp.data(), envp.data(), logFd, logFd);
    }
    close(logFd);
    if (pid < 0) {
        return std::string("fork failed: ") + std::strerror(errno);
    }
    pid_ = pid;
    status_.reset();
    return {};
}

bool Child::running() {
    if (pid_ <= 0 || status_) {
        return false;
    }
    int status = 0;
    const pid_t r = waitpid(pid_, &status, WNOHANG);
    if (r == pid_) {
        status_ = status;
        return false;
    }
    return r == 0;
}

std::optional<int> Child::waitForExit(Milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (running()) {
        if (Clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(Milliseconds(20));
    }
    return status_;
}

void Child::stop() {
    if (!running()) {
        return;
    }
    kill(pid_, SIGTERM);
    if (waitForExit(Milliseconds(3000))) {
        return;
    }
    kill(pid_, SIGKILL);
    int status = 0;
    if (waitpid(pid_, &status, 0) == pid_) {
        status_ = status;
    }
}

bool CommandResult::ok() const {
    return started && !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string CommandResult::describe() const {
    std::string text;
    if (!started) {
        text = "could not be started";
    } else if (timedOut) {
        text = "did not finish in time";
    } else {
        text = describeStatus(status);
    }
    if (!err.empty()) {
        text += ": " + err;
    }
    return text;
}

std::string describeStatus(int status) {
    if (WIFEXITED(status)) {
        return "exit code " + std::to_string(WEXITSTATUS(status));
    }
    if (WIFSIGNALED(status)) {
        return "killed by signal " + std::to_string(WTERMSIG(status));
    }
    return "wait status " + std::to_string(status);
}

CommandResult runCommand(const std::vector<std::string>& argv, const Environment& env,
                         Milliseconds timeout) {
    CommandResult result;
    std::vector<std::string> args = argv;
    args.at(0) = resolve(args.at(0));
    if (args[0].empty()) {
        result.err = argv[0] + " not found in PATH";
        return result;
    }
    int outPipe[2];
    int errPipe[2];
    if (pipe2(outPipe, O_CLOEXEC) != 0) {
        result.err = "pipe failed";
        return result;
    }
    if (pipe2(errPipe, O_CLOEXEC) != 0) {
        close(outPipe[0]);
        close(outPipe[1]);
        result.err = "pipe failed";
        return result;
    }
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(env.entries());
    const pid_t pid = fork();
    if (pid == 0) {
        becomeProgram(argp.data(), envp.data(), outPipe[1], errPipe[1]);
    }
    close(outPipe[1]);
    close(errPipe[1]);
    if (pid < 0) {
        close(outPipe[0]);
        close(errPipe[0]);
        result.err = "fork failed";
        return result;
    }
    result.started = true;

    const auto deadline = Clock::now() + timeout;
    pollfd fds[2] = {{outPipe[0], POLLIN, 0}, {errPipe[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open = 2;
    char buffer[65536];
    while (open > 0) {
        const auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            result.timedOut = true;
            break;
        }
        if (poll(fds, 2, static_cast<int>(left)) < 0 && errno != EINTR) {
            break;
        }
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& fd : fds) {
        if (fd.fd >= 0) {
            close(fd.fd);
        }
    }
    if (result.timedOut) {
        kill(pid, SIGKILL);
    }
    int status = 0;
    // The pipes are closed, so the command has ended or is ending (a command that
    // closed its output early is given the rest of its time).
    while (!result.timedOut) {
        const pid_t r = waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            result.status = status;
            return result;
        }
        if (Clock::now() >= deadline) {
            result.timedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        std::this_thread::sleep_for(Milliseconds(5));
    }
    waitpid(pid, &status, 0);
    result.status = status;
    return result;
}

}  // namespace quorvel::e2e
