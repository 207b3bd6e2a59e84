#include "platform/classes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "support/testenv.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string ReadAll(TStream& s) {
  std::string out(static_cast<size_t>(s.GetSize() - s.GetPosition()), '\0');
  s.ReadBuffer(out.data(), static_cast<int64_t>(out.size()));
  return out;
}

// A stream that takes or gives at most `limit` bytes a call, as a full disk
// or a truncated file would.
class StingyStream : public TMemoryStream {
 public:
  explicit StingyStream(int64_t limit) : limit_(limit) {}
  int64_t Read(void* b, int64_t n) override { return TMemoryStream::Read(b, std::min(n, limit_)); }
  int64_t Write(const void* b, int64_t n) override { return TMemoryStream::Write(b, std::min(n, limit_)); }

 private:
  int64_t limit_;
};

template <typename E>
std::string MessageOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const E& e) {
    return e.Message;
  }
  return "(no exception)";
}

}  // namespace

// Streams -----------------------------------------------------------------------

TEST(MemoryStream, WritesReadsAndSeeks) {
  TMemoryStream m;
  m.WriteBuffer("hello world", 11);
  EXPECT_EQ(m.GetSize(), 11);
  EXPECT_EQ(m.GetPosition(), 11);
  EXPECT_EQ(std::memcmp(m.Memory(), "hello world", 11), 0);
  EXPECT_EQ(m.Seek(-5, soEnd), 6);
  EXPECT_EQ(ReadAll(m), "world");
  // Read past the end moves only what is there.
  char buf[8];
  m.SetPosition(9);
  EXPECT_EQ(m.Read(buf, 8), 2);
  EXPECT_EQ(m.Read(buf, 8), 0);
  // A seek before the start is refused and changes nothing.
  EXPECT_EQ(m.Seek(-20, soCurrent), -1);
  EXPECT_EQ(m.GetPosition(), 11);
  // A write beyond the end fills the gap with zeros.
  m.SetPosition(14);
  m.WriteBuffer("!", 1);
  EXPECT_EQ(m.GetSize(), 15);
  EXPECT_EQ(std::string(static_cast<char*>(m.Memory()) + 11, 4), std::string("\0\0\0!", 4));
  // Shrinking pulls the position back.
  m.SetSize(4);
  EXPECT_EQ(m.GetPosition(), 4);
  m.SetPosition(0);
  EXPECT_EQ(ReadAll(m), "hell");
  EXPECT_THROW(m.SetSize(-1), EStreamError);
  m.Clear();
  EXPECT_EQ(m.GetSize(), 0);
  EXPECT_EQ(m.Memory(), nullptr);
}

TEST(MemoryStream, GrowsAcrossManySmallWrites) {
  TMemoryStream m;
  for (int i = 0; i < 100000; ++i) {
    uint8_t b = static_cast<uint8_t>(i);
    m.WriteBuffer(&b, 1);
  }
  ASSERT_EQ(m.GetSize(), 100000);
  const auto* p = static_cast<const uint8_t*>(m.Memory());
  for (int i = 0; i < 100000; i += 997) ASSERT_EQ(p[i], static_cast<uint8_t>(i));
}

TEST(Stream, ShortTransfersRaiseInTheBufferCalls) {
  StingyStream s(3);
  EXPECT_EQ(s.Write("abcdef", 6), 3);
  EXPECT_EQ(MessageOf<EWriteError>([&] { s.WriteBuffer("abcdef", 6); }), "Stream write error");
  s.SetPosition(0);
  char buf[6];
  EXPECT_EQ(MessageOf<EReadError>([&] { s.ReadBuffer(buf, 6); }), "Stream read error");
  s.SetPosition(0);
  EXPECT_NO_THROW(s.ReadBuffer(buf, 3));
  EXPECT_NO_THROW(s.ReadBuffer(buf, 0));
  EXPECT_THROW(s.ReadBuffer(buf, -1), EReadError);

  TMemoryStream full;
  full.WriteBuffer("0123456789", 10);
  StingyStream target(4);
  EXPECT_THROW(target.CopyFrom(&full, 0), EWriteError);
  // Asking for more than the source has is a read error.
  TMemoryStream copy;
  full.SetPosition(8);
  EXPECT_THROW(copy.CopyFrom(&full, 5), EReadError);
}

TEST(Stream, CopyFromAndLoadSaveRoundTrip) {
  cwtest::TempDir dir;
  TMemoryStream src;
  std::string data(200000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  src.WriteBuffer(data.data(), static_cast<int64_t>(data.size()));

  TMemoryStream dst;
  EXPECT_EQ(dst.CopyFrom(&src, 0), 200000);
  src.SetPosition(10);
  EXPECT_EQ(dst.CopyFrom(&src, 5), 5);
  EXPECT_EQ(dst.GetSize(), 200005);

  src.SaveToFile(dir.file("blob.bin"));
  EXPECT_EQ(Slurp(dir.file("blob.bin")), data);
  TMemoryStream back;
  back.LoadFromFile(dir.file("BLOB.BIN"));
  EXPECT_EQ(back.GetPosition(), 0);
  EXPECT_EQ(std::string(static_cast<char*>(back.Memory()), 200000), data);
}

TEST(FileStream, CreatesReadsWritesAndResizes) {
  cwtest::TempDir dir;
  {
    TFileStream f(dir.file("a.dat"), fmCreate);
    f.WriteBuffer("abcdef", 6);
    EXPECT_EQ(f.GetSize(), 6);
    f.SetSize(3);
    EXPECT_EQ(f.GetSize(), 3);
  }
  EXPECT_EQ(Slurp(dir.file("a.dat")), "abc");
  {
    TFileStream f(dir.file("A.DAT"), fmOpenReadWrite);
    EXPECT_EQ(f.Seek(0, soEnd), 3);
    f.WriteBuffer("de", 2);
    f.SetPosition(1);
    EXPECT_EQ(ReadAll(f), "bcde");
    char c;
    EXPECT_EQ(f.Read(&c, 1), 0);
    EXPECT_THROW(f.ReadBuffer(&c, 1), EReadError);
  }
  {
    TFileStream f(dir.file("a.dat"), fmOpenRead);
    EXPECT_EQ(ReadAll(f), "abcde");
    EXPECT_EQ(f.Write("x", 1), 0);  // opened for reading only
    EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);
  }
  // fmCreate empties an existing file.
  { TFileStream f(dir.file("a.dat"), fmCreate); }
  EXPECT_EQ(Slurp(dir.file("a.dat")), "");
}

TEST(FileStream, OpenFailuresNameTheFile) {
  cwtest::TempDir dir;
  std::string missing = dir.file("missing.dat");
  EXPECT_EQ(MessageOf<EFOpenError>([&] { TFileStream f(missing, fmOpenRead); }),
            "Cannot open file \"" + missing + "\". No such file or directory");
  std::string nofolder = dir.file("nofolder/x.dat");
  EXPECT_EQ(MessageOf<EFCreateError>([&] { TFileStream f(nofolder, fmCreate); }),
            "Cannot create file \"" + nofolder + "\". No such file or directory");
  EXPECT_THROW(TFileStream(dir.path().string(), fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(missing, 3), EFOpenError);
}

TEST(FileStream, ReadOnlyFileOpensOnlyForReading) {
  cwtest::TempDir dir;
  std::string name = dir.file("data.DBF");
  std::ofstream(name) << "table";
  ASSERT_EQ(FileSetAttr(name, faReadOnly), 0);
  EXPECT_THROW(TFileStream(name, fmOpenReadWrite), EFOpenError);
  EXPECT_THROW(TFileStream(name, fmCreate), EFCreateError);
  EXPECT_EQ(Slurp(name), "table");
  TFileStream f(name, fmOpenRead);
  EXPECT_EQ(ReadAll(f), "table");
}

TEST(FileStream, ShareModesDetectAFileInUse) {
  cwtest::TempDir dir;
  std::string name = dir.file("data.DBF");
  std::ofstream(name) << "records";
  {
    TFileStream holder(name, fmOpenReadWrite | fmShareExclusive);
    std::string msg = MessageOf<EFOpenError>([&] { TFileStream f(name, fmOpenRead | fmShareDenyWrite); });
    EXPECT_NE(msg.find("Cannot open file \"" + name + "\". "), std::string::npos) << msg;
    EXPECT_THROW(TFileStream(name, fmOpenReadWrite | fmShareExclusive), EFOpenError);
    // Creating over a held file fails without emptying it.
    EXPECT_THROW(TFileStream(name, fmCreate), EFCreateError);
    EXPECT_EQ(Slurp(name), "records");
    // Share modes are advisory: an opener that denies nothing is let in.
    EXPECT_NO_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone));
  }
  {
    TFileStream reader1(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_NO_THROW(TFileStream(name, fmOpenRead | fmShareDenyWrite));
    EXPECT_THROW(TFileStream(name, fmOpenReadWrite | fmShareExclusive), EFOpenError);
  }
  EXPECT_NO_THROW(TFileStream(name, fmOpenReadWrite | fmShareExclusive));
}

// Lists ---------------------------------------------------------------------------

TEST(List, IndexErrorsNameTheIndex) {
  TList list;
  int a = 1, b = 2, c = 3;
  EXPECT_EQ(list.Add(&a), 0);
  EXPECT_EQ(list.Add(&b), 1);
  list.Insert(0, &c);  // c a b
  EXPECT_EQ(list.IndexOf(&a), 1);
  list.Move(0, 2);  // a b c
  EXPECT_EQ(list.First(), &a);
  EXPECT_EQ(list.Last(), &c);
  list.Exchange(0, 2);  // c b a
  EXPECT_EQ(list[0], &c);
  EXPECT_EQ(list.Remove(&b), 1);
  EXPECT_EQ(list.Remove(&b), -1);
  list.SetCount(4);
  EXPECT_EQ(list.Get(3), nullptr);

  struct Case {
    std::function<void()> call;
    int index;
  } cases[] = {{[&] { list.Get(4); }, 4},        {[&] { list.Get(-1); }, -1},
               {[&] { list.Put(9, &a); }, 9},    {[&] { list.Insert(5, &a); }, 5},
               {[&] { list.Delete(4); }, 4},     {[&] { list.Exchange(0, 7); }, 7},
               {[&] { list.Move(6, 0); }, 6},    {[&] { list.Move(0, 4); }, 4}};
  for (const Case& c : cases)
    EXPECT_EQ(MessageOf<EListError>(c.call), "List index out of bounds (" + std::to_string(c.index) + ")");
  EXPECT_EQ(list.Count(), 4);
  EXPECT_THROW(list.SetCount(-1), EListError);
  TList empty;
  EXPECT_THROW(empty.First(), EListError);
}

TEST(List, SortsWithTheCallersOrder) {
  int v[] = {5, 1, 4, 2, 3};
  TList list;
  for (int& x : v) list.Add(&x);
  list.Sort([](void* a, void* b) { return *static_cast<int*>(a) - *static_cast<int*>(b); });
  for (int i = 0; i < 5; ++i) EXPECT_EQ(*static_cast<int*>(list[i]), i + 1);
}

// String lists -------------------------------------------------------------------

TEST(StringList, SortedListHonoursDuplicates) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig", "apple"}) list.Add(s);
  EXPECT_EQ(list.Text(), "Apple\r\nfig\r\npear\r\n");  // "apple" ignored: case-insensitive
  int index = -1;
  EXPECT_TRUE(list.Find("FIG", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find("grape", index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(list.IndexOf("PEAR"), 2);
  EXPECT_EQ(list.IndexOf("kiwi"), -1);

  list.Duplicates = dupError;
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Add("fig"); }), "String list does not allow duplicates");
  list.Duplicates = dupAccept;
  EXPECT_EQ(list.Add("FIG"), 1);
  EXPECT_TRUE(list.Find("fig", index));
  EXPECT_EQ(index, 1);  // the first of the equal strings
  EXPECT_EQ(list.Count(), 4);

  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Insert(0, "x"); }),
            "Operation not allowed on sorted string list");
  EXPECT_THROW(list.Put(0, "x"), EStringListError);
}

TEST(StringList, CaseSensitiveUnsortedLookups) {
  TStringList list;
  list.SetText("b\na\nB\n");
  EXPECT_EQ(list.IndexOf("B"), 0);
  list.CaseSensitive = true;
  EXPECT_EQ(list.IndexOf("B"), 2);
  list.Sort();
  EXPECT_EQ(list.CommaText(), "B,a,b");
}

TEST(StringList, ObjectsAndIndexErrors) {
  TStringList list;
  TObject one, two;
  list.AddObject("one", &one);
  list.InsertObject(0, "two", &two);
  EXPECT_EQ(list.GetObject(1), &one);
  EXPECT_EQ(list.IndexOfObject(&two), 0);
  list.PutObject(0, nullptr);
  EXPECT_EQ(list.IndexOfObject(&two), -1);
  EXPECT_EQ(MessageOf<EStringListError>([&] { list.Get(2); }), "List index out of bounds (2)");
  EXPECT_THROW(list.Delete(-1), EStringListError);
  EXPECT_THROW(list.GetObject(5), EStringListError);
  EXPECT_THROW(list.Insert(3, "x"), EStringListError);
  list.Exchange(0, 1);
  EXPECT_EQ(list[0], "one");
}

TEST(StringList, TextWritesCrLfAndReadsAnyLineEnd) {
  TStringList list;
  struct Case {
    const char* text;
    int count;
  } cases[] = {{"", 0}, {"a", 1}, {"a\r\nb\r\n", 2}, {"a\nb", 2}, {"a\rb\r", 2}, {"a\n\nb\n", 3}, {"\r\n", 1}};
  for (const Case& c : cases) {
    list.SetText(c.text);
    EXPECT_EQ(list.Count(), c.count) << c.text;
  }
  list.SetText("第一行\n\nlast");
  EXPECT_EQ(list[1], "");
  EXPECT_EQ(list.Text(), "第一行\r\n\r\nlast\r\n");
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
  TStringList list;
  for (const char* s : {"plain", "two words", "a,b", "say \"hi\"", "中文", ""}) list.Add(s);
  std::string text = list.CommaText();
  EXPECT_EQ(text, "plain,\"two words\",\"a,b\",\"say \"\"hi\"\"\",中文,");
  TStringList back;
  back.SetCommaText(text + ",x");
  ASSERT_EQ(back.Count(), 7);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(back[i], list[i]) << i;

  // Blanks separate items too; a trailing comma adds nothing.
  back.SetCommaText("  a b , c,,d,");
  EXPECT_EQ(back.Text(), "a\r\nb\r\nc\r\n\r\nd\r\n");
  back.Clear();
  back.Add("");
  EXPECT_EQ(back.CommaText(), "\"\"");
  back.SetCommaText("\"unterminated, really");
  EXPECT_EQ(back.Count(), 1);
  EXPECT_EQ(back[0], "unterminated, really");
}

TEST(StringList, NamesAndValues) {
  TStringList list;
  list.SetText("Left1=10\nnoequals\nTop1=a=b\n");
  EXPECT_EQ(list.Names(0), "Left1");
  EXPECT_EQ(list.Names(1), "");
  EXPECT_EQ(list.Values("TOP1"), "a=b");
  EXPECT_EQ(list.Values("missing"), "");
  EXPECT_EQ(list.IndexOfName("left1"), 0);
  list.SetValue("left1", "20");
  EXPECT_EQ(list[0], "left1=20");
  list.SetValue("New", "x");
  EXPECT_EQ(list[3], "New=x");
  list.SetValue("Top1", "");
  EXPECT_EQ(list.IndexOfName("Top1"), -1);
  EXPECT_EQ(list.Count(), 3);
}

TEST(StringList, ChangeEventsFoldIntoOneDuringAnUpdate) {
  TStringList list;
  int changing = 0, changed = 0;
  list.OnChanging = [&](TObject* sender) {
    EXPECT_EQ(sender, &list);
    ++changing;
  };
  list.OnChange = [&](TObject*) { ++changed; };
  list.Add("a");
  list.Add("b");
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);
  list.BeginUpdate();
  list.BeginUpdate();
  list.Add("c");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(changed, 2);
  list.EndUpdate();
  EXPECT_EQ(changing, 3);
  EXPECT_EQ(changed, 3);
  list.EndUpdate();  // unbalanced: ignored
  list.SetText("x\ny\nz");
  EXPECT_EQ(changed, 4);
  list.Clear();
  list.Clear();  // nothing to clear: no event
  EXPECT_EQ(changed, 5);
}

TEST(StringList, AssignAndFiles) {
  cwtest::TempDir dir;
  TStringList a;
  TObject tag;
  a.AddObject("卡", &tag);
  a.Add("two");
  TStringList b;
  b.Add("old");
  b.Assign(&a);
  EXPECT_EQ(b.Text(), "卡\r\ntwo\r\n");
  EXPECT_EQ(b.GetObject(0), &tag);
  b.Assign(&b);
  EXPECT_EQ(b.Count(), 2);
  b.AddStrings(b);
  EXPECT_EQ(b.Count(), 4);
  struct Other : TPersistent {} other;
  EXPECT_THROW(b.Assign(&other), EConvertError);
  EXPECT_EQ(MessageOf<EConvertError>([&] { b.Assign(nullptr); }), "Cannot assign a nil to a TStringList");

  a.SaveToFile(dir.file("list.txt"));
  EXPECT_EQ(Slurp(dir.file("list.txt")), "卡\r\ntwo\r\n");
  TStringList c;
  c.LoadFromFile(dir.file("LIST.txt"));
  EXPECT_EQ(c.Text(), a.Text());
  EXPECT_THROW(c.LoadFromFile(dir.file("none.txt")), EFOpenError);
}
