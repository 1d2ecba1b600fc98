#pragma once
// Processes for the end-to-end test: children that the test starts, watches and
// ends itself (by process id only), and short commands whose output it reads, each
// with a bounded wait.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace quorvel::e2e {

using Milliseconds = std::chrono::milliseconds;

// A process environment as NAME=value entries.
class Environment {
  public:
    // A copy of this process's own environment.
    static Environment inherited();

    void set(const std::string& name, const std::string& value);
    void unset(const std::string& name);
    const std::vector<std::string>& entries() const { return entries_; }

  private:
    std::vector<std::string> entries_;
};

// The full path of a program found in PATH, or an empty string.
std::string findProgram(const std::string& name);

// A program running in the background with its output going to a log file. It dies
// with the test process, and the destructor ends it (SIGTERM, then SIGKILL after a
// grace period) and reaps it, so a failed assertion never leaves it behind.
class Child {
  public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();

    // Starts argv[0] (a full path). Returns an error text, empty on success.
    std::string start(const std::vector<std::string>& argv, const Environment& env,
                      const std::string& logPath);

    pid_t pid() const { return pid_; }
    // True while the process has not ended.
    bool running();
    // Waits up to `timeout` for the process to end; its wait status, or nothing.
    std::optional<int> waitForExit(Milliseconds timeout);
    // Ends the process if it still runs and reaps it.
    void stop();
    // The wait status once the process has ended.
    std::optional<int> exitStatus() const { return status_; }

  private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

struct CommandResult {
    bool started = false;
    bool timedOut = false;
    int status = -1;  // wait status
    std::string out;
    std::string err;

    // Started, ended within its time and exited with code 0.
    bool ok() const;
    // "exit code 1: <stderr>" and the like, for failure messages.
    std::string describe() const;
};

// Runs a command to its end, reading its standard output and error, and kills it
// if it is still running after `timeout`.
CommandResult runCommand(const std::vector<std::string>& argv, const Environment& env,
                         Milliseconds timeout);

// "exit code 3", "killed by signal 9".
std::string describeStatus(int status);

}  // namespace quorvel::e2e
