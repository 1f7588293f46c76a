#!/usr/bin/env bash
# A new user's first steps, as README.md gives them: scripts/demo, then the
# commands of "Using `lumo`" in their order, then the venv of "Python". They run in a copy of the
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

# The lines of the sh blocks of a README section, in order.
block() {
  awk -v heading="$1" '
    $0 == heading { found = 1; next }
    found && /^## / { exit }
    found && /^```sh$/ { inside = 1; next }
    inside && /^```$/ { inside = 0; next }
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

# The venv of the Python install, with HOME in the scratch folder: the
# interpreter the README names must give the venv setuptools and wheel
# (pip's "invalid command 'bdist_wheel'" otherwise). The pip install itself
# is python_pip_install's (tests/install/pip_test.sh), which reuses the build.
venv="$(block '## Python' | grep -e '-m venv')"
[ -n "$venv" ] || fail "the README's Python install makes no venv"
(HOME="$work/home" bash -c "$venv" >"$work/out" 2>&1) || { cat "$work/out" >&2; fail "$venv"; }
"$work/home/lumo-venv/bin/python" -c "import setuptools.command.build_ext, wheel" 2>"$work/out" ||
  { cat "$work/out" >&2; fail "the venv of '$venv' cannot build a wheel"; }

[ "$failures" -eq 0 ] && echo "the README's commands after scripts/demo: ok"
exit $((failures > 0))
