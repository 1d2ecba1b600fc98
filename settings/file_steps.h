#pragma once
// What every step of reading and writing the settings file shares: the
// system's reason for an error as text, the reasons of our own, and the one way
// a system call of a named step is made, so that a test can make that step
// fail (test_hooks::failStep). No step sets errno itself except through here.

#include <QString>
#include <cerrno>

#include "settings/regular_file.h"

namespace quorvel::settings::detail {

QString systemReason(int error);
QString tooLarge(qint64 maxBytes);
QString wouldBeTooLarge(qint64 maxBytes);
// The reason of a write not made because the file is not the one read (the
// report of the write given up says that it was given up, once).
QString changedMeanwhile();

// Makes the system call of one step, unless a test makes the step fail: then
// errno holds the test's error and the call's failure value is returned.
template <typename Call>
auto step(const char* name, Call call) -> decltype(call()) {
    if (test_hooks::failStep) {
        if (const int error = test_hooks::failStep(name)) {
            errno = error;
            return -1;
        }
    }
    return call();
}

// How often in a row one call may be interrupted (EINTR) before it fails with
// that: a file system that keeps answering so (a FUSE or network mount) must
// not hold the game, which then cannot even quit on a signal.
inline constexpr int kMaxInterruptions = 64;

// Makes the call of one step, again when it was interrupted, at most
// kMaxInterruptions times more.
template <typename Call>
auto retried(const char* name, Call call) -> decltype(call()) {
    for (int interrupted = 0;; ++interrupted) {
        const auto result = step(name, call);
        if (result >= 0 || errno != EINTR || interrupted == kMaxInterruptions) {
            return result;
        }
    }
}

}  // namespace quorvel::settings::detail
