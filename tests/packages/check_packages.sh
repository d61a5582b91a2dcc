#!/usr/bin/env bash
# Usage: check_packages.sh VERSION DEB ZIP   (as root: it installs DEB)
#
# Checks the release packages the way their users meet them: the .deb is
# installed with dpkg, run from where it lands, and removed again; the zip is
# unpacked and the .exe in it run under Wine from that folder alone.
set -euo pipefail
version=$1 deb=$2 zip=$3
here=$(cd "$(dirname "$0")" && pwd)
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

fail() {
    echo "check_packages: $*" >&2
    exit 1
}

installed() {
    [[ $(dpkg-query -W -f='${Status}' gmkconv 2>/dev/null) == *' installed' ]]
}

# Leaves the machine as it was, whichever check fails.
cleanup() {
    if installed; then dpkg -r gmkconv >/dev/null || true; fi
    if [[ -d $WINEPREFIX ]]; then "$here/../windows/wine_session.sh" stop "$wine" "$wineserver"; fi
    rm -rf "$work"
}

# Fails unless ACTUAL, lines such as sorted names or control fields, is
# EXPECTED.
expect_lines() { # WHAT EXPECTED ACTUAL
    [[ $2 == "$3" ]] || fail "$1: expected"$'\n'"$2"$'\n'"got"$'\n'"$3"
}

# Writes level.gm81 and the bytes its conversion must give into DIR.
write_sample() { # DIR
    printf 'GM81\001\002\000\377\r\n' >"$1/level.gm81"
    printf 'GM81 \002\000\377\r\n' >"$1/expected.gmk"
}

# Runs COMMAND level.gm81 in DIR with no input, as a script would, and checks
# the status line (ending in NEWLINE), the silence on standard error, the exit
# status and the bytes written.
expect_conversion() { # DIR NEWLINE COMMAND...
    local dir=$1 newline=$2 status=0
    shift 2
    (cd "$dir" && "$@" level.gm81) </dev/null >"$dir/stdout" 2>"$dir/stderr" || status=$?
    ((status == 0)) || fail "$*: exit status $status"
    [[ ! -s $dir/stderr ]] || fail "$*: standard error: $(cat "$dir/stderr")"
    cmp -s "$dir/stdout" <(printf 'Conversion complete%s' "$newline") ||
        fail "$*: standard output: $(cat -A "$dir/stdout")"
    cmp "$dir/expected.gmk" "$dir/level.gmk" || fail "$*: wrong bytes in level.gmk"
}

# CPack's FILE.sha256 beside each package.
check_checksum() { # FILE
    (cd "$(dirname "$1")" && sha256sum --quiet --strict -c "$(basename "$1").sha256") ||
        fail "$1: does not match its .sha256"
}

check_deb_metadata() {
    [[ $(basename "$deb") == "gmkconv_${version}_$(dpkg --print-architecture).deb" ]] ||
        fail "$deb: not named for version $version"
    check_checksum "$deb"
    local field
    field=$(dpkg-deb -f "$deb" Package Version Section)
    expect_lines "$deb: control fields" $'Package: gmkconv\nVersion: '"$version"$'\nSection: utils' "$field"
    [[ $(dpkg-deb -f "$deb" Maintainer) == *'<'*@*'>' ]] || fail "$deb: no maintainer's address"
    [[ $(dpkg-deb -f "$deb" Depends) == *libc6* ]] || fail "$deb: dependencies not computed"
    expect_lines "$deb: files" "$(printf '%s\n' ./usr/bin/gmkconv \
        ./usr/share/doc/gmkconv/README.md ./usr/share/doc/gmkconv/copyright \
        ./usr/share/man/man1/gmkconv.1.gz)" \
        "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sort)"
    # Debian's own rules for packages. A changelog is all it would miss: the
    # project keeps none.
    lintian --fail-on error,warning --suppress-tags no-changelog "$deb" >"$work/lintian" 2>&1 ||
        fail "$deb: lintian: $(grep -v '^running with root' "$work/lintian")"
}

# man-db's own renderer with every groff warning on, and mandoc's linter at
# its warning level (its style notes are for base-system pages).
check_man_page() { # PAGE
    local page=$1 rendered
    rendered=$(MANROFFOPT=-ww MANWIDTH=80 man -l -P cat "$page" 2>"$work/man.err")
    [[ ! -s $work/man.err ]] || fail "$page: man -l warns: $(cat "$work/man.err")"
    mandoc -T lint -W warning "$page" || fail "$page: mandoc -T lint warns"
    for text in "Conversion complete" "Wrong file type" "Error" "EXIT STATUS" "gmkconv $version"; do
        [[ $rendered == *"$text"* ]] || fail "$page: no \"$text\" in the rendered page"
    done
}

check_deb() {
    check_deb_metadata
    dpkg -i "$deb" >/dev/null
    [[ $(dpkg -S /usr/bin/gmkconv) == 'gmkconv: /usr/bin/gmkconv' ]] || fail "/usr/bin/gmkconv not from the package"
    mkdir "$work/deb"
    write_sample "$work/deb"
    expect_conversion "$work/deb" $'\n' /usr/bin/gmkconv
    check_man_page /usr/share/man/man1/gmkconv.1.gz
    dpkg -r gmkconv >/dev/null
    ! installed || fail "dpkg -r left gmkconv installed"
    [[ ! -e /usr/bin/gmkconv && ! -e /usr/share/man/man1/gmkconv.1.gz && ! -e /usr/share/doc/gmkconv ]] ||
        fail "files left behind after dpkg -r"
}

check_zip() {
    local top=gmkconv-$version-win64
    [[ $(basename "$zip") == "$top.zip" ]] || fail "$zip: not named for version $version"
    check_checksum "$zip"
    expect_lines "$zip: files" "$(printf '%s\n' "$top/LICENSE" "$top/README.md" "$top/gmkconv.exe")" \
        "$(unzip -Z1 "$zip" | grep -v '/$' | sort)"
    unzip -q "$zip" -d "$work"
    local exe=$work/$top/gmkconv.exe
    python3 "$here/../windows/check_resources.py" "$exe" "$version" \
        x86_64-w64-mingw32-objdump wrestool icotool
    x86_64-w64-mingw32-nm "$exe" 2>&1 | grep -q 'no symbols' || fail "$exe: not stripped"

    "$here/../windows/wine_session.sh" start "$wine" "$wineserver"
    write_sample "$work/$top"
    expect_conversion "$work/$top" $'\r\n' "$wine" gmkconv.exe
}

(($(id -u) == 0)) || fail "run as root: it installs and removes the Debian package"
! installed || fail "gmkconv is installed already; remove it first"
work=$(mktemp -d)
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
trap cleanup EXIT
check_deb
check_zip
echo "check_packages: $deb and $zip install and convert"
