#include "platform/db.h"

#include <gtest/gtest.h>

#include <functional>

#include "dbtest_support.h"
#include "platform/dbtables.h"
#include "platform/sysutils.h"
#include "support/testenv.h"

namespace {

// A card table under <dir>/Mode/DATA holding one record per name.
class CardTable : public ::testing::Test {
 protected:
  void SetUp() override {
    ForceDirectories(dir.file("Mode/DATA"));
    TDbfTable::Create(dir.file("Mode/DATA/data.DBF"), dbfLevel4, dbtest::CardColumns());
    table.SetDatabaseName(dir.file("Mode/DATA"));
    table.SetTableName("data.DBF");
  }

  void Fill(const std::vector<std::string>& names) {
    table.Open();
    for (const std::string& name : names) {
      table.Append();
      table.FieldByName("AAAA")->SetAsString(name);
      table.Post();
    }
    table.First();
  }

  // The AAAA texts of every record, walked from the first.
  std::vector<std::string> WalkNames() {
    std::vector<std::string> names;
    for (table.First(); !table.Eof(); table.Next()) names.push_back(table.FieldByName("AAAA")->GetAsString());
    return names;
  }

  cwtest::TempDir dir;
  TTable table;
};

using Texts = std::vector<std::string>;

// Writes what a link hears.
class RecordingLink : public TDataLink {
 public:
  std::vector<std::string> heard;

 protected:
  void ActiveChanged() override { heard.push_back(Active() ? "active" : "inactive"); }
  void RecordChanged(TField* field) override { heard.push_back("record " + (field ? field->FieldName : "")); }
  void DataSetChanged() override { heard.push_back("changed"); }
  void DataSetScrolled(int distance) override { heard.push_back("scrolled " + std::to_string(distance)); }
  void EditingChanged() override { heard.push_back(Editing() ? "editing" : "browsing"); }
  void UpdateData() override { heard.push_back("update"); }
};

}  // namespace

TEST_F(CardTable, WalksRecordsWithBofEofAndRecNo) {
  Fill({"a", "b", "c"});
  EXPECT_TRUE(table.Bof());
  EXPECT_FALSE(table.Eof());
  EXPECT_EQ(table.GetRecNo(), 1);
  EXPECT_EQ(table.RecordCount(), 3);
  table.Next();
  table.Next();
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "c");
  EXPECT_FALSE(table.Eof());
  table.Next();  // past the last: stays there
  EXPECT_TRUE(table.Eof());
  EXPECT_EQ(table.GetRecNo(), 3);
  table.Prior();
  EXPECT_FALSE(table.Eof());
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "b");
  table.Last();
  EXPECT_TRUE(table.Eof());
  table.SetRecNo(2);
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "b");
  table.First();
  table.Prior();
  EXPECT_TRUE(table.Bof());
  EXPECT_EQ(WalkNames(), (Texts{"a", "b", "c"}));

  TTable empty;
  TDbfTable::Create(dir.file("empty.dbf"), dbfLevel3, {{"AAAA", 'C', 4, 0, 0}});
  empty.SetTableName(dir.file("empty"));  // ".DBF" is added
  empty.Open();
  EXPECT_TRUE(empty.Bof() && empty.Eof());
  EXPECT_EQ(empty.GetRecNo(), 0);
  EXPECT_TRUE(empty.FieldByName("AAAA")->IsNull());
}

TEST_F(CardTable, EditOnEmptyTableBeginsInsertAndPostStoresEmptyRecord) {
  table.Open();
  table.Edit();
  EXPECT_EQ(table.State(), dsInsert);
  table.Post();
  EXPECT_EQ(table.RecordCount(), 1);
  table.Close();
  table.Open();
  EXPECT_EQ(table.RecordCount(), 1);
  EXPECT_TRUE(table.FieldByName("AAAA")->IsNull());
}

TEST_F(CardTable, MovingAwayPostsOnlyModifiedRecords) {
  Fill({"a", "b", "c"});
  int posts = 0;
  table.BeforePost = [&](TDataSet*) { ++posts; };
  // The walk of the batch commands: edit, change, move on.
  for (table.Edit(), table.First(); !table.Eof(); table.Next()) {
    table.Edit();
    if (table.GetRecNo() != 2) table.FieldByName("BBBB")->SetAsString("改" + std::to_string(table.GetRecNo()));
  }
  EXPECT_EQ(posts, 2);
  EXPECT_EQ(table.State(), dsBrowse);
  table.Close();
  table.Open();
  std::vector<std::string> texts;
  for (; !table.Eof(); table.Next()) texts.push_back(table.FieldByName("BBBB")->GetAsString());
  EXPECT_EQ(texts, (Texts{"改1", "", "改3"}));
}

TEST_F(CardTable, BeforePostCanCancelTheChangeAndTheWalkGoesOn) {
  enum Refusal { CallsCancel, RaisesAbort };
  for (Refusal refusal : {CallsCancel, RaisesAbort}) {
    SCOPED_TRACE(int(refusal));
    table.Close();
    TDbfTable::Create(table.FileName(), dbfLevel4, dbtest::CardColumns());
    Fill({"a", "b"});
    table.BeforePost = [&](TDataSet* dataSet) {
      if (refusal == CallsCancel) dataSet->Cancel();
      else Abort();
    };
    int visited = 0;
    for (table.First(); !table.Eof(); table.Next(), ++visited) {
      table.Edit();
      table.FieldByName("AAAA")->SetAsString("x");
    }
    EXPECT_EQ(visited, 2);
    EXPECT_EQ(table.State(), dsBrowse);
    table.Append();
    table.FieldByName("AAAA")->SetAsString("new");
    if (refusal == RaisesAbort) EXPECT_THROW(table.Post(), EAbort);
    else table.Post();
    EXPECT_EQ(table.State(), dsBrowse);
    table.BeforePost = nullptr;
    EXPECT_EQ(WalkNames(), (Texts{"a", "b"}));
  }
}

// Closing writes a pending change as moving away would: BeforePost may
// refuse it, and a BeforePost that closes the table itself drops it.
TEST_F(CardTable, ClosingPostsThePendingChange) {
  enum BeforePostDoes { Nothing, RaisesAbort, ClosesTheTable };
  const std::pair<BeforePostDoes, Texts> cases[] = {
      {Nothing, {"改", "b"}}, {RaisesAbort, {"a", "b"}}, {ClosesTheTable, {"a", "b"}}};
  for (const auto& [does, stored] : cases) {
    SCOPED_TRACE(int(does));
    table.Close();
    TDbfTable::Create(table.FileName(), dbfLevel4, dbtest::CardColumns());
    Fill({"a", "b"});
    int posts = 0;
    table.BeforePost = [&, does = does](TDataSet* dataSet) {
      ++posts;
      if (does == RaisesAbort) Abort();
      if (does == ClosesTheTable) dataSet->Close();
    };
    table.Edit();
    table.FieldByName("AAAA")->SetAsString("改");
    table.Close();
    EXPECT_FALSE(table.GetActive());
    EXPECT_EQ(posts, 1);
    table.BeforePost = nullptr;
    table.Open();
    EXPECT_EQ(WalkNames(), stored);
  }
}

TEST_F(CardTable, DeletedRecordsAreHiddenAndNotCounted) {
  Fill({"a", "b", "c"});
  table.Next();
  table.Delete();
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "c");
  EXPECT_EQ(table.RecordCount(), 2);
  table.Append();  // deleting during an insert only cancels it
  table.Delete();
  EXPECT_EQ(table.RecordCount(), 2);
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "c");
  table.Last();
  table.Delete();  // the last one: the cursor moves to the new last
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "a");
  table.Close();
  table.Open();
  EXPECT_EQ(table.RecordCount(), 1);
  EXPECT_EQ(WalkNames(), (Texts{"a"}));
  dbtest::PlainTable plain = dbtest::ReadPlain(table.FileName());
  EXPECT_EQ(plain.deleted, (std::vector<bool>{false, true, true}));
}

TEST_F(CardTable, CancelDropsChangesAndReturnsToThePlaceOfTheInsert) {
  Fill({"a", "b", "c"});
  table.Next();
  table.Insert();
  table.FieldByName("AAAA")->SetAsString("new");
  EXPECT_EQ(table.GetRecNo(), 4);
  table.Cancel();
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "b");
  table.Edit();
  table.FieldByName("AAAA")->SetAsString("changed");
  table.Cancel();
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "b");
  EXPECT_EQ(WalkNames(), (Texts{"a", "b", "c"}));
}

// Columns written over the records line by line: each line lands in its own
// record, missing records are appended, surplus ones deleted.
TEST_F(CardTable, LinesWrittenOverRecordsLandInTheirOwnRecords) {
  const std::pair<int, int> cases[] = {{5, 8}, {8, 5}, {0, 3}, {2, 2}};
  for (auto [lines, records] : cases) {
    SCOPED_TRACE(std::to_string(lines) + " lines over " + std::to_string(records) + " records");
    table.Close();
    TDbfTable::Create(table.FileName(), dbfLevel4, dbtest::CardColumns());
    Texts old;
    for (int i = 0; i < records; ++i) old.push_back("old" + std::to_string(i));
    Fill(old);
    table.Edit();
    table.First();
    for (int i = 0; i < lines; ++i) {
      table.Edit();
      if (i >= table.RecordCount()) table.Append();
      table.FieldByName("AAAA")->SetAsString("line" + std::to_string(i));
      table.Next();
    }
    while (table.RecordCount() > lines) table.Delete();
    Texts expected;
    for (int i = 0; i < lines; ++i) expected.push_back("line" + std::to_string(i));
    EXPECT_EQ(WalkNames(), expected);
  }
}

TEST_F(CardTable, BlobFieldsCarryWholeFiles) {
  Fill({"a"});
  std::string picture = "\x89PNG\r\n\x1A\n";
  for (int i = 0; i < 5000; ++i) picture += char(i % 251);
  auto* pic = dynamic_cast<TBlobField*>(table.FieldByName("PIC"));
  ASSERT_NE(pic, nullptr);
  EXPECT_THROW(delete table.CreateBlobStream(pic, bmWrite), EDatabaseError);  // browsing

  table.Edit();
  {
    std::unique_ptr<TStream> out(table.CreateBlobStream(pic, bmWrite));
    out->WriteBuffer(picture.data(), int64_t(picture.size()));
  }
  TMemoryStream barcode;
  barcode.WriteBuffer("BM barcode", 10);
  dynamic_cast<TBlobField*>(table.FieldByName("BARCODE"))->LoadFromStream(&barcode);
  table.Next();  // posts
  table.Close();
  table.Open();
  pic = dynamic_cast<TBlobField*>(table.FieldByName("PIC"));
  EXPECT_EQ(pic->BlobSize(), int64_t(picture.size()));
  {
    std::unique_ptr<TStream> in(table.CreateBlobStream(pic, bmRead));
    std::string back(size_t(in->GetSize()), '\0');
    in->ReadBuffer(back.data(), int64_t(back.size()));
    EXPECT_EQ(back, picture);
  }
  EXPECT_EQ(table.FieldByName("BARCODE")->GetAsString(), "BM barcode");
  EXPECT_TRUE(table.FieldByName("BACKGROUND")->IsNull());

  table.Edit();
  {
    std::unique_ptr<TStream> more(table.CreateBlobStream(table.FieldByName("BARCODE"), bmReadWrite));
    more->Seek(0, soEnd);
    more->WriteBuffer("!", 1);
  }
  pic->SaveToFile(dir.file("photo.png"));
  dynamic_cast<TBlobField*>(table.FieldByName("BACKGROUND"))->LoadFromFile(dir.file("photo.png"));
  pic->Clear();
  table.Post();
  EXPECT_EQ(table.FieldByName("BARCODE")->GetAsString(), "BM barcode!");
  EXPECT_TRUE(pic->IsNull());

  dbtest::PlainTable plain = dbtest::ReadPlain(table.FileName());
  std::string memo = dir.file("Mode/DATA/data.DBT");
  EXPECT_EQ(dbtest::ReadPlainBlob(memo, plain.records[0][14]), picture);
  EXPECT_EQ(dbtest::ReadPlainBlob(memo, plain.records[0][15]), "BM barcode!");
  EXPECT_EQ(dbtest::ReadPlainBlob(memo, plain.records[0][13]), "");
}

TEST_F(CardTable, FieldsConvertAndRefuseWhatTheyCannotDo) {
  Fill({"12"});
  TField* name = table.FieldByName("aaaa");  // any letter case
  EXPECT_EQ(name->GetAsInteger(), 12);
  EXPECT_EQ(table.FindField("NONE"), nullptr);
  try {
    table.FieldByName("NONE");
    ADD_FAILURE();
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message, "Field 'NONE' not found");
  }
  EXPECT_THROW(name->SetAsString("x"), EDatabaseError);  // not editing
  EXPECT_THROW(table.Post(), EDatabaseError);
  table.Edit();
  name->SetAsString("  有前导空格  ");
  EXPECT_EQ(name->GetAsString(), "  有前导空格");
  EXPECT_THROW(name->GetAsInteger(), EConvertError);
  name->SetAsInteger(-7);
  EXPECT_EQ(name->GetAsString(), "-7");
  name->Clear();
  EXPECT_TRUE(name->IsNull());
  EXPECT_EQ(name->GetAsInteger(), 0);
  EXPECT_EQ(table.FieldCount(), 16);
  EXPECT_EQ(table.Fields(13)->FieldName, "PIC");
  EXPECT_THROW(table.Fields(16), EListError);
  table.Close();
  EXPECT_THROW(table.First(), EDatabaseError);
}

TEST_F(CardTable, DataLinksFollowStateRecordsAndScrolling) {
  TDataSource source;
  source.SetDataSet(&table);
  RecordingLink link;
  link.SetDataSource(&source);
  Fill({"a", "b"});
  EXPECT_EQ(link.heard.front(), "active");
  link.heard.clear();

  table.Next();
  table.Edit();
  table.FieldByName("BBBB")->SetAsString("x");
  table.Post();
  EXPECT_EQ(link.heard, (Texts{"scrolled 1", "editing", "record ", "record BBBB", "update", "browsing",
                               "changed"}));

  link.heard.clear();
  table.DisableControls();
  table.First();
  table.Next();
  table.DisableControls();
  table.EnableControls();
  EXPECT_TRUE(link.heard.empty());
  table.EnableControls();
  EXPECT_EQ(link.heard, (Texts{"changed"}));

  link.heard.clear();
  table.Close();
  EXPECT_EQ(link.heard, (Texts{"inactive"}));
}

TEST_F(CardTable, FieldLinkStoresItsControlsEditOnPost) {
  TDataSource source;
  source.SetDataSet(&table);
  TFieldDataLink link;
  link.SetDataSource(&source);
  link.SetFieldName("PIC");
  std::string shown, edited = "edited picture";
  int changes = 0;
  link.OnDataChange = [&](TObject*) {
    ++changes;
    shown = link.Field() ? link.Field()->GetAsString() : "";
  };
  link.OnUpdateData = [&](TObject*) { dynamic_cast<TBlobField*>(link.Field())->SetAsString(edited); };
  Fill({"a", "b"});
  ASSERT_NE(link.Field(), nullptr);
  EXPECT_EQ(link.Field()->FieldName, "PIC");

  table.Edit();
  link.Modified();
  changes = 0;
  table.Next();  // the control's change makes the record modified, so it is posted
  EXPECT_EQ(changes, 2);  // the post and the move, not its own write
  table.First();
  EXPECT_EQ(shown, edited);
  EXPECT_FALSE(link.IsModified());

  table.Edit();
  link.Modified();
  link.Reset();  // the control dropped its change
  table.Next();
  table.Prior();
  EXPECT_EQ(shown, edited);
  table.Close();
  EXPECT_EQ(link.Field(), nullptr);
}

// A walk that closes and reopens the table while its controls rest (as
// emptying it does): the links let go of the freed fields at the close and
// take the new ones when the controls follow the table again.
TEST_F(CardTable, RestingControlsLetGoOfFieldsAcrossACloseAndOpen) {
  TDataSource source;
  source.SetDataSet(&table);
  TFieldDataLink link;
  link.SetDataSource(&source);
  link.SetFieldName("AAAA");
  RecordingLink heard;
  heard.SetDataSource(&source);
  std::string shown;
  link.OnDataChange = [&](TObject*) { shown = link.Field() ? link.Field()->GetAsString() : "(none)"; };
  Fill({"a", "b"});
  ASSERT_NE(link.Field(), nullptr);
  EXPECT_EQ(shown, "a");

  struct Step {
    const char* what;
    std::function<void()> walk;  // runs while the controls rest
    Texts heard;                 // what a link hears during the walk
    bool activeAfter;
    std::string shownAfter;
  } steps[] = {
      {"closed and opened again", [&] { table.Close(); table.Open(); table.Next(); }, {"inactive"}, true, "b"},
      {"emptied and refilled", [&] {
         table.Close();
         table.SetExclusive(true);
         table.EmptyTable();
         table.Open();
         table.Append();
         table.FieldByName("AAAA")->SetAsString("c");
         table.Post();
       }, {"inactive"}, true, "c"},
      {"closed and left closed", [&] { table.Close(); }, {"inactive"}, false, "(none)"},
      {"opened and closed", [&] { table.Open(); table.Close(); }, {}, false, "(none)"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    heard.heard.clear();
    table.DisableControls();
    table.DisableControls();  // nested, as callers may
    step.walk();
    // No link holds a field of the closed table, whatever the walk did after.
    EXPECT_EQ(link.Field(), nullptr);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(heard.heard, step.heard);
    table.EnableControls();
    EXPECT_FALSE(link.Active());
    table.EnableControls();
    EXPECT_EQ(link.Active(), step.activeAfter);
    EXPECT_EQ(link.Field(), step.activeAfter ? table.FieldByName("AAAA") : nullptr);
    EXPECT_EQ(shown, step.shownAfter);
  }
}

TEST_F(CardTable, EmptyTableNeedsSoleUse) {
  Fill({"a", "b"});
  table.Edit();
  table.FieldByName("PIC")->SetAsString("picture");
  table.Post();
  EXPECT_THROW(table.EmptyTable(), EDatabaseError);  // shared

  TTable other;
  other.SetDatabaseName(table.GetDatabaseName());
  other.SetTableName(table.GetTableName());
  EXPECT_THROW(table.SetExclusive(true), EDatabaseError);  // open
  other.SetExclusive(true);
  EXPECT_THROW(other.Open(), EDatabaseError);  // in use here
  EXPECT_THROW(other.EmptyTable(), EDatabaseError);

  table.Close();
  table.SetExclusive(true);
  table.EmptyTable();  // closed: emptied and left closed
  EXPECT_FALSE(table.GetActive());
  table.Open();
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_THROW(other.Open(), EDatabaseError);  // exclusive here
  table.Append();
  table.FieldByName("AAAA")->SetAsString("c");
  table.Post();
  table.EmptyTable();  // open and exclusive
  EXPECT_EQ(table.RecordCount(), 0);
  EXPECT_TRUE(table.Eof());
}

TEST_F(CardTable, FolderIsFoundWhateverItsSpelling) {
  Fill({"a"});
  EXPECT_THROW(table.SetDatabaseName("x"), EDatabaseError);
  table.Close();
  table.SetDatabaseName(dir.path().string() + "\\MODE\\data\\");
  table.SetTableName("DATA.DBF");
  table.Open();
  EXPECT_EQ(table.FileName(), dir.file("Mode/DATA/data.DBF"));
  EXPECT_EQ(WalkNames(), (Texts{"a"}));
  table.Close();
  table.SetTableName("missing.dbf");
  EXPECT_THROW(table.Open(), EDatabaseError);
  EXPECT_FALSE(table.GetActive());
}
