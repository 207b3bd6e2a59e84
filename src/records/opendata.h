// The text import window: the card-holder records as 13 columns of text
// (column c edits text field c, line n belongs to record n + 1), pasted or
// typed, kept in memo column files, filled from the table or from a
// worksheet read into the window's grid, and written into the table.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include <array>
#include <string>

#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/grids.h"
#include "platform/menus.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"
#include "records/memocolumns.h"

class TOpenDataForm : public TForm {
 public:
  explicit TOpenDataForm(TComponent* owner);
  ~TOpenDataForm() override;

  // Column c is Columns[c]: `edit` for column 0, Memo1 .. Memo12 after it.
  TMemo* edit;
  std::array<TMemo*, kMemoColumns> Columns{};
  // Column titles LAAAA .. LMMMM; a click fills that column from the grid.
  std::array<TLabel*, kMemoColumns> Titles{};
  TStringGrid* StringGrid;
  TProgressBar* ProgressBar1;
  TOpenDialog* od;
  TSaveDialog* savedialog;
  TScrollBox* ScrollBox1;
  TPanel* Panel2;

  TMainMenu* MainMenu1;
  TMenuItem *NFile, *bopen, *bsave, *BSaveAs, *Excel1, *N3, *N4;
  TToolBar* ToolBar1;
  TToolButton *TBFile, *TBExcel, *ToolButton5, *ToolButton1, *ToolButton3, *ToolButton2, *TBHelp;

  void FormCreate(TObject* sender);
  void FormPaint(TObject* sender);
  void bopenClick(TObject* sender);
  void bsaveClick(TObject* sender);
  void BSaveAsClick(TObject* sender);
  void ToolButton2Click(TObject* sender);
  void ToolButton5Click(TObject* sender);
  void ToolButton1Click(TObject* sender);
  void TBExcelClick(TObject* sender);
  void Excel1Click(TObject* sender);
  void StringGridClick(TObject* sender);
  void LabelClick(TObject* sender);
  void ToolButton3Click(TObject* sender);
  void N3Click(TObject* sender);
  void N4Click(TObject* sender);
  void TBHelpClick(TObject* sender);

  // The cells of the memo column file saved or read last.
  TMemoColumns ColumnCells;
  bool GridReady = false;                  // a workbook read has ended; none is running
  std::string CurrentMemoFile = "未命名";  // the memo column file in use
  int PickedCol = 0, PickedRow = 0;        // grid cell clicked last

 private:
  void BuildControls();
  void BuildCommands();
  void SetColumns(const TMemoColumns& columns);
};

extern TOpenDataForm* OpenDataForm;
