#!/usr/bin/env bash
# Builds the .deb and checks what a user gets from it: both programs, the menu entry, the icon
# and the manual page, dependencies found by dpkg-shlibdeps and installable here, and an
# installed program that keeps its files in the per-user folder.
#   packaging/check_package.sh [BUILD_FOLDER]      (default build-package)
# A folder that holds a build already (./setup.sh test passes its tested build) is packed as
# it is; otherwise it is configured as a release would be (Release, no tests).
# Needs dpkg-dev and file (for dpkg-shlibdeps), desktop-file-utils and libxml2-utils.
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD=${1:-build-package}
APP_ID=nl.quilmar.Pravenor
JOBS=$(nproc 2>/dev/null || echo 2)
started=$(date +%s)

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
ok() { echo "ok: $*"; }

# Without CMAKE_SKIP_INSTALL_ALL_DEPENDENCY, CPack's install step builds every target first
# (the screenshot tool, the simulator); the package needs only these three.
if [ -f "$BUILD/CMakeCache.txt" ]; then
    # Only the install step changes; what is compiled stays as it is.
    cmake -S . -B "$BUILD" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
    if grep -qE '^PRAVENOR_(SANITIZE|FUZZ):BOOL=ON' "$BUILD/CMakeCache.txt"; then
        echo "FAIL: $BUILD is a sanitizer or fuzz build; a package is made from a plain one" >&2
        exit 1
    fi
else
    cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release -DPRAVENOR_TESTS=OFF -DPRAVENOR_BENCHMARKS=OFF \
        -DPRAVENOR_SANITIZE=OFF -DPRAVENOR_FUZZ=OFF -DPRAVENOR_WITH_QT=ON \
        -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
fi
cmake --build "$BUILD" -j "$JOBS" --target pravenor pravenor-cli pravenor-manpage

rm -rf "$BUILD/packages"
if ! cpack --config "$BUILD/CPackConfig.cmake" -G DEB -B "$BUILD/packages" >"$BUILD/cpack.log" 2>&1; then
    cat "$BUILD/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
shopt -s nullglob
debs=("$BUILD"/packages/*.deb)
shopt -u nullglob
if [ ${#debs[@]} -ne 1 ]; then
    echo "FAIL: expected one .deb in $BUILD/packages, found ${#debs[@]}" >&2
    exit 1
fi
deb=${debs[0]}
echo "== $deb"

field() { dpkg-deb --field "$deb" "$1"; }
version=$(field Version)
[ "$(field Package)" = pravenor ] && ok "Package: pravenor" || fail "Package is '$(field Package)'"
[ "$(basename "$deb")" = "pravenor_${version}_$(dpkg --print-architecture).deb" ] \
    && ok "file name $(basename "$deb")" || fail "file name $(basename "$deb")"
[ "$(field Section)" = utils ] && ok "Section: utils" || fail "Section is '$(field Section)'"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\ ]+@[^@\ ]+\>$ ]] \
    && ok "Maintainer: $(field Maintainer)" || fail "Maintainer '$(field Maintainer)' is not 'Name <address>'"
[ "$(field Description | wc -l)" -ge 2 ] && ok "Description has a summary and a body" \
    || fail "Description lacks a body"
# Only dpkg-shlibdeps puts the C library and the Qt libraries the programs link in Depends.
depends=$(field Depends)
echo "Depends: $depends"
for library in libc6 libstdc++6 libqt6core6 libqt6widgets6 libqt6serialport6; do
    [[ ", $depends," == *", $library "* || ", $depends," == *", $library,"* ]] \
        || fail "Depends lacks $library: were the dependencies derived?"
done

contents=$(dpkg-deb --contents "$deb")
echo "$contents" | grep -E '\./usr/(bin/.|share/(applications|icons|man|doc)/.*[^/]$)' || true
paths=$(echo "$contents" | awk '{ print $6 }')
expect_file() { # path mode-pattern
    local line
    line=$(echo "$contents" | awk -v p="$1" '$6 == p')
    if [ -z "$line" ]; then
        fail "the package lacks $1"
    elif ! [[ "$line" =~ ^$2\ root/root ]]; then
        fail "$1 has the wrong mode or owner: $line"
    fi
}
expect_file ./usr/bin/pravenor '-rwxr-xr-x'
expect_file ./usr/bin/pravenor-cli '-rwxr-xr-x'
expect_file ./usr/share/applications/$APP_ID.desktop '-rw-r--r--'
expect_file ./usr/share/icons/hicolor/scalable/apps/$APP_ID.svg '-rw-r--r--'
expect_file ./usr/share/man/man1/pravenor-cli.1.gz '-rw-r--r--'
expect_file ./usr/share/man/man1/pravenor.1.gz '-rw-r--r--'
expect_file ./usr/share/doc/pravenor/examples/99-pravenor-no-modemmanager.rules '-rw-r--r--'
programs=$(echo "$paths" | grep -E '^\./usr/bin/.' | sort | tr '\n' ' ')
[ "$programs" = "./usr/bin/pravenor ./usr/bin/pravenor-cli " ] || fail "programs in usr/bin: $programs"
stray=$(echo "$paths" | grep -vE '^\./(usr/?|usr/(bin|share)(/.*)?)?$' || true)
[ -z "$stray" ] || fail "files outside usr/bin and usr/share: $stray"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
dpkg-deb -x "$deb" "$root"

desktop=$root/usr/share/applications/$APP_ID.desktop
if [ -f "$desktop" ]; then
    if report=$(desktop-file-validate "$desktop" 2>&1) && [ -z "$report" ]; then
        ok "desktop-file-validate accepts $APP_ID.desktop"
    else
        fail "desktop-file-validate: ${report:-exit status}"
    fi
    exec_line=$(sed -n 's/^Exec=//p' "$desktop")
    [ -x "$root/usr/bin/${exec_line%% *}" ] && ok "Exec=$exec_line is in the package" \
        || fail "Exec=$exec_line names no program in the package"
    icon=$(sed -n 's/^Icon=//p' "$desktop")
    [ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] && ok "Icon=$icon is in the package" \
        || fail "Icon=$icon names no icon in the package"
fi
svg=$root/usr/share/icons/hicolor/scalable/apps/$APP_ID.svg
[ -f "$svg" ] && { xmllint --noout "$svg" && ok "the icon is well-formed SVG" || fail "the icon is not well-formed"; }
man=$root/usr/share/man/man1/pravenor-cli.1.gz
if [ -f "$man" ]; then
    if gzip -t "$man" && zcat "$man" | grep -q '^\.TH PRAVENOR-CLI 1' && zcat "$man" | grep -q '^\.SH NAME'; then
        ok "the manual page is gzip'd roff with a title and NAME"
    else
        fail "the manual page is not a gzip'd page with .TH and .SH NAME"
    fi
fi

for program in pravenor pravenor-cli; do
    [ -x "$root/usr/bin/$program" ] || continue
    said=$("$root/usr/bin/$program" --version 2>&1) || true
    [ "$said" = "$program $version" ] && ok "$program --version: $said" \
        || fail "$program --version said '$said', the package is $version"
done

# An installed program sits in a folder with no Pravenor.set beside it, so it must keep its
# files in the per-user folder and leave its own folder alone.
if [ -x "$root/usr/bin/pravenor-cli" ]; then
    home=$work/home
    mkdir -p "$home"
    if (cd "$work" && env -u XDG_DATA_HOME -u PRAVENOR_HOME HOME="$home" \
            "$root/usr/bin/pravenor-cli" --demo restart >"$work/cli.out" 2>&1); then
        if [ -d "$home/.local/share/Pravenor" ] && [ -n "$(ls -A "$home/.local/share/Pravenor")" ]; then
            ok "an installed pravenor-cli keeps its files in ~/.local/share/Pravenor"
        else
            fail "an installed pravenor-cli left nothing in ~/.local/share/Pravenor"
        fi
        left=$(ls -A "$root/usr/bin" | tr '\n' ' ')
        [ "$left" = "pravenor pravenor-cli " ] || fail "an installed pravenor-cli wrote beside itself: $left"
    else
        cat "$work/cli.out" >&2
        fail "pravenor-cli --demo restart failed when installed"
    fi
fi

# Every dependency must be one this release can install.
if apt_report=$(apt-get install --simulate --no-install-recommends "$(realpath "$deb")" 2>&1); then
    ok "apt can install the package here"
else
    echo "$apt_report" >&2
    fail "apt cannot install the package here"
fi

echo "packaging check took $(($(date +%s) - started)) s"
if [ "$failures" -gt 0 ]; then
    echo "packaging check: $failures failure(s)" >&2
    exit 1
fi
echo "packaging check passed"
