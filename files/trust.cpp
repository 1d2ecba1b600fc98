#include "files/trust.h"

#include <unistd.h>

namespace quorvel::files {

Writers writersOf(const struct stat& folder) {
    const mode_t mode = folder.st_mode;
    if ((mode & (S_IWGRP | S_IWOTH)) == 0) {
        return Writers::OwnerOnly;
    }
    if ((mode & S_ISVTX) != 0) {
        return Writers::Sticky;
    }
    return (mode & S_IWOTH) != 0 ? Writers::Everyone : Writers::Group;
}

Whose whoseIn(uid_t owner, const struct stat& folder) {
    return owner == ::geteuid()     ? Whose::Users
           : owner == folder.st_uid ? Whose::FolderOwners
                                    : Whose::Strangers;
}

bool trusts(Use use, Writers writers, Whose whose) {
    const bool stranger = whose == Whose::Strangers;
    switch (use) {
        case Use::FollowLink:
            return writers == Writers::OwnerOnly || !stranger;
        case Use::OpenFile:
            return writers != Writers::Sticky || !stranger;
        case Use::SecondName:
            return writers == Writers::OwnerOnly;
        case Use::UseLockFile:
            return (writers != Writers::Sticky && writers != Writers::Everyone) || !stranger;
        case Use::RemoveLeftover:
            return writers != Writers::Sticky || whose == Whose::Users;
    }
    return false;
}

bool trusts(Use use, const struct stat& folder, uid_t owner) {
    return trusts(use, writersOf(folder), whoseIn(owner, folder));
}

}  // namespace quorvel::files
