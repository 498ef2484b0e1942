#!/usr/bin/env bash
# Sets up a fresh Debian machine and either starts the game or runs the tests.
#   ./setup.sh play   install, build, start the game
#   ./setup.sh test   install, build with sanitizers, run every test; beside
#                     them, the replays and the play-through again,
#                     optimised, and the whole tree built with clang
set -euo pipefail
cd "$(dirname "$0")"

mode="${1:-}"
if [[ "$mode" != "play" && "$mode" != "test" ]]; then
    echo "usage: $0 play|test" >&2
    exit 2
fi

packages=(
    build-essential cmake ninja-build pkg-config
    libsdl2-dev libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0
    glslang-dev glslang-tools spirv-tools libspirv-cross-c-shared-dev
    libfreetype-dev fonts-dejavu-core
    libvorbis-dev zlib1g-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang libclang-rt-14-dev
    # A virtual X display, with the core fonts SDL's message box draws with.
    xvfb xauth xfonts-base
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

jobs=$(nproc)
if [[ "$mode" == "play" ]]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j "$jobs"
    exec ./build/drevanth
fi

# Two builds check what the sanitizer build cannot, and need none of its
# results. Replays must not depend on timing or on memory contents, which an
# optimised build changes: the replay and play-through tests run again
# optimised (only the targets they need), the C library's allocations and
# the game's own arenas filled with another pattern. And the whole tree with
# its tests, tools, benchmarks and fuzz targets must build with clang too,
# the compiler the fuzz targets need (built, not run, so without debug
# information). Both run in the background, what they print going to a log
# shown whole when they fail: the optimised replays beside the sanitizer
# build, the clang build once that build is done, beside its tests, which
# leave cores idle while the longest of them run. The sanitizer build skips
# the benchmarks, which no test runs and the clang build compiles.
rm -f build-asan/.built
cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_FLAGS_DEBUG=-g0 -DCMAKE_CXX_FLAGS_DEBUG=-g0 >/dev/null
cmake -S . -B build-rel -G Ninja -DCMAKE_BUILD_TYPE=Release -DDREVANTH_BENCHMARKS=OFF \
    -DDREVANTH_TEST_CASES=ON >/dev/null
setsid -w bash -c 'nice -n 19 cmake --build build-rel -j "$1" --target game_play_tests game_app_tests &&
    MALLOC_PERTURB_=165 DREVANTH_ARENA_FILL=165 SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy \
        ctest --test-dir build-rel --output-on-failure -j 2 --timeout 900 -R "PlayThrough|Replay" &&
    while [[ ! -e build-asan/.built ]]; do sleep 1; done &&
    nice -n 19 cmake --build build-clang -j "$1"' _ "$jobs" >build-more.log 2>&1 &
more_builds=$!
# A failing sanitizer build or test ends the script: the other builds end with it.
trap 'kill -- -"$more_builds" 2>/dev/null || true' EXIT

# Tests: one sanitized build, headless video and audio.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDREVANTH_SANITIZE=ON \
    -DDREVANTH_BENCHMARKS=OFF
cmake --build build-asan -j "$jobs"
touch build-asan/.built
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="detect_leaks=1"
# The leak suppressions for system libraries are built in (sys/sanitizer.cpp).
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The test programs fill the blocks of the engine heap and of the object
# pool with a pattern as they are taken and given back (the C library's
# MALLOC_PERTURB_ never reaches those arenas), and the replay tests compare
# runs under two patterns: state read before it is written shows.
DREVANTH_ARENA_FILL=60 ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 600

if ! wait "$more_builds"; then
    cat build-more.log
    echo "the optimised replays or the clang build failed" >&2
    exit 1
fi
trap - EXIT
grep -E 'tests passed|Linking' build-more.log | tail -n 2
