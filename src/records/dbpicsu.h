// The card batch window: owner of the program's only card-holder table
// (Table1, DataSource1), which every data-aware control of the program
// reaches through it. The second form created at start-up.
#pragma once

#include <array>
#include <memory>

#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "imaging/view/opendlg.h"
#include "platform/commdlg.h"
#include "platform/db.h"
#include "platform/dbctrls.h"
#include "platform/dbgrids.h"
#include "platform/dbtables.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"

class TPix;
class TPixDBView;
class TPixIO;
class TPixProc;

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

  // The record side: tool bar, navigator, grid, find and the live card ------
  TToolBar* ToolBar2;
  TToolButton* TBFirst;    // "首记录"
  TToolButton* TBPrior;    // "前一条"
  TToolButton* TBNext;     // "后一条"
  TToolButton* TBEnd;      // "尾记录"
  TToolButton* TBAdd;      // "添加"
  TToolButton* TBReduce;   // "删除"
  TToolButton* TBSave;     // "保存"
  TToolButton* TBEdit;     // "编辑"
  TToolButton* TBCancel;   // "取消"
  TToolButton* TBRefresh;  // "刷新"
  TToolButton* TBClear;    // "清空"
  TToolButton* TBSetPic;   // "导入图片"
  TToolButton* TBBatch;    // "导出图片"
  TDBNavigator* DBNavigator;  // hidden; the tool buttons drive it
  TDBGrid* DBGrid1;
  TScrollBox* ScrollBox2;
  TPanel* Panel4;  // the live card
  TEdit* EditFind;
  TButton* ButtonOk;  // "查找"

  void FormActivate(TObject* Sender);
  void FormPaint(TObject* Sender);
  void TBFirstClick(TObject* Sender);
  void TBPriorClick(TObject* Sender);
  void TBNextClick(TObject* Sender);
  void TBEndClick(TObject* Sender);
  void TBAddClick(TObject* Sender);
  void TBReduceClick(TObject* Sender);
  void TBSaveClick(TObject* Sender);
  void TBEditClick(TObject* Sender);
  void TBCancelClick(TObject* Sender);
  void TBRefreshClick(TObject* Sender);
  void TBClearClick(TObject* Sender);
  void ButtonOkClick(TObject* Sender);
  // Picture files into picture one or two of the records.
  void TBSetPicClick(TObject* Sender);
  // The database editing window's picture export or save, as chosen.
  void TBBatchClick(TObject* Sender);
  TOpenPixDialog* OpenPixDialog1;
  // Refuses changes to the stock database until it has been collected
  // elsewhere; runs before every post of Table1.
  void Table1BeforePost(TDataSet* DataSet);
  // Keeps a deletion off the stock database the same way.
  void Table1BeforeDelete(TDataSet* DataSet);
  // Counts the table's openings for the batches that run on it.
  void Table1AfterOpen(TDataSet* DataSet);

  // The live card's pictures and the card output ------------------------------
  TImage* Image2;        // the layout picture
  TImage* PixDBView1;    // picture one (the photo)
  TImage* PixDBView2;    // picture two
  TImage* Image1;        // the logo
  TImage* BarcodePrint;  // the barcode
  TImage* PicZhang;      // the seal
  // Hidden render target and writer of the card pictures, the size of Panel4.
  TPix* Drawor;
  // What the picture edit buttons attach to picture one or two.
  TPixProc* PixProc1;
  TPixIO* PixIO1;
  TPanel* Panel3;  // the command buttons below the grid
  TSpeedButton* BEditPic;      // "修改图二"
  TSpeedButton* SpeedButton3;  // "摄像头拍照..."
  TSpeedButton* SpeedButton4;  // "使用扫描仪..."
  TSpeedButton* BBatchSave;    // "批量生成卡图"
  TSpeedButton* SBPrintPic;    // "单张打印卡图"
  TSpeedButton* SBBatchPrint;  // "批量打印"
  TSpeedButton* SBBactchIn;    // "批量入库"
  TSaveDialog* SavePictureDialog1;
  TProgressBar* ProgressBar1;
  TSpeedButton* BEffect;    // "特效..."
  TSpeedButton* BColorSet;  // "色彩调节"

  void FormShow(TObject* Sender);
  void DBGrid1CellClick(TColumn* Column);
  void BEditPicClick(TObject* Sender);
  void SpeedButton3Click(TObject* Sender);
  void SpeedButton4Click(TObject* Sender);
  void BBatchSaveClick(TObject* Sender);
  void SBPrintPicClick(TObject* Sender);
  void SBBatchPrintClick(TObject* Sender);
  void SBBactchInClick(TObject* Sender);
  void BEffectClick(TObject* Sender);
  void BColorSetClick(TObject* Sender);
  // Paints the live card of the current record into `bitmap`, which takes
  // Panel4's size.
  void RenderCard(TBitmap* bitmap);
  // The live card follows the design surface: only what differs is set, so
  // a paint with nothing changed moves nothing (and asks for no repaint).
  void FollowDesign();

 private:
  void CreateRecordControls();
  void CreatePreviewTexts();
  void CreatePreviewPictures();
  void CreateCommandButtons();
  void CreateEffectButtons();
  // The processing preview dialog on the chosen picture of the record.
  void RunPreviews(uint16_t pages);
  void CreatePictureDialog();
  // The hidden field views load their pictures into the live card.
  void AttachFieldViews();
  // The live card laid out as the design surface is now: texts, pictures,
  // layout picture and the card's size. Showing the window does it, and
  // so does every card output, which the main window's commands can run
  // with this window never shown or shown before the design changed.
  void LayOutLiveCard();
  void NavigateAndRepaint(TNavigateBtn button);
  // Binds the main window's data-aware controls, which its resource names
  // with this window's table and data source.
  void BindMainWindow();
  std::unique_ptr<TTable> table_;
  std::unique_ptr<TDataSource> source_;
};

extern TFormPicEdit* FormPicEdit;

// The live card's texts: 0..12 show the fields AAAA..MMMM of the current
// record, 13..25 the static titles.
constexpr int kPreviewTextCount = 26;
extern std::array<TLabel*, kPreviewTextCount> PreviewTexts;
