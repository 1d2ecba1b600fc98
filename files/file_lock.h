#pragma once
// The advisory lock beside the settings file that every game of ours takes for
// its read-merge-write, and what only the lock's holder may do: sweep away the
// temporary files of this settings file that a game killed while writing left
// behind.

#include <QByteArray>
#include <chrono>

#include "files/descriptor.h"
#include "files/outcome.h"

namespace quorvel::files::detail {

// What holds the lock: the lock file beside the settings file or, only where
// the folder lets no lock file be made at all, the settings file itself, which
// must then stay the same file (it is written in place).
enum class LockOn { LockFile, TheFile };

struct HeldLock {
    Descriptor fd;
    LockOn on = LockOn::LockFile;
};

// Whether the lock file, if there is one, may be used (Use::UseLockFile):
// another's could be held, or made unopenable, to keep the game from writing
// in turn. Refused, with the reason, when the settings file is to be refused
// for it.
Outcome<Verdict> judgeLockFile(int folder, const QByteArray& name);

// Takes the lock on `name`.lock in folder (or, where no lock file can be made,
// on the file itself), waiting at most `bound` for another game, or for a lock
// file that is there but cannot be opened. The lock is held as long as the
// outcome's value is. NotHad or Refused, with the reason, when it cannot be had.
Outcome<LockResult, HeldLock> takeLock(int folder, const QByteArray& name,
                                       std::chrono::milliseconds bound);

// Removes the temporary files of the settings file `name` in folder (those of
// no other file). Only for the lock's holder; in a shared sticky folder only
// the user's own. Failed, with the reason, when one could not be removed.
Done sweepLeftovers(int folder, const QByteArray& name);

}  // namespace quorvel::files::detail
