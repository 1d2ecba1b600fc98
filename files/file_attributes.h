#pragma once
// Gives a new file what the old one had: owner, group, mode, ACL and extended
// attributes, so that replacing the settings file never makes it more open than
// it was nor loses what the user put on it. The new file's ACL is exactly the
// old one's, none when it had none, whatever the folder's default ACL gave it.

#include <sys/stat.h>

#include "files/outcome.h"

namespace quorvel::files::detail {

enum class Copy { Done, OwnerDiffers, Failed };

// Gives `to` the owner, group, mode and extended attributes of the open file
// `from` (whose status is `old`). OwnerDiffers when the process may not give it
// the old owner or group; Failed, with the reason, when the mode or an
// attribute that must be copied could not be.
Outcome<Copy> copyAttributes(int from, const struct stat& old, int to);

}  // namespace quorvel::files::detail
