#!/bin/bash
# Installs wine32:i386, also when the mirror's i386 index of the security
# archive cannot be fetched (a sync left half done, seen for days). apt then
# knows the security archive's amd64 libraries but not their i386 twins, and an
# i386 package that must match its amd64 twin's version cannot be installed.
# For this one install the security archive is pinned below the main one and
# each such amd64 library goes back to the main archive's version; the
# libraries to take back are found by simulating the install until it resolves.
#
# Usage: install-wine32.sh [--simulate]
#   --simulate  prints the apt-get command that would install, installs nothing
#               (apt's own configuration, e.g. APT_CONFIG, says which lists).
set -eu
simulate=0
[ "${1:-}" = "--simulate" ] && simulate=1
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive

pin=$(mktemp)
trap 'rm -f "$pin"' EXIT
printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 90\n' >"$pin"

# The version of package $1 (amd64) in an archive other than the security one.
main_version() {
    apt-cache madison "$1" | awk -F' [|] ' '$3 !~ /security/ && $3 ~ / amd64 Packages/ { print $2; exit }'
}
# Whether the installed amd64 version of package $1 is the security archive's.
installed_from_security() {
    local v
    v=$(dpkg-query -W -f='${Version}' "$1:amd64" 2>/dev/null) || return 1
    [ -n "$v" ] || return 1
    apt-cache madison "$1" | awk -F' [|] ' -v v="$v" '$2 == v && $3 ~ /security/ { found = 1 } END { exit !found }'
}
# The i386 packages apt says it cannot install, one a line.
refused_i386() {
    sed -n 's/.*Depends: \([^ :]*\):i386 .*but it is not going to be installed.*/\1/p' | sort -u
}

run_install() {
    if [ "$simulate" -eq 1 ]; then
        echo "apt-get install -y $*"
    else
        $sudo apt-get install -y -qq "$@" >/dev/null
    fi
}

# Where the index is whole, the plain install resolves.
if apt-get install -s wine32:i386 >/dev/null 2>&1; then
    run_install wine32:i386
    exit 0
fi
opts=(--allow-downgrades -o "Dir::Etc::Preferences=$pin")
back=()
for round in 1 2 3 4 5 6 7 8; do
    if out=$(apt-get install -s "${opts[@]}" wine32:i386 "${back[@]}" 2>&1); then
        [ ${#back[@]} -eq 0 ] || echo "Taking back to the main archive's version: ${back[*]}" >&2
        run_install "${opts[@]}" wine32:i386 "${back[@]}"
        exit 0
    fi
    added=0
    for p in $(refused_i386 <<<"$out"); do
        [[ " ${back[*]} " == *" $p="* ]] && continue
        installed_from_security "$p" || continue
        v=$(main_version "$p")
        [ -n "$v" ] || continue
        back+=("$p=$v")
        added=1
    done
    if [ "$added" -eq 0 ]; then
        echo "wine32:i386 does not resolve even with the security archive pinned down:" >&2
        grep -E 'Depends|^E:' <<<"$out" | head -20 >&2
        exit 1
    fi
done
echo "wine32:i386 still does not resolve after $round rounds" >&2
exit 1
