#!/usr/bin/env bash
# The README's two set-up commands on a bare machine: a minimal Debian 12 root (mmdebstrap
# --variant=minbase, kept as a tarball between runs), a clean copy of the project in it, and in
# there, as root in a chroot with nothing else installed, `./run blockalloc` with a piped session
# and then `./run test`. Needs root for chroot and mounts; elsewhere it says so and skips.
#
#   tests/front-door.sh          (the root is cached in $OSDEMOS_CACHE, default /var/cache/osdemos)
set -euo pipefail
unset CDPATH  # cd would print the folder it found through CDPATH
cd -P -- "$(dirname -- "$0")/.."
project=$PWD

# A skip is fine on a developer's machine; in CI (CI=true) it would hide that nothing was proved.
skip() {
    echo "front door: skipped: $*"
    [ "${CI:-}" != true ]
    exit
}
[ "$(id -u)" -eq 0 ] || skip "a chroot needs root (run it as root, as CI does)"
command -v mmdebstrap >/dev/null 2>&1 || skip "needs mmdebstrap (apt-get install mmdebstrap)"

cache=${OSDEMOS_CACHE:-/var/cache/osdemos}
image=$cache/minbase-bookworm.tar
if [ ! -f "$image" ] || [ ! -s "$image" ]; then
    mkdir -p "$cache"
    rm -rf "$image" "$image.part"
    echo "front door: making a minimal Debian 12 root (once; kept in $image)"
    # The format is named: mmdebstrap takes it from the file name's ending otherwise.
    mmdebstrap --quiet --variant=minbase --mode=root --format=tar bookworm "$image.part"
    mv "$image.part" "$image"
fi

root=$(mktemp -d /tmp/front-door.XXXXXX)

# Nothing of the run may stay behind: its processes are ended and the mounts undone, and the root
# is removed only once nothing is mounted in it, so that no file outside it can be reached.
clean_up() {
    local proc pid
    for proc in /proc/[0-9]*; do
        pid=${proc#/proc/}
        [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill -9 "$pid" 2>/dev/null
    done
    mountpoint -q "$root/proc" && umount "$root/proc"
    mountpoint -q "$root/dev" && umount -R "$root/dev"
    if grep -q " $root/" /proc/mounts; then
        echo "front door: something is still mounted under $root; left in place" >&2
        return 1
    fi
    rm -rf --one-file-system "$root"
}
trap clean_up EXIT

tar -C "$root" -xf "$image"
image_size=$(du -sh --one-file-system "$root" | cut -f1)
mkdir "$root/project"
# The project's files as a fresh clone has them (tracked, plus new ones git does not ignore).
git -C "$project" ls-files -z --cached --others --exclude-standard |
    tar -C "$project" --null -T - -cf - | tar -C "$root/project" -xf -
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc"
# /dev with what is mounted in it (/dev/pts for apt), and nothing done there seen outside.
mount --rbind /dev "$root/dev"
mount --make-rslave "$root/dev"

# in_root COMMAND: runs a shell command in the project's folder of the bare root, with the
# environment of a fresh login.
in_root() {
    chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 CI="${CI:-}" \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        /bin/bash -c "cd /project && $1"
}

seconds() { date +%s; }

menu='1.Add file\n2.Remove file\n3.Display blocks\n4.End\n'
printf '%b' "Enter the number of blocks in the memory: ${menu}please enter your file name with \
only one letter:\nEnter the number of blocks in the file:\n${menu}0.\tA\n1.\tA\n2.\tH\n  \tfile\t\
start\tlentgh\n0.\tA\t0\t2\n${menu}" >"$root/expected"

start=$(seconds)
in_root "printf '3\n1\nA\n2\n3\n4\n' | ./run blockalloc >/actual 2>/messages"
setup=$(($(seconds) - start))
cat "$root/messages"
if ! cmp -s "$root/actual" "$root/expected"; then
    echo "front door: ./run blockalloc wrote something else than the session expected:" >&2
    diff <(od -c "$root/expected") <(od -c "$root/actual") >&2 || true
    exit 1
fi
echo "front door: ./run blockalloc set up, built and answered the session in ${setup} s;" \
    "the root grew from $image_size to $(du -sh --one-file-system "$root" | cut -f1)"

start=$(seconds)
in_root "./run test" >"$root/test.log" 2>&1 || {
    tail -n 60 "$root/test.log"
    echo "front door: ./run test failed" >&2
    exit 1
}
tests=$(($(seconds) - start))
grep -E 'tests passed' "$root/test.log"
echo "front door: ./run test installed the test packages, built and passed in ${tests} s;" \
    "the root takes $(du -sh --one-file-system "$root" | cut -f1) now"
