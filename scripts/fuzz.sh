#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UBSan, UBSan reports fatal) and
# runs each for SECONDS on its seed corpus; fails on the first finding.
#   scripts/fuzz.sh [SECONDS] [TARGET...]   default: 10 seconds, every target
#   scripts/fuzz.sh 600 picture             ten minutes of the picture reader
#   GLIMRA_FUZZ_RUNS=1000000 scripts/fuzz.sh 0 bm   a million executions, however long
# Targets: bm mat cmp sft gob act riff_pal jasc_pal gimp_gpl palette_source picture import settings
# Findings are left as build-fuzz/findings/TARGET/crash-* (or leak-*, oom-*, timeout-*).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$here"
seconds=${1:-10}
shift || true
all=(bm mat cmp sft gob act riff_pal jasc_pal gimp_gpl palette_source picture import settings)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")
dir=${GLIMRA_FUZZ_DIR:-$here/build-fuzz}
jobs=$(nproc 2>/dev/null || echo 2)

CC=clang CXX=clang++ cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DGLIMRA_FUZZ=ON \
    -DGLIMRA_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$jobs" --target "${targets[@]/#/fuzz_}" >/dev/null

# Seeds: the samples for the game files, the hand-built and Qt-written files under
# tests/fuzz/corpus for the rest.
seeds() {
    case $1 in
    bm) ls samples/*.bm ;;
    mat) ls samples/*.mat ;;
    cmp) ls samples/*.cmp ;;
    sft) ls samples/*.sft ;;
    palette_source) ls samples/*.bm samples/*.cmp tests/fuzz/corpus/*/* ;;
    import) ls tests/fuzz/corpus/picture/* ;;
    *) ls tests/fuzz/corpus/"$1"/* ;;
    esac
}

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
failed=0
for t in "${targets[@]}"; do
    corpus="$dir/corpus/$t"
    findings="$dir/findings/$t"
    mkdir -p "$corpus" "$findings"
    for f in $(seeds "$t"); do
        case $t in
        palette_source) # the first byte picks the kind of file
            ext=${f##*.}
            case $ext in bm) k=0 ;; bmp) k=1 ;; cmp) k=2 ;; act) k=3 ;; pal) k=4 ;; gpl) k=5 ;;
            *) k=1 ;; esac
            { printf "\\x$(printf %02x $k)"; cat "$f"; } >"$corpus/seed-$(basename "$f")" ;;
        import) # the first byte picks the new frame's settings
            { printf '\x07'; cat "$f"; } >"$corpus/seed-$(basename "$f")" ;;
        *) cp "$f" "$corpus/seed-$(basename "$f")" ;;
        esac
    done
    log="$dir/findings/$t.log"
    limit=-max_total_time="$seconds"
    [ -z "${GLIMRA_FUZZ_RUNS:-}" ] || limit=-runs="$GLIMRA_FUZZ_RUNS"
    # Qt keeps the settings files it parsed in a cache, so every settings run looks like a leak
    # and the per-run leak scan takes most of the time; leaks are still checked at exit. Its
    # many small allocations also fragment ASan's quarantine past the memory limit in long runs.
    extra=()
    asan=$ASAN_OPTIONS
    [ "$t" != settings ] || { extra=(-detect_leaks=0); asan=$asan:quarantine_size_mb=64; }
    if ASAN_OPTIONS=$asan "$dir/tests/fuzz/fuzz_$t" "$limit" "${extra[@]}" -timeout=10 -rss_limit_mb=2560 \
        -max_len=90000 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" >"$log" 2>&1
    then
        runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
        echo "fuzz_$t: ${runs:-?} executions, no finding"
    else
        echo "fuzz_$t: FINDING (see $log)"
        tail -n 40 "$log"
        failed=1
    fi
done
exit $failed
