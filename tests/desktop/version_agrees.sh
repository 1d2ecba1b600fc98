#!/usr/bin/env bash
# The version's one home is project(VERSION) in CMakeLists.txt. The newest entry
# of debian/changelog (its upstream part: no epoch, no Debian revision), the
# newest release of the metainfo and the manual page's header must show it. A
# tree without debian/ has no changelog to check.
set -euo pipefail
version=$1
changelog=$2
metainfo=$3
manpage=$4

status=0
agrees() {
    [ "$2" = "$version" ] || { echo "$1 has version '$2', project() has $version"; status=1; }
}
if [ -f "$changelog" ]; then
    debian=$(sed -nE '1s/^quorvel \(([0-9]+:)?([^)]+)\).*/\2/p' "$changelog")
    agrees "$changelog" "${debian%-*}"
fi
agrees "$metainfo" "$(grep -m 1 -oP '<release version="\K[^"]*' "$metainfo")"
agrees "$manpage" "$(sed -nE 's/^\.TH .* "Quorvel ([^"]*)".*/\1/p' "$manpage")"
exit "$status"
