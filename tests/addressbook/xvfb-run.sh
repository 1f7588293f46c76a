#!/usr/bin/env bash
# 住所録 as a user meets it: installs the build (cmake --install) into a
# scratch prefix, makes the sample folder with the installed lumo, starts
# the installed LumoAddressBook on it under Xvfb, types a search (phone
# digits), opens the card with Enter, changes the family name, saves with
# Ctrl+S, closes the card and the program, and checks the file.
#   tests/addressbook/xvfb-run.sh [BUILD-DIR]     (default: build)
# Needs xvfb-run and xdotool (scripts/lib/install.sh, group test).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
work="$(mktemp -d)"
program_pid=
cleanup() {
  [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

cmake --install "$build" --prefix "$work/prefix" >/dev/null
"$work/prefix/bin/lumo" init --sample "$work/sample" >/dev/null

# Runs on the virtual display.
session='set -euo pipefail
  work="$1"
  "$work/prefix/bin/LumoAddressBook" "$work/sample" 2>"$work/stderr" &
  echo $! >"$work/pid"
  window=$(xdotool search --sync --onlyvisible --name "住所録" | head -1)
  xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus --sync "$window"
  sleep 1
  xdotool type --delay 60 "3401"
  sleep 1
  xdotool key Tab Return
  card=$(xdotool search --sync --onlyvisible --name "山田 太郎 - 住所録" | head -1)
  # Xvfb has no window manager to give the new window the focus.
  xdotool windowfocus --sync "$card"
  sleep 1
  xdotool key End
  xdotool type --delay 60 "X"
  xdotool key ctrl+s
  sleep 1
  xdotool key Escape
  sleep 0.5
  xdotool windowfocus --sync "$window"
  xdotool key ctrl+q
  for _ in $(seq 50); do kill -0 "$(cat "$work/pid")" 2>/dev/null || exit 0; sleep 0.1; done
  echo "LumoAddressBook did not end" >&2
  exit 1'
timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" bash -c "$session" _ "$work"
stored="$(python3 -c 'import sqlite3, sys
print(sqlite3.connect(sys.argv[1]).execute("SELECT LASTNAME || \" \" || FIRSTNAME FROM T_PERSON WHERE PERSON_ID = 1").fetchone()[0])' "$work/sample/Data/LumoBase.mdb")"
if [ "$stored" != "山田X 太郎" ]; then
  echo "expected '山田X 太郎' in the file, found '$stored'" >&2
  cat "$work/stderr" >&2 || true
  exit 1
fi
echo "ok: the installed LumoAddressBook searched, opened the card and saved '$stored'"
