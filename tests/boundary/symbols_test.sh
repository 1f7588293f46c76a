#!/usr/bin/env bash
# The dynamic symbols libLumoAccess.so defines are exactly its C entry
# points, each in the version node LUMOACCESS_0 (access/LumoAccess.map),
# and it finds the suite's private libraries in its lumo-private folder.
#   symbols_test.sh LIBRARY EXPECTED-LIST
# EXPECTED-LIST holds one "TYPE NAME@@VERSION" line per symbol, as nm
# prints them, written out by hand.
set -euo pipefail
library="$1" expected="$2"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

[ -f "$library" ] || { echo "FAIL: no library $library" >&2; exit 1; }
got="$(nm -D --defined-only --with-symbol-versions "$library" | awk '{print $2, $3}' | LC_ALL=C sort)"
want="$(grep -v '^#' "$expected" | LC_ALL=C sort)"
if [ "$got" != "$want" ]; then
  fail "$library exports other symbols than $expected"
  diff <(echo "$want") <(echo "$got") | sed -n 's/^>/  exported, not listed:/p; s/^</  listed, not exported:/p' >&2
fi

# The private libraries are found through the run path, not the loader's
# search of the public library folder.
runpath="$(readelf -d "$library" | sed -n 's/.*(RUNPATH).*\[\(.*\)\]/\1/p')"
[ "$runpath" = '$ORIGIN/lumo-private' ] || fail "$library's run path is '$runpath', not \$ORIGIN/lumo-private"
for private in libLumoPlatform.so.0 libLumoEngine.so.0; do
  readelf -d "$library" | grep -q "(NEEDED).*\[$private\]" || fail "$library does not need $private"
  [ -f "$(dirname "$library")/lumo-private/$private" ] || fail "no $private in $(dirname "$library")/lumo-private"
  [ ! -e "$(dirname "$library")/$private" ] || fail "$private lies in the public folder beside $library"
done

[ "$failures" -eq 0 ] && echo "$library: exports exactly the entry points of $expected: ok"
exit $((failures > 0))
