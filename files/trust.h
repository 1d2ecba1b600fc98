#pragma once
// Whom the game trusts in a folder: one rule, by who besides its owner may
// write the folder and whose the entry is. In a folder that others may write,
// an entry of a stranger's (neither the user's nor the folder owner's) could
// have been put there to steer the game's write; the rule says, for each use
// of an entry, where such an entry is refused. It holds whether or not the
// system's own switches for shared folders (protected symlinks and hard
// links) are on.

#include <sys/stat.h>
#include <sys/types.h>

namespace quorvel::files {

// Who besides its owner may write a folder (through its group, an ACL, whose
// mask the group bits show, or everyone).
enum class Writers {
    OwnerOnly,
    Group,     // its group may, everyone else may not, no sticky bit
    Everyone,  // everyone may, no sticky bit
    Sticky,    // its group or everyone may, with the sticky bit (as /tmp)
};

// Whose an entry in the folder is.
enum class Whose { Users, FolderOwners, Strangers };

// What the entry is to be used for.
enum class Use {
    FollowLink,      // a symbolic link on the path
    OpenFile,        // the settings file itself
    SecondName,      // a file with more than one name (the owner does not count)
    UseLockFile,     // the lock file beside it
    RemoveLeftover,  // a leftover temporary file
};

Writers writersOf(const struct stat& folder);
Whose whoseIn(uid_t owner, const struct stat& folder);

// Whether an entry may be used so. A link is followed in a folder others may
// write only when it is not a stranger's (the system follows one only in a
// sticky folder); a file is opened in a sticky folder only when it is not a
// stranger's, as the system would allow it to be created; a second name is
// used only where nobody else could have made it; a lock file of a stranger's
// is refused where strangers may come (everyone may write, or a sticky
// folder), not in a folder its owner shares with a group by choice; a leftover
// in a sticky folder is removed only when it is the user's own.
bool trusts(Use use, Writers writers, Whose whose);

// The same for an entry owned by owner in folder.
bool trusts(Use use, const struct stat& folder, uid_t owner);

}  // namespace quorvel::files
