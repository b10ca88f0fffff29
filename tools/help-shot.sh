#!/usr/bin/env bash
# Screenshot of the help's message about a missing help document, to look at its Cyrillic text
# under Wine: builds a tiny caller of ShowHelpFile next to Vokabra.dll, runs it
# under Xvfb and saves the screen: the x64 DLL of build/win64 by default, the 32-bit one of
# build/win32 with --win32. Usage: tools/help-shot.sh [--win32] [OUT.png]  (default build/help-shot.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset=win64 arch=--win64 cxx=x86_64-w64-mingw32-g++-win32
if [ "${1:-}" = --win32 ]; then
  preset=win32 arch= cxx=i686-w64-mingw32-g++-win32
  shift
fi
out=$(realpath -m "${1:-$root/build/help-shot.png}")
bash "$root/tools/build.sh" $preset -- Vokabra
bin=$root/build/$preset
cat > "$bin/helpshot.cpp" <<'CPP'
#include <windows.h>
int main() {
  HMODULE M = LoadLibraryA("Vokabra.dll");
  if (!M) return 1;
  auto SetHelpParent = (void(__stdcall *)(HWND))GetProcAddress(M, "SetHelpParent");
  auto ShowHelpFile = (void(__stdcall *)(const char *, const char *))GetProcAddress(M, "ShowHelpFile");
  HWND Host = CreateWindowExA(0, "STATIC", "Host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 500, 300,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  SetHelpParent(Host);
  ShowHelpFile("C:\\Help\\\xF1\xEF\xF0\xE0\xE2\xEA\xE0.doc", "Intro");  // справка.doc, absent
  return 0;
}
CPP
$cxx -O1 -static -o "$bin/helpshot.exe" "$bin/helpshot.cpp"
cd "$bin"
xvfb-run -a -s "-screen 0 800x600x24" bash -c "
  '$root/cmake/wine-run.sh' $arch helpshot.exe & pid=\$!
  sleep 6
  import -window root '$out'
  kill \$pid 2>/dev/null || true
  '$root/cmake/wine-run.sh' $arch --server stop"
echo "help-shot: $out"
