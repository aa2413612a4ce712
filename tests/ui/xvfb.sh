# Sourced by UI tests: a private X display for the test, unless one is given in TESSARO_DISPLAY.
start_xvfb() {
    if [ -n "${TESSARO_DISPLAY:-}" ]; then
        DISPLAY=$TESSARO_DISPLAY
        export DISPLAY
        return
    fi
    for n in $(seq 90 130); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        DISPLAY=":$n"
        export DISPLAY
        for _ in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && return
            sleep 0.1
        done
        kill "$xvfb_pid" 2>/dev/null
    done
    echo "cannot start Xvfb" >&2
    exit 1
}

stop_xvfb() {
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    return 0
}
