// The selection dialog driven as a person drives it: while a GetVokValue export runs its modal
// loop, a timer of the test thread finds the dialog, reads the rows of both list boxes and
// posts keys and clicks to the real windows; the export's result is checked at the end.
#include "tests/win32/DialogDriver.h"

using namespace vok::test;

namespace {

// Windows-1251 texts of the test dictionary, besides the words every dialog's dictionary has.
const std::string East = "\xC2\xEE\xF1\xF2\xEE\xEA";               // Восток
const std::string Forest = "\xCB\xE5\xF1\xED\xEE\xE9";             // Лесной
const std::string Edge = "\xCA\xF0\xE0\xE9";                       // Край
const std::string LongText(300, '\xC4');                           // ДДД...
const std::string Archive = "(\xC0\xF0\xF5\xE8\xE2)";            // (Архив)
const std::string Old = "\xD1\xF2\xE0\xF0\xFB\xE9";              // Старый
const std::string New = "\xCD\xEE\xE2\xFB\xE9";                  // Новый
const std::string Decayed = "(\xC2\xE5\xF5\xE8\xE9)";            // (Ветхий)
const std::string House = "\xC4\xEE\xEC";                         // Дом

std::string RegionsFile() {
  return "[Regions]\r\nFormat=2,2,3\r\nDisplay=%1%2%3\r\nDelimit=,\r\n"
         "1100000=" + North + "\r\n1101000=" + Lake + "\r\n"
         "1101001=" + Stone + "\r\n1101002=" + Hills + "\r\n1101003=" + StoneLower + "\r\n"
         "1102000=" + Forest + "\r\n1200000=" + South + "\r\n"
         "1300000=" + East + "\r\n1301000=" + LongText + "\r\n1301001=" + Edge + "\r\n"
         "[Empty]\r\nFormat=2,3\r\nDisplay=%1\r\nDelimit=\r\n"
         // Texts in brackets that sort before the undefined-value row.
         "[Archive]\r\nFormat=2,2\r\nDisplay=%1%2\r\nDelimit=,\r\n"
         "1000=" + Archive + "\r\n1001=" + Old + "\r\n"
         "2000=" + New + "\r\n2001=" + Decayed + "\r\n2002=" + House + "\r\n";
}

const TLevel Level0 = {{Undefined, -1}, {East, 1300000}, {North, 1100000}, {South, 1200000}};
const TLevel NorthLevel = {{Undefined, -1}, {Forest, 1102000}, {Lake, 1101000}};
const TLevel LakeLevel = {{Undefined, -1}, {Stone, 1101001}, {Hills, 1101002}};
const TLevel EastLevel = {{Undefined, -1}, {LongText, 1301000}};
const TLevel LongLevel = {{Undefined, -1}, {Edge, 1301001}};
const TLevel ArchiveLevel0 = {{Archive, 1000}, {Undefined, -1}, {New, 2000}};
const TLevel ArchiveLevel = {{Undefined, -1}, {Old, 1001}};
const TLevel NewLevel = {{Decayed, 2001}, {Undefined, -1}, {House, 2002}};

class SelectionDialog : public TOpenLibrary {
 protected:
  void SetUp() override {
    TOpenLibrary::SetUp();
    const std::string File = Dir.Write("regions.vok", RegionsFile());
    for (const char *Name : {"Regions", "Empty", "Archive"}) ASSERT_EQ(V.LoadVok(File.c_str(), Name), 65535) << Name;
  }

  int32_t Value(int32_t AItemId, std::vector<TStep> ASteps) {
    return Driver.Run([&] { return Vok().GetVokValue("Test", "Regions", AItemId); }, std::move(ASteps));
  }
  int32_t ValueEx(int32_t AEndGroup, std::vector<TStep> ASteps) {
    return Driver.Run([&] { return Vok().GetVokValueEx("Test", "Regions", AEndGroup); }, std::move(ASteps));
  }
  int32_t ValueSt(int32_t AItemId, int32_t AEndGroup, std::vector<TStep> ASteps) {
    return Driver.Run([&] { return Vok().GetVokValueSt("Test", "Regions", AItemId, AEndGroup); }, std::move(ASteps));
  }

  TShownHost Host;  // the host's main window is on screen and active when it calls
  TDriver Driver;
};

// Steps that come back often.
TStep ClickAndPress(int ARow, UINT AKey, unsigned AMods = 0) {
  return [=](TDialog &D) {
    D.Click(ARow);
    D.Key(AKey, AMods);
  };
}
// ExpectRows, and the path list just high enough for the path.
TStep Expect(const TLevel &ARows, int ASelected, const std::vector<std::string> &APath) {
  return [=](TDialog &D) {
    ExpectRows(ARows, ASelected, APath)(D);
    EXPECT_EQ(D.PathHeight(), static_cast<int>(APath.size()) * D.RowHeight());
  };
}
// Checks that the previous step was refused with the caption flash (about 320 ms of it).
struct TTimed {
  DWORD Start = 0;
  TStep Begin(TStep AStep) {
    return [this, AStep](TDialog &D) {
      Start = GetTickCount();
      AStep(D);
    };
  }
  TStep ExpectFlash() { return [this](TDialog &) { EXPECT_GE(GetTickCount() - Start, 300u) << "no caption flash"; }; }
};

}  // namespace

TEST_F(SelectionDialog, OpenVokListCreatesItHiddenOwnedByTheHostAndCloseVokListDestroysIt) {
  const std::vector<HWND> Windows = DialogWindows();
  ASSERT_EQ(Windows.size(), 1u);
  EXPECT_FALSE(IsWindowVisible(Windows[0]));
  EXPECT_EQ(GetWindow(Windows[0], GW_OWNER), HostWindow());
  EXPECT_TRUE(GetWindowLongW(Windows[0], GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  V.CloseVokList();
  EXPECT_FALSE(IsWindow(Windows[0]));
  EXPECT_TRUE(DialogWindows().empty());
  ASSERT_EQ(V.OpenVokList(HostWindow()), 65535);
  ASSERT_EQ(V.OpenVokList(HostWindow()), 65535);
  EXPECT_EQ(DialogWindows().size(), 1u) << "a second OpenVokList replaces the dialog";
}

TEST_F(SelectionDialog, NoDialogForAnUnknownNameOrAClosedLibrary) {
  const std::function<int32_t()> Calls[] = {
      [] { return Vok().GetVokValue("Test", "Nowhere", 1100000); },
      [] { return Vok().GetVokValueEx("Test", "Nowhere", 1); },
      [] { return Vok().GetVokValueSt("Test", "Nowhere", 1100000, 0); },
      [] { return Vok().GetVokValue("Test", nullptr, 0); },
      [] { return Vok().GetVokValue("Test", "regions ", 0); },
      // The rows from here on run after CloseVokList.
      [] { return Vok().GetVokValue("Test", "Regions", 1100000); },
      [] { return Vok().GetVokValueEx("Test", "Regions", 1); },
      [] { return Vok().GetVokValueSt("Test", "Regions", 1100000, 0); },
  };
  for (const auto &Call : Calls) {
    if (&Call == &Calls[5]) V.CloseVokList();
    EXPECT_EQ(Driver.Run(Call, {}), 0);
    EXPECT_FALSE(Driver.Shown());
  }
  EXPECT_TRUE(Messages.Take().empty());
}

TEST_F(SelectionDialog, MissingOrZeroStartItemOpensLevelZeroWithoutPath) {
  const std::function<int32_t()> Calls[] = {
      [] { return Vok().GetVokValue("Test", "Regions", 0); },
      [] { return Vok().GetVokValue("Test", "REGIONS", 1100001); },
      [] { return Vok().GetVokValue("Test", "Regions", -5); },
      [] { return Vok().GetVokValueEx("Test", "Regions", 2); },
      [] { return Vok().GetVokValueSt("Test", "Regions", 0, 0); },
  };
  for (const auto &Call : Calls) EXPECT_EQ(Driver.Run(Call, {Expect(Level0, 0, {}), Press(VK_ESCAPE)}), 0);
}

TEST_F(SelectionDialog, StartItemOnLevelTwoShowsItsPath) {
  EXPECT_EQ(Value(1101002, {Expect(LakeLevel, 2, {North, Lake}), Press(VK_RETURN)}), 1101002);
}

TEST_F(SelectionDialog, EnterDescendsUntilTheLastLevel) {
  EXPECT_EQ(Value(0, {ClickAndPress(2, VK_RETURN), Expect(NorthLevel, 0, {North}), ClickAndPress(2, VK_RETURN),
                      Expect(LakeLevel, 0, {North, Lake}), ClickAndPress(2, VK_RETURN)}),
            1101002);
}

TEST_F(SelectionDialog, EnterOnAnItemWithoutChildrenChoosesIt) {
  EXPECT_EQ(Value(0, {ClickAndPress(3, VK_RETURN)}), 1200000);
  EXPECT_EQ(Value(1101000, {Expect(NorthLevel, 2, {North}), ClickAndPress(1, VK_RETURN)}), 1102000);
}

TEST_F(SelectionDialog, EndGroupEndsTheDialogOnItsLevel) {
  EXPECT_EQ(ValueEx(1, {ClickAndPress(2, VK_RETURN)}), 1100000);
  EXPECT_EQ(ValueEx(2, {ClickAndPress(2, VK_RETURN), Expect(NorthLevel, 0, {North}), ClickAndPress(2, VK_RETURN)}),
            1101000);
  EXPECT_EQ(ValueEx(-1, {ClickAndPress(2, VK_RETURN), ClickAndPress(2, VK_RETURN), ClickAndPress(1, VK_RETURN)}),
            1101001);
}

TEST_F(SelectionDialog, RowZeroReturnsMinusOne) {
  const TStep Ends[] = {Press(VK_RETURN), Press(VK_RETURN, Ctrl), Press(VK_RETURN, Ctrl | Shift),
                        [](TDialog &D) { D.DoubleClick(0); }};
  for (const TStep &End : Ends) {
    EXPECT_EQ(Value(0, {End}), -1);
    EXPECT_EQ(Value(1101002, {ClickAndPress(0, VK_BACK), Expect(NorthLevel, 0, {North}), End}), -1);
  }
}

TEST_F(SelectionDialog, ModifiersDecideBetweenDescendingAndChoosing) {
  struct TCase {
    const char *Name;
    TStep Act;
    int32_t Chosen;  // 0: descends
  } Cases[] = {
      {"Enter", ClickAndPress(2, VK_RETURN), 0},
      {"Shift+Enter", ClickAndPress(2, VK_RETURN, Shift), 0},
      {"Ctrl+Shift+Enter", ClickAndPress(2, VK_RETURN, Ctrl | Shift), 0},
      {"Ctrl+Alt+Enter", ClickAndPress(2, VK_RETURN, Ctrl | Alt), 0},
      {"Ctrl+Enter", ClickAndPress(2, VK_RETURN, Ctrl), 1100000},
      {"double-click", [](TDialog &D) { D.DoubleClick(2); }, 0},
      {"Shift+double-click", [](TDialog &D) { D.DoubleClick(2, Shift); }, 0},
      {"Ctrl+double-click", [](TDialog &D) { D.DoubleClick(2, Ctrl); }, 1100000},
      {"Ctrl+Shift+double-click", [](TDialog &D) { D.DoubleClick(2, Ctrl | Shift); }, 1100000},
  };
  for (const TCase &C : Cases) {
    SCOPED_TRACE(C.Name);
    if (C.Chosen)
      EXPECT_EQ(Value(0, {C.Act}), C.Chosen);
    else
      EXPECT_EQ(Value(0, {C.Act, Expect(NorthLevel, 0, {North}), Press(VK_ESCAPE)}), 0);
  }
}

TEST_F(SelectionDialog, BackspaceAndTheRightButtonClimb) {
  const TStep Climbs[] = {Press(VK_BACK), [](TDialog &D) { D.RightClick(D.Selected()); }};
  for (const TStep &Climb : Climbs) {
    EXPECT_EQ(Value(1101002, {Climb, Expect(NorthLevel, 0, {North}), Climb, Expect(Level0, 0, {}),
                              ClickAndPress(1, VK_RETURN, Ctrl)}),
              1300000);
  }
}

TEST_F(SelectionDialog, BackspaceOnRowZeroClimbsWithTheLevelsItems) {
  EXPECT_EQ(Value(1101002, {ClickAndPress(0, VK_BACK), Expect(NorthLevel, 0, {North}), ClickAndPress(0, VK_BACK),
                            Expect(Level0, 0, {}), Press(VK_ESCAPE)}),
            0);
}

TEST_F(SelectionDialog, ItemsSortedBeforeTheUndefinedRowAreItemsLikeAnyOther) {
  const auto Archived = [&](int32_t AItemId, std::vector<TStep> ASteps) {
    return Driver.Run([&] { return Vok().GetVokValue("Test", "Archive", AItemId); }, std::move(ASteps));
  };
  // Enter on an item at row 0 opens its children; the undefined-value row ends with -1.
  EXPECT_EQ(Archived(0, {Expect(ArchiveLevel0, 0, {}), Press(VK_RETURN), Expect(ArchiveLevel, 0, {Archive}),
                         Press(VK_BACK), Expect(ArchiveLevel0, 0, {}), ClickAndPress(1, VK_RETURN)}),
            -1);
  // Going up from an item at row 0, or from the undefined-value row below it, finds the parent.
  for (int Row : {0, 1}) {
    EXPECT_EQ(Archived(2002, {Expect(NewLevel, 2, {New}), ClickAndPress(Row, VK_BACK), Expect(ArchiveLevel0, 0, {}),
                              ClickAndPress(2, VK_RETURN), Expect(NewLevel, 0, {New}), Press(VK_RETURN)}),
              2001);
  }
}

TEST_F(SelectionDialog, GoingUpFromLevelZeroFlashesTheCaption) {
  TTimed T;
  EXPECT_EQ(Value(0, {Click(2), T.Begin(Press(VK_BACK)), T.ExpectFlash(), Expect(Level0, 2, {}),
                      T.Begin([](TDialog &D) { D.RightClick(2); }), T.ExpectFlash(), Expect(Level0, 2, {}),
                      Press(VK_ESCAPE)}),
            0);
  EXPECT_EQ(ValueSt(1200000, 0, {Expect(Level0, 3, {}), T.Begin(Press(VK_BACK)), T.ExpectFlash(),
                                 Expect(Level0, 3, {}), Press(VK_RETURN)}),
            1200000);
}

TEST_F(SelectionDialog, StartItemWithChildrenIsTheRootForGetVokValueSt) {
  TTimed T;
  EXPECT_EQ(ValueSt(1100000, 0, {Expect(NorthLevel, 0, {North}), T.Begin(Press(VK_BACK)), T.ExpectFlash(),
                                 Expect(NorthLevel, 0, {North}), ClickAndPress(2, VK_RETURN),
                                 Expect(LakeLevel, 0, {North, Lake}), Press(VK_BACK), Expect(NorthLevel, 0, {North}),
                                 T.Begin(Press(VK_BACK)), T.ExpectFlash(), Press(VK_ESCAPE)}),
            0);
  // The bound below the root stays: Enter on level 2 of the dictionary ends the dialog.
  EXPECT_EQ(ValueSt(1100000, 2, {Expect(NorthLevel, 0, {North}), ClickAndPress(2, VK_RETURN)}), 1101000);
}

TEST_F(SelectionDialog, GetVokValueStWithNothingBelowOpensOnTheItemsOwnLevel) {
  struct TCase {
    int32_t Item, EndGroup;
    TLevel Rows;
    int Selected;
    std::vector<std::string> Path;
    TLevel Above;
    std::vector<std::string> AbovePath;
  } Cases[] = {
      {1101002, 0, LakeLevel, 2, {North, Lake}, NorthLevel, {North}},  // last level
      {1101000, 2, NorthLevel, 2, {North}, Level0, {}},                // on the lower bound
      {1102000, 0, NorthLevel, 1, {North}, Level0, {}},                // no children
  };
  for (const TCase &C : Cases) {
    SCOPED_TRACE(C.Item);
    EXPECT_EQ(ValueSt(C.Item, C.EndGroup,
                      {Expect(C.Rows, C.Selected, C.Path), Press(VK_BACK), Expect(C.Above, 0, C.AbovePath),
                       Press(VK_ESCAPE)}),
              0);
    EXPECT_EQ(ValueSt(C.Item, C.EndGroup, {Press(VK_RETURN)}), C.Item);
  }
}

TEST_F(SelectionDialog, StartItemBelowTheLowerBoundRemovesTheBound) {
  // Start on level 3 with the bound on level 2: after climbing, Enter on level 2 descends.
  EXPECT_EQ(ValueSt(1101002, 2, {Press(VK_BACK), Expect(NorthLevel, 0, {North}), ClickAndPress(2, VK_RETURN),
                                 Expect(LakeLevel, 0, {North, Lake}), ClickAndPress(1, VK_RETURN)}),
            1101001);
}

TEST_F(SelectionDialog, EqualTextsShowAsOneRowThatStandsForTheFirstItem) {
  EXPECT_EQ(Value(1101003, {Expect(LakeLevel, 1, {North, Lake}), Press(VK_RETURN)}), 1101001);
}

TEST_F(SelectionDialog, LongStartItemIsSelectedByItsCode) {
  const std::string Cut = LongText.substr(0, 255);
  EXPECT_EQ(Value(1301000, {Expect(EastLevel, 1, {East}), Press(VK_RETURN), Expect(LongLevel, 0, {East, Cut}),
                            Press(VK_BACK), Expect(EastLevel, 0, {East}), ClickAndPress(1, VK_RETURN, Ctrl)}),
            1301000);
}

TEST_F(SelectionDialog, EmptyDictionaryIgnoresEverythingButEsc) {
  const auto Unchanged = [](TDialog &D) {
    EXPECT_TRUE(D.Rows().empty());
    EXPECT_EQ(D.Selected(), -1);
    EXPECT_EQ(D.PathHeight(), 0);
  };
  const std::function<int32_t()> Calls[] = {
      [] { return Vok().GetVokValue("Test", "Empty", 0); },
      [] { return Vok().GetVokValueSt("Test", "Empty", 0, 0); },
  };
  for (const auto &Call : Calls) {
    EXPECT_EQ(Driver.Run(Call, {Unchanged, Press(VK_RETURN), Unchanged, Press(VK_RETURN, Ctrl), Unchanged,
                                Press(VK_BACK), Unchanged, [](TDialog &D) { D.RightClick(0); },
                                [](TDialog &D) { D.DoubleClick(0, Ctrl); }, Press(VK_ESCAPE)}),
              0);
  }
}

TEST_F(SelectionDialog, CaptionIsTheCallersWithTheSearchHint) {
  struct TCase {
    const char *Caption;
    std::string Expected;
  } Cases[] = {
      {"\xC2\xFB\xE1\xEE\xF0 \xF0\xE0\xE9\xEE\xED\xE0", "\xC2\xFB\xE1\xEE\xF0 \xF0\xE0\xE9\xEE\xED\xE0" + SearchHint},
      {"", SearchHint},
      {nullptr, SearchHint},
  };
  for (const TCase &C : Cases) {
    EXPECT_EQ(Driver.Run([&] { return Vok().GetVokValue(C.Caption, "Regions", 0); },
                         {[&](TDialog &D) {
                           EXPECT_EQ(WindowText(D.Window), C.Expected);
                           const std::wstring Wide = D.CaptionW();
                           EXPECT_EQ(Wide.substr(Wide.size() - 13), L" (F3 - \x043F\x043E\x0438\x0441\x043A)");
                           D.Key(VK_ESCAPE);
                         }}),
              0);
  }
}

TEST_F(SelectionDialog, EveryWayOutGivesTheHostBack) {
  struct TCase {
    const char *Name;
    TStep End;
    int32_t Result;
  } Cases[] = {
      {"Esc", Press(VK_ESCAPE), 0},
      {"close box", [](TDialog &D) { D.CloseBox(); }, 0},
      {"Alt+F4", Press(VK_F4, Alt), 0},
      {"Enter", ClickAndPress(3, VK_RETURN), 1200000},
  };
  for (const TCase &C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(Value(0, {[](TDialog &D) {
                          EXPECT_FALSE(IsWindowEnabled(HostWindow()))
                              << "the host stays usable while the dialog runs";
                          EXPECT_EQ(GetFocus(), D.List) << "the level list has the keyboard";
                        },
                        C.End}),
              C.Result);
    EXPECT_TRUE(IsWindowEnabled(HostWindow()));
    EXPECT_EQ(GetActiveWindow(), HostWindow());
    EXPECT_EQ(ShownDialog(), nullptr);
  }
}

TEST_F(SelectionDialog, LayoutIsScaledAndTheUsersPlaceIsKept) {
  RECT Work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &Work, 0);
  RECT Moved{};
  EXPECT_EQ(Value(1101002, {[&](TDialog &D) {
                              RECT C, W, L, P;
                              GetClientRect(D.Window, &C);
                              EXPECT_EQ(C.right, Scaled(532));
                              EXPECT_EQ(C.bottom, Scaled(380));
                              GetWindowRect(D.Window, &W);
                              EXPECT_NEAR((W.left + W.right) / 2, (Work.left + Work.right) / 2, 1);
                              EXPECT_NEAR((W.top + W.bottom) / 2, (Work.top + Work.bottom) / 2, 1);
                              EXPECT_EQ(D.RowHeight(), Scaled(17));
                              LOGFONTW F{};
                              GetObjectW(reinterpret_cast<HFONT>(SendMessageW(D.List, WM_GETFONT, 0, 0)), sizeof F, &F);
                              EXPECT_EQ(F.lfHeight, -Scaled(14));
                              EXPECT_STREQ(F.lfFaceName, L"Tahoma");
                              // The level list fills the client area above the path list.
                              GetWindowRect(D.List, &L);
                              GetWindowRect(D.Path, &P);
                              EXPECT_EQ(L.right - L.left, C.right);
                              EXPECT_EQ(P.right - P.left, C.right);
                              EXPECT_EQ(L.bottom, P.top);
                              EXPECT_EQ(P.bottom - L.top, C.bottom);
                              // The user moves and enlarges it.
                              SetWindowPos(D.Window, nullptr, 10, 20, W.right - W.left + 100, W.bottom - W.top + 50,
                                           SWP_NOZORDER);
                              GetWindowRect(D.Window, &Moved);
                              GetClientRect(D.Window, &C);
                              GetWindowRect(D.List, &L);
                              GetWindowRect(D.Path, &P);
                              EXPECT_EQ(L.right - L.left, C.right);
                              EXPECT_EQ(P.bottom - L.top, C.bottom);
                              EXPECT_EQ(D.PathHeight(), 2 * D.RowHeight());
                              D.Key(VK_ESCAPE);
                            }}),
            0);
  EXPECT_EQ(Value(0, {[&](TDialog &D) {
                        RECT W, L;
                        GetWindowRect(D.Window, &W);
                        EXPECT_TRUE(EqualRect(&W, &Moved));
                        // No path: the level list takes the whole client area.
                        GetWindowRect(D.List, &L);
                        EXPECT_EQ(L.bottom - L.top, ClientHeight(D.Window));
                        D.Key(VK_ESCAPE);
                      }}),
            0);
}

TEST_F(SelectionDialog, KeysTypedOnTheKeyboardReachTheDialog) {
  struct TCase {
    const char *Name;
    WORD Key;
    unsigned Mods;
    int32_t Chosen;  // 0: descends
  } Cases[] = {
      {"Enter", VK_RETURN, 0, 0},
      {"Ctrl+Shift+Enter", VK_RETURN, Ctrl | Shift, 0},
      {"Ctrl+Enter", VK_RETURN, Ctrl, 1100000},
  };
  for (const TCase &C : Cases) {
    SCOPED_TRACE(C.Name);
    const TStep Act = [&](TDialog &D) { D.Type(C.Key, C.Mods); };
    if (C.Chosen)
      EXPECT_EQ(Value(0, {Click(2), Act}), C.Chosen);
    else
      EXPECT_EQ(Value(0, {Click(2), Act, Expect(NorthLevel, 0, {North}), [](TDialog &D) { D.Type(VK_BACK); },
                          Expect(Level0, 0, {}), [](TDialog &D) { D.Type(VK_ESCAPE); }}),
                0);
  }
}

TEST(SelectionDialogOwner, HostWindowDestroyedTakesTheDialogWithIt) {
  TMessageCatcher Messages;
  TTempDir Dir;
  const TExports &V = Vok();
  const std::string File = Dir.Write("regions.vok", RegionsFile());
  HWND Host = CreateWindowExA(0, "STATIC", "Short-lived host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_EQ(V.OpenVokList(Host), 65535);
  ASSERT_EQ(V.LoadVok(File.c_str(), "Regions"), 65535);
  ASSERT_EQ(DialogWindows().size(), 1u);
  DestroyWindow(Host);
  EXPECT_TRUE(DialogWindows().empty()) << "an owned window goes with its owner";
  TDriver Driver;
  EXPECT_EQ(Driver.Run([] { return Vok().GetVokValue("Test", "Regions", 0); }, {}), 0);
  EXPECT_FALSE(Driver.Shown());
  V.CloseVokList();
  // Without an owner window the dialog works all the same.
  ASSERT_EQ(V.OpenVokList(nullptr), 65535);
  ASSERT_EQ(V.LoadVok(File.c_str(), "Regions"), 65535);
  EXPECT_EQ(Driver.Run([] { return Vok().GetVokValue("Test", "Regions", 0); },
                       {ClickAndPress(3, VK_RETURN)}),
            1200000);
  V.CloseVokabra();
  EXPECT_TRUE(Messages.Take().empty());
}
