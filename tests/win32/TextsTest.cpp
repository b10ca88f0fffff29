// Texts as they read on any Windows: the library's own Windows-1251 texts show as the Cyrillic
// they are whatever the ANSI code page (this program also runs under code page 1252), the host's
// and the files' texts in the code page; and dictionary and projection files read in every
// encoding they come in.
#include <cstdlib>
#include <fstream>
#include <iterator>

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

namespace {

// Unicode text in the code page, "?" for what it cannot hold, as the library converts files.
std::string ToAnsi(const std::wstring &AText, UINT ACodePage = CP_ACP) {
  const DWORD Flags = ACodePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
  const char *Default = ACodePage == CP_UTF8 ? nullptr : "?";
  std::string R(AText.size() * 3, '\0');
  R.resize(static_cast<std::size_t>(WideCharToMultiByte(ACodePage, Flags, AText.data(), static_cast<int>(AText.size()),
                                                        R.data(), static_cast<int>(R.size()), Default, nullptr)));
  return R;
}

std::string ToUtf16(const std::wstring &AText, bool ABigEndian) {
  std::string R = ABigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t C : AText) {
    const char Low = static_cast<char>(C & 0xFF), High = static_cast<char>(C >> 8);
    R += ABigEndian ? std::string{High, Low} : std::string{Low, High};
  }
  return R;
}

// What the exports that read dictionary files answer about AFile: its sections (GetVokCount,
// GetVokName), each loaded by LoadAllVok and by LoadVokEx under the name GetVokName gave, with
// AFilter, and every item of each with its texts.
std::vector<std::string> Answers(const TExports &V, const std::string &AFile, const std::string &AFilter) {
  std::vector<std::string> R;
  const auto Text = [](TText3 *AFn, const std::string &AName, int32_t ACode) {
    return Written(256, [&](char *ABuf) { AFn(AName.c_str(), ACode, ABuf); });
  };
  const auto Items = [&](const std::string &AName) {
    for (int32_t L = 1; L <= V.GetGroupCount(AName.c_str()); ++L)
      for (int32_t I = 1; I <= V.GetItemCount(AName.c_str(), L); ++I) {
        const int32_t Code = V.GetItem(AName.c_str(), L, I);
        R.push_back(AName + " " + std::to_string(Code) + " [" + Text(V.GetVokString, AName, Code) + "] [" +
                    Text(V.GetVokExtra, AName, Code) + "]");
      }
  };
  std::vector<std::string> Names;
  for (int32_t I = 1; I <= V.GetVokCount(AFile.c_str()); ++I) Names.push_back(Text(V.GetVokName, AFile, I));
  R.push_back("LoadAllVok " + std::to_string(V.LoadAllVok(AFile.c_str())));
  for (const std::string &N : Names) {
    Items(N);
    V.UnLoadVok(N.c_str());
  }
  for (const std::string &N : Names) {
    R.push_back("LoadVokEx " + N + " " + std::to_string(V.LoadVokEx(AFile.c_str(), N.c_str(), "Alias", AFilter.c_str())));
    Items("Alias");
    V.UnLoadVok("Alias");
  }
  return R;
}

}  // namespace

// The sample dictionary, with a section of characters that the code page may not hold, and a
// projection file, saved as UTF-8 with and without the mark and as UTF-16 in both byte orders,
// read through every export that reads such files as the same texts saved in the code page
// ("?" for what it cannot hold): under code page 1251, as the sample's Windows-1251 file.
TEST_F(Texts, FilesInEveryEncodingReadAsInTheCodePage) {
  const char *Source = std::getenv("VOK_SOURCE_DIR");
  std::ifstream In(std::string(Source ? Source : ".") + "/examples/sample.vok", std::ios::binary);
  const std::string Sample1251((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  ASSERT_GT(Sample1251.size(), 1000u);
  const std::wstring Word = L"\x0412\x0433 \x00E9";  // "Вг é"
  const std::wstring Vok = FromCyrillic(Sample1251) + L"\r\n[" + Word + L"]\r\nFormat=3\r\nDisplay=%1\r\nDelimit=\r\n1=" +
                           Word + L"\r\n2=" + Word + L"#x\r\n";
  const std::wstring Prj = L"\"--- G ---\"\r\n\"" + Word + L"\", 0, 7\r\n";
  const std::string Filter = ToAnsi(L"\x0433\x043E\x0440\x043E\x0434");  // город
  const std::string Ansi = ToAnsi(Vok);
  if (GetACP() == 1251) {
    EXPECT_EQ(Ansi.substr(0, Sample1251.size()), Sample1251);
  }
  const std::vector<std::string> Expected = Answers(V, Dir.Write("ansi.vok", Ansi), Filter);
  ASSERT_GT(Expected.size(), 40u);
  const std::pair<const char *, std::string (*)(const std::wstring &)> Encodings[] = {
      {"utf8-mark", [](const std::wstring &W) { return "\xEF\xBB\xBF" + ToAnsi(W, CP_UTF8); }},
      {"utf8", [](const std::wstring &W) { return ToAnsi(W, CP_UTF8); }},
      {"utf16le", [](const std::wstring &W) { return ToUtf16(W, false); }},
      {"utf16be", [](const std::wstring &W) { return ToUtf16(W, true); }},
  };
  for (const auto &[Name, Encode] : Encodings) {
    SCOPED_TRACE(Name);
    EXPECT_EQ(Answers(V, Dir.Write(std::string(Name) + ".vok", Encode(Vok)), Filter), Expected);
    const std::string PrjFile = Dir.Write(std::string(Name) + ".prj", Encode(Prj));
    char PrjName[1024] = "", Clause[1024] = "";
    EXPECT_EQ(Driver.Run([&] { return V.GetPrjString(HostWindow(), PrjFile.c_str(), PrjName, Clause); },
                         {[](TDialog &D) { PostMessageW(D.Ok, BM_CLICK, 0, 0); }}),
              65535);
    EXPECT_EQ(std::string(PrjName), ToAnsi(Word));
  }
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
