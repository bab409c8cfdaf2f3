#!/usr/bin/env bash
# Installs the system packages the build and the tests need (Debian 12).
set -euo pipefail
pkgs=(g++ cmake make python3-dev python3-pytest python3-numpy libboost1.81-dev libboost-python1.81-dev libgtest-dev googletest)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y "${missing[@]}"
fi
