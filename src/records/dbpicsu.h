// The card batch window: owner of the program's only card-holder table
// (Table1, DataSource1), which every data-aware control of the program
// reaches through it. The second form created at start-up.
#pragma once

#include <memory>

#include "platform/db.h"
#include "platform/dbtables.h"
#include "platform/forms.h"

class TPixDBView;

class TFormPicEdit : public TForm {
 public:
  explicit TFormPicEdit(TComponent* owner);
  ~TFormPicEdit() override;

  TTable* const Table1;
  TDataSource* const DataSource1;
  // Hidden views of the three picture fields; the designer shows the
  // current record's pictures through their I/O components.
  TPixDBView* PixDBView11;  // PIC
  TPixDBView* PixDBView22;  // BACKGROUND
  TPixDBView* PixDBView3;   // BARCODE

  void FormCreate(TObject* Sender);

 private:
  // Binds the main window's data-aware controls, which its resource names
  // with this window's table and data source.
  void BindMainWindow();
  std::unique_ptr<TTable> table_;
  std::unique_ptr<TDataSource> source_;
};

extern TFormPicEdit* FormPicEdit;
