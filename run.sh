#!/usr/bin/env bash
# Installs what is needed, builds, and starts the program in the working
# folder work/ (keep files and work files are written there), where the
# sample picture waits for the first open dialog.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
mkdir -p work
[ -f work/sample.bmp ] || ./build/tools/sample/vazesample-sample work/sample.bmp
# The batch tool's pass over the sample as the TOP page's F key gives it on a
# fresh start: FILTER has not yet set the pivot, so the pivot is 0, 0, 0.
./build/tools/eye/vazesample-eye --key F --mode both --ref none work/sample.bmp work/sample-eye.bmp
echo "sample picture: $(pwd)/work/sample.bmp"
echo "what TOP's F key gives on it before a visit to FILTER (pivot 0,0,0): $(pwd)/work/sample-eye.bmp"
cd work
exec ../build/src/vazesample "$@"
