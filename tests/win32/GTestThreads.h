// GoogleTest's notification that lets a thread it starts begin, on a Win32 event: its own is
// built on std::mutex and std::condition_variable, which the compilers' win32 thread model does
// not have. Included before every source of GoogleTest and of the tests (see CMakeLists.txt).
#pragma once

#include <windows.h>

namespace testing::internal {

class Notification {
 public:
  Notification() : fEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Notification() { CloseHandle(fEvent); }
  Notification(const Notification &) = delete;
  Notification &operator=(const Notification &) = delete;
  void Notify() { SetEvent(fEvent); }
  void WaitForNotification() { WaitForSingleObject(fEvent, INFINITE); }

 private:
  HANDLE fEvent;
};

}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
