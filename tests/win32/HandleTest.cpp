// Handle arguments on x64: a MapBasic program may declare them as Integer (the upper half of
// the 64-bit argument then holds anything) or as IntPtr, so the library takes the low 32 bits,
// sign-extended. Every handle export must find the same window or key in each form.
#include "tests/win32/DialogDriver.h"

using namespace vok::test;

namespace {

// AHandle as a host may pass it: sign-extended (as Windows does), with a zero upper half (a
// 32-bit value widened without sign), and with garbage in the upper half.
template <typename H>
std::vector<H> Forms(H AHandle) {
  const uint64_t Low = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(AHandle));
  const auto Make = [](uint64_t A) { return reinterpret_cast<H>(static_cast<uintptr_t>(A)); };
  const uint64_t Sign = Low & 0x80000000u ? 0xFFFFFFFF00000000ull : 0;
  return {Make(Low | Sign), Make(Low), Make(Low | 0x5A5A5A5A00000000ull), Make(Low | 0xFFFFFFFF00000000ull)};
}

class Handles : public TOpenLibrary {
 protected:
  void SetUp() override {
    if (sizeof(void *) == 4) GTEST_SKIP() << "a Win32 handle is 32 bits: there is no upper half";
    TOpenLibrary::SetUp();
  }
};

}  // namespace

TEST_F(Handles, RegistryRootIsItsLowHalf) {
  SetRegText(HKEY_CURRENT_USER, "Software\\VokabraHandles", "V", "ok");
  // -2147483647 through an Integer declaration is HKEY_CURRENT_USER.
  EXPECT_EQ(Forms(HKEY_CURRENT_USER)[0], reinterpret_cast<HKEY>(static_cast<intptr_t>(-2147483647)));
  for (HKEY Root : Forms(HKEY_CURRENT_USER))
    EXPECT_EQ(Written(256, [&](char *ABuf) { V.GetRegString(Root, "Software\\VokabraHandles", "V", ABuf); }), "ok")
        << Root;
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VokabraHandles");
}

TEST_F(Handles, WindowsAreFoundByTheirLowHalf) {
  const std::string Prj = Dir.Write("plane.prj", PlaneFile);
  for (HWND Host : Forms(HostWindow())) {
    SCOPED_TRACE(Host);
    // The load error message and the selection dialog are owned by the host window.
    ASSERT_EQ(V.OpenVokList(Host), 0xFFFF);
    V.LoadVok(Places.c_str(), " ");
    EXPECT_EQ(Messages.TakeOne().Owner, HostWindow());
    ASSERT_EQ(V.LoadVok(Places.c_str(), "Places"), 0xFFFF);
    TModalCloser Closer;
    V.GetVokValue("Test", "Places", 0);
    EXPECT_TRUE(Closer.Saw(TDialogKind::Selection));
    EXPECT_EQ(Closer.Owner(), HostWindow());
    // The chooser too.
    char Name[1024], Clause[1024];
    Closer.Begin();
    EXPECT_EQ(V.GetPrjString(Host, Prj.c_str(), Name, Clause), 0xFFFF);
    EXPECT_TRUE(Closer.Saw(TDialogKind::Chooser));
    EXPECT_EQ(Closer.Owner(), HostWindow());
    // The help's parent is kept as the window itself and owns the help's message.
    V.SetHelpParent(Host);
    EXPECT_EQ(V.GetHelpParent(), HostWindow());
    V.ShowHelpFile((Dir.Path() + "\\missing.doc").c_str(), "");
    EXPECT_EQ(Messages.TakeOne().Owner, HostWindow());
    V.SetHelpParent(nullptr);
  }
}
