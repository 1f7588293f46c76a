#!/usr/bin/env bash
# A new user's first steps, as README.md gives them: scripts/demo, then the
# commands of "Using `lumo`" in their order, then the venv install of
# "Python" (when the build has the module). They run in a copy of the
# clone's scripts and README whose build/bin is the build's, so that the
# clone's own sample/ is left alone.
#   readme_test.sh BUILD-DIR SOURCE-DIR
set -euo pipefail
build="$(cd "$1" && pwd)" source="$(cd "$2" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

clone="$work/clone"
mkdir -p "$clone/build"
cp -r "$source/scripts" "$source/README.md" "$clone/"
ln -s "$build/bin" "$clone/build/bin"

# The sh block that follows a README heading.
block() {
  awk -v heading="$1" '
    $0 == heading { found = 1; next }
    found && /^```sh$/ { inside = 1; next }
    inside && /^```$/ { exit }
    inside { print }' "$clone/README.md"
}

# The demo without a display and without building (it built already).
(cd "$clone" && env -u DISPLAY -u WAYLAND_DISPLAY scripts/demo --built >"$work/demo.log" 2>&1) ||
  { cat "$work/demo.log"; fail "scripts/demo --built"; }

# Commands that need what a user brings (Jet files) or take long (100,000
# synthetic records) are left out, by what they name.
commands="$(block '## Using `lumo`' | grep -v -e '/mnt/old' -e '--persons 100000')"
[ "$(grep -c . <<<"$commands")" -ge 5 ] || fail "the README's lumo block has $(grep -c . <<<"$commands") commands"
while IFS= read -r command; do
  (cd "$clone" && bash -c "$command" >"$work/out" 2>&1) || { cat "$work/out" >&2; fail "after the demo: $command"; }
done <<<"$commands"

# The venv install, with HOME in the scratch folder and the build reused;
# pip runs from the source folder, as the README says ("from the clone's
# folder").
if compgen -G "$build/bin/lumoaccess*.so" >/dev/null; then
  install="$(block '## Python' | sed -n '/-m venv/,$p')"
  [ -n "$install" ] || fail "the README's venv install is not there"
  while IFS= read -r command; do
    (cd "$source" && HOME="$work/home" LUMO_PYTHON_BUILD_DIR="$build" bash -c "$command" >"$work/out" 2>&1) ||
      { tail -n 20 "$work/out" >&2; fail "$command"; }
  done <<<"$install"
  "$work/home/lumo-venv/bin/python" -c "import lumoaccess" 2>"$work/out" || { cat "$work/out" >&2; fail "import from the venv"; }
fi

[ "$failures" -eq 0 ] && echo "the README's commands after scripts/demo: ok"
exit $((failures > 0))
