#!/usr/bin/env bash
# Runs the game itself, ends it with SIGTERM as a user's Ctrl-C or a session
# logout would, and wants exit status 0 with its saves written and nothing
# reported: in a sanitizer build that means no leak, overrun or undefined
# behaviour of ours.
#   GameRun.sh <game executable>        headless
#   GameRun.sh <game executable> box    on a virtual X display (xvfb-run),
#     without its data, so that an error box is up when SIGTERM comes: the
#     box must not keep the game from ending within 2 s.
# Exits 77 (skipped) when box mode has no xvfb-run.
set -u
game="$1"
mode="${2:-}"
home=$(mktemp -d "${TMPDIR:-/tmp}/drevanth-run-XXXXXX") || exit 1
trap 'rm -rf "$home"' EXIT
export HOME="$home" SDL_AUDIODRIVER=dummy
unset XDG_CONFIG_HOME

if [[ "$mode" == box ]]; then
    command -v xvfb-run >/dev/null || { echo "no xvfb-run: skipped"; exit 77; }
    # The X display, whatever the test run chose for headless tests.
    unset SDL_VIDEODRIVER
    # A copy of the game in a folder of its own: no data beside it.
    mkdir "$home/game" && cp "$game" "$home/game/" || exit 1
    xvfb-run -a -s "-screen 0 1280x720x24" bash -c '
        game=$1; home=$2
        "$game" >"$home/output" 2>&1 &
        pid=$!
        # SDL shows the box from a child process of the game. Other children
        # come and go at start-up (the session bus library tries to launch a
        # bus), so the box is the child that stays for half a second.
        seen=0
        for _ in $(seq 600); do
            if pgrep -P "$pid" >/dev/null; then
                seen=$((seen + 1))
                ((seen >= 5)) && break
            else
                seen=0
            fi
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if ((seen < 5)); then
            echo "no error box came up (the X core fonts of xfonts-base?)" >"$home/why"
            kill -KILL "$pid"; wait "$pid"; exit 1
        fi
        kill -TERM "$pid"
        for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        if kill -0 "$pid" 2>/dev/null; then
            echo "still running 2 s after SIGTERM with the box up" >"$home/why"
            kill -KILL "$pid"; wait "$pid"; exit 1
        fi
        wait "$pid"
    ' _ "$home/game/$(basename "$game")" "$home"
    status=$?
else
    export SDL_VIDEODRIVER=offscreen
    "$game" >"$home/output" 2>&1 &
    pid=$!
    # The save folder appears during the game's start-up, after the window
    # thread has taken SIGTERM as a close request.
    for _ in $(seq 600); do
        [[ -d "$home/Documents/My Games/Drevanth" ]] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    sleep 1
    kill -TERM "$pid" 2>/dev/null
    wait "$pid"
    status=$?
fi
cat "$home/output"
[[ -f "$home/why" ]] && cat "$home/why" >&2
if [[ $status -ne 0 ]]; then
    echo "the game exited with status $status" >&2
    exit 1
fi
for save in Data.dat Config.dat Score.dat; do
    [[ -f "$home/Documents/My Games/Drevanth/$save" ]] || { echo "no $save written" >&2; exit 1; }
done
