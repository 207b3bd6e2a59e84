#include "platform/dbctrls.h"

#include <gtest/gtest.h>

#include "dbcontrol_support.h"
#include "platform/dialogs.h"

namespace {

using dbtest::TypeChars;

class DataControls : public dbtest::CardSource {};

TEST_F(DataControls, TextsFollowTheCurrentRecordAndTheTableState) {
  TDBText text(nullptr), picture(nullptr);
  TDBEdit edit(nullptr);
  text.SetDataSource(&source);
  text.SetDataField("AAAA");
  picture.SetDataSource(&source);
  picture.SetDataField("PIC");
  edit.SetDataSource(&source);
  edit.SetDataField("bbbb");  // field names match in any case
  EXPECT_EQ(text.GetCaption(), "");  // closed table: nothing to show
  EXPECT_EQ(text.Field(), nullptr);

  Fill({"张三", "李四", "王小红"});
  struct Step {
    std::function<void()> move;
    std::string name, number;
  } steps[] = {
      {[&] { table.First(); }, "张三", "1"},
      {[&] { table.Next(); }, "李四", "2"},
      {[&] { table.Last(); }, "王小红", "3"},
      {[&] { table.Prior(); }, "李四", "2"},
      {[&] { table.SetRecNo(1); }, "张三", "1"},
      {[&] { table.Close(); }, "", ""},
      {[&] { table.Open(); }, "张三", "1"},
  };
  for (const Step& step : steps) {
    step.move();
    EXPECT_EQ(text.GetCaption(), step.name);
    EXPECT_EQ(edit.GetText(), step.number);
  }
  EXPECT_EQ(picture.GetCaption(), "(BLOB)");
  EXPECT_FALSE(text.GetAutoSize());
  text.SetDataField("CCCC");
  EXPECT_EQ(text.GetCaption(), "");
}

TEST_F(DataControls, TypingEditsTheRecordAndPostWritesTheField) {
  Fill({"张三", "李四"});
  TForm* form = MakeForm<TForm>(nullptr);
  auto& edit = *new TDBEdit(form);
  auto& other = *new TDBEdit(form);
  edit.SetParent(form);
  other.SetParent(form);
  other.SetTop(30);
  form->Show();
  edit.SetDataSource(&source);
  edit.SetDataField("AAAA");
  other.SetDataSource(&source);
  other.SetDataField("AAAA");

  edit.SetSelStart(2);
  TypeChars(edit, u"丰");
  EXPECT_EQ(table.State(), dsEdit);
  EXPECT_EQ(edit.GetText(), "张三丰");
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "张三");  // not in the field before the post
  table.Next();  // moving posts the record; the edit hands its text over first
  EXPECT_EQ(Stored(1, "AAAA"), "张三丰");
  EXPECT_EQ(edit.GetText(), "李四");

  // Text set by code goes the same way; Cancel drops it.
  edit.SetText("赵五");
  EXPECT_EQ(table.State(), dsEdit);
  table.Cancel();
  EXPECT_EQ(edit.GetText(), "李四");
  EXPECT_EQ(Stored(2, "AAAA"), "李四");

  // Escape gives the field's value back; leaving the box stores the text so
  // that other controls on the field show it before the post.
  TypeChars(edit, u"x");
  edit.Perform(WM_KEYDOWN, VK_ESCAPE);
  EXPECT_EQ(edit.GetText(), "李四");
  edit.SetFocus();
  edit.SetText("钱六");
  other.SetFocus();
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "钱六");
  EXPECT_EQ(other.GetText(), "钱六");
  table.Post();
  EXPECT_EQ(Stored(2, "AAAA"), "钱六");
  form->Free();
}

TEST_F(DataControls, BoxesThatCannotEditRefuseTheChange) {
  Fill({"张三"});
  TDBEdit readOnly(nullptr), unbound(nullptr);
  readOnly.SetDataSource(&source);
  readOnly.SetDataField("AAAA");
  readOnly.ReadOnly = true;
  TypeChars(readOnly, u"x");
  readOnly.SetText("李四");
  EXPECT_EQ(readOnly.GetText(), "张三");
  EXPECT_EQ(table.State(), dsBrowse);

  TypeChars(unbound, u"x");
  EXPECT_EQ(unbound.GetText(), "");

  TDBEdit picture(nullptr);
  picture.SetDataSource(&source);
  picture.SetDataField("PIC");
  TypeChars(picture, u"x");
  EXPECT_EQ(picture.GetText(), "(BLOB)");
  EXPECT_EQ(table.State(), dsBrowse);

  table.Close();
  readOnly.ReadOnly = false;
  readOnly.SetText("李四");
  EXPECT_EQ(readOnly.GetText(), "");
}

TEST_F(DataControls, EmptyTableTypingBeginsANewRecord) {
  table.Open();
  TDBEdit edit(nullptr);
  edit.SetDataSource(&source);
  edit.SetDataField("AAAA");
  TypeChars(edit, u"新人");
  EXPECT_EQ(table.State(), dsInsert);
  table.Post();
  EXPECT_EQ(table.RecordCount(), 1);
  EXPECT_EQ(Stored(1, "AAAA"), "新人");
}

TEST_F(DataControls, RichEditKeepsLineBreaksInTheField) {
  Fill({"张三"});
  TDBRichEdit rich(nullptr);
  rich.SetDataSource(&source);
  rich.SetDataField("CCCC");
  EXPECT_EQ(rich.GetText(), "");
  TypeChars(rich, u"一\r二");
  EXPECT_EQ(table.State(), dsEdit);
  table.Post();
  EXPECT_EQ(Stored(1, "CCCC"), "一\r\n二");
  EXPECT_EQ(rich.GetText(), "一\r\n二");
}

// Buttons in order first, prior, next, last, insert, delete, edit, post,
// cancel, refresh: 1 enabled, 0 disabled.
std::string Enabling(const TDBNavigator& navigator) {
  std::string s;
  for (int i = 0; i < NavigateBtnCount; ++i) s += navigator.Buttons(TNavigateBtn(i))->GetEnabled() ? '1' : '0';
  return s;
}

TEST_F(DataControls, NavigatorButtonsFollowBofEofAndState) {
  TDBNavigator navigator(nullptr);
  EXPECT_EQ(Enabling(navigator), "0000000000");  // no data source
  navigator.SetDataSource(&source);
  EXPECT_EQ(Enabling(navigator), "0000000000");  // closed table
  table.Open();
  EXPECT_EQ(Enabling(navigator), "0000101001");  // empty: insert, edit (begins an insert), refresh
  table.Close();

  Fill({"a", "b", "c"});
  struct Step {
    const char* what;
    std::function<void()> act;
    const char* expected;
  } steps[] = {
      {"first", [&] { table.First(); }, "0011111001"},
      {"next", [&] { table.Next(); }, "1111111001"},
      {"last", [&] { table.Last(); }, "1100111001"},
      {"prior", [&] { table.Prior(); }, "1111111001"},
      {"next to the last", [&] { table.Next(); }, "1111111001"},
      {"next past the end", [&] { table.Next(); }, "1100111001"},
      {"edit", [&] { table.Edit(); }, "1100110111"},
      {"cancel", [&] { table.Cancel(); }, "1100111001"},
      {"insert", [&] { table.Insert(); }, "1111110111"},
      {"post", [&] { table.FieldByName("AAAA")->SetAsString("d"), table.Post(); }, "1111111001"},
      {"navigator disabled", [&] { navigator.SetEnabled(false); }, "0000000000"},
      {"navigator enabled", [&] { navigator.SetEnabled(true); }, "1111111001"},
      {"close", [&] { table.Close(); }, "0000000000"},
  };
  for (const Step& step : steps) {
    step.act();
    EXPECT_EQ(Enabling(navigator), step.expected) << step.what;
  }
}

TEST_F(DataControls, NavigatorButtonsRunTheirActions) {
  TScriptedDialogs dialogs;
  TDBNavigator navigator(nullptr);
  navigator.SetDataSource(&source);
  std::vector<int> clicked;
  navigator.OnClick = [&](TObject*, TNavigateBtn button) { clicked.push_back(button); };
  navigator.BtnClick(nbNext);  // closed: nothing happens
  EXPECT_TRUE(clicked.empty());

  Fill({"a", "b", "c"});
  navigator.Buttons(nbLast)->Click();
  EXPECT_EQ(table.GetRecNo(), 3);
  navigator.BtnClick(nbPrior);
  EXPECT_EQ(table.GetRecNo(), 2);
  navigator.BtnClick(nbEdit);
  EXPECT_EQ(table.State(), dsEdit);
  table.FieldByName("AAAA")->SetAsString("B");
  navigator.BtnClick(nbPost);
  EXPECT_EQ(Stored(2, "AAAA"), "B");
  navigator.BtnClick(nbInsert);
  EXPECT_EQ(table.State(), dsInsert);
  navigator.BtnClick(nbCancel);
  EXPECT_EQ(table.RecordCount(), 3);

  // Delete asks first: a cancel keeps the record.
  dialogs.Answer(IDCANCEL);
  navigator.BtnClick(nbDelete);
  EXPECT_EQ(table.RecordCount(), 3);
  dialogs.Answer(IDOK);
  navigator.BtnClick(nbDelete);
  EXPECT_EQ(table.RecordCount(), 2);
  navigator.ConfirmDelete = false;
  navigator.BtnClick(nbFirst);
  navigator.BtnClick(nbDelete);
  EXPECT_EQ(table.FieldByName("AAAA")->GetAsString(), "c");
  EXPECT_EQ(dialogs.Records.size(), 2u);
  navigator.BtnClick(nbRefresh);
  EXPECT_EQ(table.RecordCount(), 1);
  EXPECT_EQ(clicked, (std::vector<int>{nbLast, nbPrior, nbEdit, nbPost, nbInsert, nbCancel, nbDelete, nbFirst,
                                       nbDelete, nbRefresh}));
}

TEST(DBNavigatorTest, ButtonsShareTheWidth) {
  TDBNavigator navigator(nullptr);
  navigator.SetBounds(0, 0, 205, 20);
  int x = 0;
  for (int i = 0; i < NavigateBtnCount; ++i) {
    TNavButton* button = navigator.Buttons(TNavigateBtn(i));
    EXPECT_EQ(button->GetLeft(), x);
    EXPECT_EQ(button->GetWidth(), i < 5 ? 21 : 20);
    EXPECT_EQ(button->GetHeight(), 20);
    x += button->GetWidth();
  }
  EXPECT_EQ(x, 205);
}

}  // namespace
