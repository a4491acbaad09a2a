# Sourced by scripts/test.sh and the fuzz scripts: configures the build folder and sets `build` to it.
# LUMETRA_SANITIZE=1 chooses the clang build with AddressSanitizer, UndefinedBehaviorSanitizer and the
# fuzz targets (build-sanitize/) and sets the sanitizers' options; otherwise the gcc build (build/).
# LUMETRA_BUILD_DIR names another folder; LUMETRA_WERROR=1 turns warnings into errors.
configure_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
configure_options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DLUMETRA_TESTS=ON -DLUMETRA_BENCH=ON)
if [ "${LUMETRA_SANITIZE:-0}" = 1 ]; then
    build="${LUMETRA_BUILD_DIR:-$configure_root/build-sanitize}"
    configure_options+=(-DLUMETRA_SANITIZE=ON -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14)
    # Leaks that belong to system libraries are suppressed by one committed list; undefined behaviour
    # prints its stack (the build already makes it end the program).
    export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
    export LSAN_OPTIONS="suppressions=$configure_root/tests/sanitizers/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
    if [ -z "${ASAN_SYMBOLIZER_PATH:-}" ] && [ -x /usr/lib/llvm-14/bin/llvm-symbolizer ]; then
        export ASAN_SYMBOLIZER_PATH=/usr/lib/llvm-14/bin/llvm-symbolizer
    fi
else
    build="${LUMETRA_BUILD_DIR:-$configure_root/build}"
fi
[ "${LUMETRA_WERROR:-0}" = 1 ] && configure_options+=(-DLUMETRA_WERROR=ON)
cmake -S "$configure_root" -B "$build" -G Ninja "${configure_options[@]}"
