// The database editing window: the card-holder table as a grid of its 13
// text fields with the current record's three pictures below, and the
// commands that fill and empty the picture fields and turn a field's
// numbers into amounts in capitals. Its hidden Image1 loads and encodes the
// pictures that go into picture fields.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "imaging/view/opendlg.h"
#include "platform/commdlg.h"
#include "platform/dbgrids.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

class TPix;
class TPixDBView;

class TFormTextData : public TForm {
 public:
  explicit TFormTextData(TComponent* owner);
  ~TFormTextData() override;

  TDBGrid* DBGrid1;             // the text fields AAAA .. MMMM
  TPixDBView* ImagePIC;         // 图片一 (PIC)
  TPixDBView* ImageBACKGROUND;  // 图片二 (BACKGROUND)
  TPixDBView* PixDBView1;       // 图片三 (BARCODE)
  TPix* Image1;                 // hidden loader of pictures going into fields
  TProgressBar* ProgressBar1;
  TOpenPixDialog* OpenPictureDialog1;
  TSavePixDialog* SavePixDialog1;
  TPanel* Panel1;  // the command buttons
  TPanel* Panel2;  // the pictures
  TSpeedButton* SpeedButton2;   // "批量导入文本数据"
  TSpeedButton* SpeedButton6;   // "导入EXCEL"
  TSpeedButton* SBCatchPic;     // "摄像头拍照..."
  TSpeedButton* SBScanner;      // "使用扫描仪..."
  TSpeedButton* SpeedButton1;   // "设置图片数据"
  TSpeedButton* TBSavePic;      // "图片另存为..."
  TSpeedButton* TBBOutPutPic;   // "图片批量导出"
  TSpeedButton* SpeedButton7;   // "转大写金额"

  // Grid columns 68 wide, titled with the designer's field captions.
  void FormShow(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
  void SpeedButton6Click(TObject* Sender);
  void SBCatchPicClick(TObject* Sender);
  void SBScannerClick(TObject* Sender);
  // Picture import: one file into the current record, or a folder by name
  // or in order.
  void SpeedButton1Click(TObject* Sender);
  // Saves picture one or two of the current record as a file.
  void TBSavePicClick(TObject* Sender);
  // Writes picture one or two of every record that has one into a chosen
  // folder, each file named after the record's AAAA text.
  void TBBOutPutPicClick(TObject* Sender);
  // Stages a field's values for the amounts in capitals and writes them
  // back into a chosen field.
  void SpeedButton7Click(TObject* Sender);

 private:
  void CreateCommandButtons();
  void CreatePictureViews();
  void BindTable();
};

extern TFormTextData* FormTextData;
