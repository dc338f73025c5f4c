# common.sh -- what the test scripts that run the real programs share (the
# end-to-end runs, run-cli, on-xvfb), sourced by each: a work folder of the
# run's own, which is also its ports folder (so the port scan finds the run's
# simulator and nothing else); bounded waits; failing with the logs;
# kaltro-sim started as a user starts it; a display of the run's own (Xvfb);
# and the leak suppressions a real windowing system needs in a sanitizer
# build.
#
# Sets: work, pids (killed and reaped on exit), XDG_RUNTIME_DIR, and
# XDG_CONFIG_HOME and LANGUAGE, so that the programs speak English and find
# no language remembered from the machine's own runs.

work=$(mktemp -d /tmp/brevant-test-XXXXXX)
pids=()
cleanup() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do wait "$p" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    local f
    for f in "$work"/*.out "$work"/*.log; do
        [ -f "$f" ] && { echo "--- ${f##*/}" >&2; tail -n 40 "$f" >&2; }
    done
    exit 1
}

# Waits up to $2 tenths of a second until the command $1 succeeds.
wait_until() {
    local i
    for ((i = 0; i < $2; i++)); do
        eval "$1" && return 0
        sleep 0.1
    done
    return 1
}

export XDG_RUNTIME_DIR="$work"
export XDG_CONFIG_HOME="$work/config"
export LANGUAGE=en

# Starts kaltro-sim ($1) with the further arguments, logging its traffic to
# sim.log, and waits for the COM name it publishes.
start_sim() {
    local sim=$1
    shift
    "$sim" --log "$work/sim.log" "$@" >"$work/sim.out" 2>&1 &
    pids+=($!)
    wait_until 'grep -qs "COM[0-9]" "$work/sim.out"' 50 || fail "kaltro-sim did not publish a port"
}

# Adds leak suppression patterns to the suite's list for this run. A real
# display brings libraries that keep buffers for the life of the process
# (the session bus's, for one), which a sanitizer build counts as leaks.
suppress_leaks() {
    [[ "${LSAN_OPTIONS:-}" =~ suppressions=([^:]*) ]] || return 0
    local list=${BASH_REMATCH[1]}
    if [ "$list" != "$work/lsan.supp" ]; then
        cat "$list" >"$work/lsan.supp"
        export LSAN_OPTIONS="${LSAN_OPTIONS/$list/$work/lsan.supp}"
    fi
    local p
    for p in "$@"; do echo "leak:$p" >>"$work/lsan.supp"; done
}

# Starts a display of the run's own (Xvfb, on a free number) and points Qt's
# X11 platform at it. On a real display the toolkit also talks to the
# session bus, whose library keeps a buffer for the life of the process when
# there is no bus.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    wait_until '[ -s "$work/display" ]' 50 || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
    export QT_QPA_PLATFORM=xcb
    suppress_leaks libdbus-1
}
