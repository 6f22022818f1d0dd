#!/usr/bin/env bash
# Runs one libFuzzer target: scripts/fuzz.sh MODULE SECONDS [extra libFuzzer flags]
# MODULE names the module under attack (DEMLoader, sdtslib, SDTSLoader, KVDEMMergeInput,
# INIFile, BMPFile, TIFFReader, TGAReader, PCXReader, LBMReader, ...): the target is
# fuzz/MODULEFuzz.cpp. The committed seeds in fuzz/corpus/MODULE are
# copied into a working corpus under the build folder, so new inputs never land in git;
# crashing inputs are written to fuzz/findings/MODULE/ (ignored by git): move the ones worth
# keeping to fuzz/regressions/MODULE/.
#
# Memory is part of the attack surface: a reader must refuse sizes its input cannot back, so a
# single allocation above 64 MB (from inputs of a few KB) or 512 MB in all is a finding.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
module="${1:?usage: scripts/fuzz.sh MODULE SECONDS}"
seconds="${2:?usage: scripts/fuzz.sh MODULE SECONDS}"
shift 2
build="$root/build/fuzz"
(
  flock 9
  if [ ! -f "$build/build.ninja" ]; then
    CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DKV_FUZZ=ON -DKV_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  fi
  ninja -C "$build" "${module}Fuzz" >/dev/null
) 9>"$root/build/.fuzz-build.lock"
work="$build/corpus-work/$module"
findings="$root/fuzz/findings/$module"
mkdir -p "$work" "$findings"
if [ -d "$root/fuzz/corpus/$module" ]; then
  cp -n "$root/fuzz/corpus/$module"/* "$work"/ 2>/dev/null || true
fi
exec "$build/${module}Fuzz" "$work" -max_total_time="$seconds" -rss_limit_mb=512 -malloc_limit_mb=64 \
  -timeout=10 -artifact_prefix="$findings/" -print_final_stats=1 "$@"
