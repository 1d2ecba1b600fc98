# A private X server with a window manager for the start-up benches; sourced by
# bench/startup and bench/startup-instructions, not run by itself.
#
#   x_session_start WORK_DIR    starts Xvfb on a free display and openbox on it,
#                               exports DISPLAY; the logs go to WORK_DIR; the
#                               screen is X_SESSION_SCREEN (default 1024x768x24)
#   x_session_stop              ends both (only what x_session_start started)
#   stop_pid PID                ends one process: TERM, then KILL after 5 s
#
# openbox closes the active window on Alt+F4, as a desktop does. The caller
# defines fail() (prints its arguments and exits).

xvfb_pid=
wm_pid=

stop_pid() {
    local pid=$1
    [[ -n $pid ]] || return 0
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

x_session_stop() {
    stop_pid "$wm_pid"
    stop_pid "$xvfb_pid"
    wm_pid=
    xvfb_pid=
}

x_session_start() {
    local work=$1 display= n
    # --- X server on a display no one uses, then the window manager.
    for n in $(seq 110 209); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -noreset -screen 0 "${X_SESSION_SCREEN:-1024x768x24}" -nolisten tcp >"$work/xvfb.log" 2>&1 &
        xvfb_pid=$!
        for _ in $(seq 100); do
            kill -0 "$xvfb_pid" 2>/dev/null || break
            if xdpyinfo -display ":$n" >/dev/null 2>&1 &&
                [[ $(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null) == "$xvfb_pid" ]]; then
                display=:$n
                break
            fi
            sleep 0.1
        done
        [[ -n $display ]] && break
        stop_pid "$xvfb_pid"
        xvfb_pid=
    done
    [[ -n $display ]] || fail "could not start Xvfb: $(tail -n 5 "$work/xvfb.log")"
    export DISPLAY=$display

    mkdir -p "$work/wm/.config/openbox"
    cat >"$work/wm/.config/openbox/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew></focus>
  <keyboard>
    <keybind key="A-F4"><action name="Close"/></keybind>
  </keyboard>
</openbox_config>
EOF
    env -u XDG_CONFIG_HOME HOME="$work/wm" openbox >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    for _ in $(seq 150); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        kill -0 "$wm_pid" 2>/dev/null || fail "openbox ended: $(tail -n 5 "$work/openbox.log")"
        sleep 0.1
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
        fail "openbox did not take the screen within 15 s"
}
