#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages. Needs root; does
# nothing (and needs nothing) when everything is there already.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config libpcap-dev libssl-dev
          nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev ieee-data
          iproute2 python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "missing packages: ${missing[*]}; run this as root (sudo) to install them" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
