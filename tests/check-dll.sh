#!/usr/bin/env bash
# Checks the built Vokabra.dll as a user receives it: PE32 for i386 (or PE32+ for x86-64),
# exactly the exports of its module-definition file under their undecorated names, the version
# resource, imports from Windows system DLLs only, and no threads runtime linked in.
# Usage: check-dll.sh DLL DEF [i386|x86-64]
set -euo pipefail
dll=$1 def=$2 arch=${3:-i386}
case $arch in
  i386) objdump=i686-w64-mingw32-objdump ;;
  x86-64) objdump=x86_64-w64-mingw32-objdump ;;
  *) echo "check-dll: unknown architecture $arch"; exit 2 ;;
esac
dump=$($objdump -p "$dll")
fail() { echo "check-dll: $*"; exit 1; }

grep -q "file format pei-$arch" <<<"$dump" || fail "not a PE image for $arch"
grep -qE 'Entry 2 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Resource Directory' <<<"$dump" || fail "no version resource"

want=$(sed -n '/^EXPORTS/,$s/^ \+\([A-Za-z_][A-Za-z0-9_]*\)\( *=.*\)\{0,1\}$/\1/p' "$def" | sort)
have=$(awk '/\[Ordinal\/Name Pointer\] Table|\[Name Pointer\/Ordinal\] Table/{t=1;next} t&&/^\t\[ *[0-9]+\] [A-Za-z_]/{print $NF} t&&/^$/{t=0}' <<<"$dump" | sort)
[ "$want" = "$have" ] || fail "exports differ from the .def file:"$'\n'"$(diff <(echo "$want") <(echo "$have"))"

system='^(KERNEL32|USER32|GDI32|ADVAPI32|OLE32|OLEAUT32|SHELL32|COMCTL32|COMDLG32|msvcrt)\.dll$'
while read -r imp; do
  grep -qiE "$system" <<<"$imp" || fail "imports a non-system DLL: $imp"
done < <(sed -n 's/^\tDLL Name: //p' <<<"$dump")
# A threads runtime linked in keeps records of the host's threads after an unload.
runtime=$(strings -a "$dll" | grep -c 'pthread_' || true)
[ "$runtime" = 0 ] || fail "carries a threads runtime ($runtime pthread_ symbols)"
echo "check-dll: $(wc -l <<<"$have") $arch exports, system imports only, no threads runtime"
