#!/usr/bin/env bash
# Builds the packages and checks them as a user would get them: cmake --install into a scratch
# prefix; a .deb for each Linux architecture (amd64 natively, arm64, armhf and i386 from their
# cross builds), each accepted by lintian without an error or a warning, with the architecture
# and dependencies it needs (checked against the symbol versions its programs import), unpacked
# and each program run from it on a transcript (under qemu-user where needed); the .tar.gz; and,
# where MinGW-w64 is installed, the .zip of the Windows .exe files.
#
#   tests/packages.sh [PRESET...]       (default: release aarch64 armhf i686)
set -euo pipefail
unset CDPATH  # cd would print the folder it found through CDPATH
cd -P -- "$(dirname -- "$0")/.."
root=$PWD
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0
fail() { printf 'FAIL: %s\n' "$*"; failed=1; }

version=$(sed -n 's/^ *VERSION \([0-9.]*\)$/\1/p' CMakeLists.txt | head -n 1)
programs=()
for main in */main.cpp; do programs+=("${main%/main.cpp}"); done
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(release aarch64 armhf i686)
declare -A architecture=([release]=amd64 [aarch64]=arm64 [armhf]=armhf [i686]=i386)
# The transcript each program is run on from wherever it was installed: its first one that takes
# no arguments and ends with status 0.
declare -A transcript=()
for p in "${programs[@]}"; do
    for t in "$p"/transcripts/*.in; do
        t=${t%.in}
        [ -e "$t.args" ] || [ -e "$t.status" ] || { transcript[$p]=${t##*/}; break; }
    done
done

check_programs() {  # BIN_DIR WHERE [EMULATOR...]
    local bin=$1 where=$2 p t
    shift 2
    for p in "${programs[@]}"; do
        t="$root/$p/transcripts/${transcript[$p]}"
        "$@" "$bin/$p" <"$t.in" | cmp -s - "$t.out" || fail "$p from $where differs on ${transcript[$p]}"
    done
}

build() {  # PRESET
    cmake --preset "$1" >/dev/null
    cmake --build --preset "$1" >/dev/null
}

# The emulator a cross build's tests run its programs with (cmake/linux-cross.cmake), from what its
# cache records: qemu-user and the target's library root; nothing where the programs run here.
emulator_of() {  # BUILD_DIR
    local qemu target
    qemu=$(sed -n 's/^OSDEMOS_QEMU:[A-Z]*=//p' "$1/CMakeCache.txt")
    target=$(sed -n 's/^OSDEMOS_TARGET:[A-Z]*=//p' "$1/CMakeCache.txt")
    [ -n "$qemu" ] && [ "$qemu" != OSDEMOS_QEMU-NOTFOUND ] && echo "$qemu -L /usr/$target"
    return 0
}

# The newest version of each symbol family (GLIBC, GLIBCXX, CXXABI, GCC) the programs import.
newest_imports() {  # FAMILY PROGRAM...
    local family=$1
    shift
    readelf -V --wide "$@" | sed -n "s/.*Name: ${family}_\([0-9.]*\) .*/\1/p" | sort -V | tail -n 1
}

# The version a Depends field asks for of a package, as in "libc6 (>= 2.34)".
asked_version() {  # DEPENDS PACKAGE
    sed -n "s/.*\(^\|, \)$2 (>= \([^)]*\)).*/\2/p" <<<"$1"
}

# What each release of libstdc++6 provides at most: GLIBCXX_3.4.N and CXXABI_1.3.M.
declare -A glibcxx=([5]=21 [6]=22 [7]=24 [8]=25 [9]=28 [10]=28 [11]=29 [12]=30)
declare -A cxxabi=([5]=9 [6]=10 [7]=11 [8]=11 [9]=12 [10]=12 [11]=13 [12]=13)

at_most() {  # WHAT NEEDED ASKED
    [ -z "$2" ] && return 0
    dpkg --compare-versions "$2" le "$3" || fail "$1: the programs need $2, the package asks for $3"
}

# Every library the programs load comes from a package the .deb depends on, at a version that
# has every symbol they import from it.
check_dependencies() {  # DEPENDS PROGRAM...
    local depends=$1 library package libc libgcc libstdcxx major
    shift
    for library in $(readelf -d "$@" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort -u); do
        case $library in
            libc.so.* | libm.so.* | ld-linux*) package=libc6 ;;
            libgcc_s.so.*) package=libgcc-s1 ;;
            libstdc++.so.*) package=libstdc++6 ;;
            *) fail "the programs load $library, which no dependency is checked for"; continue ;;
        esac
        grep -q "\(^\|, \)$package\b" <<<"$depends" || fail "the programs load $library but $package is no dependency"
    done
    libc=$(asked_version "$depends" libc6)
    libgcc=$(asked_version "$depends" libgcc-s1)
    libstdcxx=$(asked_version "$depends" 'libstdc++6')
    at_most "libc6" "$(newest_imports GLIBC "$@")" "$libc"
    at_most "libgcc-s1" "$(newest_imports GCC "$@")" "$libgcc"
    major=${libstdcxx%%.*}
    at_most "libstdc++6 $libstdcxx" "$(newest_imports GLIBCXX "$@")" "3.4.${glibcxx[$major]}"
    at_most "libstdc++6 $libstdcxx" "$(newest_imports CXXABI "$@")" "1.3.${cxxabi[$major]}"
}

check_deb() {  # PRESET
    local preset=$1 dir=build/$1 deb arch depends emulator unpacked p
    arch=${architecture[$preset]}
    (cd "$dir" && rm -f osdemos_*.deb && cpack -G DEB >/dev/null)
    deb=$(ls "$dir"/osdemos_"$version"_*.deb)
    echo "--- $(basename "$deb") ($(stat -c %s "$deb") bytes)"
    dpkg-deb --field "$deb" Package Version Architecture Depends Section
    [ "$(dpkg-deb --field "$deb" Package)" = osdemos ] || fail "$deb is not named osdemos"
    [ "$(dpkg-deb --field "$deb" Version)" = "$version" ] || fail "$deb does not carry version $version"
    [ "$(dpkg-deb --field "$deb" Architecture)" = "$arch" ] || fail "$deb is not for $arch"
    [ "$(basename "$deb")" = "osdemos_${version}_$arch.deb" ] || fail "$deb is not named for $arch"
    # lintian's findings come on standard output; its notes on standard error (as root: that
    # running as root is not recommended) are shown only along with a finding.
    if ! lintian --fail-on error,warning "$deb" >"$scratch/lintian" 2>"$scratch/lintian-notes" ||
        [ -s "$scratch/lintian" ]; then
        fail "lintian on $(basename "$deb"):"
        cat "$scratch/lintian" "$scratch/lintian-notes"
    fi
    unpacked=$scratch/deb-$arch
    dpkg -x "$deb" "$unpacked"
    for p in "${programs[@]}"; do
        [ -x "$unpacked/usr/bin/$p" ] || fail "$deb has no usr/bin/$p"
        [ -f "$unpacked/usr/share/man/man1/$p.1.gz" ] || fail "$deb has no man page for $p"
    done
    for f in copyright changelog.gz README.md; do
        [ -f "$unpacked/usr/share/doc/osdemos/$f" ] || fail "$deb has no usr/share/doc/osdemos/$f"
    done
    depends=$(dpkg-deb --field "$deb" Depends)
    check_dependencies "$depends" "${programs[@]/#/$unpacked/usr/bin/}"
    read -r -a emulator <<<"$(emulator_of "$dir")"
    check_programs "$unpacked/usr/bin" "the $arch .deb" "${emulator[@]}"
}

# The changelog's newest entry is this version: Debian's tools take the version from it.
[[ $(head -n 1 packaging/changelog) == "osdemos ($version) "* ]] ||
    fail "packaging/changelog does not start with version $version"

for preset in "${presets[@]}"; do
    build "$preset"
    if [ "$preset" = release ]; then
        echo "--- cmake --install into a scratch prefix"
        cmake --install build/release --prefix "$scratch/prefix" >/dev/null
        (cd "$scratch/prefix" && find . -type f | sort)
        for p in "${programs[@]}"; do
            [ -x "$scratch/prefix/bin/$p" ] || fail "bin/$p is not installed"
            page=$(zcat "$scratch/prefix/share/man/man1/$p.1.gz")
            grep -q "osdemos $version" <<<"$page" ||
                fail "the man page of $p is not installed with version $version"
        done
        check_programs "$scratch/prefix/bin" "the install prefix"
        echo "--- cpack: .tar.gz"
        (cd build/release && cpack -G TGZ >/dev/null)
        tgz=$(ls build/release/osdemos-"$version"-*.tar.gz)
        tar -tzf "$tgz"
        mkdir "$scratch/tgz"
        tar -xzf "$tgz" -C "$scratch/tgz"
        check_programs "$(dirname "$(find "$scratch/tgz" -path '*/bin/blockalloc')")" "the .tar.gz"
    fi
    check_deb "$preset"
done

if command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
    echo "--- cpack: .zip for Windows"
    build windows
    (cd build/windows && cpack -G ZIP >/dev/null)
    zip=$(ls build/windows/osdemos-"$version"-win64.zip)
    # Read whole before grep -q sees it: under pipefail, unzip cut off by grep's early exit would
    # fail the check.
    listing=$(unzip -l "$zip")
    echo "$listing"
    for p in "${programs[@]}"; do
        grep -q "bin/$p.exe" <<<"$listing" || fail "$p.exe is not in the .zip"
    done
fi

if [ "$failed" -ne 0 ]; then exit 1; fi
echo "packages: all checks passed"
