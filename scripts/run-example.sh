#!/usr/bin/env bash
# Installs what is needed, builds the module and runs the main example:
# a 300 x 500 reinforced-concrete section, its interaction domain and two cuts.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh
PYTHONPATH="$root/build/python" /usr/bin/python3 examples/rc_section_domain.py
