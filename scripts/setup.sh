#!/usr/bin/env bash
# Installs what hddterm needs on Debian 12 when something is missing (as root or with sudo).
set -euo pipefail
pkgs=(cmake g++ make pkg-config qt6-base-dev qt6-serialport-dev libgtest-dev libgmock-dev fonts-wqy-zenhei xvfb xauth
      qt6-translations-l10n qt6-tools-dev qt6-l10n-tools python3 dpkg-dev desktop-file-utils)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -eq 0 ]; then SUDO=""; else SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
