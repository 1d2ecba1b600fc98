#include "settings/fence.h"

#if defined(__linux__)
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "files/descriptor.h"
#endif

namespace quorvel::settings {

#if defined(__linux__) && defined(SYS_landlock_create_ruleset)

namespace {

// Rights that later kernels added, by value, for system headers older than the
// kernel the game runs on (Debian 12's headers stop at ABI 2).
constexpr std::uint64_t kTruncate = 1ULL << 14;     // ABI 3
constexpr std::uint64_t kIoctlDevice = 1ULL << 15;  // ABI 5
constexpr std::uint64_t kBindTcp = 1ULL << 0;       // ABI 4
constexpr std::uint64_t kConnectTcp = 1ULL << 1;    // ABI 4
constexpr int kRuleNetPort = 2;                     // ABI 4
#ifdef LANDLOCK_ACCESS_FS_TRUNCATE
static_assert(kTruncate == LANDLOCK_ACCESS_FS_TRUNCATE);
#endif
#ifdef LANDLOCK_ACCESS_FS_IOCTL_DEV
static_assert(kIoctlDevice == LANDLOCK_ACCESS_FS_IOCTL_DEV);
#endif
#ifdef LANDLOCK_ACCESS_NET_CONNECT_TCP
static_assert(kBindTcp == LANDLOCK_ACCESS_NET_BIND_TCP &&
              kConnectTcp == LANDLOCK_ACCESS_NET_CONNECT_TCP &&
              kRuleNetPort == LANDLOCK_RULE_NET_PORT);
#endif

// The ruleset's attributes as ABI 4 knows them; an older kernel takes the
// larger struct as long as the fields it does not know are zero.
struct RulesetAttributes {
    std::uint64_t handledFs;
    std::uint64_t handledNet;
};

struct NetPortAttributes {
    std::uint64_t allowed;
    std::uint64_t port;
};

// Everything that changes the file tree or a file's content, as far as `abi`
// knows it. Reading and executing stay unhandled, that is allowed everywhere.
std::uint64_t writeRights(int abi) {
    std::uint64_t rights = LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_REMOVE_DIR |
                           LANDLOCK_ACCESS_FS_REMOVE_FILE | LANDLOCK_ACCESS_FS_MAKE_CHAR |
                           LANDLOCK_ACCESS_FS_MAKE_DIR | LANDLOCK_ACCESS_FS_MAKE_REG |
                           LANDLOCK_ACCESS_FS_MAKE_SOCK | LANDLOCK_ACCESS_FS_MAKE_FIFO |
                           LANDLOCK_ACCESS_FS_MAKE_BLOCK | LANDLOCK_ACCESS_FS_MAKE_SYM;
    if (abi >= 2) {
        rights |= LANDLOCK_ACCESS_FS_REFER;  // moving a file to another folder
    }
    if (abi >= 3) {
        rights |= kTruncate;
    }
    if (abi >= 5) {
        // A device opened only for reading can still be written through its
        // ioctls (a terminal takes typed input so).
        rights |= kIoctlDevice;
    }
    return rights;
}

// What the settings file's code does in its folder: make the file, its lock
// and temporary files, write and cut them, swap a temporary file in by a
// rename within the folder, remove the leftovers. Nothing else, not even a
// folder.
std::uint64_t folderRights(int abi) {
    std::uint64_t rights = LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_MAKE_REG |
                           LANDLOCK_ACCESS_FS_REMOVE_FILE;
    if (abi >= 3) {
        rights |= kTruncate;
    }
    return rights;
}

// A ruleset being built, its descriptor closed with it.
class Ruleset {
  public:
    explicit Ruleset(const RulesetAttributes& attributes)
        : fd_(static_cast<int>(
              ::syscall(SYS_landlock_create_ruleset, &attributes, sizeof attributes, 0))) {}

    bool valid() const { return static_cast<bool>(fd_); }
    bool allowBeneath(int folder, std::uint64_t rights) const {
        landlock_path_beneath_attr rule{};
        rule.allowed_access = rights;
        rule.parent_fd = folder;
        return ::syscall(SYS_landlock_add_rule, fd_.get(), LANDLOCK_RULE_PATH_BENEATH, &rule, 0) ==
               0;
    }
    bool allowConnect(std::uint16_t port) const {
        const NetPortAttributes rule{kConnectTcp, port};
        return ::syscall(SYS_landlock_add_rule, fd_.get(), kRuleNetPort, &rule, 0) == 0;
    }
    // For this thread and what it starts from now on.
    bool enforce() const {
        return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
               ::syscall(SYS_landlock_restrict_self, fd_.get(), 0) == 0;
    }

  private:
    files::detail::Descriptor fd_;
};

}  // namespace

int landlockAbi() {
    const long abi =
        ::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION);
    return abi > 0 ? static_cast<int>(abi) : 0;
}

Fenced fenceIn(int folder, int abi, std::optional<std::uint16_t> tcpPort) {
    if (abi < 1) {
        return Fenced::Nothing;
    }
    const bool network = abi >= 4;
    const Ruleset ruleset({writeRights(abi), network ? kBindTcp | kConnectTcp : 0});
    // A rule that cannot be added leaves the process as it is: fenced without
    // it, the game could not write its own file.
    if (!ruleset.valid() || (folder >= 0 && !ruleset.allowBeneath(folder, folderRights(abi))) ||
        (network && tcpPort && !ruleset.allowConnect(*tcpPort)) || !ruleset.enforce()) {
        return Fenced::Nothing;
    }
    return network ? Fenced::WritesAndNetwork : Fenced::Writes;
}

#else  // no Landlock on this system

int landlockAbi() {
    return 0;
}

Fenced fenceIn(int, int, std::optional<std::uint16_t>) {
    return Fenced::Nothing;
}

#endif

}  // namespace quorvel::settings
