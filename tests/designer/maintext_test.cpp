// The card's texts through real input: selection, drag, resize and nudge of
// the texts, the field and title lists with their edit boxes, the show
// toggle, the text editor and the fonts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include "cardprogram.h"
#include "designer/editbox.h"
#include "platform/qt_input.h"

using cardtest::CardProgram;

namespace {

class Texts : public ::testing::Test {
 protected:
  void SetUp() override {
    TextPlacementArmed = false;
    TextsShown = true;
    f = program.MakeMainForm();
    f->OnShow = nullptr;
    f->OnActivate = nullptr;
    f->Show();
    for (int i = 0; i < kTextSlots; ++i) {
      f->DBTexts[size_t(i)]->Hide();
      f->TitleLabels[size_t(i)]->Hide();
    }
    program.dialogs.Records.clear();
  }
  void TearDown() override { Screen->SetCursor(crDefault); }

  // A text shown alone at the given bounds.
  template <class T>
  T* Place(T* text, int left, int top, int width, int height) {
    text->SetBounds(left, top, width, height);
    text->Show();
    text->SetEnabled(true);
    text->BringToFront();
    return text;
  }

  // A mouse event at a client point of `c`, through the widget that hosts it.
  void Mouse(TControl* c, QEvent::Type type, TPoint at, Qt::MouseButtons buttons) { SendMouse(c, type, at, buttons); }
  // Hovers at (x, y) of the text, presses, moves by (dx, dy) and releases;
  // the frame a click leaves is out of the way first.
  void Drag(TControl* text, int x, int y, int dx, int dy) {
    f->Shape1->Hide();
    TPoint origin{text->GetLeft(), text->GetTop()};
    Mouse(f->Panel2, QEvent::MouseMove, {origin.x + x, origin.y + y}, Qt::NoButton);
    Mouse(f->Panel2, QEvent::MouseButtonPress, {origin.x + x, origin.y + y}, Qt::LeftButton);
    Mouse(f->Panel2, QEvent::MouseMove, {origin.x + x + dx, origin.y + y + dy}, Qt::LeftButton);
    Mouse(f->Panel2, QEvent::MouseButtonRelease, {origin.x + x + dx, origin.y + y + dy}, Qt::NoButton);
  }
  void ClickText(TControl* text) {
    f->Shape1->Hide();
    WidgetClick(f->Panel2, {text->GetLeft() + text->GetWidth() / 2, text->GetTop() + text->GetHeight() / 2});
  }
  // A click on the entry's text (selects) or on its check mark (flips it).
  void ClickEntry(TCheckListBox* list, int index, bool onMark) {
    TRect r = list->ItemRect(index);
    WidgetClick(list, {onMark ? r.Left + 3 : r.Left + 40, (r.Top + r.Bottom) / 2});
  }
  void TypeInto(TEdit* box, const char* text) {
    QTest::mouseClick(box->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::keyClick(box->Widget(), Qt::Key_A, Qt::ControlModifier);
    // Chinese text comes committed by the input method, other text as keys.
    QString pending;
    auto commit = [&] {
      if (pending.isEmpty()) return;
      QInputMethodEvent event;
      event.setCommitString(pending);
      QApplication::sendEvent(box->Widget(), &event);
      pending.clear();
    };
    for (QChar ch : QString::fromUtf8(text)) {
      if (ch.unicode() >= 128) {
        pending += ch;
        continue;
      }
      commit();
      QTest::keyClick(box->Widget(), char(ch.unicode()));
    }
    commit();
  }

  CardProgram program;
  TMainForm* f = nullptr;
};

TEST_F(Texts, ClickSelectsTitleOrDataTextAndFramesIt) {
  TLabel* title = Place(f->TitleLabels[2], 40, 60, 70, 22);
  ClickText(title);
  EXPECT_EQ(f->StatusBar1->GetSimpleText(), "你选取了统一标题的第2个标题");
  EXPECT_EQ(f->SelectedItem, 2);
  EXPECT_TRUE(f->SelectedIsTitle);
  EXPECT_EQ(f->LastTextTag, 102);
  EXPECT_EQ(f->PicItem, 9);
  EXPECT_TRUE(f->Shape1->GetVisible());
  EXPECT_EQ(f->Shape1->GetBoundsRect(), Bounds(40, 60, 70, 22));
  EXPECT_EQ(f->EditLeft->GetText(), "40");
  EXPECT_EQ(f->EditTop->GetText(), "60");
  EXPECT_EQ(f->EditW->GetText(), "70");
  EXPECT_EQ(f->EditH->GetText(), "22");

  title->Hide();
  TDBText* data = Place(f->DBTexts[11], 150, 100, 60, 24);
  ClickText(data);
  EXPECT_EQ(f->StatusBar1->GetSimpleText(), "你选取了数据库项目的第11个项目");
  EXPECT_EQ(f->SelectedItem, 11);
  EXPECT_FALSE(f->SelectedIsTitle);
  EXPECT_EQ(f->SelectedText(), data);
}

TEST_F(Texts, DragMovesAndEdgesResizeThenTwinFollowsAtRelease) {
  f->CheckListBox1->SetChecked(3, true);
  TDBText* text = Place(f->DBTexts[3], 60, 50, 80, 30);
  struct Case {
    int x, y, dx, dy;
    TRect after;
  } cases[] = {
      {40, 15, 10, 5, Bounds(70, 55, 80, 30)},   // middle: move
      {78, 15, 12, 0, Bounds(70, 55, 92, 30)},   // right edge
      {2, 15, -6, 0, Bounds(64, 55, 98, 30)},    // left edge
      {40, 28, 0, 7, Bounds(64, 55, 98, 37)},    // bottom edge
      {96, 35, 4, 4, Bounds(64, 55, 102, 41)},   // bottom-right corner
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
    Drag(text, c.x, c.y, c.dx, c.dy);
    EXPECT_EQ(text->GetBoundsRect(), c.after);
    EXPECT_EQ(f->MoveMode, 0);
    EXPECT_EQ(f->QRDBTexts[3]->GetBoundsRect(), c.after);
    EXPECT_TRUE(f->QRDBTexts[3]->GetVisible() && f->QRDBTexts[3]->GetEnabled());
  }
  // A text dragged off the panel comes back after the release.
  Drag(text, 40, 15, -80, 0);
  EXPECT_GE(text->GetLeft(), 5);
  EXPECT_EQ(f->QRDBTexts[3]->GetLeft(), text->GetLeft());
}

TEST_F(Texts, ReleaseShowsTitlesByTheirMarksWithTheirEntries) {
  f->CheckListBox2->SetChecked(1, true);
  f->CheckListBox2->GetItems()->Put(1, "会员卡");
  TLabel* title = Place(f->TitleLabels[1], 30, 30, 80, 25);
  Place(f->TitleLabels[4], 30, 120, 80, 25);  // shown but not marked
  Drag(title, 40, 12, 5, 5);
  EXPECT_EQ(title->GetCaption(), "会员卡");
  EXPECT_EQ(f->QRTitleLabels[1]->GetCaption(), "会员卡");
  EXPECT_EQ(f->QRTitleLabels[1]->GetBoundsRect(), Bounds(35, 35, 80, 25));
  EXPECT_TRUE(f->TitleShown[1]);
  EXPECT_FALSE(f->TitleLabels[4]->GetVisible());
  EXPECT_FALSE(f->QRTitleLabels[4]->GetVisible());
}

TEST_F(Texts, ArrowKeysNudgeTheSelectedTextAndItsTwin) {
  TLabel* title = Place(f->TitleLabels[6], 50, 40, 60, 25);
  f->QRTitleLabels[6]->SetBounds(50, 40, 60, 25);
  ClickText(title);
  QWidget* panel = f->Panel2->Widget();
  QTest::keyClick(panel, Qt::Key_Right);
  QTest::keyClick(panel, Qt::Key_Right);
  QTest::keyClick(panel, Qt::Key_Up);
  EXPECT_EQ(f->QRTitleLabels[6]->GetBoundsRect(), Bounds(52, 39, 60, 25));
  EXPECT_EQ(title->GetBoundsRect(), Bounds(52, 39, 60, 25));
}

// The frame and the boxes act on the selected text, and on no text once a
// picture took the selection.
TEST_F(Texts, FrameAndBoxesActOnTextOnlyWhileSelected) {
  TDBText* text = Place(f->DBTexts[0], 40, 40, 60, 25);
  ClickText(text);
  TypeInto(f->EditLeft, "90");
  TypeInto(f->EditTop, "70");  // leaving X applied the four values
  EXPECT_EQ(text->GetBoundsRect(), Bounds(90, 40, 60, 25));
  QTest::keyClick(f->EditTop->Widget(), Qt::Key_Return);
  EXPECT_EQ(text->GetBoundsRect(), Bounds(90, 70, 60, 25));

  // The photo pressed: the boxes and the frame now belong to it.
  f->PicOne->Show();
  f->PicOne->SetBounds(200, 100, 50, 50);
  f->PicOne->BringToFront();
  WidgetClick(f->Panel2, {225, 125});
  EXPECT_EQ(f->SelectedItem, 13);
  EXPECT_EQ(f->SelectedText(), nullptr);
  f->PicItem = 9;  // as after a placement
  TypeInto(f->EditLeft, "10");
  QTest::keyClick(f->EditLeft->Widget(), Qt::Key_Return);
  EXPECT_EQ(text->GetBoundsRect(), Bounds(90, 70, 60, 25));
  f->Shape1->SetBounds(10, 10, 40, 40);
  f->Shape1->Show();
  f->Shape1->BringToFront();
  Mouse(f->Panel2, QEvent::MouseMove, {30, 30}, Qt::NoButton);
  Mouse(f->Panel2, QEvent::MouseButtonPress, {30, 30}, Qt::LeftButton);
  Mouse(f->Panel2, QEvent::MouseMove, {35, 35}, Qt::LeftButton);
  Mouse(f->Panel2, QEvent::MouseButtonRelease, {35, 35}, Qt::NoButton);
  EXPECT_EQ(f->Shape1->GetLeft(), 15);
  EXPECT_EQ(text->GetBoundsRect(), Bounds(90, 70, 60, 25));
}

TEST_F(Texts, CheckingAnEntryArmsPlacementAndUncheckingHidesAtOnce) {
  Place(f->DBTexts[4], 100, 100, 60, 25);
  ClickEntry(f->CheckListBox1, 4, true);
  EXPECT_TRUE(f->CheckListBox1->GetChecked(4));
  EXPECT_TRUE(TextPlacementArmed);
  EXPECT_TRUE(TextPlacementIsData);
  EXPECT_EQ(TextPlacementIndex, 4);
  EXPECT_FALSE(f->DBTexts[4]->GetVisible());
  EXPECT_FALSE(f->QRDBTexts[4]->GetVisible());
  EXPECT_FALSE(f->CheckListBox1->GetEnabled());
  EXPECT_EQ(Screen->GetCursor(), crDrag);
  EXPECT_EQ(f->Edit2->GetText(), "职务");
  EXPECT_EQ(f->NShowText->GetCaption(), "不显示文字(&TextNo)");

  f->PlaceArmedItem(30, 40);  // the release on the layout picture
  EXPECT_EQ(f->DBTexts[4]->GetLeft(), 30);
  EXPECT_EQ(f->DBTexts[4]->GetTop(), 40);
  EXPECT_EQ(f->QRDBTexts[4]->GetLeft(), 30);
  EXPECT_TRUE(f->DBTexts[4]->GetVisible());
  EXPECT_EQ(Screen->GetCursor(), crDefault);
  f->CheckListBox1->SetEnabled(true);

  ClickEntry(f->CheckListBox1, 4, true);  // unchecks
  EXPECT_FALSE(f->CheckListBox1->GetChecked(4));
  EXPECT_FALSE(TextPlacementArmed);
  EXPECT_FALSE(f->DBTexts[4]->GetVisible());
  EXPECT_FALSE(f->QRDBTexts[4]->GetVisible());
  EXPECT_TRUE(f->CheckListBox1->GetEnabled());
  EXPECT_EQ(Screen->GetCursor(), crDefault);
}

TEST_F(Texts, TitleListCaptionsTitlesAndKeepsTheirTexts) {
  f->CheckListBox2->GetItems()->Put(5, "有效期");
  ClickEntry(f->CheckListBox2, 5, true);
  EXPECT_TRUE(TextPlacementArmed);
  EXPECT_FALSE(TextPlacementIsData);
  EXPECT_FALSE(f->TitleLabels[5]->GetVisible());
  EXPECT_EQ(f->Edit1->GetText(), "有效期");
  ASSERT_GE(f->TitleTexts.size(), 13u);
  EXPECT_EQ(f->TitleTexts[5], "有效期");
  EXPECT_EQ(f->TitleLabels[5]->GetCaption(), "有效期");
  EXPECT_EQ(f->QRTitleLabels[5]->GetCaption(), "有效期");
}

// Each list's box rewrites the entry its own list chose last, on every key
// release; a click in the other list does not retarget it.
TEST_F(Texts, EditBoxesRewriteTheirOwnListsEntry) {
  ClickEntry(f->CheckListBox1, 7, false);
  ClickEntry(f->CheckListBox2, 2, false);
  TypeInto(f->Edit2, "QQ");
  EXPECT_EQ(f->CheckListBox1->GetItems()->Get(7), "QQ");
  TypeInto(f->Edit2, "会员号");
  EXPECT_EQ(f->CheckListBox1->GetItems()->Get(7), "会员号");
  EXPECT_EQ(f->CheckListBox2->GetItems()->Get(7), "部门");
  TypeInto(f->Edit1, "地区");
  EXPECT_EQ(f->CheckListBox2->GetItems()->Get(2), "地区");
  EXPECT_EQ(f->CheckListBox1->GetItems()->Get(2), "地址");
  EXPECT_EQ(f->CheckListBox1->GetItems()->Count(), kTextSlots);
  EXPECT_EQ(f->CheckListBox2->GetItems()->Count(), kTextSlots);
  // The column titles follow the captions at the next list click.
  ClickEntry(f->CheckListBox1, 0, false);
  EXPECT_EQ(f->DBGrid1->Columns()->Items(7)->Title()->GetCaption(), "会员号");
}

TEST_F(Texts, ShowToggleHidesAllAndShowsByMarks) {
  const char* longMessage =
      "你还没在选择框选中要显示的标题！请点选窗口左边的数据库字段标题或静态文字标题！选择框上面有个编辑框，"
      "可以在其中更改标题文字！静态文字标题是每张效果图上都有的文字，数据库标题在每张效果图上随数据库对应字段"
      "内容的不同而不同！";
  TPoint button{f->BText->GetWidth() / 2, f->BText->GetHeight() / 2};
  WindowClick(f->BText, button);  // hides, and nothing is marked
  EXPECT_FALSE(TextsShown);
  EXPECT_EQ(f->NShowText->GetCaption(), "显示文字(&Text)");
  EXPECT_EQ(f->BText->Hint, "显示文字");
  EXPECT_EQ(program.Messages(), std::vector<std::string>{longMessage});

  program.dialogs.Records.clear();
  f->CheckListBox2->SetChecked(3, true);
  f->CheckListBox1->SetChecked(9, true);
  WindowClick(f->BText, button);
  EXPECT_TRUE(TextsShown);
  EXPECT_EQ(f->NShowText->GetCaption(), "不显示文字(&TextNo)");
  EXPECT_TRUE(f->TitleLabels[3]->GetVisible() && f->QRTitleLabels[3]->GetVisible());
  EXPECT_TRUE(f->DBTexts[9]->GetVisible() && f->QRDBTexts[9]->GetEnabled());
  EXPECT_FALSE(f->DBTexts[3]->GetVisible());
  EXPECT_TRUE(program.Messages().empty());

  WindowClick(f->BText, button);
  EXPECT_FALSE(f->TitleLabels[3]->GetVisible() || f->QRTitleLabels[3]->GetEnabled());
  EXPECT_FALSE(f->DBTexts[9]->GetVisible());
  EXPECT_TRUE(program.Messages().empty());  // marks remain: no message
}

// The editor writes to the text it opened for, even after another text
// took the selection while it was open.
TEST_F(Texts, TextEditorIsBoundToTheTextItOpenedFor) {
  FormEditBox = MakeForm<TFormEditBox>(Application);
  program.Keep(FormEditBox);
  // Releases show the texts by their marks.
  f->CheckListBox1->SetChecked(1, true);
  f->CheckListBox2->SetChecked(8, true);
  TDBText* data = Place(f->DBTexts[1], 40, 40, 60, 25);
  TLabel* title = Place(f->TitleLabels[8], 150, 120, 60, 25);
  f->Shape1->Hide();
  WindowClick(f->Panel2, {70, 52}, Qt::LeftButton, true);
  ASSERT_TRUE(FormEditBox->GetVisible());
  EXPECT_EQ(FormEditBox->Edit1->GetText(), "单位");
  EXPECT_TRUE(FormEditBox->AAAA->GetVisible());
  EXPECT_EQ(FormEditBox->AAAA->GetDataField(), "BBBB");
  EXPECT_EQ(FormEditBox->Label1->GetCaption(), "这是数据库字段文本,上面是字段名，下面是该字段当前记录的数据");

  ClickText(title);  // the window is modeless: the user selects another text
  EXPECT_EQ(f->SelectedItem, 8);
  TypeInto(FormEditBox->Edit1, "公司");
  QTest::mouseClick(FormEditBox->Button2->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_FALSE(FormEditBox->GetVisible());
  EXPECT_EQ(f->CheckListBox1->GetItems()->Get(1), "公司");
  EXPECT_EQ(f->DBGrid1->Columns()->Items(1)->Title()->GetCaption(), "公司");
  EXPECT_EQ(f->CheckListBox2->GetItems()->Get(8), "Oicq");
  EXPECT_EQ(title->GetCaption(), "Oicq");
  (void)data;

  // A title opens with its caption; OK sets the twin's caption and font.
  f->Shape1->Hide();
  WindowClick(f->Panel2, {180, 132}, Qt::LeftButton, true);
  ASSERT_TRUE(FormEditBox->GetVisible());
  EXPECT_FALSE(FormEditBox->AAAA->GetVisible());
  EXPECT_EQ(FormEditBox->Label1->GetCaption(), "这是静态文本");
  EXPECT_EQ(FormEditBox->Edit1->GetText(), "Oicq");
  program.dialogs.AnswerDialog([](TCommonDialog* d) {
    auto* dialog = static_cast<TFontDialog*>(d);
    dialog->Font.Name = "黑体";
    dialog->Font.SetSize(15);
    return true;
  });
  QTest::mouseClick(FormEditBox->Button1->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(FormEditBox->Edit1->GetFont()->Name, "黑体");
  TypeInto(FormEditBox->Edit1, "贵宾");
  QTest::mouseClick(FormEditBox->Button2->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  EXPECT_EQ(f->QRTitleLabels[8]->GetCaption(), "贵宾");
  EXPECT_EQ(f->CheckListBox2->GetItems()->Get(8), "贵宾");
  EXPECT_EQ(f->QRTitleLabels[8]->GetFont()->Name, "黑体");
  EXPECT_EQ(title->GetFont()->Name, "黑体");
  EXPECT_EQ(title->GetFont()->GetSize(), 15);
}

TEST_F(Texts, FontCommandNeedsATextAndAppliesTheChosenFont) {
  auto fontCommand = [this] {
    WindowClick(f->BFont, {f->BFont->GetWidth() / 2, f->BFont->GetHeight() / 2});
  };
  f->SelectedItem = 18;
  fontCommand();
  f->SelectedItem = 13;
  fontCommand();
  EXPECT_EQ(program.Messages(), (std::vector<std::string>{"你还没选择要修改的项目！", "你选择的是图片！"}));

  TLabel* title = Place(f->TitleLabels[0], 40, 40, 60, 25);
  ClickText(title);
  program.dialogs.AnswerDialog([](TCommonDialog* d) {
    auto* dialog = static_cast<TFontDialog*>(d);
    dialog->Font.Name = "楷体_GB2312";
    dialog->Font.SetSize(20);
    dialog->Font.Style = fsBold;
    return true;
  });
  fontCommand();
  EXPECT_EQ(f->QRTitleLabels[0]->GetFont()->Name, "楷体_GB2312");
  EXPECT_EQ(title->GetFont()->Name, "楷体_GB2312");
  EXPECT_EQ(title->GetFont()->GetSize(), 20);
  EXPECT_EQ(title->GetFont()->Style, TFontStyles(fsBold));
  EXPECT_EQ(f->Drawor->GetCanvas()->Font->Name, "楷体_GB2312");

  // Cancel keeps the twin's font; a dialog left without a face keeps the face.
  program.dialogs.AnswerDialog([](TCommonDialog* d) {
    static_cast<TFontDialog*>(d)->Font.Name = "";
    return true;
  });
  fontCommand();
  EXPECT_EQ(title->GetFont()->Name, "楷体_GB2312");
  fontCommand();  // no answer: cancelled
  EXPECT_EQ(title->GetFont()->GetSize(), 20);
}

TEST(TextFonts, FontStringsRoundTrip) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  TFont font;
  font.Name = "Arial";
  font.SetSize(12);
  font.Style = fsBold | fsItalic;
  font.Color = 255;
  font.Charset = 0;
  EXPECT_EQ(f->FontToString(&font), "12,3,255,0,Arial");

  TFont read;
  ASSERT_TRUE(f->StringToCtrlFont("12,3,255,0,Arial", &read));
  EXPECT_EQ(read.GetSize(), 12);
  EXPECT_EQ(read.Style, TFontStyles(fsBold | fsItalic));
  EXPECT_EQ(read.Color, TColor(255));
  EXPECT_EQ(read.Charset, 0);
  EXPECT_EQ(read.Name, "Arial");

  ASSERT_TRUE(f->StringToCtrlFont("9,12,0,134,华文 细黑", &read));
  EXPECT_EQ(read.Name, "华文 细黑");
  EXPECT_EQ(read.Style, TFontStyles(fsUnderline | fsStrikeOut));
  EXPECT_EQ(read.Charset, GB2312_CHARSET);

  // A long name is cut at 64 bytes.
  ASSERT_TRUE(f->StringToCtrlFont("9,0,0,0," + std::string(80, 'x'), &read));
  EXPECT_EQ(read.Name, std::string(64, 'x'));

  TFont before = read;
  for (const char* bad : {"12,bold,0,0,Arial", "", "x,1,0,0,Arial", "12"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(f->StringToCtrlFont(bad, &read));
    EXPECT_EQ(read.Name, before.Name);
    EXPECT_EQ(read.GetSize(), before.GetSize());
  }
}

TEST(TextFonts, SizeEntriesByTableOrTypedNumber) {
  struct Case {
    int index;
    const char* text;
    bool ok;
    int points;
  } cases[] = {{0, "初号", true, 42},  {10, "五号", true, 17}, {15, "八号", true, 5},   {25, "100", true, 100},
               {-1, " 12 ", true, 12}, {-1, "10.5", true, 10}, {-1, "大号", false, 0}, {-1, "", false, 0},
               {-1, "0", false, 0},    {-1, "-3", false, 0},   {-1, "99999", false, 0}, {-1, "12pt", false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    int points = -7;
    EXPECT_EQ(FontSizeOfEntry(c.index, c.text, points), c.ok);
    if (c.ok) EXPECT_EQ(points, c.points);
  }
}

// The font box offers the installed faces, the usual Chinese names among
// them; a typed name no font has changes nothing.
TEST_F(Texts, FontBoxAppliesOnlyListedFaces) {
  ASSERT_GT(f->FontBox->GetItems()->Count(), 0);
  EXPECT_GE(f->FontBox->GetItems()->IndexOf("宋体"), 0);
  f->ToolBar2->Show();
  f->FontBox->SetEnabled(true);
  f->Edit->SetText("卡片文字");
  f->Edit->SelectAll();
  const std::string before = f->Edit->GetSelAttributes()->GetName();
  f->FontBox->SetText("没有的字体");
  f->FontBoxChange(f->FontBox);
  EXPECT_EQ(f->Edit->GetSelAttributes()->GetName(), before);

  const int song = f->FontBox->GetItems()->IndexOf("宋体");
  f->FontBox->SetItemIndex(song);
  f->FontBoxChange(f->FontBox);
  EXPECT_EQ(f->Edit->GetSelAttributes()->GetName(), "宋体");
  auto* charset = dynamic_cast<TCharsetObject*>(f->FontBox->GetItems()->GetObject(song));
  ASSERT_NE(charset, nullptr);
  EXPECT_EQ(f->Edit->GetSelAttributes()->GetCharset(), charset->Charset);
}

// Sizes typed into the size box apply when they are sizes; other text
// leaves the selection's size alone.
TEST_F(Texts, TypedFontSizesAreValidated) {
  f->ToolBar2->Show();
  f->FontSize->SetEnabled(true);
  f->Edit->SetText("卡片");
  f->Edit->SelectAll();
  f->Edit->GetSelAttributes()->SetSize(9);
  QWidget* box = f->FontSize->Widget();
  auto type = [box](const char* text) {
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
  };
  type("24");
  EXPECT_EQ(f->Edit->GetSelAttributes()->GetSize(), 24);
  type("abc");
  EXPECT_EQ(f->Edit->GetSelAttributes()->GetSize(), 24);
  type("0");
  EXPECT_EQ(f->Edit->GetSelAttributes()->GetSize(), 24);
  f->FontSize->SetItemIndex(10);  // "五号"
  f->FontSizeChange(f->FontSize);
  EXPECT_EQ(f->Edit->GetSelAttributes()->GetSize(), 17);
}

}  // namespace
