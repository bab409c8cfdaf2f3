#!/usr/bin/env bash
# Builds and runs the benchmark of the interaction-domain build: 2 to 2048
# triangles at three divisions, on one thread and on all the cores the
# process may use, and a small section also at the default number of threads.
# Optional arguments: the largest number of triangles (default 2048), the
# number of threads of the "all threads" lines (default: the cores).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh
build/bench_domain "$@"
