// The card's texts: the 13 data-field texts and the 13 titles on the card
// panel, their selection, drag and release, the two lists that name and
// show them with their edit boxes, and the show toggle of all texts.
#include "designer/editbox.h"
#include "designer/main.h"
#include "platform/dialogs.h"
#include "records/dbpicsu.h"

namespace {

const char* const kNoTextMarked =
    "你还没在选择框选中要显示的标题！请点选窗口左边的数据库字段标题或静态文字标题！选择框上面有个编辑框，"
    "可以在其中更改标题文字！静态文字标题是每张效果图上都有的文字，数据库标题在每张效果图上随数据库对应字段"
    "内容的不同而不同！";

bool ItemArmed() { return Screen->GetCursor() == crDrag; }

void ShowControl(TControl* c, bool shown) {
  c->SetVisible(shown);
  c->SetEnabled(shown);
}

// The column titles of the main window's and the batch window's grids
// follow the field captions.
void SetColumnTitles(TMainForm* f) {
  for (int j = 0; j < kTextSlots; ++j) {
    const std::string caption = f->CheckListBox1->GetItems()->Get(j);
    if (j < f->DBGrid1->Columns()->Count()) f->DBGrid1->Columns()->Items(j)->Title()->SetCaption(caption);
    if (FormPicEdit && FormPicEdit->DBGrid1 && j < FormPicEdit->DBGrid1->Columns()->Count())
      FormPicEdit->DBGrid1->Columns()->Items(j)->Title()->SetCaption(caption);
  }
}

void FillBoxesFrom(TMainForm* f, TControl* c) {
  f->EditLeft->SetText(std::to_string(c->GetLeft()));
  f->EditTop->SetText(std::to_string(c->GetTop()));
  f->EditH->SetText(std::to_string(c->GetHeight()));
  f->EditW->SetText(std::to_string(c->GetWidth()));
}

// Shows the data-field texts whose entries are checked.
void ApplyDataMarks(TMainForm* f) {
  for (int i = 0; i < kTextSlots; ++i) {
    const size_t k = size_t(i);
    f->DataShown[k] = f->CheckListBox1->GetChecked(i);
    ShowControl(f->QRDBTexts[k], f->DataShown[k]);
    ShowControl(f->DBTexts[k], f->DataShown[k]);
  }
}

// Shows the titles whose entries are checked, captioned with their entries.
void ApplyTitleMarks(TMainForm* f) {
  for (int i = 0; i < kTextSlots; ++i) {
    const size_t k = size_t(i);
    f->TitleShown[k] = f->CheckListBox2->GetChecked(i);
    const std::string text = f->CheckListBox2->GetItems()->Get(i);
    ShowControl(f->QRTitleLabels[k], f->TitleShown[k]);
    ShowControl(f->TitleLabels[k], f->TitleShown[k]);
    f->QRTitleLabels[k]->SetCaption(text);
    f->TitleLabels[k]->SetCaption(text);
  }
}

// A click on a checked entry arms the placement of its text, which stays
// hidden until the click on the layout picture; any other click disarms.
void ArmOrDisarm(TMainForm* f, TCheckListBox* list, bool data) {
  const int index = list->GetItemIndex();
  if (index >= 0 && index < kTextSlots && list->GetChecked(index)) {
    TextPlacementArmed = true;
    TextPlacementIsData = data;
    TextPlacementIndex = index;
    const size_t k = size_t(index);
    if (data) {
      f->DBTexts[k]->Hide();
      f->QRDBTexts[k]->Hide();
    } else {
      f->QRTitleLabels[k]->Hide();
      f->TitleLabels[k]->Hide();
    }
    Screen->SetCursor(crDrag);
    list->SetEnabled(false);
  } else {
    TextPlacementArmed = false;
    Screen->SetCursor(crDefault);
    list->SetEnabled(true);
  }
}

void ListClicked(TMainForm* f, TCheckListBox* list, TEdit* box, int& editIndex, bool data) {
  if (!ItemArmed()) f->PicItem = 9;
  if (data)
    ApplyDataMarks(f);
  else
    ApplyTitleMarks(f);
  ArmOrDisarm(f, list, data);
  f->NShowText->SetCaption("不显示文字(&TextNo)");
  TextsShown = true;
  const int index = list->GetItemIndex();
  const bool chosen = index >= 0 && index < kTextSlots;
  if (chosen) {
    editIndex = index;  // first: setting the box's text rewrites this entry
    box->SetText(list->GetItems()->Get(index));
  }
  if (data) {
    SetColumnTitles(f);
  } else {
    f->TitleTexts.resize(std::max<size_t>(f->TitleTexts.size(), 15));
    for (int j = 0; j < kTextSlots; ++j) {
      f->TitleTexts[size_t(j)] = list->GetItems()->Get(j);
      f->TitleLabels[size_t(j)]->SetCaption(f->TitleTexts[size_t(j)]);
    }
  }
  if (chosen) FillBoxesFrom(f, data ? static_cast<TControl*>(f->DBTexts[size_t(index)]) : f->TitleLabels[size_t(index)]);
  f->Repaint();
}

// After a release every text of the kind comes to the front and its print
// twin takes its font and bounds (shown state and caption are set already).
template <class Text, class Twin>
void TwinsFollow(const std::array<Text*, kTextSlots>& texts, const std::array<Twin*, kTextSlots>& twins) {
  for (size_t k = 0; k < texts.size(); ++k) {
    texts[k]->BringToFront();
    twins[k]->GetFont()->Assign(texts[k]->GetFont());
    twins[k]->SetBoundsRect(texts[k]->GetBoundsRect());
  }
}

// The box's text replaces the entry its list chose last; an index the list
// does not hold changes nothing.
void RewriteEntry(TCheckListBox* list, TEdit* box, int index) {
  if (index < 0 || index >= list->GetItems()->Count()) return;
  if (list->GetItems()->Get(index) != box->GetText()) list->GetItems()->Put(index, box->GetText());
}

}  // namespace

TControl* TMainForm::SelectedText() const {
  // The last text clicked is the selection only while SelectedItem still
  // names it; a picture press or an opened template moves SelectedItem away.
  if (SelectedItem < 0 || SelectedItem >= kTextSlots) return nullptr;
  const size_t k = size_t(SelectedItem);
  if (LastTextTag == 100 + SelectedItem) return TitleLabels[k];
  if (LastTextTag == SelectedItem) return DBTexts[k];
  return nullptr;
}

void TMainForm::TextItemClick(TObject* Sender) {
  auto* text = dynamic_cast<TControl*>(Sender);
  if (!text) return;
  if (!ItemArmed()) PicItem = 9;
  LastTextTag = text->Tag;
  if (LastTextTag > 14) {
    SelectedItem = LastTextTag - 100;
    SelectedIsTitle = true;
    StatusBar1->SetSimpleText("你选取了统一标题的第" + std::to_string(SelectedItem) + "个标题");
  } else {
    SelectedItem = LastTextTag;
    SelectedIsTitle = false;
    StatusBar1->SetSimpleText("你选取了数据库项目的第" + std::to_string(SelectedItem) + "个项目");
  }
  ToolBar2->Hide();
  if (PicItem > 5) {
    Shape1->Show();
    Shape1->SetEnabled(true);
    Shape1->SetBoundsRect(text->GetBoundsRect());
    Shape1->BringToFront();
    FillBoxesFrom(this, text);
  }
}

void TMainForm::DataTextMouseDown(TObject* Sender, TMouseButton, TShiftState Shift, int X, int Y) {
  if (auto* text = dynamic_cast<TControl*>(Sender)) StartDrag(text, Shift, X, Y);
}
void TMainForm::TitleTextMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
  DataTextMouseDown(Sender, Button, Shift, X, Y);
}

void TMainForm::DataTextMouseMove(TObject* Sender, TShiftState, int X, int Y) {
  auto* text = dynamic_cast<TControl*>(Sender);
  if (!text) return;
  SetHitZoneCursor(text, X, Y);
  DragControl(text, X, Y);
}
void TMainForm::TitleTextMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) {
  DataTextMouseMove(Sender, Shift, X, Y);
}

void TMainForm::DataTextMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  MoveMode = 0;
  ApplyDataMarks(this);
  ClampDesignItems();
  TwinsFollow(DBTexts, QRDBTexts);
}

void TMainForm::TitleTextMouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  MoveMode = 0;
  ApplyTitleMarks(this);
  ClampDesignItems();
  TwinsFollow(TitleLabels, QRTitleLabels);
}

void TMainForm::DataTextDblClick(TObject*) {
  if (SelectedItem < 0 || SelectedItem >= kTextSlots || !FormEditBox) return;
  const size_t k = size_t(SelectedItem);
  FormEditBox->OpenFor(SelectedItem, false, CheckListBox1->GetItems()->Get(SelectedItem), DBTexts[k]->GetFont(),
                       QRDBTexts[k]->DataField, FormPicEdit ? FormPicEdit->DataSource1 : nullptr);
}

void TMainForm::TitleTextDblClick(TObject* Sender) {
  auto* label = dynamic_cast<TLabel*>(Sender);
  if (!label || SelectedItem < 0 || SelectedItem >= kTextSlots || !FormEditBox) return;
  FormEditBox->OpenFor(SelectedItem, true, label->GetCaption(), TitleLabels[size_t(SelectedItem)]->GetFont(), "",
                       nullptr);
}

void TMainForm::CheckListBox1Click(TObject*) { ListClicked(this, CheckListBox1, Edit2, FieldEditIndex, true); }
void TMainForm::CheckListBox2Click(TObject*) { ListClicked(this, CheckListBox2, Edit1, TitleEditIndex, false); }
void TMainForm::Edit1KeyUp(TObject*, Word&, TShiftState) { RewriteEntry(CheckListBox2, Edit1, TitleEditIndex); }
void TMainForm::Edit2KeyUp(TObject*, Word&, TShiftState) { RewriteEntry(CheckListBox1, Edit2, FieldEditIndex); }

void TMainForm::NShowTextClick(TObject*) {
  if (TextsShown) {
    NShowText->SetCaption("显示文字(&Text)");
    BText->Hint = "显示文字";
    BText->SetDown(false);
    for (int i = 0; i < kTextSlots; ++i) {
      const size_t k = size_t(i);
      for (TControl* c : {static_cast<TControl*>(DBTexts[k]), static_cast<TControl*>(QRDBTexts[k]),
                          static_cast<TControl*>(TitleLabels[k]), static_cast<TControl*>(QRTitleLabels[k])})
        ShowControl(c, false);
    }
    TextsShown = false;
  } else {
    NShowText->SetCaption("不显示文字(&TextNo)");
    BText->Hint = "不显示文字";
    BText->SetDown(true);
    ApplyDataMarks(this);
    ApplyTitleMarks(this);
    TextsShown = true;
  }
  bool anyMarked = false;
  for (int i = 0; i < kTextSlots; ++i) anyMarked = anyMarked || DataShown[size_t(i)] || TitleShown[size_t(i)];
  if (!anyMarked) ShowMessage(kNoTextMarked);
}

void TMainForm::WireTexts() {
  CheckListBox1->OnClick = [this](TObject* s) { CheckListBox1Click(s); };
  CheckListBox2->OnClick = [this](TObject* s) { CheckListBox2Click(s); };
  Edit1->OnKeyUp = [this](TObject* s, Word& key, TShiftState shift) { Edit1KeyUp(s, key, shift); };
  Edit2->OnKeyUp = [this](TObject* s, Word& key, TShiftState shift) { Edit2KeyUp(s, key, shift); };
  // Text an input method commits comes with no key release; the change of
  // the text rewrites the entry as well.
  Edit1->OnChange = [this](TObject*) { RewriteEntry(CheckListBox2, Edit1, TitleEditIndex); };
  Edit2->OnChange = [this](TObject*) { RewriteEntry(CheckListBox1, Edit2, FieldEditIndex); };
  // The first click of a double-click puts the frame over the text, so the
  // frame hands the double-click on to the text it frames.
  Shape1->OnDblClick = [this](TObject*) {
    TControl* text = SelectedText();
    if (text && PicItem > 5 && text->OnDblClick) text->OnDblClick(text);
  };
  NShowText->OnClick = [this](TObject* s) { NShowTextClick(s); };
  NFont1->OnClick = [this](TObject* s) { NFont1Click(s); };
  BFont->OnClick = [this](TObject*) { NFont1->Click(); };
  FontBox->OnChange = [this](TObject* s) { FontBoxChange(s); };
  FontSize->OnChange = [this](TObject* s) { FontSizeChange(s); };
}
