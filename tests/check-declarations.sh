#!/usr/bin/env bash
# Checks MapBasic declarations against a DLL's export table: every export declared once, each
# declaration taking as many arguments as the export's stdcall size in the Win32 table says, and
# for the 64-bit DLL every handle (the window and key arguments, GetHelpParent's result) an IntPtr,
# and the header naming the architecture of the DLL itself ("This is the 64-bit Vokabra.dll").
# Usage: check-declarations.sh VOKABRA.dll EXPORTS.def MAPBASIC.def [WIN32-EXPORTS.def]
#   The Win32 table gives the sizes; without the fourth argument EXPORTS.def is that table.
set -euo pipefail
dll=$1 exports=$2 declarations=$3 sizes=${4:-$2}
fail=0
# The machine of the PE header: 014c for i386, 8664 for x86-64.
pe=$(od -An -tu4 -j 60 -N 4 "$dll" | tr -d ' ')
case $(od -An -tx2 -j $((pe + 4)) -N 2 "$dll" | tr -d ' ') in
  014c) bits=32 ;;
  8664) bits=64 ;;
  *) echo "$dll: not a Windows DLL of i386 or x86-64"; exit 1 ;;
esac
named=$(tr -d '\r' < "$declarations" | sed -n "s/^' This is the \([0-9]*\)-bit Vokabra.dll.*/\1/p")
if [ "$named" != "$bits" ]; then
  echo "$(basename "$declarations") says it is for the ${named:-unnamed}-bit DLL; $(basename "$dll") is $bits-bit"
  fail=1
fi
declare -A want
while read -r name bytes; do want[$name]=$((bytes / 4)); done < <(sed -n 's/^ *\([A-Za-z_][A-Za-z0-9_]*\) *= *[A-Za-z_0-9]*@\([0-9]*\).*/\1 \2/p' "$sizes")
declare -A exported
while read -r name; do exported[$name]=1; done < <(sed -n '/^EXPORTS/,$s/^ \+\([A-Za-z_][A-Za-z0-9_]*\).*/\1/p' "$exports")
[ ${#exported[@]} = ${#want[@]} ] || { echo "the export tables differ in size"; fail=1; }
x64=0; [ "$sizes" != "$exports" ] && x64=1
declare -A seen
while IFS= read -r line; do
  name=$(sed -E 's/^Declare (Function|Sub) ([A-Za-z_0-9]+) .*/\2/' <<<"$line")
  args=$(sed -E 's/^[^(]*\((.*)\).*/\1/' <<<"$line")
  n=0; [ -n "$args" ] && n=$(awk -F, '{print NF}' <<<"$args")
  if [ -n "${seen[$name]:-}" ]; then echo "declared twice: $name"; fail=1; fi
  seen[$name]=1
  if [ -z "${exported[$name]:-}" ]; then echo "not exported: $name"; fail=1; continue; fi
  if [ "${want[$name]}" != "$n" ]; then echo "$name: $n arguments declared, the export takes ${want[$name]}"; fail=1; fi
  handle=Integer; [ $x64 = 1 ] && handle=IntPtr
  for a in AHostWnd ARootKey AHandle; do
    if grep -qE "ByVal $a As " <<<"$line" && ! grep -qE "ByVal $a As $handle\b" <<<"$line"; then
      echo "$name: $a is not declared As $handle"; fail=1
    fi
  done
  if [ "$name" = GetHelpParent ] && ! grep -qE "\) As $handle\b" <<<"$line"; then
    echo "GetHelpParent: the result is not declared As $handle"; fail=1
  fi
done < <(tr -d '\r' < "$declarations" | grep -E '^Declare (Function|Sub) ')
for name in "${!exported[@]}"; do [ -n "${seen[$name]:-}" ] || { echo "not declared: $name"; fail=1; }; done
[ $fail = 0 ] && echo "check-declarations: ${#exported[@]} exports declared in $(basename "$declarations")"
exit $fail
