#include "platform/dbctrls.h"

#include "platform/dialogs.h"

std::string FieldDisplayText(const TField* field) {
  if (!field) return {};
  switch (field->DataType) {
    case ftBlob: return "(BLOB)";
    case ftGraphic: return "(GRAPHIC)";
    case ftMemo: return "(MEMO)";
    default: return field->GetAsString();
  }
}

// TDBText --------------------------------------------------------------------------------

TDBText::TDBText(TComponent* owner) : TFieldControl(owner) {
  SetAutoSize(false);
  link_->OnDataChange = [this](TObject*) { SetCaption(FieldDisplayText(link_->Field())); };
}

// Edit boxes -----------------------------------------------------------------------------

TEditFieldLink::TEditFieldLink(TCustomEdit* edit) : edit_(edit) {
  OnDataChange = [this](TObject*) {
    if (!entering_) ShowField();
  };
  OnUpdateData = [this](TObject*) { Field()->SetAsString(edit_->GetText()); };
}

void TEditFieldLink::ShowField() {
  showing_ = true;
  // A memo shows the text itself, as the rich text box is its editor.
  TField* field = Field();
  edit_->SetText(field && field->DataType == ftMemo ? field->GetAsString() : FieldDisplayText(field));
  showing_ = false;
}

void TEditFieldLink::TextChanged() {
  if (showing_ || entering_) return;
  ReadOnly = edit_->ReadOnly;
  bool editing = false;
  // A picture's bytes never take a box's text.
  const TField* field = Field();
  if (field && field->DataType != ftBlob && field->DataType != ftGraphic) {
    // Putting the record in edit state reloads it; the new text stays.
    entering_ = true;
    try {
      editing = Edit();
    } catch (...) {
      entering_ = false;
      ShowField();
      throw;
    }
    entering_ = false;
  }
  if (editing) Modified();
  else ShowField();  // the record cannot change: the box shows it again
}

void TEditFieldLink::Message(const TMessage& m) {
  if (m.Msg == WM_KEYDOWN && m.WParam == VK_ESCAPE) Reset();
  else if (m.Msg == CM_EXIT && IsModified()) UpdateRecord();
}

// Navigator ------------------------------------------------------------------------------

namespace {

const char* const kNavCaptions[NavigateBtnCount] = {"|◀", "◀", "▶", "▶|", "+", "−", "▲", "✓", "✕", "↻"};

}  // namespace

class TDBNavigator::TNavDataLink : public TDataLink {
 public:
  explicit TNavDataLink(TDBNavigator* navigator) : navigator_(navigator) {}

 protected:
  void ActiveChanged() override { navigator_->UpdateButtons(); }
  void EditingChanged() override { navigator_->UpdateButtons(); }
  void DataSetChanged() override { navigator_->UpdateButtons(); }

 private:
  TDBNavigator* navigator_;
};

TNavButton::TNavButton(TDBNavigator* navigator, TNavigateBtn index) : TSpeedButton(navigator), Index(index) {
  SetParent(navigator);
  SetCaption(kNavCaptions[index]);
}

TDBNavigator::TDBNavigator(TComponent* owner) : TCustomControl(owner), link_(std::make_unique<TNavDataLink>(this)) {
  for (int i = 0; i < NavigateBtnCount; ++i) {
    auto* button = new TNavButton(this, TNavigateBtn(i));
    button->OnClick = [this, i](TObject*) { BtnClick(TNavigateBtn(i)); };
    buttons_[i] = button;
  }
  SetBounds(0, 0, 241, 25);
  UpdateButtons();
}

TDBNavigator::~TDBNavigator() = default;

TDataSource* TDBNavigator::GetDataSource() const { return link_->GetDataSource(); }

void TDBNavigator::SetDataSource(TDataSource* source) {
  link_->SetDataSource(source);
  UpdateButtons();
}

void TDBNavigator::SetEnabled(bool enabled) {
  TCustomControl::SetEnabled(enabled);
  UpdateButtons();
}

void TDBNavigator::UpdateButtons() {
  TDataSet* data = link_->DataSet();
  const bool active = GetEnabled() && link_->Active();
  const bool editing = active && link_->Editing();
  const bool up = active && !data->Bof();
  const bool down = active && !data->Eof();
  const bool enabled[NavigateBtnCount] = {
      up, up, down, down,                       // first, prior, next, last
      active, active && !(data->Bof() && data->Eof()),  // insert, delete
      active && !editing, editing, editing,     // edit, post, cancel
      active,                                   // refresh
  };
  for (int i = 0; i < NavigateBtnCount; ++i) buttons_[i]->SetEnabled(enabled[i]);
}

void TDBNavigator::BtnClick(TNavigateBtn index) {
  TDataSet* data = link_->DataSet();
  if (!data || !link_->Active()) return;
  switch (index) {
    case nbFirst: data->First(); break;
    case nbPrior: data->Prior(); break;
    case nbNext: data->Next(); break;
    case nbLast: data->Last(); break;
    case nbInsert: data->Insert(); break;
    case nbDelete:
      if (ConfirmDelete && MessageDlg("Delete record?", mtConfirmation, mbOK | mbCancel) != mrOk) return;
      data->Delete();
      break;
    case nbEdit: data->Edit(); break;
    case nbPost: data->Post(); break;
    case nbCancel: data->Cancel(); break;
    case nbRefresh: data->Refresh(); break;
  }
  if (OnClick) OnClick(this, index);
}

void TDBNavigator::LayoutButtons() {
  // The buttons share the width evenly; the first ones take what is left over.
  const int width = GetClientWidth(), height = GetClientHeight();
  const int each = width / NavigateBtnCount, extra = width % NavigateBtnCount;
  int x = 0;
  for (int i = 0; i < NavigateBtnCount; ++i) {
    int w = each + (i < extra ? 1 : 0);
    buttons_[i]->SetBounds(x, 0, w, height);
    x += w;
  }
}

void TDBNavigator::Dispatch(TMessage& m) {
  TCustomControl::Dispatch(m);
  if (m.Msg == WM_SIZE) LayoutButtons();
}
