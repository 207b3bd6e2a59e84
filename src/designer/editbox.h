// The editor of a text item's caption.
// Created once at start-up, owned by the application, shown and hidden.
// It stays bound to the text it was opened for: a selection made on the
// card while it is open does not change which text its OK writes.
#pragma once

#include <string>

#include "platform/dbctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

class TFormEditBox : public TForm {
 public:
  explicit TFormEditBox(TComponent* owner);
  ~TFormEditBox() override;

  TEdit* Edit1;       // the caption being edited
  TDBRichEdit* AAAA;  // the bound field of the current record (data-field texts)
  TLabel* Label1;     // red hint line
  TButton* Button1;   // "字体"
  TButton* Button2;   // "确定"

  // Shows the editor for text slot `index` (a title or a data-field text)
  // with `caption` in `font`; a data-field text also shows `field` of
  // `source`.
  void OpenFor(int index, bool isTitle, const std::string& caption, TFont* font, const std::string& field,
               TDataSource* source);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);

  // The text the editor writes back to (-1: none).
  int BoundIndex = -1;
  bool BoundIsTitle = false;
};

extern TFormEditBox* FormEditBox;
