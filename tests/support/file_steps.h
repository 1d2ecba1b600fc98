#pragma once
// Steps of the settings file's code made to fail from a test (its failStep
// hook), for the tests of the settings file.

#include <cstring>

#include "files/fault_hooks.h"

namespace quorvel::support {

// Makes one step of the file code fail with an error, `times` times (every time
// with -1), for one test.
class FailStep {
  public:
    FailStep(const char* step, int error, int times = 1) {
        files::test_hooks::failStep = [=, left = times](const char* asked) mutable {
            if (std::strcmp(asked, step) != 0 || left == 0) {
                return 0;
            }
            left -= left > 0 ? 1 : 0;
            return error;
        };
    }
    ~FailStep() { files::test_hooks::failStep = nullptr; }
    FailStep(const FailStep&) = delete;
    FailStep& operator=(const FailStep&) = delete;
};

}  // namespace quorvel::support
