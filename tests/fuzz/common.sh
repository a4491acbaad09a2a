# Shared by the fuzz scripts (tests/**/fuzz/run.sh), which source it after `set -euo pipefail`:
# finds clang (without it the calling script says so and ends successfully), the build folder and the
# compiler cache, and gives the two steps every script takes.
#   fuzz_setup NAME                  the name for messages; sets root, build, cxx, launcher
#   fuzz_make [TARGETS...] <<MAKE    the script's own rules on standard input, read before common.mk
#   fuzz_run PREFIX BINARY SECONDS SEEDS... [-- LIBFUZZER FLAGS...]
#       runs BINARY for SECONDS from its own corpus (build/corpus-PREFIX) and the seed folders;
#       findings go to build/PREFIX-*; FUZZ_RSS_MB (default 2048) bounds its memory.

fuzz_setup() {
    root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
    cxx="${LUMETRA_FUZZ_CXX:-$(command -v clang++ || true)}"
    if [ -z "$cxx" ]; then
        echo "$1 fuzz: clang++ not found, skipped"
        exit 0
    fi
    build="${LUMETRA_FUZZ_BUILD_DIR:-$root/build-fuzz}"
    mkdir -p "$build"
    launcher="$(command -v ccache || true)"
}

fuzz_make() {
    make --no-print-directory -j 2 -f - -f "$root/tests/fuzz/common.mk" ROOT="$root" BUILD="$build" \
        CXX="$launcher $cxx" "$@"
}

fuzz_run() {
    local prefix="$1" binary="$2" seconds="$3"
    shift 3
    local seeds=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do
        seeds+=("$1")
        shift
    done
    [ $# -gt 0 ] && shift
    local corpus="$build/corpus-$prefix"
    mkdir -p "$corpus"
    "$binary" "$corpus" "${seeds[@]}" -max_len=4096 -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb="${FUZZ_RSS_MB:-2048}" -artifact_prefix="$build/$prefix-" -print_final_stats=1 "$@"
}
