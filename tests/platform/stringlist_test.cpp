#include "classes/stringlist.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <unistd.h>

#include "rtl/streams.h"

namespace zef {
namespace {

using TItems = std::vector<std::string>;

TItems ItemsOf(const TStringList& L) {
  TItems R;
  for (int I = 0; I < L.Count(); ++I) R.push_back(L[I]);
  return R;
}

void Fill(TStringList& L, const TItems& Items) {
  for (const auto& S : Items) L.Add(S);
}

// ---- Delimited text -----------------------------------------------------------------------

struct TParseCase {
  const char* Text;
  char Delimiter;
  bool Strict;
  TItems Items;
};

TEST(TStringListDelimited, Parse) {
  const TParseCase Cases[] = {
      {"a,b,c", ',', false, {"a", "b", "c"}},
      {"", ',', false, {}},
      {"  ", ',', false, {}},
      {"\"\"", ',', false, {""}},
      {"a,,b", ',', false, {"a", "", "b"}},
      {"a,", ',', false, {"a", ""}},
      {",a", ',', false, {"", "a"}},
      {" a , b ", ',', false, {"a", "b"}},
      {"a b\tc", ',', false, {"a", "b", "c"}},  // blanks and controls delimit too
      {"\"a b\",c", ',', false, {"a b", "c"}},
      {"\"say \"\"hi\"\"\",x", ',', false, {"say \"hi\"", "x"}},
      {"\"unterminated", ',', false, {"unterminated"}},
      {"\"ab\"cd,e", ',', false, {"ab", "cd", "e"}},  // text after a closing quote is an item
      {"a\"b,c", ',', false, {"a\"b", "c"}},          // a quote inside an item is kept
      {"Z\xC3\xBCrich,B", ',', false, {"Z\xC3\xBCrich", "B"}},
      {"a b,c", ',', true, {"a b", "c"}},
      {" a , b ", ',', true, {" a ", " b "}},
      {"a,", ',', true, {"a", ""}},
      {"\"x;y\";z", ';', false, {"x;y", "z"}},
      {"a,b;c", ';', true, {"a,b", "c"}},
  };
  for (const auto& C : Cases) {
    TStringList L;
    L.SetDelimiter(C.Delimiter);
    L.SetStrictDelimiter(C.Strict);
    L.SetDelimitedText(C.Text);
    EXPECT_EQ(ItemsOf(L), C.Items) << "[" << C.Text << "] strict " << C.Strict;
  }
}

TEST(TStringListDelimited, WriteAndReadBack) {
  const TParseCase Cases[] = {
      {"a,b", ',', false, {"a", "b"}},
      {"", ',', false, {}},
      {"\"\"", ',', false, {""}},
      {",", ',', false, {"", ""}},
      {"a,,b", ',', false, {"a", "", "b"}},
      {"\"a b\",c", ',', false, {"a b", "c"}},
      {"\" lead\"", ',', false, {" lead"}},
      {"\"x,y\"", ',', false, {"x,y"}},
      {"\"say \"\"hi\"\"\"", ',', false, {"say \"hi\""}},
      {"\"a\tb\"", ',', false, {"a\tb"}},
      {"Z\xC3\xBCrich", ',', false, {"Z\xC3\xBCrich"}},
      {"a b,c", ',', true, {"a b", "c"}},
      {"\"x,y\", z", ',', true, {"x,y", " z"}},
      {"a,b;\"c;d\"", ';', false, {"a,b", "c;d"}},
  };
  for (const auto& C : Cases) {
    TStringList L;
    L.SetDelimiter(C.Delimiter);
    L.SetStrictDelimiter(C.Strict);
    Fill(L, C.Items);
    EXPECT_EQ(L.DelimitedText(), C.Text);
    TStringList Back;
    Back.SetDelimiter(C.Delimiter);
    Back.SetStrictDelimiter(C.Strict);
    Back.SetDelimitedText(L.DelimitedText());
    EXPECT_EQ(ItemsOf(Back), C.Items) << "[" << C.Text << "]";
  }
}

TEST(TStringListDelimited, CommaTextIgnoresTheListsSettings) {
  TStringList L;
  L.SetDelimiter(';');
  L.SetQuoteChar('\'');
  L.SetStrictDelimiter(true);
  Fill(L, {"a b", "c;d"});
  EXPECT_EQ(L.CommaText(), "\"a b\",c;d");
  EXPECT_EQ(L.DelimitedText(), "a b;'c;d'");
  L.SetCommaText("x y,'z'");
  EXPECT_EQ(ItemsOf(L), (TItems{"x", "y", "'z'"}));
}

// ---- Sorting ------------------------------------------------------------------------------

TEST(TStringListSorted, DuplicatesModes) {
  struct Case {
    TDuplicates Mode;
    TItems After;
    int Returned;  // -1: raises
  };
  const Case Cases[] = {
      {dupIgnore, {"Apple", "fig", "pear"}, 0},
      {dupAccept, {"Apple", "apple", "fig", "pear"}, 1},
      {dupError, {"Apple", "fig", "pear"}, -1},
  };
  for (const auto& C : Cases) {
    TStringList L;
    L.SetSorted(true);
    L.SetDuplicates(C.Mode);
    EXPECT_EQ(L.Add("pear"), 0);
    EXPECT_EQ(L.Add("Apple"), 0);
    EXPECT_EQ(L.Add("fig"), 1);
    if (C.Returned < 0) {
      try {
        L.Add("apple");
        ADD_FAILURE() << "no exception";
      } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), "String list does not allow duplicates");
      }
    } else {
      EXPECT_EQ(L.Add("apple"), C.Returned) << C.Mode;
    }
    EXPECT_EQ(ItemsOf(L), C.After) << C.Mode;
  }
  TStringList Unsorted;
  Unsorted.SetDuplicates(dupError);
  Fill(Unsorted, {"b", "a", "b"});
  EXPECT_EQ(ItemsOf(Unsorted), (TItems{"b", "a", "b"}));
}

TEST(TStringListSorted, FindGivesTheInsertionIndex) {
  TStringList L;
  L.SetSorted(true);
  L.SetDuplicates(dupAccept);
  Fill(L, {"f", "d", "b", "d", "d"});
  struct Case {
    const char* S;
    bool Found;
    int Index;
  };
  for (const Case& C : {Case{"a", false, 0}, Case{"c", false, 1}, Case{"D", true, 1},
                        Case{"e", false, 4}, Case{"f", true, 4}, Case{"g", false, 5}}) {
    int Index = -1;
    EXPECT_EQ(L.Find(C.S, Index), C.Found) << C.S;
    EXPECT_EQ(Index, C.Index) << C.S;
  }
  EXPECT_EQ(L.IndexOf("F"), 4);
  EXPECT_EQ(L.IndexOf("x"), -1);
}

TEST(TStringListSorted, CaseSensitivity) {
  TStringList L;
  Fill(L, {"b", "A", "a", "B"});
  EXPECT_EQ(L.IndexOf("a"), 1);
  L.SetCaseSensitive(true);
  EXPECT_EQ(L.IndexOf("a"), 2);
  EXPECT_EQ(L.IndexOf("c"), -1);

  L.SetCaseSensitive(false);
  L.SetSorted(true);  // stable: equal strings keep their order
  EXPECT_EQ(ItemsOf(L), (TItems{"A", "a", "b", "B"}));
  L.SetCaseSensitive(true);  // re-sorts
  EXPECT_EQ(ItemsOf(L), (TItems{"A", "B", "a", "b"}));
  EXPECT_EQ(L.IndexOf("b"), 3);
  EXPECT_EQ(L.IndexOf("C"), -1);
}

class TTagObject : public TObject {
public:
  explicit TTagObject(int* ADestroyed = nullptr) : Destroyed(ADestroyed) {}
  ~TTagObject() override {
    if (Destroyed != nullptr) ++*Destroyed;
  }
  int* Destroyed;
};

TEST(TStringListSorted, ObjectsFollowTheirStrings) {
  TTagObject O[5];
  TStringList L;
  const char* Names[] = {"delta", "alpha", "echo", "charlie", "bravo"};
  for (int I = 0; I < 5; ++I) L.AddObject(Names[I], &O[I]);
  const auto Check = [&](const char* Where) {
    for (int I = 0; I < L.Count(); ++I) {
      const auto* Obj = L.Objects(I);
      if (Obj == nullptr) {
        EXPECT_EQ(L[I], "able") << Where;
        continue;
      }
      const int K = static_cast<int>(static_cast<const TTagObject*>(Obj) - O);
      EXPECT_EQ(L[I], Names[K]) << Where << " item " << I;
    }
  };
  L.Exchange(0, 4);
  Check("Exchange");
  L.Move(0, 3);
  Check("Move up");
  L.Move(4, 1);
  Check("Move down");
  L.Delete(2);
  Check("Delete");
  L.CustomSort([](TStringList& List, int A, int B) {
    return static_cast<int>(List[B].size()) - static_cast<int>(List[A].size());
  });
  Check("CustomSort");
  L.SetSorted(true);
  Check("Sorted");
  L.Add("able");
  Check("sorted Add");
  EXPECT_EQ(L.Objects(0), nullptr);
}

TEST(TStringListSorted, CustomSortIsStableAndSafe) {
  TStringList L;
  Fill(L, {"b1", "a1", "c1", "b2", "a2", "c2", "a3"});
  L.CustomSort([](TStringList& List, int A, int B) { return List[A][0] - List[B][0]; });
  EXPECT_EQ(ItemsOf(L), (TItems{"a1", "a2", "a3", "b1", "b2", "c1", "c2"}));

  // A comparison that is no ordering at all may give any order, but no fault.
  TStringList Big;
  for (int I = 0; I < 300; ++I) Big.Add(std::to_string(I));
  unsigned Seed = 1;
  Big.CustomSort([&](TStringList&, int, int) {
    Seed = Seed * 1103515245u + 12345u;
    return static_cast<int>((Seed >> 16) % 3) - 1;
  });
  TStringList Check;
  Check.SetSorted(true);
  Check.AddStrings(Big);
  EXPECT_EQ(Check.Count(), 300);
}

// ---- Items, errors and events -------------------------------------------------------------

TEST(TStringList, IndexErrors) {
  TStringList L;
  Fill(L, {"x", "y"});
  TTagObject O;
  const std::pair<int, std::function<void()>> Cases[] = {
      {-1, [&] { (void)L.Strings(-1); }},
      {2, [&] { (void)L[2]; }},
      {2, [&] { L.SetStrings(2, "z"); }},
      {2, [&] { L.Delete(2); }},
      {5, [&] { (void)L.Objects(5); }},
      {-1, [&] { L.SetObjects(-1, &O); }},
      {3, [&] { L.Insert(3, "z"); }},
      {-1, [&] { L.Insert(-1, "z"); }},
      {2, [&] { L.Exchange(0, 2); }},
      {2, [&] { L.Move(2, 0); }},
      {2, [&] { (void)L.Names(2); }},
      {-3, [&] { (void)L.ValueFromIndex(-3); }},
  };
  for (const auto& [Index, Call] : Cases) {
    try {
      Call();
      ADD_FAILURE() << "no exception for " << Index;
    } catch (const EListError& E) {
      EXPECT_EQ(E.Message(), "List index out of bounds (" + std::to_string(Index) + ")");
    }
  }
  L.Insert(2, "z");  // Count itself is a valid insertion index
  EXPECT_EQ(ItemsOf(L), (TItems{"x", "y", "z"}));

  L.SetSorted(true);
  const std::function<void()> NotOnSorted[] = {
      [&] { L.Insert(0, "a"); },
      [&] { L.SetStrings(0, "a"); },
      [&] { L.Exchange(0, 1); },
      [&] { L.Move(0, 1); },
      [&] { L.CustomSort([](TStringList&, int, int) { return 0; }); },
  };
  for (const auto& Call : NotOnSorted) {
    try {
      Call();
      ADD_FAILURE() << "allowed on a sorted list";
    } catch (const EListError& E) {
      EXPECT_EQ(E.Message(), "Operation not allowed on sorted list");
    }
  }
  EXPECT_EQ(ItemsOf(L), (TItems{"x", "y", "z"}));
}

TEST(TStringList, ChangeEventsAndUpdates) {
  TStringList L;
  int Changing = 0, Changed = 0;
  L.OnChanging = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &L);
    ++Changing;
  };
  L.OnChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, &L);
    ++Changed;
  };
  L.Add("a");
  EXPECT_EQ(Changing, 1);
  EXPECT_EQ(Changed, 1);
  L.BeginUpdate();
  L.BeginUpdate();
  L.Add("b");
  L.Delete(0);
  L.EndUpdate();
  EXPECT_EQ(Changing, 2);
  EXPECT_EQ(Changed, 1);
  L.EndUpdate();
  EXPECT_EQ(Changed, 2);
  L.EndUpdate();  // unbalanced: ignored
  L.SetText("x\ny\nz");
  EXPECT_EQ(Changing, 3);
  EXPECT_EQ(Changed, 3);
  L.SetSorted(true);
  L.SetDuplicates(dupError);
  EXPECT_THROW(L.SetCommaText("p,q,p"), EListError);
  L.Add("r");  // the failed load did not leave the list in update mode
  EXPECT_EQ(Changed, 6);
}

TEST(TStringList, OwnedObjectsAreDeleted) {
  int Destroyed = 0;
  {
    TStringList L(true);
    for (const char* S : {"a=1", "b=2", "c=3", "d=4"}) L.AddObject(S, new TTagObject(&Destroyed));
    L.Delete(0);
    EXPECT_EQ(Destroyed, 1);
    L.SetObjects(0, new TTagObject(&Destroyed));  // the replaced object goes
    EXPECT_EQ(Destroyed, 2);
    L.SetObjects(0, L.Objects(0));  // the same object again is kept
    EXPECT_EQ(Destroyed, 2);
    L.SetValues("b", "");  // deleting through a value deletes the object too
    EXPECT_EQ(Destroyed, 3);
    L.SetValues("c", "9");  // a new value keeps it
    EXPECT_EQ(Destroyed, 3);
    L.Clear();
    EXPECT_EQ(Destroyed, 5);
    L.AddObject("e", new TTagObject(&Destroyed));
  }
  EXPECT_EQ(Destroyed, 6);

  TTagObject Shared(&Destroyed);
  {
    TStringList NotOwning;
    NotOwning.AddObject("x", &Shared);
    NotOwning.Delete(0);
  }
  EXPECT_EQ(Destroyed, 6);
}

TEST(TStringList, NamesAndValues) {
  TStringList L;
  TTagObject O;
  Fill(L, {"width=10", "Height=20", "novalue", "=anonymous", "color=red=blue"});
  L.SetObjects(1, &O);
  EXPECT_EQ(L.Names(0), "width");
  EXPECT_EQ(L.Names(2), "");
  EXPECT_EQ(L.Names(3), "");
  EXPECT_EQ(L.ValueFromIndex(2), "");
  EXPECT_EQ(L.ValueFromIndex(3), "anonymous");
  EXPECT_EQ(L.ValueFromIndex(4), "red=blue");
  EXPECT_EQ(L.Values("HEIGHT"), "20");
  EXPECT_EQ(L.Values("missing"), "");
  EXPECT_EQ(L.IndexOfName("novalue"), -1);
  EXPECT_EQ(L.IndexOfName(""), 3);

  L.SetValues("height", "25");
  EXPECT_EQ(L[1], "height=25");
  EXPECT_EQ(L.Objects(1), &O);
  L.SetValues("depth", "5");
  L.SetValues("width", "");
  L.SetValues("missing", "");
  EXPECT_EQ(ItemsOf(L),
            (TItems{"height=25", "novalue", "=anonymous", "color=red=blue", "depth=5"}));

  L.SetNameValueSeparator(':');
  L.SetValues("k", "v");
  EXPECT_EQ(L[5], "k:v");
  EXPECT_EQ(L.Values("color"), "");

  TStringList Sorted;
  Sorted.SetSorted(true);
  Sorted.SetDuplicates(dupError);
  Fill(Sorted, {"b=2", "a=1", "c=3"});
  Sorted.SetObjects(1, &O);
  Sorted.SetValues("b", "9");
  Sorted.SetValues("aa", "0");
  EXPECT_EQ(ItemsOf(Sorted), (TItems{"a=1", "aa=0", "b=9", "c=3"}));
  EXPECT_EQ(Sorted.Objects(2), &O);
}

TEST(TStringList, TextLines) {
  struct Case {
    const char* In;
    TItems Items;
  };
  const Case Cases[] = {
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n", {"a"}},
      {"a\n\n", {"a", ""}},
      {"a\n\rb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"", {}},
      {"\r\r\n", {"", ""}},
  };
  for (const auto& C : Cases) {
    TStringList L;
    L.SetText(C.In);
    EXPECT_EQ(ItemsOf(L), C.Items) << "[" << C.In << "]";
    TStringList Back;
    Back.SetText(L.Text());
    EXPECT_EQ(ItemsOf(Back), C.Items) << "[" << C.In << "]";
  }
  TStringList L;
  Fill(L, {"x", "", "y"});
  EXPECT_EQ(L.Text(), "x\r\n\r\ny\r\n");
}

TEST(TStringList, AssignCopiesItemsAndSettings) {
  TTagObject O;
  TStringList Source;
  Source.SetSorted(true);
  Source.SetDuplicates(dupAccept);
  Source.SetCaseSensitive(true);
  Source.SetDelimiter(';');
  Source.SetNameValueSeparator(':');
  Source.AddObject("b", &O);
  Source.Add("a");

  TStringList Dest;
  Fill(Dest, {"old"});
  int Changed = 0;
  Dest.OnChange = [&](TObject*) { ++Changed; };
  Dest.Assign(Source);
  EXPECT_EQ(Changed, 1);
  EXPECT_EQ(ItemsOf(Dest), (TItems{"a", "b"}));
  EXPECT_EQ(Dest.Objects(1), &O);
  EXPECT_TRUE(Dest.Sorted());
  EXPECT_EQ(Dest.Duplicates(), dupAccept);
  EXPECT_TRUE(Dest.CaseSensitive());
  EXPECT_EQ(Dest.DelimitedText(), "a;b");
  EXPECT_EQ(Dest.NameValueSeparator(), ':');

  Dest.AddStrings(Dest);
  EXPECT_EQ(ItemsOf(Dest), (TItems{"a", "a", "b", "b"}));

  class TOther : public TPersistent {};
  try {
    Dest.Assign(TOther());
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& E) {
    EXPECT_EQ(E.Message(), "Cannot assign a TOther to a TStringList");
  }
}

// ---- Streams and files --------------------------------------------------------------------

class TStringListFiles : public ::testing::Test {
protected:
  void SetUp() override {
    const char* Env = std::getenv("ZEF_TEST_TMP");
    const std::filesystem::path Base =
        Env != nullptr && *Env != 0 ? std::filesystem::path(Env)
                                    : std::filesystem::temp_directory_path();
    Dir = Base / ("stringlist_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(Dir);
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }

  static std::string Bytes(const std::filesystem::path& P) {
    std::ifstream In(P, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
  }

  std::filesystem::path Dir;
};

TEST_F(TStringListFiles, Latin1RoundTrip) {
  const std::string File = (Dir / "latin1.txt").string();
  TStringList L;
  Fill(L, {"caf\xC3\xA9", "", "na\xC3\xAFve \xE2\x82\xAC"});  // the euro sign is not Latin-1
  L.SaveToFile(File);
  EXPECT_EQ(Bytes(File), "caf\xE9\r\n\r\nna\xEFve ?\r\n");
  TStringList Back;
  Back.Add("replaced");
  Back.LoadFromFile(File);
  EXPECT_EQ(ItemsOf(Back), (TItems{"caf\xC3\xA9", "", "na\xC3\xAFve ?"}));
}

TEST_F(TStringListFiles, CodePagesAndByteOrderMark) {
  const std::string File = (Dir / "utf8.txt").string();
  TStringList L;
  Fill(L, {"\xE2\x82\xAC 5", "caf\xC3\xA9"});
  L.SaveToFile(File, cpUtf8);
  EXPECT_EQ(Bytes(File), "\xEF\xBB\xBF\xE2\x82\xAC 5\r\ncaf\xC3\xA9\r\n");
  TStringList Back;
  Back.LoadFromFile(File);  // the mark wins over the default Latin-1
  EXPECT_EQ(ItemsOf(Back), ItemsOf(L));

  L.SaveToFile(File, cpWindows1252);
  EXPECT_EQ(Bytes(File), "\x80 5\r\ncaf\xE9\r\n");
  Back.LoadFromFile(File, cpWindows1252);
  EXPECT_EQ(ItemsOf(Back), ItemsOf(L));

  EXPECT_THROW(Back.LoadFromFile((Dir / "missing.txt").string()), EFOpenError);
}

TEST_F(TStringListFiles, StreamsReadFromTheirPosition) {
  TStringStream Stream("skip\xE9\nline");
  Stream.SetPosition(4);
  TStringList L;
  L.LoadFromStream(Stream);
  EXPECT_EQ(ItemsOf(L), (TItems{"\xC3\xA9", "line"}));
  TStringStream Out;
  L.SaveToStream(Out);
  EXPECT_EQ(Out.DataString(), "\xE9\r\nline\r\n");
}

} // namespace
} // namespace zef
