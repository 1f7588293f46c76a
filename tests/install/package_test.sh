#!/usr/bin/env bash
# Builds the Debian packages of a build (CPack, one per install component),
# checks which package holds what and what each depends on, unpacks them
# all into a temporary root, runs the programs and the Python module from
# there, and runs lintian on them, which must report no error.
#   package_test.sh BUILD-DIR VERSION
set -euo pipefail
build="$1" version="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

command -v lintian >/dev/null || { echo "FAIL: lintian is not installed (scripts/lib/install.sh, test group)" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }

major="${version%%.*}"
library="liblumoaccess$major"
packages=("$library" liblumoaccess-dev lumo)
python=0
if compgen -G "$build/bin/lumoaccess*.so" >/dev/null; then
  python=1
  packages+=(python3-lumoaccess)
fi
declare -A deb
for package in "${packages[@]}"; do
  deb[$package]="$(find "$work/package" -maxdepth 1 -name "${package}_${version}_*.deb")"
  [ -n "${deb[$package]}" ] || { echo "FAIL: cpack made no ${package}_${version}_*.deb" >&2; ls "$work/package" >&2; exit 1; }
  [ "$(dpkg-deb -f "${deb[$package]}" Package)" = "$package" ] || fail "$package: Package field"
  [ "$(dpkg-deb -f "${deb[$package]}" Version)" = "$version" ] || fail "$package: version $(dpkg-deb -f "${deb[$package]}" Version)"
  dpkg-deb -c "${deb[$package]}" | awk '{print $6}' | sed 's|^\./||' >"$work/$package.files"
done
[ "$(find "$work/package" -maxdepth 1 -name '*.deb' | wc -l)" -eq "${#packages[@]}" ] || fail "other packages: $(ls "$work/package")"

# Which package holds what, as Debian splits a library: package, then a
# pattern that one of its paths matches (and no other package's path).
holds=(
  "$library usr/lib/(.+/)?libLumoAccess\.so\.$version"
  "$library usr/lib/(.+/)?libLumoAccess\.so\.$major"
  "$library usr/lib/(.+/)?lumo-private/libLumoPlatform\.so\.$major"
  "$library usr/lib/(.+/)?lumo-private/libLumoEngine\.so\.$major"
  "liblumoaccess-dev usr/lib/(.+/)?libLumoAccess\.so"
  "liblumoaccess-dev usr/include/lumo/LumoAccess\.h"
  "liblumoaccess-dev usr/lib/(.+/)?pkgconfig/lumoaccess\.pc"
  "lumo usr/bin/lumo"
  "lumo usr/share/man/man1/lumo\.1\.gz"
  "lumo usr/share/doc/lumo/csv\.md"
  "lumo usr/share/doc/lumo/sql\.md"
)
[ "$python" -eq 0 ] || holds+=("python3-lumoaccess usr/lib/python3/dist-packages/lumoaccess\..*\.so")
for package in "${packages[@]}"; do
  holds+=("$package usr/share/doc/$package/copyright" "$package usr/share/doc/$package/changelog\.gz")
done
for row in "${holds[@]}"; do
  read -r package pattern <<<"$row"
  for other in "${packages[@]}"; do
    if grep -Eqx "$pattern" "$work/$other.files"; then
      [ "$other" = "$package" ] || fail "$other holds $pattern, which belongs in $package"
    elif [ "$other" = "$package" ]; then
      fail "$package lacks $pattern"
    fi
  done
done

# Each other package needs the library in its own version; the programs'
# other dependencies come from the shared libraries they use.
for package in "${packages[@]}"; do
  [ "$package" != "$library" ] || continue
  depends="$(dpkg-deb -f "${deb[$package]}" Depends)"
  [[ "$depends" == *"$library (= $version)"* ]] || fail "$package does not depend on $library (= $version): $depends"
done
depends="$(dpkg-deb -f "${deb[lumo]}" Depends)"
for dependency in libc6 libstdc++6 libsqlite3-0 libmdb3; do
  [[ "$depends" == *"$dependency"* ]] || fail "lumo's Depends lacks $dependency: $depends"
done
if grep -qx 'usr/bin/LumoExport' "$work/lumo.files"; then
  [[ "$depends" == *libqt6widgets6* ]] || fail "lumo's Depends lacks libqt6widgets6: $depends"
fi
# The library tells dpkg-shlibdeps of other packages where it is, and runs
# ldconfig through the trigger.
dpkg-deb --ctrl-tarfile "${deb[$library]}" | tar -x -C "$work" ./shlibs ./triggers 2>/dev/null || true
grep -qx "libLumoAccess $major $library (>= $version)" "$work/shlibs" 2>/dev/null || fail "$library's shlibs: $(cat "$work/shlibs" 2>/dev/null)"
grep -qx "activate-noawait ldconfig" "$work/triggers" 2>/dev/null || fail "$library has no ldconfig trigger"

# Every program has its man page, compressed, with its title.
while read -r program; do
  name="$(basename "$program")"
  grep -qx "usr/share/man/man1/$name\.1\.gz" "$work/lumo.files" || fail "$name has no man page"
done < <(grep '^usr/bin/.' "$work/lumo.files")

root="$work/root"
for package in "${packages[@]}"; do dpkg -x "${deb[$package]}" "$root"; done
for page in "$root"/usr/share/man/man1/*.1.gz; do
  zcat "$page" | grep -q "^\.TH $(basename "$page" .1.gz | tr '[:lower:]' '[:upper:]') 1 " || fail "$page has no title line"
done
# The loader's search of /usr/lib finds libLumoAccess.so.0, here the
# unpacked root's, as LD_LIBRARY_PATH stands in for it; the only run paths
# lead from a file to the private lumo-private folder, relative to the file.
access="$(cd "$root" && find usr/lib -name "libLumoAccess.so.$version")"
public="$(dirname "$access")"  # usr/lib, or usr/lib/x86_64-linux-gnu under a /usr prefix
declare -A runpaths=(
  ["$access"]='$ORIGIN/lumo-private'
  ["$public/lumo-private/libLumoEngine.so.$version"]='$ORIGIN'
)
while read -r file; do
  if [[ "$file" == usr/bin/* ]]; then want='$ORIGIN/../'"${public#usr/}"'/lumo-private'; else want="${runpaths[$file]:-}"; fi
  got="$(readelf -d "$root/$file" 2>/dev/null | sed -n 's/.*(\(RUNPATH\|RPATH\)).*\[\(.*\)\]/\2/p')"
  [ "$got" = "$want" ] || fail "$file has the run path '$got', not '$want'"
done < <(grep -hE '^usr/bin/.|\.so(\.[0-9.]+)?$' "$work"/*.files | while read -r f; do [ -L "$root/$f" ] || echo "$f"; done)
"$(dirname "$0")/../boundary/symbols_test.sh" "$root/$access" "$(dirname "$0")/../boundary/exported_symbols.txt" ||
  fail "the packaged library's symbols"
libdir="$(dirname "$(find "$root/usr/lib" -name "libLumoAccess.so.$major")")"
export LD_LIBRARY_PATH="$libdir"

lumo="$root/usr/bin/lumo"
[ "$("$lumo" --version)" = "lumo $version" ] || fail "lumo --version from the unpacked packages"
# lumo export loads the packaged library by its SONAME (no -dev link needed).
rm "$libdir/libLumoAccess.so"
"$lumo" init --sample "$work/sample" >/dev/null
"$lumo" export goods "$work/sample" >/dev/null || fail "lumo export from the unpacked packages, without the -dev link"
if [ "$python" -eq 0 ]; then
  echo "note: this build has no Python module; python3-lumoaccess not checked" >&2
else
  PYTHONPATH="$root/usr/lib/python3/dist-packages" /usr/bin/python3 - "$root" "$work/sample/Data/LumoBase.mdb" <<'PY' ||
import pathlib, sys
import lumoaccess
root, database = sys.argv[1:]
assert pathlib.Path(lumoaccess.__file__).resolve().is_relative_to(pathlib.Path(root).resolve()), lumoaccess.__file__
person = lumoaccess.clsPidAccess()
assert not person.Initialize("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database), lumoaccess.errors()
assert person.GetPersonalInformation(1).strLastName, "person 1 has no last name"
PY
    fail "the packaged Python module"
fi

# Debian's own checks: no error (warnings and notes are printed).
status=0
lintian --fail-on error --tag-display-limit 0 "${deb[@]}" >"$work/lintian.log" 2>&1 || status=$?
sed 's/^/lintian: /' "$work/lintian.log"
[ "$status" -eq 0 ] || fail "lintian reports errors (exit status $status)"

[ "$failures" -eq 0 ] && echo "${packages[*]}: unpacked, run and checked by lintian: ok"
exit $((failures > 0))
