# Sourced by the tests that start the program as a user would, on Xvfb. They set $folder (the program's
# own folder), $program and $xinput first.

# Skips (code 77) without xvfb-run, except under LUMETRA_CI=1, where that fails.
require_xvfb_run() {
    if ! command -v xvfb-run >/dev/null; then
        [ "${LUMETRA_CI:-}" = 1 ] && { echo "xvfb-run is missing" >&2; exit 1; }
        echo "xvfb-run is missing: skipped"
        exit 77
    fi
}

# A fresh folder holding the executable beside the camera library, so its lumcam.Ini and error log land
# there.
install_program() {
    rm -rf "$folder"
    mkdir -p "$folder"
    cp "$program" "$folder/"
    cp -P "$(dirname "$program")"/liblumcam32.so* "$folder/"
}

# drive_program <pid> <picture on failure, or empty> <steps...>: runs the steps against the started
# program; the last steps must end it (File > Exit), which it is given 20 s to do.
drive_program() {
    local pid=$1 failure=$2
    shift 2
    if ! "$xinput" "$@"; then
        [ -z "$failure" ] || "$xinput" "shot:$failure" || true
        kill "$pid" 2>/dev/null || true
        echo "driving the program failed" >&2
        return 1
    fi
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$pid" 2>/dev/null; then
        kill -9 "$pid"
        echo "File > Exit did not end the program" >&2
        return 1
    fi
    wait "$pid"
}
