#!/usr/bin/env bash
# Installs a build into a temporary prefix and uses it as a stranger
# would: the programs from bin/, a client built only from the installed
# header and pkg-config file, the man pages and the menu entry.
#   install_test.sh BUILD-DIR SOURCE-DIR VERSION
set -euo pipefail
build="$1" source="$2" version="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }

pc="$(find "$prefix" -name lumoaccess.pc)"
[ -n "$pc" ] || { echo "FAIL: no lumoaccess.pc under the prefix" >&2; exit 1; }
export PKG_CONFIG_PATH="$(dirname "$pc")"
libdir="$(realpath -s "$(pkg-config --variable=libdir lumoaccess)")"
library="$(realpath -s "$(pkg-config --variable=library lumoaccess)")"
[ "$(pkg-config --modversion lumoaccess)" = "$version" ] || fail "pkg-config version is not $version"

# What a Debian desktop expects where, relative to the prefix; LumoExport
# and its menu entry only when the build has the wizard.
expected=(
  "f bin/lumo"
  "f ${libdir#"$prefix"/}/libLumoAccess.so.$version"
  "l ${libdir#"$prefix"/}/libLumoAccess.so.${version%%.*}"
  "l ${libdir#"$prefix"/}/libLumoAccess.so"
  "f ${libdir#"$prefix"/}/lumo-private/libLumoPlatform.so.$version"
  "l ${libdir#"$prefix"/}/lumo-private/libLumoPlatform.so.${version%%.*}"
  "f ${libdir#"$prefix"/}/lumo-private/libLumoEngine.so.$version"
  "l ${libdir#"$prefix"/}/lumo-private/libLumoEngine.so.${version%%.*}"
  "f include/lumo/LumoAccess.h"
  "f share/man/man1/lumo.1.gz"
  "f share/doc/lumo/csv.md"
  "f share/doc/lumo/sql.md"
  "f share/doc/lumo/copyright"
  "f share/doc/lumo/changelog.gz"
)
if [ -x "$build/bin/LumoExport" ]; then
  expected+=(
    "f bin/LumoExport"
    "f share/man/man1/LumoExport.1.gz"
    "f share/applications/lumo-export.desktop"
    "f share/icons/hicolor/scalable/apps/lumo-export.svg"
  )
fi
for row in "${expected[@]}"; do
  read -r kind path <<<"$row"
  case "$kind" in
    f) [ -f "$prefix/$path" ] && [ ! -L "$prefix/$path" ] || fail "$path is not an installed file" ;;
    l) [ -L "$prefix/$path" ] && [ -e "$prefix/$path" ] || fail "$path is not a working link" ;;
  esac
done
[ "$library" = "$libdir/libLumoAccess.so.${version%%.*}" ] || fail "pkg-config names $library"
soname="$(objdump -p "$libdir/libLumoAccess.so.$version" | awk '$1 == "SONAME" {print $2}')"
[ "$soname" = "libLumoAccess.so.${version%%.*}" ] || fail "SONAME is '$soname'"
# The installed library exports its entry points only and finds the private
# libraries in its lumo-private folder (which nothing else of the suite installs into).
"$source/tests/boundary/symbols_test.sh" "$libdir/libLumoAccess.so.$version" "$source/tests/boundary/exported_symbols.txt" ||
  fail "the installed library's symbols"
others="$(find "$libdir/lumo-private" -mindepth 1 ! -name 'libLumoPlatform.so*' ! -name 'libLumoEngine.so*')"
[ -z "$others" ] || fail "the private folder holds $others"

# The installed programs run from the prefix alone (no build tree on the
# library path), and lumo export finds the installed library.
lumo="$prefix/bin/lumo"
[ "$("$lumo" --version)" = "lumo $version" ] || fail "lumo --version"
"$lumo" init --sample "$work/sample" >/dev/null
"$lumo" export person "$work/sample" >/dev/null || fail "installed lumo export"

# A client that knows only the installed header and pkg-config file reads
# the person lumo sql reads.
read -r -a cflags <<<"$(pkg-config --cflags lumoaccess)"
read -r -a libs <<<"$(pkg-config --libs lumoaccess)"
c++ "${cflags[@]}" -Wall -Werror -o "$work/client" "$source/tests/install/InstalledClient.cpp" "${libs[@]}"
for id in 1 2; do
  got="$("$work/client" "$library" "$work/sample/Data/LumoBase.mdb" "$id")" || fail "client on person $id"
  want="$("$lumo" sql "$work/sample/Data/LumoBase.mdb" \
    "SELECT LASTNAME, FIRSTNAME FROM T_PERSON WHERE PERSON_ID = $id" | tail -n 1 | tr ',' '\t')"
  [ -n "$want" ] && [ "$got" = "$want" ] || fail "client read '$got' for person $id, lumo sql '$want'"
done

# The same client built with clang++ works with the g++-built library: the
# ABI tag names what both share (C++ ABI, libstdc++ and its string ABI),
# not the compiler. scripts/test installs clang.
if command -v clang++ >/dev/null; then
  clang++ "${cflags[@]}" -Wall -Werror -o "$work/clang-client" "$source/tests/install/InstalledClient.cpp" "${libs[@]}"
  got="$("$work/clang-client" "$library" "$work/sample/Data/LumoBase.mdb" 1 2>&1)" || fail "clang++ client: $got"
  [ "$got" = "$("$work/client" "$library" "$work/sample/Data/LumoBase.mdb" 1)" ] || fail "clang++ client read '$got'"
fi

# Each man page has every subcommand its program's --help lists.
# The pages are compressed, as Debian ships them.
for page in "$prefix"/share/man/man1/*.1.gz; do
  program="$(basename "$page" .1.gz)"
  text="$(zcat "$page")"
  grep -q "^\.TH ${program^^} 1 " <<<"$text" || fail "$page has no title line"
  for command in $("$prefix/bin/$program" --help | sed -n "s/^  $program \([a-z][a-z-]*\).*/\1/p" | sort -u); do
    grep -q "^\.SS \"$program $command\"" <<<"$text" || fail "$page lacks $program $command"
  done
done

# The menu entry starts an installed program and shows an installed icon.
desktop="$prefix/share/applications/lumo-export.desktop"
if [ -f "$desktop" ]; then
  exec_program="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")"
  icon="$(sed -n 's/^Icon=//p' "$desktop")"
  [ -x "$prefix/bin/$exec_program" ] || fail "the menu entry starts $exec_program"
  [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the menu entry's icon $icon"
  grep -q '^Name\[ja\]=' "$desktop" || fail "the menu entry has no Japanese name"
fi

[ "$failures" -eq 0 ] && echo "installed and used $prefix: ok"
exit $((failures > 0))
