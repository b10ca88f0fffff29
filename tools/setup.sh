#!/usr/bin/env bash
# Installs what building and testing Vokabra needs on Debian 12, as root: the MinGW-w64 i686
# and x86-64 cross compilers, 32-bit and 64-bit Wine, Xvfb, fonts, ImageMagick, GoogleTest, a
# ru_RU.UTF-8 locale, and for the reliability checks clang with its sanitizer and libFuzzer
# runtimes, and valgrind.
#
# Where the kernel runs no 32-bit program (no IA-32 support: 32-bit Wine cannot start), it has
# 32-bit programs run under qemu-user's i386 emulation instead: qemu-user 10 from the release's
# backports suite (the mirror and keyring of the machine's own Debian sources), registered in
# binfmt_misc for i386 ELF programs. It says so once, when it sets that up; where 32-bit programs
# run natively it installs nothing for emulation. Quiet and quick when everything is there.
#
#   bash tools/setup.sh           install what is missing
#   bash tools/setup.sh --i386    print how 32-bit programs run here: "native", or "emulated by"
#                                 the handler and its version
#
# VOK_EMULATE_I386=1 sets up the emulation even where the kernel runs 32-bit programs itself (to
# rehearse a machine without IA-32 support); without it, on such a kernel, the setup takes back
# an emulation that it registered before.
set -euo pipefail

binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386
qemu=/usr/bin/qemu-i386
# The identity of the qemu-i386 that the handler holds open (flag F opens it at registration).
stamp=/var/lib/vokabra-setup/qemu-i386

step=
trap 'rc=$?; echo "setup: failed while $step (exit status $rc)" >&2; exit $rc' ERR
fail() {
  trap - ERR
  echo "setup: $*" >&2
  exit 1
}
root() { [ "$(id -u)" = 0 ]; }
# Fails unless root, where a step must change the machine.
need_root() { root || fail "run as root: $1"; }

# The enabled or disabled binfmt_misc handlers of i386 ELF programs (class 32-bit, little-endian,
# machine 3 in the magic), one path a line.
i386_handlers() {
  local e
  for e in "$binfmt"/*; do
    case ${e##*/} in register | status) continue ;; esac
    [ -f "$e" ] && grep -q '^magic 7f454c460101.\{24\}0300' "$e" && echo "$e"
  done
  return 0
}

# True when a 32-bit program runs here, through whatever the kernel hands it to: a static i386
# ELF of 96 bytes that only exits with status 42.
i386_runs() {
  local probe rc=0
  probe=$(mktemp)
  printf '\x7fELF\x01\x01\x01\0\0\0\0\0\0\0\0\0\x02\0\x03\0\x01\0\0\0\x54\x80\x04\x08\x34\0\0\0' >"$probe"
  printf '\0\0\0\0\0\0\0\0\x34\0\x20\0\x01\0\0\0\0\0\0\0' >>"$probe"
  printf '\x01\0\0\0\0\0\0\0\0\x80\x04\x08\0\x80\x04\x08\x60\0\0\0\x60\0\0\0\x05\0\0\0\0\x10\0\0' >>"$probe"
  printf '\xb8\x01\0\0\0\xbb\x2a\0\0\0\xcd\x80' >>"$probe"
  chmod +x "$probe"
  timeout 60 "$probe" 2>/dev/null || rc=$?
  rm -f "$probe"
  [ $rc = 42 ]
}

# True when the kernel runs a 32-bit program itself: tried with every i386 handler disabled,
# since binfmt_misc comes before the kernel's own loader. Not root, it cannot disable them: true
# then when a 32-bit program runs at all.
i386_native() {
  local e off=() rc=0
  root || { i386_runs; return; }
  for e in $(i386_handlers); do
    if grep -qx enabled "$e"; then
      echo 0 >"$e"
      off+=("$e")
    fi
  done
  i386_runs || rc=1
  for e in "${off[@]}"; do echo 1 >"$e"; done
  return $rc
}

# The version a program (a qemu) prints; the interpreter of a binfmt_misc handler.
version_of() { "$1" --version 2>/dev/null | sed -n 's/.*version \([0-9][0-9.]*\).*/\1/p' | head -1; }
interpreter_of() { sed -n 's/^interpreter //p' "$1"; }
qemu_version() { version_of "$qemu"; }
qemu_fit() {
  local v
  v=$(qemu_version)
  [ -n "$v" ] && [ "${v%%.*}" -ge 10 ]
}
installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# "URI KEYRING" of the machine's own source of the Debian release CODENAME (KEYRING may be empty).
debian_source() {
  local codename=$1 f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk -v suite="$codename" '
      function flush() {
        if (deb && uri != "" && found) { print uri, key; exit 0 }
        deb = 0; uri = ""; key = ""; found = 0
      }
      /^[ \t]*$/ { flush(); next }
      /^Types:/ { deb = ($0 ~ /[ \t]deb([ \t]|$)/) }
      /^URIs:/ { uri = $2 }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == suite) found = 1 }
      /^Signed-By:/ { key = $2 }
      END { flush() }' "$f" | head -1
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n -E "s/^deb[ \t]+(\[([^]]*)\][ \t]+)?([^ \t]+)[ \t]+$codename[ \t].*/\3 \2/p" "$f" |
      sed -E 's/^([^ ]+) .*signed-by=([^ ]+).*/\1 \2/; s/^([^ ]+) .*/\1 /'
  done
}

# qemu-user 10 or later, from the release itself or from its backports suite.
install_qemu() {
  local codename suite=() candidate source uri key list pkgs=(qemu-user) p
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || fail "cannot tell the Debian release (no VERSION_CODENAME in /etc/os-release)"
  need_root "installing qemu-user for the 32-bit programs, which this kernel does not run"
  step="looking up qemu-user"
  candidate=$(apt-cache policy qemu-user | sed -n 's/^ *Candidate: *\([0-9]*:\)\{0,1\}\([0-9]*\).*/\2/p')
  if [ -z "$candidate" ] || [ "$candidate" -lt 10 ]; then
    if ! grep -rqsE "^(Suites:.*[[:space:]]|deb([[:space:]].*)?[[:space:]])$codename-backports([[:space:]]|$)" \
      /etc/apt/sources.list /etc/apt/sources.list.d/; then
      step="adding the $codename-backports suite"
      source=$(debian_source "$codename" | head -1)
      [ -n "$source" ] || fail "no Debian source of $codename in /etc/apt to take the backports' mirror from"
      uri=${source%% *} key=${source#* }
      list=/etc/apt/sources.list.d/$codename-backports.sources
      {
        echo "Types: deb"
        echo "URIs: $uri"
        echo "Suites: $codename-backports"
        echo "Components: main"
        [ -z "$key" ] || echo "Signed-By: $key"
      } >"$list"
      echo "setup: added $list (the mirror of the machine's $codename source)"
    fi
    step="apt-get update for $codename-backports"
    apt-get update -qq
    suite=(-t "$codename-backports")
  fi
  # qemu-user 10 breaks the packages of the older one that took its binaries or registered them.
  for p in qemu-user-static qemu-user-binfmt; do installed "$p" && pkgs+=("$p"); done
  step="installing ${pkgs[*]} ${suite[*]}"
  echo "setup: installing ${pkgs[*]} ${suite[*]:+from ${suite[1]}}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${suite[@]}" "${pkgs[@]}" >/dev/null
  qemu_fit || fail "qemu-user 10 or later was not found (installed: ${pkgs[*]} $(qemu_version)); $codename-backports has it"
}

# Registers qemu-i386 for i386 ELF programs (flag F), again whenever qemu-i386 changed, and
# takes every other i386 handler away: an old qemu still registered hangs Wine.
register_qemu() {
  local e id registered=0
  if [ ! -e "$binfmt/register" ]; then
    need_root "mounting binfmt_misc for the 32-bit programs, which this kernel does not run"
    step="mounting binfmt_misc"
    mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null ||
      fail "binfmt_misc is not mounted at $binfmt and cannot be (a container without it?): 32-bit programs cannot run here"
  fi
  step="registering $qemu in binfmt_misc"
  id=$(stat -L -c '%d:%i:%Y' "$qemu")
  for e in $(i386_handlers); do
    if [ "$e" = "$entry" ] && grep -qx enabled "$e" && grep -qx "interpreter $qemu" "$e" &&
      grep -q '^flags: .*F' "$e" && [ "$(cat "$stamp" 2>/dev/null)" = "$id" ]; then
      registered=1
      continue
    fi
    need_root "replacing the i386 handler ${e##*/} ($(interpreter_of "$e"))"
    echo "setup: taking back the i386 handler ${e##*/} ($(interpreter_of "$e"))"
    echo -1 >"$e"
  done
  if [ $registered = 0 ]; then
    need_root "registering $qemu for i386 programs"
    echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
      >"$binfmt/register"
    mkdir -p "${stamp%/*}"
    echo "$id" >"$stamp"
    step="running a 32-bit program under $qemu"
    i386_runs || fail "a 32-bit program does not run under $qemu $(qemu_version) either"
    local why="this kernel runs no 32-bit program"
    [ "${VOK_EMULATE_I386:-0}" != 1 ] || why="VOK_EMULATE_I386=1"
    echo "setup: $why: 32-bit programs (32-bit Wine, the 32-bit DLL's tests) run under qemu-user's" \
      "i386 emulation ($qemu $(qemu_version)), 2 to 4 times slower"
  fi
}

if [ "${1:-}" = --i386 ]; then
  for e in $(i386_handlers); do
    if grep -qx enabled "$e"; then
      i=$(interpreter_of "$e")
      echo "emulated by $i $(version_of "$i")"
      exit 0
    fi
  done
  echo native
  exit 0
fi

packages=(cmake g++ make g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 mingw-w64-tools
          wine wine32:i386 wine64 xvfb xauth
          fonts-wine imagemagick googletest locales
          clang clang-format libclang-rt-14-dev valgrind x11-utils)

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done

if [ ${#missing[@]} -gt 0 ]; then
  need_root "installing ${missing[*]}"
  echo "setup: installing ${missing[*]}"
  step="adding the i386 architecture"
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  step="apt-get update"
  apt-get update -qq
  step="installing ${missing[*]}"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${packages[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qix 'ru_RU.utf8'; then
  need_root "generating the ru_RU.UTF-8 locale"
  echo "setup: generating the ru_RU.UTF-8 locale"
  step="generating the ru_RU.UTF-8 locale"
  sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen || echo 'ru_RU.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null
fi

step="trying a 32-bit program"
if [ "${VOK_EMULATE_I386:-0}" != 1 ] && i386_native; then
  # Natively: an emulation that this script registered earlier (rehearsed) is taken back.
  if root && [ -f "$stamp" ] && [ -f "$entry" ]; then
    echo "setup: 32-bit programs run natively here: taking back the qemu-i386 handler registered before"
    echo -1 >"$entry"
    rm -f "$stamp"
  fi
  exit 0
fi
qemu_fit || install_qemu
register_qemu
