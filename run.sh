#!/usr/bin/env bash
# Installs what is needed, builds, draws the sample picture and runs one
# Vantor Eye pass over it with the batch tool.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build
mkdir -p work
./build/tools/sample/vazesample-sample work/sample.bmp
./build/tools/eye/vazesample-eye work/sample.bmp work/sample-eye.bmp
echo "sample picture: $(pwd)/work/sample.bmp"
echo "after one Vantor Eye pass (key F): $(pwd)/work/sample-eye.bmp"
