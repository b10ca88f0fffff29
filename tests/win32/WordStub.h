// The stand-in word processor of the help tests: an in-process automation server registered as
// "Word.Application" (WordStub.dll, test code only). What the tests and the server share.
#pragma once

#include <windows.h>

namespace vok::test {

constexpr char WordStubClsid[] = "{3BD7B0CC-B99A-425E-B6FA-69767D5F90D5}";

// Behaviour switches for StubSetFlags.
enum : int {
  StubFailOpen = 1,         // Documents.Open raises an automation exception
  StubFailQuit = 2,         // Quit raises an automation exception
  StubFailCreate = 4,       // the class factory refuses to create the application
  StubRegisterCreated = 8,  // an application created through COM registers itself as running
};

// The exports of WordStub.dll (cdecl).
extern "C" {
// Forgets every application (windows destroyed, running registration revoked), the call log and
// the switches.
using TStubReset = void();
// The bookmarks of every document, separated by ";"; Exists compares them without case.
using TStubSetBookmarks = void(const char *ANames);
using TStubSetFlags = void(int AFlags);
// A title for the application's window in place of the document's name, " - " and the caption.
using TStubSetWindowTitle = void(const char *ATitle);
// Starts an application as a user would and registers it as the running instance.
using TStubRun = void();
// Closes every application as a user would: later calls on them fail as disconnected.
using TStubCloseAll = void();
// The calls received so far, one a line, e.g. `call Documents1.Open(&"C:\help.doc")`.
using TStubLog = const char *();
// The window of the application shown last, or null.
using TStubWindow = HWND();
// The cursor shown when Documents.Open was called last.
using TStubOpenCursor = HCURSOR();
}

}  // namespace vok::test
