#pragma once
// The one way a system call of the careful file code is made: through a named
// step, which a test can make fail (test_hooks::failStep) before the call is
// made. Every system call of a read and a write goes through here, and each
// step's name is the words that a report of its failure says.

#include <cerrno>
#include <functional>
#include <type_traits>

namespace quorvel::files {

namespace test_hooks {
// Resolving the path and making its folders.
inline constexpr char kReadLink[] = "reading a symbolic link on the path";
inline constexpr char kCheckLink[] = "looking at a symbolic link on the path";
inline constexpr char kCheckLinkFolder[] = "looking at the folder of a symbolic link";
inline constexpr char kOpenFolder[] = "opening the folder";
inline constexpr char kOpenFolderOnPath[] = "opening a folder on the path";
inline constexpr char kMakeFolder[] = "making a folder on the path";
// Judging and reading the file.
inline constexpr char kCheckFolder[] = "looking at the folder";
inline constexpr char kLookAtName[] = "looking at the file";
inline constexpr char kOpenFile[] = "opening the file";
inline constexpr char kCheckFile[] = "looking at the opened file";
inline constexpr char kReadFile[] = "reading the file";
// The lock and the leftovers it guards.
inline constexpr char kLookAtLock[] = "looking at the lock file";
inline constexpr char kOpenLock[] = "opening the lock file";
inline constexpr char kCheckLock[] = "looking at the opened lock file";
inline constexpr char kLock[] = "locking the lock file";
inline constexpr char kListFolder[] = "listing the folder";
inline constexpr char kReadFolder[] = "reading the folder's entries";
inline constexpr char kLookAtLeftover[] = "looking at a leftover";
// The new content and its temporary file.
inline constexpr char kCheckAccess[] = "checking that the file may be written";
inline constexpr char kCreateTemporary[] = "creating a temporary file";
inline constexpr char kWrite[] = "writing the content";
inline constexpr char kTruncate[] = "cutting the file to its length";
inline constexpr char kSync[] = "syncing the content";
inline constexpr char kRemove[] = "removing a temporary file";
// The old file's attributes given to the new one.
inline constexpr char kChangeOwner[] = "giving the new file the old one's owner";
inline constexpr char kChangeGroup[] = "giving the new file the old one's group";
inline constexpr char kCheckTemporary[] = "looking at the new file";
inline constexpr char kChangeMode[] = "giving the new file the old one's mode";
inline constexpr char kListAttributes[] = "listing the old file's extended attributes";
inline constexpr char kGetAttribute[] = "reading an extended attribute of the old file";
inline constexpr char kCopyAttribute[] =
    "copying an extended attribute (or the ACL) of the old file";
inline constexpr char kDropAttribute[] =
    "removing the ACL that the new file took from its folder's default ACL";
// Putting the new content in the file's place.
inline constexpr char kOpenInPlace[] = "opening the file to write it in place";
inline constexpr char kSwap[] = "putting the new file in the file's place";
inline constexpr char kCheckSwappedOut[] = "looking at what the new file replaced";
inline constexpr char kSwapBack[] = "swapping the old file back";
inline constexpr char kRename[] = "renaming the new file to the file's name";
inline constexpr char kSyncFolder[] = "syncing the folder";

// Called between the check of the old file and its replacement, and when the
// lock is found taken by another process.
extern std::function<void()> beforeReplace;
extern std::function<void()> lockTaken;
// Asked before each system call with its step's name; a non-zero answer makes
// that call fail with that errno, without making it.
extern std::function<int(const char* step)> failStep;
}  // namespace test_hooks

namespace detail {

// Makes the system call of one step, unless a test makes the step fail: then
// errno holds the test's error and the call's failure value (-1, or no
// pointer) is returned.
template <typename Call>
auto step(const char* name, Call call) -> decltype(call()) {
    if (test_hooks::failStep) {
        if (const int error = test_hooks::failStep(name)) {
            errno = error;
            if constexpr (std::is_pointer_v<decltype(call())>) {
                return nullptr;
            } else {
                return -1;
            }
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

}  // namespace detail

}  // namespace quorvel::files
