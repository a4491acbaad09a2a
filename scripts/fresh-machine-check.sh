#!/usr/bin/env bash
# Runs the README's test command on a fresh Debian 12: a minimal root made by debootstrap, holding nothing
# but what debootstrap gives, with a copy of this project in /lumetra. Catches packages the tests need that
# install-deps.sh forgets, which a developer's machine hides. Run as root (debootstrap, mounts, chroot).
#   scripts/fresh-machine-check.sh [root folder, default /var/tmp/lumetra-fresh-root]
# The root is made once and reused; LUMETRA_CI=1 passes through (the CI packages and checks then run).
set -euo pipefail
project="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:-/var/tmp/lumetra-fresh-root}"

if [ "$(id -u)" -ne 0 ]; then
    echo "fresh-machine-check: run as root" >&2
    exit 2
fi
if ! command -v debootstrap >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap
fi
if [ ! -e "$target/etc/debian_version" ]; then
    debootstrap --variant=minbase bookworm "$target" http://deb.debian.org/debian
fi
cp /etc/resolv.conf "$target/etc/resolv.conf"

# A copy, not a bind mount: the build inside must not meet this machine's build folders.
rm -rf "$target/lumetra"
mkdir -p "$target/lumetra"
tar -C "$project" --exclude='./build*' --exclude=./.git --exclude=./.cache --exclude=./test-output -cf - . |
    tar -C "$target/lumetra" -xf -

unmount() {
    for m in dev sys proc; do
        umount -R -l "$target/$m" 2>/dev/null || true
    done
}
trap unmount EXIT
mount -t proc proc "$target/proc"
# Slaves, so that unmounting the copies never propagates to this machine's /sys and /dev.
mount --rbind /sys "$target/sys"
mount --make-rslave "$target/sys"
mount --rbind /dev "$target/dev"
mount --make-rslave "$target/dev"

chroot "$target" /usr/bin/env -i HOME=/root TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LUMETRA_CI="${LUMETRA_CI:-}" \
    bash -c 'cd /lumetra && time bash scripts/test.sh'
