#!/usr/bin/env bash
# `pip install .` from the repository, offline (no build isolation, no
# index), into a temporary folder, reusing a configured build; then the
# module is imported from there alone and reads a person.
#   pip_test.sh BUILD-DIR SOURCE-DIR PYTHON
set -euo pipefail
build="$1" source="$2" python="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

LUMO_PYTHON_BUILD_DIR="$build" "$python" -m pip install --no-build-isolation --no-index --no-deps \
  --root-user-action=ignore --disable-pip-version-check -q --target "$work/site" "$source" >"$work/pip.log" 2>&1 ||
  { cat "$work/pip.log"; exit 1; }
"$build/bin/lumo" init --sample "$work/sample" >/dev/null

cd "$work"
unset LUMOACCESS_LIBRARY
PYTHONPATH="$work/site" "$python" - "$work/site" "$work/sample/Data/LumoBase.mdb" <<'PY'
import pathlib, sqlite3, sys
import lumoaccess

site, database = sys.argv[1:]
where = pathlib.Path(lumoaccess.__file__).resolve().parent
assert where == pathlib.Path(site).resolve(), f"imported from {where}"
for name in ("libLumoAccess.so", "lumo-private/libLumoPlatform.so.0", "lumo-private/libLumoEngine.so.0"):
    assert (where / name).is_file() and not (where / name).is_symlink(), f"{name} is not installed beside the module"
person = lumoaccess.clsPidAccess()
assert not person.Initialize("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + database), lumoaccess.errors()
with sqlite3.connect(database) as db:
    rows = db.execute("SELECT PERSON_ID, LASTNAME FROM T_PERSON ORDER BY PERSON_ID LIMIT 3").fetchall()
for person_id, last_name in rows:
    got = person.GetPersonalInformation(person_id).strLastName
    assert got == last_name, f"person {person_id}: {got!r}, the file holds {last_name!r}"
# The private libraries come from the package's folder, not from the build
# tree the wheel was made from.
loaded = {line.split()[-1] for line in open("/proc/self/maps") if "libLumo" in line}
for path in loaded:
    assert pathlib.Path(path).resolve().is_relative_to(where), f"{path} loaded from outside {where}"
assert len(loaded) == 3, loaded
print("pip install into", site, "and a read through it: ok")
PY
