#!/bin/sh
# Builds the Debian package afresh from the build tree into a temporary folder, then checks its
# name, its control fields, what lintian says of it and, unpacked, its files, desktop metadata,
# changelog and manual page.
# Usage: check-deb.sh <cpack> <build folder> <version>
set -eu
export LC_ALL=C

cpack=$1 build=$2 version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

"$cpack" --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }

arch=$(dpkg --print-architecture)
deb=$work/brindlewick_${version}_${arch}.deb
[ -f "$deb" ] || fail "brindlewick_${version}_${arch}.deb not built; the folder has: $(ls "$work")"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = brindlewick ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Section)" ] || fail "no Section"
# A synopsis and an extended description.
[ "$(field Description | wc -l)" -ge 2 ] || fail "Description: $(field Description)"
# The runtime libraries the executable links, as dpkg-shlibdeps names them.
depends=$(field Depends)
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6; do
    case ", $depends," in
        *", $package "* | *", $package,"*) ;;
        *) fail "Depends lacks $package: $depends" ;;
    esac
done
# The plugins Qt loads at run time.
recommends=$(field Recommends)
for package in qt6-wayland libqt6svg6; do
    case ", $recommends," in
        *", $package,"*) ;;
        *) fail "Recommends lacks $package: $recommends" ;;
    esac
done

dpkg-deb --extract "$deb" "$work/root"
(cd "$work/root" && find . ! -type d | sort) >"$work/files"
cat >"$work/expected" <<'LIST'
./usr/bin/brindlewick
./usr/share/applications/org.example.brindlewick.desktop
./usr/share/bash-completion/completions/brindlewick
./usr/share/brindlewick/Template.txt
./usr/share/brindlewick/default/Template.txt
./usr/share/doc/brindlewick/changelog.gz
./usr/share/doc/brindlewick/copyright
./usr/share/icons/hicolor/scalable/apps/org.example.brindlewick.svg
./usr/share/lintian/overrides/brindlewick
./usr/share/man/man1/brindlewick.1.gz
./usr/share/metainfo/org.example.brindlewick.metainfo.xml
LIST
diff -u "$work/expected" "$work/files" || fail "unexpected file list"

program=$work/root/usr/bin/brindlewick
[ -x "$program" ] || fail "the program is not executable"
if readelf --section-headers "$program" | grep -q '\.debug_info'; then
    fail "the program is not stripped"
fi
if readelf --dynamic "$program" | grep -Eq 'R(UN)?PATH'; then
    fail "the program has a library search path of its own"
fi
# Built with Debian's hardening: relocations bound at start-up, and compiled with the C library's
# checked calls, which the binary shows only where the compiler cannot prove a call safe.
readelf --dynamic "$program" | grep -q 'BIND_NOW' || fail "the program is not linked with -z now"
grep -q -- '-D_FORTIFY_SOURCE=' "$build/compile_commands.json" ||
    fail "the program is not compiled with _FORTIFY_SOURCE"

# The metainfo's launchable names the installed desktop entry, and that entry's icon exists.
appstreamcli validate-tree --no-net "$work/root" || fail "appstreamcli validate-tree"
icon=$(sed -n 's/^Icon=//p' "$work/root/usr/share/applications/org.example.brindlewick.desktop")
[ -f "$work/root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon $icon"
# The newest release the metainfo lists is this version.
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' \
    "$work/root/usr/share/metainfo/org.example.brindlewick.metainfo.xml" | head -n 1)
[ "$release" = "$version" ] || fail "metainfo's newest release is $release, not $version"
# The newest changelog entry is this version.
entry=$(zcat "$work/root/usr/share/doc/brindlewick/changelog.gz" | sed -n '1s/^brindlewick (\([^)]*\)).*/\1/p')
[ "$entry" = "$version" ] || fail "changelog's newest entry is $entry, not $version"

# Every option that --help lists is in the manual page.
"$program" --help >"$work/help" || fail "--help failed"
zcat "$work/root/usr/share/man/man1/brindlewick.1.gz" | sed 's/\\-/-/g' >"$work/man"
for option in $(grep -Eo '(^|[ ,])--?[a-z][a-z-]*' "$work/help" | tr -d ' ,' | sort -u); do
    grep -Fq -- "$option" "$work/man" || fail "the manual page lacks $option"
done

# What a distribution checks: no error and no warning.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" || fail "lintian"

echo "$(basename "$deb"): $(wc -l <"$work/files") files, Depends: $depends"
