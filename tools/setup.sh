#!/usr/bin/env bash
# Installs every build and test dependency from Debian's packages, only when something is missing.
# Needs root (or sudo). Safe to run again: a machine that has everything does nothing.
set -euo pipefail

packages=(
  cmake ninja-build ccache make
  g++ clang libclang-rt-14-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
  zlib1g-dev libz-mingw-w64-dev
  libgcrypt20-dev libgcrypt-mingw-w64-dev libgpg-error-mingw-w64-dev openssl
  libboost1.81-dev
  googletest libgtest-dev
  wine wine64 wine32:i386
  xvfb xdotool imagemagick x11-utils
  xauth
  duktape mujs lua5.4 valgrind time
  python3
  libpython3.11-testsuite
  python3-aiosmtpd dovecot-pop3d
  libgnutls30 libgnutls30:i386
  icoutils
  libstb-dev
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all packages present"
  exit 0
fi

echo "setup: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
