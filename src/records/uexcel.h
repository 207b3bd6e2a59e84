// The Excel workbook import: reads one worksheet into a grid and stages a
// picked grid column or row for the card-holder table.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include <string>
#include <vector>

#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/forms.h"
#include "platform/grids.h"
#include "platform/stdctrls.h"

// How a workbook read ended.
enum TWorkbookRead { wrCancelled, wrRead, wrFailed };

// Reads one worksheet, chosen with the window's open dialog and a sheet
// question, into the window's grid: the cell at row r, column c of the
// sheet's used range (both from 1) into grid cell (c, r). The window's
// caption becomes `caption` followed by the path. Shared by the Excel
// import and the text import windows, which report the outcome in their own
// words. `gridReady` is false while it runs and true after; `path` receives
// the chosen workbook.
TWorkbookRead ReadWorkbookIntoGrid(TForm* window, const std::string& caption, TStringGrid* grid,
                                   TOpenDialog* dialog, bool& gridReady, std::string& path);

// True when one of the first 6 x 6 data cells of the grid holds text.
bool GridHasData(TStringGrid* grid);
// Grid column `index` from row 1 (or grid row `index` from column 1) up to
// its last non-empty cell; empty cells before it give empty lines.
std::vector<std::string> GridPick(TStringGrid* grid, bool column, int index);

class TFormExcel : public TForm {
 public:
  explicit TFormExcel(TComponent* owner);
  ~TFormExcel() override;

  TSpeedButton* Button3;
  TStringGrid* StringGrid;
  TEdit* CCEdit1;
  TLabel* Label1;
  TLabel* Label2;
  TProgressBar* ProgressBar1;
  TOpenDialog* od;

  void FormCreate(TObject* sender);
  void Button3Click(TObject* sender);
  void StringGridClick(TObject* sender);
  void Label1Click(TObject* sender);

  int PickedCol = 0, PickedRow = 0;  // grid cell clicked last
  bool GridReady = false;            // a read has ended; none is running

 private:
  // Stages grid column PickedCol (or row PickedRow) in the staging dialog.
  void StagePick(bool column);
};

extern TFormExcel* FormExcel;
