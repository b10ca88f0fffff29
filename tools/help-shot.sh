#!/usr/bin/env bash
# Screenshot of the help's message about a missing help document, to look at its Cyrillic text
# under Wine: builds a tiny caller of ShowHelpFile next to build/win32/Vokabra.dll, runs it
# under Xvfb and saves the screen. Usage: tools/help-shot.sh [OUT.png]  (default build/help-shot.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$root/build/help-shot.png}")
bin=$root/build/win32
export WINEPREFIX=${WINEPREFIX:-$root/build/wineprefix}
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
i686-w64-mingw32-g++-win32 -O1 -static -o "$bin/helpshot.exe" "$bin/helpshot.cpp"
cd "$bin"
xvfb-run -a -s "-screen 0 800x600x24" bash -c "
  '$root/cmake/wine-run.sh' helpshot.exe & pid=\$!
  sleep 6
  import -window root '$out'
  kill \$pid 2>/dev/null || true
  wineserver -k 2>/dev/null || true"
echo "help-shot: $out"
