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
// The reason of a write given up because the file is not the one read.
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

}  // namespace quorvel::settings::detail
