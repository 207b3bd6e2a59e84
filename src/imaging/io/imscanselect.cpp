#include "imaging/io/imscanselect.h"

#include <memory>

#include "imaging/io/imscan.h"
#include "platform/stdctrls.h"

TIETWSelectSourceDialog::TIETWSelectSourceDialog(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsDialog);
  SetCaption("Select Source");
  Position = poScreenCenter;
  SetClientWidth(320);
  SetClientHeight(220);
  SourceList = new TListBox(this);
  SourceList->Name = "SourceList";
  SourceList->SetParent(this);
  SourceList->SetBounds(8, 8, 304, 168);
  OkButton = new TButton(this);
  OkButton->Name = "OkButton";
  OkButton->SetParent(this);
  OkButton->SetBounds(152, 184, 75, 25);
  OkButton->SetCaption("Select");
  OkButton->ModalResult = mrOk;
  OkButton->Default = true;
  CancelButton = new TButton(this);
  CancelButton->Name = "CancelButton";
  CancelButton->SetParent(this);
  CancelButton->SetBounds(237, 184, 75, 25);
  CancelButton->SetCaption("Cancel");
  CancelButton->ModalResult = mrCancel;
  CancelButton->Cancel = true;
}

bool TIETWSelectSourceDialog::Execute(const std::vector<std::string>& names, const std::string& selected,
                                      std::string& name) {
  SourceList->Clear();
  for (const std::string& n : names) SourceList->GetItems()->Add(n);
  SourceList->SetItemIndex(SourceList->GetItems()->IndexOf(selected) >= 0 ? SourceList->GetItems()->IndexOf(selected)
                                                                          : (names.empty() ? -1 : 0));
  if (ShowModal() != mrOk) return false;
  int index = SourceList->GetItemIndex();
  if (index < 0 || index >= static_cast<int>(names.size())) return false;
  name = names[static_cast<size_t>(index)];
  return true;
}

bool IETW_SelectImageSource(std::string& name, TIETWainShared* shared) {
  std::vector<TIETWIdentity> sources;
  IETW_GetSourceList(sources, shared);
  if (sources.empty()) return false;
  std::vector<std::string> names;
  for (const TIETWIdentity& id : sources) names.push_back(id.ProductName);
  auto dialog = std::make_unique<TIETWSelectSourceDialog>(Application);
  return dialog->Execute(names, name, name);
}
