# shellcheck shell=bash
# Private X servers for the scripts and tests, and polling. Source this file.

# flutt_wait_for SECONDS COMMAND...: polls until COMMAND succeeds; returns 1
# when SECONDS have passed first.
flutt_wait_for() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

# flutt_start_x_server FIRST COMMAND...: starts the X server COMMAND ("%d" in
# it stands for the display number) on the first free display number from
# FIRST on, trying up to 100 numbers; runs side by side give each its own
# FIRST (from their process id) so that they rarely meet. Sets FLUTT_X_PID
# and FLUTT_X_DISPLAY (":N"); returns 1 when no server came up.
flutt_start_x_server() {
    local first=$1 n i pid
    shift
    for ((n = first; n < first + 100; n++)); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        "${@//%d/$n}" >/dev/null 2>&1 </dev/null &
        pid=$!
        for ((i = 0; i < 200; i++)); do
            kill -0 "$pid" 2>/dev/null || break
            # Ours once its socket is there and the lock names our server:
            # another run may have taken the number in the meantime.
            # shellcheck disable=SC2034  # FLUTT_X_*: for the caller
            if [[ -S /tmp/.X11-unix/X$n ]] && [[ $(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null) == "$pid" ]]; then
                FLUTT_X_PID=$pid
                FLUTT_X_DISPLAY=:$n
                return 0
            fi
            sleep 0.05
        done
        kill "$pid" >/dev/null 2>&1 || true
        wait "$pid" 2>/dev/null || true
    done
    return 1
}
