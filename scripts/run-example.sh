#!/usr/bin/env bash
# Installs what is needed, builds the module and runs the main example:
# a 300 x 500 reinforced-concrete section, its interaction domain and two cuts.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
log="$(mktemp)"
echo "Building (log: $log) ..."
if ! bash scripts/build.sh >"$log" 2>&1; then
  cat "$log"
  exit 1
fi
PYTHONPATH="$root/build/python" /usr/bin/python3 examples/rc_section_domain.py
