#!/usr/bin/env bash
# Builds the Debian package of a build (CPack), unpacks it into a temporary
# root with dpkg -x and runs the programs from there.
#   package_test.sh BUILD-DIR VERSION
set -euo pipefail
build="$1" version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }
deb="$(find "$work/package" -maxdepth 1 -name 'lumo_*.deb')"
[ -n "$deb" ] || { echo "FAIL: cpack made no lumo_*.deb" >&2; cat "$work/cpack.log"; exit 1; }

[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version)"
# Dependencies come from the shared libraries the programs use.
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libstdc++6 libsqlite3-0 libmdb3; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done
if dpkg-deb -c "$deb" | grep -q '/usr/bin/LumoExport$'; then
  [[ "$depends" == *libqt6widgets6* ]] || fail "Depends lacks libqt6widgets6: $depends"
fi

root="$work/root"
dpkg -x "$deb" "$root"
[ "$("$root/usr/bin/lumo" --version)" = "lumo $version" ] || fail "lumo --version from the unpacked package"
# lumo export loads the packaged library, not one of the build tree.
"$root/usr/bin/lumo" init --sample "$work/sample" >/dev/null
"$root/usr/bin/lumo" export goods "$work/sample" >/dev/null || fail "lumo export from the unpacked package"

[ "$failures" -eq 0 ] && echo "$(basename "$deb") unpacked and run: ok"
exit $((failures > 0))
