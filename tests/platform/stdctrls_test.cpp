#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <QInputMethodEvent>
#include <QTest>

#include "control_log.h"
#include "platform/checklst.h"
#include "platform/richedit.h"
#include "platform/stdctrls.h"

namespace {

void ClickAt(TControl& c, int x, int y) {
  c.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(x, y));
  c.Perform(WM_LBUTTONUP, 0, XY(x, y));
}

void Type(TWinControl& c, const std::u16string& text) {
  for (char16_t ch : text) c.Perform(WM_CHAR, WPARAM(ch));
}

// A control of class T on a shown form, with the focus.
template <class T>
struct Focused {
  TForm form{nullptr};
  T control{nullptr};
  explicit Focused(int width, int height) {
    form.SetBounds(0, 0, 300, 100);
    control.SetParent(&form);
    control.SetBounds(10, 10, width, height);
    form.Show();
    control.SetFocus();
  }
  ~Focused() { control.SetParent(nullptr); }
};

TEST(EditTest, OnChangeFiresForCodeAndTypingButNotForTheSameText) {
  TForm form(nullptr);
  TEdit edit(nullptr);
  edit.SetParent(&form);
  std::vector<std::string> seen;
  edit.OnChange = [&](TObject*) { seen.push_back(edit.GetText()); };
  edit.SetText("12");
  edit.SetText("12");  // unchanged: no event
  edit.SetSelStart(2);
  Type(edit, u"3\b4");
  edit.Perform(WM_KEYDOWN, VK_HOME);
  edit.Perform(WM_KEYDOWN, VK_DELETE);
  EXPECT_EQ(seen, (std::vector<std::string>{"12", "123", "12", "124", "24"}));
  EXPECT_TRUE(edit.Modified);
  edit.Undo();
  EXPECT_EQ(edit.GetText(), "124");
  edit.SetParent(nullptr);
}

// Chinese typed through an input method arrives as committed text on the
// window and lands in the focused edit, after what was typed before.
TEST(EditTest, InputMethodTextIsTyped) {
  Focused<TEdit> shown(200, 24);
  TEdit& edit = shown.control;
  edit.SetText("ID ");
  edit.SetSelStart(3);
  QWidget* w = edit.Widget();
  ASSERT_NE(w, nullptr);
  EXPECT_TRUE(w->testAttribute(Qt::WA_InputMethodEnabled));
  QInputMethodEvent composing(QStringLiteral("zhang"), {});
  QApplication::sendEvent(w, &composing);  // still composing: nothing typed
  EXPECT_EQ(edit.GetText(), "ID ");
  QInputMethodEvent commit;
  commit.setCommitString(QStringLiteral("张三"));
  QApplication::sendEvent(w, &commit);
  EXPECT_EQ(edit.GetText(), "ID 张三");
}

// Keys and clicks on the edit's real widget: typing, the caret, Shift
// selection, Ctrl+A and a click that places the caret.
TEST(EditTest, KeyboardAndMouseMoveTheCaretAndSelect) {
  Focused<TEdit> shown(200, 24);
  TEdit& edit = shown.control;
  QWidget* w = edit.Widget();
  ASSERT_NE(w, nullptr);
  QTest::keyClicks(w, "12345");
  EXPECT_EQ(edit.GetText(), "12345");
  EXPECT_EQ(edit.GetSelStart(), 5);
  QTest::keyClick(w, Qt::Key_Left);
  QTest::keyClick(w, Qt::Key_Left);
  QTest::keyClicks(w, "x");
  EXPECT_EQ(edit.GetText(), "123x45");
  QTest::keyClick(w, Qt::Key_Left, Qt::ShiftModifier);
  QTest::keyClick(w, Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(edit.GetSelText(), "3x");
  QTest::keyClick(w, Qt::Key_Right, Qt::ShiftModifier);  // back towards the anchor
  EXPECT_EQ(edit.GetSelText(), "x");
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(edit.GetSelText(), "123x45");
  QTest::keyClicks(w, "60");  // typing replaces the selection
  EXPECT_EQ(edit.GetText(), "60");
  QTest::keyClick(w, Qt::Key_Q, Qt::AltModifier);  // a menu key no menu took
  EXPECT_EQ(edit.GetText(), "60");

  // A click lands the caret at the nearer character edge; a drag selects.
  edit.SetText("WWWWWWWW");
  TCanvas* c = edit.GetCanvas();
  c->Font->Assign(edit.GetFont());
  const int w3 = c->TextWidth("WWW"), w6 = c->TextWidth("WWWWWW");
  const QPoint at3(2 + w3 + 1, 8), at6(2 + w6 - 1, 8);  // client points; the frame adds its offset
  const TRect frame = edit.FrameInsets();
  const QPoint shift(frame.Left, frame.Top);
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, at3 + shift);
  EXPECT_EQ(edit.GetSelStart(), 3);
  EXPECT_EQ(edit.GetSelLength(), 0);
  QTest::mouseClick(w, Qt::LeftButton, Qt::ShiftModifier, at6 + shift);
  EXPECT_EQ(edit.GetSelStart(), 3);
  EXPECT_EQ(edit.GetSelLength(), 3);
  // The selection and the caret are drawn while the edit has the focus.
  edit.Update();
  EXPECT_EQ(PixelAt(edit.ClientImage(), 2 + w3 + 2, 12), ColorToRGB(clHighlight));
}

TEST(EditTest, SelectionLimitsAndReadOnly) {
  TEdit edit(nullptr);
  edit.SetText("宋体abc");
  edit.SetSelStart(1);
  edit.SetSelLength(99);  // clamped to the text
  EXPECT_EQ(edit.GetSelText(), "体abc");
  edit.SetSelText("X");
  EXPECT_EQ(edit.GetText(), "宋X");
  edit.MaxLength = 3;
  edit.SelectAll();
  edit.SetSelText("abcdef");
  EXPECT_EQ(edit.GetText(), "abc");
  edit.ReadOnly = true;
  Type(edit, u"z\b");
  EXPECT_EQ(edit.GetText(), "abc");
}

// Up, Down, Home and End move by lines; a line break is one step.
TEST(MemoTest, TheCaretMovesByLinesThroughTheWindow) {
  Focused<TMemo> shown(200, 80);
  TMemo& memo = shown.control;
  QWidget* w = memo.Widget();
  QTest::keyClicks(w, "ab");
  QTest::keyClick(w, Qt::Key_Return);
  QTest::keyClicks(w, "cdef");
  QTest::keyClick(w, Qt::Key_Return);
  QTest::keyClicks(w, "g");
  QTest::keyClick(w, Qt::Key_Up);  // column 1 of "cdef"
  QTest::keyClicks(w, "X");
  EXPECT_EQ(memo.GetText(), "ab\r\ncXdef\r\ng");
  QTest::keyClick(w, Qt::Key_Home);
  QTest::keyClick(w, Qt::Key_End, Qt::ShiftModifier);
  EXPECT_EQ(memo.GetSelText(), "cXdef");
  QTest::keyClick(w, Qt::Key_Home);
  QTest::keyClick(w, Qt::Key_Left);  // over the break to the end of "ab"
  QTest::keyClick(w, Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(memo.GetSelText(), "\r\ncX");
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(memo.GetSelLength(), int(QString::fromUtf8(memo.GetText()).size()));
}

TEST(MemoTest, LinesAreAViewOfTheTextAndAClosingBreakAddsNoLine) {
  TMemo memo(nullptr);
  TStrings* lines = memo.GetLines();
  EXPECT_EQ(lines->Count(), 0);
  lines->Add("one");
  lines->Add("二");
  EXPECT_EQ(memo.GetText(), "one\r\n二\r\n");
  EXPECT_EQ(lines->Count(), 2);
  memo.SetText("a\r\nb");
  EXPECT_EQ(lines->Count(), 2);
  lines->Insert(1, "x");
  lines->Delete(0);
  EXPECT_EQ(memo.GetText(), "x\r\nb\r\n");
  EXPECT_THROW(lines->Get(5), EStringListError);
  memo.SetSelStart(1);
  memo.Perform(WM_CHAR, VK_RETURN);
  EXPECT_EQ(lines->Count(), 3);
}

TEST(ButtonTest, ClickComesBetweenPressAndReleaseAndSetsTheModalResult) {
  TEventLog log;
  TForm form(nullptr);
  TButton ok(nullptr);
  ok.SetParent(&form);
  ok.ModalResult = mrOk;
  LogMouse(&ok, log, "ok");
  ClickAt(ok, 5, 5);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"ok down 0 L 5,5", "ok click", "ok up 0 5,5"}));
  EXPECT_EQ(form.ModalResult, mrOk);
  // A release outside the button is no click.
  log.Clear();
  ok.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(5, 5));
  ok.Perform(WM_LBUTTONUP, 0, XY(500, 5));
  EXPECT_EQ(log.lines.size(), 2u);
  ok.SetParent(nullptr);
}

TEST(CheckBoxTest, OnClickFiresWhenSetFromCodeAndOnceForAUserClick) {
  TCheckBox box(nullptr);
  int clicks = 0;
  box.OnClick = [&](TObject*) { ++clicks; };
  box.SetChecked(true);
  box.SetChecked(true);
  EXPECT_EQ(clicks, 1);
  ClickAt(box, 3, 3);
  EXPECT_FALSE(box.GetChecked());
  EXPECT_EQ(clicks, 2);
  box.AllowGrayed = true;
  box.SetChecked(true);
  ClickAt(box, 3, 3);
  EXPECT_EQ(box.GetState(), cbGrayed);
}

TEST(RadioButtonTest, CheckingOneUnchecksItsSiblings) {
  TForm form(nullptr);
  TRadioButton a(nullptr), b(nullptr);
  a.SetParent(&form);
  b.SetParent(&form);
  std::vector<std::string> clicks;
  a.OnClick = [&](TObject*) { clicks.push_back("a"); };
  b.OnClick = [&](TObject*) { clicks.push_back("b"); };
  a.SetChecked(true);
  ClickAt(b, 2, 2);
  ClickAt(b, 2, 2);  // already checked: nothing
  EXPECT_FALSE(a.GetChecked());
  EXPECT_EQ(clicks, (std::vector<std::string>{"a", "b"}));
  a.SetParent(nullptr);
  b.SetParent(nullptr);
}

TEST(ListBoxTest, CodeChoosesSilentlyTheUserOnRelease) {
  TListBox list(nullptr);
  list.SetBounds(0, 0, 100, 80);
  for (const char* s : {"b", "c", "a"}) list.GetItems()->Add(s);
  std::vector<int> clicks;
  list.OnClick = [&](TObject*) { clicks.push_back(list.GetItemIndex()); };
  list.SetItemIndex(1);
  list.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(5, list.ItemHeight * 2 + 1));
  EXPECT_TRUE(clicks.empty());  // not before the release
  list.Perform(WM_LBUTTONUP, 0, XY(5, list.ItemHeight * 2 + 1));
  list.Perform(WM_KEYDOWN, VK_UP);
  EXPECT_EQ(clicks, (std::vector<int>{2, 1}));
  // Deleting the chosen entry leaves none chosen; the others shift.
  list.GetItems()->Delete(0);
  EXPECT_EQ(list.GetItemIndex(), 0);
  list.GetItems()->Delete(0);
  EXPECT_EQ(list.GetItemIndex(), -1);
  list.SetSorted(true);
  list.GetItems()->Add("0");
  EXPECT_EQ(list.GetItems()->Get(0), "0");
}

TEST(CheckListBoxTest, PressOnTheMarkFlipsItBeforeTheClick) {
  TCheckListBox list(nullptr);
  list.SetBounds(0, 0, 120, 100);
  for (const char* s : {"姓名", "单位"}) list.GetItems()->Add(s);
  std::vector<std::string> log;
  list.OnClickCheck = [&](TObject*) { log.push_back("check"); };
  list.OnClick = [&](TObject*) { log.push_back("click " + std::to_string(list.GetChecked(list.GetItemIndex()))); };
  int y = list.ItemHeight + 2;
  ClickAt(list, 4, y);    // on the mark
  ClickAt(list, 60, y);   // on the text: no flip
  EXPECT_EQ(log, (std::vector<std::string>{"check", "click 1", "click 1"}));
  list.GetItems()->Insert(0, "new");
  EXPECT_TRUE(list.GetChecked(2));  // the mark moves with its entry
  EXPECT_THROW(list.GetChecked(13), EStringListError);
}

TEST(ComboBoxTest, OnlyTheUserFiresClickThenChange) {
  TComboBox combo(nullptr);
  for (const char* s : {"EAN-8", "EAN-13", "UPC-A"}) combo.GetItems()->AddObject(s, nullptr);
  std::vector<std::string> log;
  combo.OnClick = [&](TObject*) { log.push_back("click"); };
  combo.OnChange = [&](TObject*) { log.push_back("change " + combo.GetText()); };
  combo.SetItemIndex(1);
  combo.SetText("UPC-A");
  EXPECT_EQ(combo.GetItemIndex(), 2);
  EXPECT_TRUE(log.empty());
  combo.Select(0);
  combo.Perform(WM_KEYDOWN, VK_DOWN);
  Type(combo, u"x");  // typing: change only, no entry matches
  EXPECT_EQ(log, (std::vector<std::string>{"click", "change EAN-8", "click", "change EAN-13", "change EAN-13x"}));
  EXPECT_EQ(combo.GetItemIndex(), -1);
  // A drop-down list only takes the text of an entry.
  combo.SetStyle(csDropDownList);
  combo.SetText("nothing");
  EXPECT_EQ(combo.GetText(), "");
  combo.SetText("upc-a");
  EXPECT_EQ(combo.GetItemIndex(), 2);
}

// The text part of an editable combo box edits as an edit box does:
// keys and clicks on the real widget.
TEST(ComboBoxTest, TypedTextHasACaretAndASelection) {
  Focused<TComboBox> shown(145, 21);
  TComboBox& combo = shown.control;
  for (const char* s : {"五号", "20"}) combo.GetItems()->AddObject(s, nullptr);
  QWidget* w = combo.Widget();
  ASSERT_NE(w, nullptr);
  combo.SetText("12");
  QTest::keyClicks(w, "34");
  EXPECT_EQ(combo.GetText(), "1234");
  QTest::keyClick(w, Qt::Key_Left);
  QTest::keyClick(w, Qt::Key_Left, Qt::ShiftModifier);
  QTest::keyClicks(w, "x");  // replaces the "3"
  EXPECT_EQ(combo.GetText(), "12x4");
  QTest::keyClick(w, Qt::Key_Backspace);
  QTest::keyClick(w, Qt::Key_Delete);
  EXPECT_EQ(combo.GetText(), "12");
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(w, "20");
  EXPECT_EQ(combo.GetText(), "20");
  EXPECT_EQ(combo.GetItemIndex(), 1);  // the text matches an entry

  // A click on the text puts the caret before the nearer character edge.
  TCanvas* c = combo.GetCanvas();
  c->Font->Assign(combo.GetFont());
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(2 + c->TextWidth("2") + 1, 10));
  QTest::keyClicks(w, "5");
  EXPECT_EQ(combo.GetText(), "250");
}

TEST(RichEditTest, SelectionAttributesAndParagraphs) {
  TRichEdit rich(nullptr);
  rich.SetText("abcd\r\nef");
  rich.SetSelStart(1);
  rich.SetSelLength(2);
  rich.GetSelAttributes()->SetStyle(fsBold | fsItalic);
  rich.GetSelAttributes()->SetColor(clRed);
  EXPECT_EQ(rich.FormatAt(0).Style, 0u);
  EXPECT_EQ(rich.FormatAt(2).Style, fsBold | fsItalic);
  EXPECT_EQ(rich.FormatAt(3).Color, clWindowText);
  EXPECT_EQ(rich.GetSelAttributes()->GetColor(), clRed);
  // Typed text after a bold character is bold; text before keeps its look.
  rich.SetSelStart(3);
  rich.Perform(WM_KEYDOWN, VK_LEFT);
  rich.Perform(WM_KEYDOWN, VK_RIGHT);
  rich.Perform(WM_CHAR, 'X');
  EXPECT_EQ(rich.GetText(), "abcXd\r\nef");
  EXPECT_EQ(rich.FormatAt(3).Style, fsBold | fsItalic);
  EXPECT_EQ(rich.FormatAt(4).Style, 0u);
  rich.SetSelStart(7);
  rich.GetParagraph()->SetAlignment(taCenter);
  EXPECT_EQ(rich.AlignmentOfLine(1), taCenter);
  EXPECT_EQ(rich.AlignmentOfLine(0), taLeftJustify);
  rich.Undo();
  EXPECT_EQ(rich.GetText(), "abcd\r\nef");
}

}  // namespace
