#!/usr/bin/env bash
# Installs what building and testing Vokabra needs on Debian 12, as root: the MinGW-w64 i686
# and x86-64 cross compilers, 32-bit and 64-bit Wine, Xvfb, fonts, ImageMagick, GoogleTest, a ru_RU.UTF-8 locale, and
# for the reliability checks clang with its sanitizer and libFuzzer runtimes, and valgrind.
# Quiet and quick when everything is there already.
set -euo pipefail

packages=(cmake g++ make g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 mingw-w64-tools
          wine wine32:i386 wine64 xvfb xauth
          fonts-wine imagemagick googletest locales
          clang clang-format libclang-rt-14-dev valgrind x11-utils)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${packages[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
  echo "setup: generating the ru_RU.UTF-8 locale"
  sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
