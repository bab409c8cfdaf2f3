#!/usr/bin/env bash
# Builds and runs the benchmark of the interaction-domain build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh
build/bench_domain
