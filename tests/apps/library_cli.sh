#!/usr/bin/env bash
# ixo-states' library commands: a document imported into an SQLite library is listed, comes back
# as a file with the same states, and a second import under its name is refused.
# Usage: library_cli.sh <ixo-states> <demo document> <work directory>
set -euo pipefail
states=$1 doc=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
library="sqlite:$work/lab.db"

"$states" library import "$library?document=bench" "$doc" >/dev/null
"$states" library list "$library" | grep -qx "  bench" || fail "bench is not listed"
"$states" library export "$library" bench "$work/copy.ixs" >/dev/null
[[ "$("$states" list "$work/copy.ixs" --json)" == "$("$states" list "$doc" --json | sed "s|$doc|$work/copy.ixs|g")" ]] ||
    fail "the exported document lists other states"
status=0
"$states" library import "$library?document=bench" "$doc" 2>"$work/taken.txt" || status=$?
[[ $status == 3 ]] && grep -q "has a document bench already" "$work/taken.txt" ||
    fail "a taken name was not refused (exit $status)"
echo "library commands: ok"
