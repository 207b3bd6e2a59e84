// The single card picture window: shows the current card as a picture,
// lets the user touch it up, and prints it. Created once at start-up and
// hidden between uses; every show reloads the card picture.
#pragma once

#include "platform/forms.h"

class TMainMenu;
class TMenuItem;
class TOpenPixDialog;
class TPixView;
class TPrinterSetupDialog;
class TSavePixDialog;
class TToolBar;
class TToolButton;

class TFormPrintPic : public TForm {
 public:
  explicit TFormPrintPic(TComponent* owner);
  ~TFormPrintPic() override;

  TPixView* PixView1;
  TOpenPixDialog* OpenPixDialog1;
  TSavePixDialog* SavePixDialog1;
  TPrinterSetupDialog* PrinterSetupDialog1;

  TMainMenu* MainMenu1;
  TMenuItem *File1, *Load1, *Save1, *PrintSetup1, *Print1, *SelectTWainsource1, *Acquire1, *Exit1;
  TMenuItem *Edit1, *Undo1, *Cut1, *Copy1, *Paste1;
  TMenuItem *Dialogs1, *Coloradjust1, *Effects1;
  // The menu bar: one button per top-level menu, dropping it.
  TToolBar* MenuBar1;
  TToolButton *TBFile, *TBEdit, *TBDialogs;

  void FormShow(TObject* Sender);
  void Load1Click(TObject* Sender);
  void Save1Click(TObject* Sender);
  void PrintSetup1Click(TObject* Sender);
  void Print1Click(TObject* Sender);
  void SelectTWainsource1Click(TObject* Sender);
  void Acquire1Click(TObject* Sender);
  void Exit1Click(TObject* Sender);
  void Undo1Click(TObject* Sender);
  void Cut1Click(TObject* Sender);
  void Copy1Click(TObject* Sender);
  void Paste1Click(TObject* Sender);
  void Coloradjust1Click(TObject* Sender);
  void Effects1Click(TObject* Sender);

 private:
  void BuildMenu();
  void BuildView();
  void BuildDialogs();
};

extern TFormPrintPic* FormPrintPic;
