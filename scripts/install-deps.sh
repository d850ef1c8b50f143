#!/usr/bin/env bash
# Installs, on Debian 12 as root, every package the build, the tests and the demo need.
# Idempotent: when everything is present it checks and says so in one line.
# Wine is the 64-bit one: these machines cannot start 32-bit Linux processes, so the tests run as
# 64-bit Windows programs while the deliverables are built as 32-bit ones (see README).
set -euo pipefail

packages=(
  ca-certificates git make cmake ninja-build pkg-config file
  g++ clang libclang-rt-14-dev zlib1g-dev libgtest-dev googletest libgmock-dev
  libbenchmark-dev libpugixml-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools libz-mingw-w64-dev libwine-dev
  wine wine64 xvfb xauth x11-utils
  nginx-light wixl gcab imagemagick curl
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing ${missing[*]}; run as root to install them" >&2
    exit 1
  fi
  echo "install-deps: installing ${#missing[@]} packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Korean ANSI code page (949) under Wine needs the ko_KR.UTF-8 locale to exist.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
  [ "$(id -u)" -eq 0 ] || { echo "install-deps: run as root to generate the ko_KR.UTF-8 locale" >&2; exit 1; }
  sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' >> /etc/locale.gen
  grep -q '^en_US.UTF-8 UTF-8' /etc/locale.gen || echo 'en_US.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi

echo "install-deps: all packages present"
