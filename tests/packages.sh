#!/usr/bin/env bash
# Builds the release packages and checks them as a user would get them: cmake --install into a
# scratch prefix, the .deb (its control fields, its files, and each program run from it on a
# transcript), the .tar.gz, and, where MinGW-w64 is installed, the .zip of the Windows .exe files.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { printf 'FAIL: %s\n' "$*"; failed=1; }

version=$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' CMakeLists.txt | head -n 1)
programs=(blockalloc pagefifo arraydel)
# program transcript: one per program, run from wherever it was installed
declare -A transcript=([blockalloc]=session [pagefifo]=example [arraydel]=position-2)

check_programs() {  # BIN_DIR WHERE
    for p in "${programs[@]}"; do
        local t="$root/$p/transcripts/${transcript[$p]}"
        if "$1/$p" <"$t.in" | cmp -s - "$t.out"; then :; else fail "$p from $2 differs on ${transcript[$p]}"; fi
    done
}

cmake --preset release >/dev/null
cmake --build --preset release >/dev/null

echo "--- cmake --install into a scratch prefix"
cmake --install build/release --prefix "$scratch/prefix" >/dev/null
(cd "$scratch/prefix" && find . -type f | sort)
for p in "${programs[@]}"; do
    [ -x "$scratch/prefix/bin/$p" ] || fail "bin/$p is not installed"
    [ -f "$scratch/prefix/share/man/man1/$p.1" ] || fail "the man page of $p is not installed"
    grep -q "osdemos $version" "$scratch/prefix/share/man/man1/$p.1" || fail "$p.1 does not carry version $version"
done
[ -f "$scratch/prefix/share/doc/osdemos/README.md" ] || fail "the README is not installed"
[ -f "$scratch/prefix/share/doc/osdemos/LICENSE" ] || fail "the licence is not installed"
check_programs "$scratch/prefix/bin" "the install prefix"

echo "--- cpack: .deb and .tar.gz"
(cd build/release && cpack -G "DEB;TGZ" >/dev/null)
deb=$(ls build/release/osdemos_"$version"_*.deb)
tgz=$(ls build/release/osdemos-"$version"-*.tar.gz)
dpkg-deb --field "$deb" Package Version Architecture Depends Section Description
[ "$(dpkg-deb --field "$deb" Package)" = osdemos ] || fail "the package is not named osdemos"
[ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "the package does not carry version $version"
dpkg-deb --field "$deb" Depends | grep -q 'libc6' || fail "the dependencies were not computed"
echo "--- dpkg -c $(basename "$deb")"
dpkg -c "$deb"
dpkg -x "$deb" "$scratch/deb"
check_programs "$scratch/deb/usr/bin" "the .deb"
echo "--- tar -tzf $(basename "$tgz")"
tar -tzf "$tgz"
mkdir "$scratch/tgz"
tar -xzf "$tgz" -C "$scratch/tgz"
check_programs "$(dirname "$(find "$scratch/tgz" -path '*/bin/blockalloc')")" "the .tar.gz"

if command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
    echo "--- cpack: .zip for Windows"
    cmake --preset windows >/dev/null
    cmake --build --preset windows >/dev/null
    (cd build/windows && cpack -G ZIP >/dev/null)
    zip=$(ls build/windows/osdemos-"$version"-win64.zip)
    unzip -l "$zip"
    for p in "${programs[@]}"; do
        unzip -l "$zip" | grep -q "bin/$p.exe" || fail "$p.exe is not in the .zip"
    done
fi

if [ "$failed" -ne 0 ]; then exit 1; fi
echo "packages: all checks passed"
