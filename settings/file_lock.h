#pragma once
// The advisory lock beside the settings file that every game of ours takes for
// its read-merge-write, and what only the lock's holder may do: sweep away the
// temporary files that a game killed while writing left behind.

#include <QByteArray>
#include <QString>
#include <chrono>

#include "settings/descriptor.h"

namespace quorvel::settings::detail {

// Takes the lock on `name`.lock in folder (or, where no lock file can be made,
// on the file itself), waiting at most `bound` for another game. The lock is
// held as long as `lock` is. False, with the reason, when it cannot be had.
bool takeLock(int folder, const QByteArray& name, std::chrono::milliseconds bound, Descriptor& lock,
              QString& reason);

// Removes the temporary files of our naming in folder. Only for the lock's
// holder; in a shared sticky folder only the user's own. False, with the
// reason, when one could not be removed.
bool sweepLeftovers(int folder, QString& reason);

}  // namespace quorvel::settings::detail
