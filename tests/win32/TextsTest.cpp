// Texts as they read on any Windows: the library's own Windows-1251 texts show as the Cyrillic
// they are whatever the ANSI code page (this program also runs under code page 1252), the host's
// and the files' texts in the code page; and dictionary and projection files read in both of
// their encodings.
#include "tests/win32/DialogDriver.h"

using namespace vok::test;

namespace {

// A text of the code page read back as Unicode.
std::wstring FromAnsi(const std::string &AText) {
  std::wstring W(AText.size(), L'\0');
  W.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_ACP, 0, AText.data(), static_cast<int>(AText.size()), W.data(), static_cast<int>(W.size()))));
  return W;
}

std::wstring ListTextW(HWND AList, int ARow) {
  std::wstring W(static_cast<std::size_t>(SendMessageW(AList, LB_GETTEXTLEN, ARow, 0)) + 1, L'\0');
  W.resize(static_cast<std::size_t>(SendMessageW(AList, LB_GETTEXT, ARow, reinterpret_cast<LPARAM>(W.data()))));
  return W;
}

class Texts : public TOpenLibrary {
 protected:
  TShownHost Host;
  TDriver Driver;
};

}  // namespace

// Every text the library shows of its own, and a text of the host's beside it, read as Unicode.
TEST_F(Texts, OwnTextsShowAsTheirCyrillic) {
  std::printf("[texts] ANSI code page %u\n", GetACP());
  ASSERT_EQ(V.LoadVok(Places.c_str(), "Places"), 65535);
  const std::string Caption = "Places \xE9";  // the host's, in the code page
  std::vector<std::pair<std::wstring, std::wstring>> Seen;  // (shown, expected)
  EXPECT_EQ(Driver.Run([&] { return V.GetVokValue(Caption.c_str(), "Places", 0); },
                       {[&](TDialog &D) {
                          Seen.push_back({D.CaptionW(), FromAnsi(Caption) + FromCyrillic(SearchHint)});
                          Seen.push_back({ListTextW(D.List, 0), FromCyrillic(Undefined)});
                        },
                        Press(VK_F3),
                        [&](TDialog &D) {
                          Seen.push_back({D.CaptionW(), FromCyrillic("\xCF\xEE\xE8\xF1\xEA")});          // Поиск
                          Seen.push_back({WindowTextW(D.Label), FromCyrillic("\xCE\xE1\xF0\xE0\xE7\xE5\xF6:")});  // Образец:
                        },
                        Press(VK_ESCAPE), Press(VK_ESCAPE)}),
            0);
  const std::string Prj = Dir.Write("plane.prj", PlaneFile);
  EXPECT_EQ(Driver.Run([&] {
                         char Name[1024], Clause[1024];
                         return V.GetPrjString(HostWindow(), Prj.c_str(), Name, Clause);
                       },
                       {[&](TDialog &D) {
                          Seen.push_back({D.CaptionW(), FromCyrillic(ChooserCaption)});
                          Seen.push_back({WindowTextW(D.Cancel), FromCyrillic("\xCE\xF2\xEC\xE5\xED\xE0")});  // Отмена
                          PostKey(D.List, VK_ESCAPE);
                        }}),
            65535);
  // The messages: the help's (its own text, then the path in the code page) and a load error's.
  const std::string Missing = Dir.Path() + "\\help \xE9.doc";
  V.ShowHelpFile(Missing.c_str(), "");
  const TShownMessage Help = Messages.TakeOne();
  Seen.push_back({Help.TextW, FromCyrillic(HelpFileNotFound) + FromAnsi(Missing)});
  Seen.push_back({Help.CaptionW, FromCyrillic("\xD1\xEE\xF0\xE2\xE8\xED\xF2\xE0")});  // Сорвинта
  V.LoadVok(Places.c_str(), " ");
  const TShownMessage Load = Messages.TakeOne();
  Seen.push_back({Load.TextW, FromCyrillic(LoadVokAborted)});
  Seen.push_back({Load.CaptionW, L"Vokabra"});
  for (std::size_t I = 0; I < Seen.size(); ++I) EXPECT_EQ(Seen[I].first, Seen[I].second) << "text " << I;
}

// A file that begins with the UTF-8 byte order mark reads as the code page holds it ("?" for
// what it cannot), through every export that reads dictionary or projection files; one without
// it byte for byte.
TEST_F(Texts, Utf8FilesReadInTheCodePage) {
  const bool Cyrillic = GetACP() == 1251;
  const std::string Mark = "\xEF\xBB\xBF";
  // [Вг é] with the item "Вг é" and the projection entry "Вг é".
  const std::string Utf8 = "\xD0\x92\xD0\xB3 \xC3\xA9";
  const std::string Ansi = Cyrillic ? "\xC2\xE3 ?" : "?? \xE9";
  const std::string Vok = Dir.Write("utf8.vok", Mark + FlatSection(Utf8, "1=" + Utf8 + "\r\n2=" + Utf8 + "#x\r\n"));
  const std::string Prj = Dir.Write("utf8.prj", Mark + "\"--- G ---\"\r\n\"" + Utf8 + "\", 0, 7\r\n");
  TBuffers B;
  EXPECT_EQ(V.GetVokCount(Vok.c_str()), 1);
  V.GetVokName(Vok.c_str(), 1, B.Room(256));
  EXPECT_EQ(V.LoadVok(Vok.c_str(), Ansi.c_str()), 65535);
  V.GetVokStr(Ansi.c_str(), 1, B.Room(256));
  EXPECT_EQ(V.LoadVokEx(Vok.c_str(), Ansi.c_str(), "Alias", "*"), 65535);
  V.GetVokStr("Alias", 2, B.Room(256));
  ASSERT_EQ(V.UnLoadVok(Ansi.c_str()), -1);
  EXPECT_EQ(V.LoadAllVok(Vok.c_str()), 65535);
  V.GetVokStr(Ansi.c_str(), 2, B.Room(256));
  EXPECT_EQ(B.Texts(), std::vector<std::string>(4, Ansi));
  EXPECT_EQ(B.Overruns(), "");
  char Name[1024] = "", Clause[1024] = "";
  EXPECT_EQ(Driver.Run([&] { return V.GetPrjString(HostWindow(), Prj.c_str(), Name, Clause); },
                       {[](TDialog &D) { PostMessageW(D.Ok, BM_CLICK, 0, 0); }}),
            65535);
  EXPECT_EQ(std::string(Name), Ansi);
  // Without the mark the same bytes are the code page's own.
  const std::string Raw = Dir.Write("raw.vok", FlatSection("Raw", "1=" + Utf8 + "\r\n"));
  ASSERT_EQ(V.LoadVok(Raw.c_str(), "Raw"), 65535);
  V.GetVokStr("Raw", 1, B.Room(256));
  EXPECT_EQ(B.Text(4), Utf8);
}

// An extra text that the host reads as empty, its first byte a zero byte, gives the item's text.
TEST_F(Texts, ExtraTextBeginningWithAZeroByteGivesTheItemsText) {
  static const char Items[] = "1=one#\0x\r\n2=two#\0\r\n";
  const std::string File = Dir.Write("zero.vok", FlatSection("Z", std::string(Items, sizeof Items - 1)));
  ASSERT_EQ(V.LoadVok(File.c_str(), "Z"), 65535);
  TBuffers B;
  V.GetVokExtra("Z", 1, B.Room(256));
  V.GetVokExtra("Z", 2, B.Room(256));
  EXPECT_EQ(B.Texts(), (std::vector<std::string>{"one", "two"}));
}
