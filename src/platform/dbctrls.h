// Data-aware controls: a caption, an edit box and a rich text box that show
// one field of a data source's current record, and the navigator whose
// buttons move through the records and change them. Edits put the record
// in edit state when the user starts typing and hand their text to the
// field when the record is written (through the field's data link).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/buttons.h"
#include "platform/db.h"
#include "platform/richedit.h"
#include "platform/stdctrls.h"

// What a control shows for a field: the text of text and number fields,
// a marker for contents that are no text; "" without a field.
std::string FieldDisplayText(const TField* field);

// The data source and field of a control bound to one field through Link
// (built with the control when it takes one, else empty).
template <class Base, class Link>
class TFieldControl : public Base {
 public:
  explicit TFieldControl(TComponent* owner) : Base(owner) {
    if constexpr (std::is_constructible_v<Link, Base*>) link_ = std::make_unique<Link>(this);
    else link_ = std::make_unique<Link>();
    link_->Control = this;
  }
  TDataSource* GetDataSource() const { return link_->GetDataSource(); }
  void SetDataSource(TDataSource* source) { link_->SetDataSource(source); }
  std::string GetDataField() const { return link_->GetFieldName(); }
  void SetDataField(const std::string& name) { link_->SetFieldName(name); }
  TField* Field() const { return link_->Field(); }

 protected:
  std::unique_ptr<Link> link_;
};

// A caption showing a field; it cannot be edited.
class TDBText : public TFieldControl<TLabel, TFieldDataLink> {
 public:
  explicit TDBText(TComponent* owner);
};

// The link of an edit box bound to a field. The box shows the field's text;
// a change of the text (typed, pasted or set by code) first puts the record
// in edit state, and is undone when the record cannot be edited; the text
// becomes the field's value when the record is written or the box loses
// the focus. Escape gives the field's value back.
class TEditFieldLink : public TFieldDataLink {
 public:
  explicit TEditFieldLink(TCustomEdit* edit);
  // Called by the box on every change of its text.
  void TextChanged();
  // Called by the box for each message before it handles it.
  void Message(const TMessage& m);

 private:
  void ShowField();
  TCustomEdit* edit_;
  bool showing_ = false;   // the text is being set from the field
  bool entering_ = false;  // the record is being put in edit state
};

template <class Box>
class TFieldEditBox : public TFieldControl<Box, TEditFieldLink> {
 public:
  using TFieldControl<Box, TEditFieldLink>::TFieldControl;
  void Dispatch(TMessage& m) override {
    this->link_->Message(m);
    Box::Dispatch(m);
  }

 protected:
  void Change() override {
    this->link_->TextChanged();
    Box::Change();
  }
};

class TDBEdit : public TFieldEditBox<TEdit> {
 public:
  using TFieldEditBox<TEdit>::TFieldEditBox;
};

// A rich text box over a text or memo field; the field holds plain text.
class TDBRichEdit : public TFieldEditBox<TRichEdit> {
 public:
  using TFieldEditBox<TRichEdit>::TFieldEditBox;
};

// Navigator ------------------------------------------------------------------------------

enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
constexpr int NavigateBtnCount = nbRefresh + 1;

using TNavClick = std::function<void(TObject* Sender, TNavigateBtn Button)>;

class TDBNavigator;

class TNavButton : public TSpeedButton {
 public:
  TNavButton(TDBNavigator* navigator, TNavigateBtn index);
  const TNavigateBtn Index;
};

// A row of ten buttons over a data source. Their enabled states follow the
// data set: first and prior need a record before the current one (not Bof),
// next and last one after it (not Eof), delete a record, edit the browse
// state, post and cancel the edit or insert state; nothing is enabled while
// the data set is closed or the navigator is disabled.
class TDBNavigator : public TCustomControl {
 public:
  explicit TDBNavigator(TComponent* owner);
  ~TDBNavigator() override;
  TDataSource* GetDataSource() const;
  void SetDataSource(TDataSource* source);
  TNavButton* Buttons(TNavigateBtn index) const { return buttons_[index]; }
  // Runs a button's action on the data set (nothing while it is closed),
  // then OnClick. Delete asks first when ConfirmDelete is on.
  void BtnClick(TNavigateBtn index);
  bool ConfirmDelete = true;
  TNavClick OnClick;

  void SetEnabled(bool enabled) override;
  void Dispatch(TMessage& m) override;

 private:
  class TNavDataLink;
  void UpdateButtons();
  void LayoutButtons();
  std::unique_ptr<TNavDataLink> link_;
  TNavButton* buttons_[NavigateBtnCount] = {};
};
