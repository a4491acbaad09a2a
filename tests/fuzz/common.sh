# Shared by the fuzz scripts (tests/**/fuzz/run.sh), which source it after `set -euo pipefail`. The fuzz
# targets are programs of the clang sanitizer build (scripts/test.sh with LUMETRA_SANITIZE=1, the build CI
# makes), so a script builds its targets there and runs them.
#   fuzz_setup NAME TARGETS...   configures that build if needed and builds the targets; sets root, build.
#       Without clang a developer's run says so and ends successfully; in CI (LUMETRA_CI=1) it fails,
#       as does any run whose build fails.
#   fuzz_run PREFIX TARGET SECONDS SEEDS... [-- LIBFUZZER FLAGS...]
#       runs TARGET for SECONDS from its own corpus (BUILD/corpus-PREFIX) and the seed folders, and
#       prints libFuzzer's final statistics; findings go to BUILD/fuzz-findings/PREFIX-*; FUZZ_RSS_MB
#       (default 2048) bounds its memory. A finding does not stop the script: every target runs.
#   fuzz_finish                  ends the script, failing if any target found something.

fuzz_failed=()

fuzz_setup() {
    local name="$1"
    shift
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
    if ! command -v clang++-14 >/dev/null ||
        [ ! -f "$(clang++-14 --print-runtime-dir)/libclang_rt.fuzzer-x86_64.a" ]; then
        local missing="clang++-14 or its fuzzer runtime (libclang-rt-14-dev) not found"
        if [ "${LUMETRA_CI:-0}" = 1 ]; then
            echo "$name fuzz: $missing; LUMETRA_SANITIZE=1 scripts/install-deps.sh installs them" >&2
            exit 1
        fi
        echo "$name fuzz: $missing, skipped"
        exit 0
    fi
    LUMETRA_SANITIZE=1 source "$root/scripts/configure.sh" >/dev/null
    cmake --build "$build" -j "${FUZZ_JOBS:-$(nproc)}" -t "$@"
}

fuzz_run() {
    local prefix="$1" target="$2" seconds="$3"
    shift 3
    local seeds=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        seeds+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    local corpus="$build/fuzz-corpus/$prefix" findings="$build/fuzz-findings"
    mkdir -p "$corpus" "$findings"
    echo "== fuzzing $prefix for $seconds s"
    if ! "$build/tests/fuzz/$target" "$corpus" "${seeds[@]}" -max_len=4096 -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb="${FUZZ_RSS_MB:-2048}" -artifact_prefix="$findings/$prefix-" \
        -print_final_stats=1 "$@"; then
        fuzz_failed+=("$prefix")
    fi
}

fuzz_finish() {
    if [ ${#fuzz_failed[@]} -gt 0 ]; then
        echo "fuzzing found faults in: ${fuzz_failed[*]} (inputs in $build/fuzz-findings)" >&2
        exit 1
    fi
}
