#pragma once
// What a step of reading or writing a file came to, as one value: what
// happened and, where it went wrong, the words of the report (the step that
// failed and the system's reason). Every step of the careful file code answers
// so; none hands a reason back through a parameter, and none answers "read"
// where nothing was read.

#include <QByteArray>
#include <QString>
#include <utility>
#include <variant>

namespace quorvel::files {

// Resolving a path: the folder is reached and held open, is not there (yet),
// or may not be used (a loop of links, a link that is not followed, an error).
enum class Reach { Reached, Missing, Failed };

// Whether what is at a name (if anything) may be used.
enum class Verdict { Usable, Refused };

// Missing gives the system's reason too, so the caller can report it if it has to.
enum class ReadResult { Read, Missing, Failed };

// Changed: the file is not the one read (replaced, written by someone else,
// appeared or gone); nothing was written, and a write read afresh may succeed.
enum class WriteResult { Written, Changed, Failed };

// NotHad: not within the bound (the write may go on without it, and says so);
// Refused: the lock file is one the game may not trust, nor the file then.
enum class LockResult { Taken, NotHad, Refused };

// A step that is done or not, with nothing more to say.
enum class Did { Done, Failed };

// `result`, the report's words (empty where there is nothing to say; on a
// success they are a remark worth reporting), and what the step hands on.
template <typename Result, typename Value = std::monostate>
struct [[nodiscard]] Outcome {
    Result result;
    QString reason = {};
    Value value = {};
};

using Done = Outcome<Did>;
using ReadOutcome = Outcome<ReadResult, QByteArray>;

inline Done done() {
    return {Did::Done};
}
inline Done failed(QString reason) {
    return {Did::Failed, std::move(reason)};
}

// The system's words for an error.
QString systemReason(int error);
// "<what>: <the system's words>", the words of a report of a failed call.
QString callFailed(const QString& what, int error);
// Two reasons, both said.
QString bothSaid(const QString& first, const QString& second);
QString tooLarge(qint64 maxBytes);
QString wouldBeTooLarge(qint64 maxBytes);
// The reason of a write not made because the file is not the one read (the
// report of the write given up says that it was given up, once).
QString changedMeanwhile();

}  // namespace quorvel::files
