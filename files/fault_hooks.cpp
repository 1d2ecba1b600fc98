// The test hooks' one home: unset in the game.
#include "files/fault_hooks.h"

namespace quorvel::files::test_hooks {

std::function<void()> beforeReplace;
std::function<void()> lockTaken;
std::function<int(const char*)> failStep;

}  // namespace quorvel::files::test_hooks
