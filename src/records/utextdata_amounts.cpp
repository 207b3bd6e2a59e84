// The database editing window's amounts in capitals: a field's values go
// into the staging dialog, where the user converts and checks them, and
// from there into a chosen field.
#include "platform/dialogs.h"
#include "records/dbpicsu.h"
#include "records/memolines.h"
#include "records/uinputcol.h"
#include "records/uselectfield.h"
#include "records/utextdata.h"

void TFormTextData::SpeedButton7Click(TObject*) {
  if (FormSelectField == nullptr || FormInputCol == nullptr) return;
  if (FormSelectField->ShowModal() != mrOk) return;
  const std::string source = FormSelectField->ChosenField();
  TTable* table = FormPicEdit->Table1;
  if (!table->GetActive()) table->Open();
  // One line per record, a blank for an empty value, so that line i stays
  // with record i.
  std::vector<std::string> lines;
  TField* field = table->FieldByName(source);
  for (table->First(); !table->Eof(); table->Next()) lines.push_back(field->IsNull() ? " " : field->GetAsString());
  table->First();
  SetMemoLines(FormInputCol->Memo1, lines);
  if (FormInputCol->ShowModal() != mrOk) return;
  if (FormSelectField->ShowModal() != mrOk) return;
  WriteStagedColumn(FormSelectField->ChosenField(), ProgressBar1);
}
