# shellcheck shell=bash disable=SC2034
# Clean Debian 12 systems in folders, for the checks that must start from nothing
# (scripts/check-package, scripts/check-fresh). Sourced, not run. Needs root.
#   chroot_base DIR [debootstrap options]   makes a minimal system in DIR once (DIR/.complete)
#   chroot_copy BASE RUN                    a fresh copy of BASE in RUN (RUN's mounts released)
#   chroot_mount RUN                        /proc, /sys, /dev/pts and /dev/shm inside RUN
#   chroot_release RUN                      unmounts all under RUN; true when none is left
# debian_mirror and debian_security are this machine's first Debian and security mirrors
# (CORVANEL_MIRROR overrides the first).

chroot_suite=bookworm

# The URIs of this machine's apt entries, one-line and deb822.
chroot_apt_uris() {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        awk '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; break } }'
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '$1 == "URIs:" { print $2 }'
    true
}
debian_mirror="${CORVANEL_MIRROR:-$(chroot_apt_uris | grep -E '/debian/?$' | head -n 1 || true)}"
debian_mirror="${debian_mirror:-http://deb.debian.org/debian}"
debian_security="$(chroot_apt_uris | grep -E '/debian-security/?$' | head -n 1 || true)"

chroot_base() {
    local base=$1
    shift
    [ -f "$base/.complete" ] && return 0
    if ! command -v debootstrap >/dev/null; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
    fi
    rm -rf "$base"
    mkdir -p "$(dirname "$base")"
    debootstrap --variant=minbase "$@" "$chroot_suite" "$base" "$debian_mirror"
    touch "$base/.complete"
}

chroot_release() {
    local run=$1 mounted point
    mounted="$(awk -v dir="$run/" 'index($2, dir) == 1 { print $2 }' /proc/mounts | sort -r)"
    for point in $mounted; do
        umount "$point" 2>/dev/null || umount -l "$point" || true
    done
    ! awk -v dir="$run/" 'index($2, dir) == 1 { found = 1 } END { exit !found }' /proc/mounts
}

chroot_copy() {
    local base=$1 run=$2
    chroot_release "$run" || { echo "something is still mounted under $run" >&2; return 1; }
    rm -rf "$run"
    cp -a "$base" "$run"
    rm -f "$run/.complete"
    cp /etc/resolv.conf "$run/etc/resolv.conf"
    # No services start inside the chroot.
    printf '#!/bin/sh\nexit 101\n' >"$run/usr/sbin/policy-rc.d"
    chmod +x "$run/usr/sbin/policy-rc.d"
}

# Programs find their folder through /proc/self/exe; apt wants a terminal for its log; the
# tests' processes share memory through /dev/shm.
chroot_mount() {
    local run=$1
    mount -t proc proc "$run/proc"
    mount -t sysfs sysfs "$run/sys"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$run/dev/pts"
    mkdir -p "$run/dev/shm"
    mount -t tmpfs -o mode=1777 tmpfs "$run/dev/shm"
}
