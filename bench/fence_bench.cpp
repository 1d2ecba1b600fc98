// The start-up fence's own cost: shell::fenceIn as the game calls it before its
// application object (fontconfig brought up and Qt's runtime folder made, work
// the toolkit would do later anyway; the settings folder found and held, the
// Landlock ruleset made, its rule added, the process restricted), each run in
// a child of its own, since a fence cannot be lifted. The argument is the Landlock ABI asked
// for: 0 is the step on a kernel without Landlock, -1 the kernel's own, 6
// Debian 13's. Under callgrind, /6 counts the step's own instructions in user
// space (valgrind before 3.23 knows no Landlock call, so there the ruleset is
// refused and the kernel's part is left out):
//   --toggle-collect='quorvel::shell::fenceIn(int)'

#include <benchmark/benchmark.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <chrono>
#include <cstdlib>

#include "shell/application.h"

namespace {

// One fence in a child with HOME at home; the seconds it took, or a negative
// number when the child failed.
double fenceInChild(const QByteArray& home, int abi) {
    int result[2];
    if (::pipe(result) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("HOME", home.constData(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(quorvel::shell::fenceIn(abi).fenced);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const double seconds = took.count();
        const bool sent = ::write(result[1], &seconds, sizeof seconds) == sizeof seconds;
        ::_exit(sent ? 0 : 1);
    }
    ::close(result[1]);
    double seconds = -1;
    if (::read(result[0], &seconds, sizeof seconds) != sizeof seconds) {
        seconds = -1;
    }
    ::close(result[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

// The settings folder is there, as at every start but the first.
void BM_StartUpFence(benchmark::State& state) {
    const int abi =
        state.range(0) < 0 ? quorvel::settings::landlockAbi() : static_cast<int>(state.range(0));
    QTemporaryDir home;
    if (!home.isValid() || !QDir(home.path()).mkpath(QStringLiteral(".config"))) {
        state.SkipWithError("no temporary home");
        return;
    }
    const QByteArray path = QFile::encodeName(home.path());
    for (auto _ : state) {
        const double seconds = fenceInChild(path, abi);
        if (seconds < 0) {
            state.SkipWithError("the child failed");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["abi"] = abi;
}

BENCHMARK(BM_StartUpFence)
    ->Arg(0)
    ->Arg(-1)
    ->Arg(6)
    ->Iterations(300)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
