#!/usr/bin/env bash
# Runs the game itself headless, ends it with SIGTERM as a user's Ctrl-C or a
# session logout would, and wants exit status 0 with nothing reported: in a
# sanitizer build that means no leak, overrun or undefined behaviour of ours.
#   GameRun.sh <game executable>
set -u
game="$1"
home=$(mktemp -d "${TMPDIR:-/tmp}/drevanth-run-XXXXXX") || exit 1
trap 'rm -rf "$home"' EXIT
export HOME="$home" SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
unset XDG_CONFIG_HOME

"$game" >"$home/output" 2>&1 &
pid=$!
# The save folder appears during the game's start-up, after the window thread
# has set up SDL, which turns SIGTERM into a close request from then on.
for _ in $(seq 600); do
    [[ -d "$home/Documents/My Games/Drevanth" ]] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
sleep 1
kill -TERM "$pid" 2>/dev/null
wait "$pid"
status=$?
cat "$home/output"
if [[ $status -ne 0 ]]; then
    echo "the game exited with status $status" >&2
    exit 1
fi
for save in Data.dat Config.dat Score.dat; do
    [[ -f "$home/Documents/My Games/Drevanth/$save" ]] || { echo "no $save written" >&2; exit 1; }
done
