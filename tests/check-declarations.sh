#!/usr/bin/env bash
# Checks the MapBasic declarations against the DLL's export table: every export declared
# once, and each declaration taking as many arguments as the export's stdcall size says.
# Usage: check-declarations.sh EXPORTS.def MAPBASIC.def
set -euo pipefail
exports=$1 declarations=$2
fail=0
declare -A want
while read -r name bytes; do want[$name]=$((bytes / 4)); done < <(sed -n 's/^ *\([A-Za-z_][A-Za-z0-9_]*\) *= *[A-Za-z_0-9]*@\([0-9]*\).*/\1 \2/p' "$exports")
declare -A seen
while IFS= read -r line; do
  name=$(sed -E 's/^Declare (Function|Sub) ([A-Za-z_0-9]+) .*/\2/' <<<"$line")
  args=$(sed -E 's/^[^(]*\((.*)\).*/\1/' <<<"$line")
  n=0; [ -n "$args" ] && n=$(awk -F, '{print NF}' <<<"$args")
  if [ -n "${seen[$name]:-}" ]; then echo "declared twice: $name"; fail=1; fi
  seen[$name]=1
  if [ -z "${want[$name]:-}" ] && [ "${want[$name]:-x}" = x ]; then echo "not exported: $name"; fail=1; continue; fi
  if [ "${want[$name]}" != "$n" ]; then echo "$name: $n arguments declared, the export takes ${want[$name]}"; fail=1; fi
done < <(tr -d '\r' < "$declarations" | grep -E '^Declare (Function|Sub) ')
for name in "${!want[@]}"; do [ -n "${seen[$name]:-}" ] || { echo "not declared: $name"; fail=1; }; done
[ $fail = 0 ] && echo "check-declarations: ${#want[@]} exports declared"
exit $fail
