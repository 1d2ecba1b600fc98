#pragma once
// What one read of the settings file saw: the file's version (or that there
// was none) and its bytes. A write may go over only that version, so every
// check of "is this still the file that was read" asks unchanged() here.

#include <sys/stat.h>

#include <QByteArray>
#include <optional>
#include <utility>

#include "files/outcome.h"

namespace quorvel::files::detail {

// A file's identity (its device and inode), size and change time, which any
// write, truncation or attribute change moves on.
struct Version {
    std::pair<dev_t, ino_t> identity;
    off_t size;
    timespec changed;
};

// How closely a file must match the one read: the same content, or only the
// same file (a rename moves its change time on).
enum class Match { Content, SameFile };

// What a look at the name now finds against what was read.
enum class Check { Unchanged, Changed, Unknown };

class ReadSnapshot {
  public:
    // Reads the whole regular file `name` in folder, at most maxBytes bytes, and
    // remembers what it saw; Missing remembers that there was no file. Anything
    // else forgets the last read: nothing may then be written over.
    ReadOutcome take(int folder, const QByteArray& name, qint64 maxBytes);

    // Whether `now` (nullptr: no file there) is what the last read saw. False
    // when nothing was read.
    bool unchanged(const struct stat* now, Match match = Match::Content) const;

    // Whether the name in folder holds what the last read saw now; Unknown, with
    // the reason, when that cannot be told.
    Outcome<Check> atName(int folder, const QByteArray& name) const;

    // The bytes read (empty when there was no file).
    const QByteArray& content() const { return content_; }

  private:
    bool taken_ = false;
    std::optional<Version> version_;  // unset when the read found no file
    QByteArray content_;
};

}  // namespace quorvel::files::detail
