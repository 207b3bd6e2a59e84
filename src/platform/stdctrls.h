// The standard controls: label, push button, check box, radio button,
// group box, single- and multi-line edits, list box and combo box. Each
// keeps its state and fires its events itself; painting and input come
// through the control layer, so the same object serves the program's
// window and a headless test. Events follow the framework: an edit's
// OnChange and a check box's OnClick fire also when code sets them, a
// combo box's OnChange only on the user's choice or typing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/ctrlparts.h"
#include "platform/forms.h"

enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// A caption drawn on its parent; AutoSize fits it to the text.
class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  bool GetTransparent() const { return transparent_; }
  void SetTransparent(bool v);
  TAlignment Alignment = taLeftJustify;
  TTextLayout Layout = tlTop;
  bool WordWrap = false;
  TWinControl* FocusControl = nullptr;
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;

 private:
  void AdjustBounds();
  bool autoSize_ = true;
  bool transparent_ = false;
};

// Buttons of the window manager: the click comes between the press and
// release events, as the platform's button reports it.
class TButtonControl : public TCustomControl {
 public:
  explicit TButtonControl(TComponent* owner);
  void Dispatch(TMessage& m) override;

 protected:
  // What a click of the user does (the button's own reaction, then OnClick).
  virtual void UserClick() { Click(); }
  bool Pressed() const { return pressed_; }

 private:
  bool pressed_ = false;
};

class TButton : public TButtonControl {
 public:
  explicit TButton(TComponent* owner);
  // Sets the form's ModalResult to this button's, then OnClick.
  void Click() override;
  TModalResult ModalResult = mrNone;
  bool Default = false;
  bool Cancel = false;
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;
};

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TButtonControl {
 public:
  explicit TCheckBox(TComponent* owner);
  bool GetChecked() const { return state_ == cbChecked; }
  // A change fires OnClick, from code as from the user.
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  TCheckBoxState GetState() const { return state_; }
  void SetState(TCheckBoxState state);
  bool AllowGrayed = false;
  TAlignment Alignment = taRightJustify;

 protected:
  void UserClick() override;
  void Paint() override;

 private:
  TCheckBoxState state_ = cbUnchecked;
};

// Checking one radio button unchecks its siblings; checking fires OnClick.
class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* owner);
  bool GetChecked() const { return checked_; }
  void SetChecked(bool v);

 protected:
  void UserClick() override { SetChecked(true); }
  void Paint() override;

 private:
  bool checked_ = false;
};

class TGroupBox : public TCustomControl {
 public:
  explicit TGroupBox(TComponent* owner);

 protected:
  void Paint() override;
};

// Edits ---------------------------------------------------------------------------------

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

// The text box of both edits. Positions count UTF-16 units, as the
// platform's edit does. Typing, Backspace, Delete, the arrows, Home and End
// edit the text; every change of the text fires OnChange.
class TCustomEdit : public TCustomControl {
 public:
  explicit TCustomEdit(TComponent* owner);

  int GetSelStart() const { return selStart_; }
  void SetSelStart(int v);
  int GetSelLength() const { return selLength_; }
  void SetSelLength(int v);
  std::string GetSelText() const;
  // Replaces the selection as typing would (undoable).
  void SetSelText(const std::string& text);
  void SelectAll();
  void ClearSelection() { SetSelText(""); }
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  bool CanUndo() const { return canUndo_; }
  void Undo();
  void ClearUndo() { canUndo_ = false; }
  void Clear() { SetText(""); }

  int MaxLength = 0;
  bool ReadOnly = false;
  bool Modified = false;
  bool AutoSelect = true;
  bool HideSelection = true;
  TEditCharCase CharCase = ecNormal;
  TNotifyEvent OnChange;

  void Dispatch(TMessage& m) override;

 protected:
  virtual void Change();
  virtual bool MultiLine() const { return false; }
  void Paint() override;
  void CreateParams(TCreateParams& params) override;

 private:
  void TypeText(const std::string& text);
  void ReplaceRange(int start, int length, const std::string& text);
  void MoveCaret(int pos, bool extend);
  // The text position nearest to a client point.
  int PositionAt(int x, int y);
  // The position at `column` (clamped; -1: the caret's) of the line
  // `lineStep` lines from the caret's.
  int LinePosition(int lineStep, int column) const;
  int TextLength() const;
  int selStart_ = 0, selLength_ = 0;
  // The selection's fixed end and the end the caret stands at.
  int anchor_ = 0, caret_ = 0;
  bool selecting_ = false;
  bool canUndo_ = false;
  std::string undoText_;
  bool editing_ = false;
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
};

// The lines of a memo's text: CR LF, CR or LF end a line, and a final line
// break adds no empty line.
std::vector<std::string> SplitMemoLines(const std::string& text);

// A multi-line edit; Lines is a live view of its text.
class TMemo : public TCustomEdit {
 public:
  explicit TMemo(TComponent* owner);
  ~TMemo() override;
  TStrings* GetLines() { return lines_.get(); }
  void SetLines(TStrings* lines) { lines_->Assign(lines); }
  TScrollStyle ScrollBars = ssNone;
  bool WordWrap = true;
  bool WantReturns = true;
  TAlignment Alignment = taLeftJustify;

 protected:
  bool MultiLine() const override { return true; }

 private:
  std::unique_ptr<TStrings> lines_;
};

// Lists ---------------------------------------------------------------------------------

// A list of strings with one chosen entry. Setting ItemIndex from code
// fires nothing; the user's choice (mouse or arrow keys) fires OnClick
// when the button is released or the key moved it.
class TCustomListBox : public TCustomControl {
 public:
  explicit TCustomListBox(TComponent* owner);
  TStrings* GetItems() { return &items_; }
  void SetItems(TStrings* items) { items_.Assign(items); }
  int GetItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  bool GetSorted() const { return items_.GetSorted(); }
  void SetSorted(bool v) { items_.SetSorted(v); }
  int ItemHeight = 16;
  int GetTopIndex() const { return topIndex_; }
  void SetTopIndex(int index);
  // The entry under a client point, or -1.
  int ItemAtPos(TPoint p, bool existing = true) const;
  TRect ItemRect(int index) const;
  void Clear() { items_.Clear(); }

  void Dispatch(TMessage& m) override;

 protected:
  // The user pressed on an entry at client x (after the choice moved there).
  virtual void ItemPressed(int index, int x) {}
  virtual void DrawItem(int index, TRect rect, bool selected);
  void Paint() override;
  void CreateParams(TCreateParams& params) override;
  TItemStrings items_;

 private:
  void ItemInserted(int index);
  void ItemDeleted(int index);
  void UserSelect(int index);
  int itemIndex_ = -1;
  int topIndex_ = 0;
  bool pressed_ = false;
};

class TListBox : public TCustomListBox {
 public:
  using TCustomListBox::TCustomListBox;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

// An edit with a drop-down list. ItemIndex and Text set from code fire
// nothing; the user's choice fires OnClick then OnChange, typing OnChange.
class TComboBox : public TCustomControl {
 public:
  explicit TComboBox(TComponent* owner);
  TStrings* GetItems() { return &items_; }
  void SetItems(TStrings* items) { items_.Assign(items); }
  int GetItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  bool GetSorted() const { return items_.GetSorted(); }
  void SetSorted(bool v) { items_.SetSorted(v); }
  TComboBoxStyle GetStyle() const { return style_; }
  void SetStyle(TComboBoxStyle style);
  // Text from code: a drop-down list only takes an entry's text.
  void SetText(const std::string& text);
  int DropDownCount = 8;
  int MaxLength = 0;
  bool GetDroppedDown() const { return droppedDown_; }
  // Opens the list (OnDropDown); in the program it shows the entries to pick.
  void DropDown();
  // The user picks entry `index` from the open list (or with the arrow keys).
  void Select(int index);
  void Clear();

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  void Dispatch(TMessage& m) override;

 protected:
  virtual void Change();
  void Paint() override;

 private:
  void ItemDeleted(int index);
  int MatchIndex(const std::string& text) const;
  // The editable text part: its right edge, the caret and selection, and
  // the edits typing makes.
  int TextAreaRight() const;
  int TextPositionAt(int x);
  void MoveTextCaret(int pos, bool extend);
  void EditKey(int key, bool shift);
  void ReplaceText(int from, int to, const std::string& insert);
  int anchor_ = 0, caret_ = 0;
  bool selecting_ = false, typing_ = false;
  TItemStrings items_;
  int itemIndex_ = -1;
  TComboBoxStyle style_ = csDropDown;
  bool droppedDown_ = false;
};
