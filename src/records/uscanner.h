// The scanner window: picks a scanner with its pixel type and resolutions,
// scans one picture, lets the user place a dotted red frame over the part
// to keep, crops to it and stores the crop as a BMP picture in the current
// record's PIC or BACKGROUND field. Two buttons step through the records.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include <string>

#include "platform/comctrls.h"
#include "platform/dbctrls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "records/cropframe.h"

class TPixView;
class TPixIO;

// The names of the pixel types 0, 1 and 2; other codes are shown as their
// number.
std::string ScannerPixelTypeName(int code);

class TFormScanner : public TForm {
 public:
  explicit TFormScanner(TComponent* owner);
  ~TFormScanner() override;

  TGroupBox* GroupBox1;  // 选择扫描仪
  TComboBox* ComboBox1;  // the scanners
  TCheckBox* CheckBox1;  // 显示扫描对话框
  TCheckBox* CheckBox2;  // 显示扫描进度
  TCheckBox* CheckBox3;  // 实时图像显示
  TEdit* Edit1;          // DPI-Y
  TEdit* Edit2;          // DPI-X
  TComboBox* ComboBox2;  // 颜色: the pixel type
  TButton* Button2;      // 协定参数
  TButton* Button1;      // 启用扫描仪
  TProgressBar* ProgressBar1;
  TButton* Button6;  // 裁剪图像
  TDBEdit* AAAA;
  TButton* Button4;  // 向前
  TButton* Button5;  // 向后
  TButton* Button3;  // 图像入库
  TButton* Button7;  // 查看数据库
  TScrollBox* ScrollBox1;
  TImage* Image1;  // the scan, 1:1 from its top left corner
  TShape* Image2;  // the crop frame
  TPixView* PixView1;
  TPixIO* PixIO1;
  TScrollBox* ScrollBox2;
  TImage* Image4;  // the crop as shown
  TImage* Image3;  // the crop as stored, 24 bits a pixel

  void FormActivate(TObject* Sender);
  void ComboBox1Change(TObject* Sender);
  void Button2Click(TObject* Sender);
  void Button1Click(TObject* Sender);
  void PixIO1Progress(TObject* Sender, int per);
  void Shape1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Shape1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void Shape1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Button6Click(TObject* Sender);
  void Button3Click(TObject* Sender);
  void Button4Click(TObject* Sender);
  void Button5Click(TObject* Sender);
  void Button7Click(TObject* Sender);

  // The crop frame's smallest width and height.
  static constexpr int kMinFrame = TCropFrame::kMinFrame;

 private:
  void CreateControls();
  void ShowParameters();
  void ApplyParameters();
  void UpdateMoveButtons();

  TCropFrame crop_{nullptr, nullptr, nullptr, nullptr};  // set once the controls exist
  // A picture came from the last scan, and a crop was made from it: only
  // then does 图像入库 store anything.
  bool scanned_ = false;
  bool cropped_ = false;
};

extern TFormScanner* FormScanner;
