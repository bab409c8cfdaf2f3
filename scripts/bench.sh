#!/usr/bin/env bash
# Builds and runs the benchmark of the interaction-domain build: 2 to 2048
# triangles at three divisions, on one thread and on all the cores the
# process may use. Optional arguments: the largest number of triangles, the
# number of threads of the "all threads" lines.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh
build/bench_domain "$@"
