#!/usr/bin/env bash
# Times gmkconv against a plain copy of the same file, and reports the peak
# memory of one conversion.
#   bench/run.sh [PROGRAM] [SIZE_MIB]
# PROGRAM defaults to build/release/gmkconv, SIZE_MIB to 512. Needs hyperfine
# (apt-get install hyperfine) and /usr/bin/time (apt-get install time).
set -euo pipefail

program=$(realpath "${1:-build/release/gmkconv}")
size_mib=${2:-512}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

head -c "$((size_mib << 20))" /dev/urandom >input.gm81

# Both commands overwrite their output on every run, as a user's repeated
# conversion would; standard input is empty so the final wait ends at once.
hyperfine --warmup 3 --runs 15 --export-json times.json \
    "'$program' input.gm81 </dev/null" \
    'cp --reflink=never input.gm81 copy.bin'

python3 - <<'PY'
import json
runs = json.load(open("times.json"))["results"]
ours, cp = (r["median"] for r in runs)
print(f"median wall time: gmkconv {ours:.3f} s, cp {cp:.3f} s, ratio {ours / cp:.2f} (target <= 1.10)")
PY

/usr/bin/time -v "$program" input.gm81 </dev/null 2>time.txt >/dev/null
peak_kib=$(awk -F': ' '/Maximum resident set size/ {print $2}' time.txt)
echo "peak resident memory: gmkconv ${peak_kib} KiB (target < 16384 KiB)"
