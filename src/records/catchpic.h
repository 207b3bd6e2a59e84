// The camera window: a live preview of capture driver 0, a still frame on
// request, the crop frame over the still, the crop and its store as a BMP
// picture into the current record's PIC or BACKGROUND field. It also steps
// through the records, opens the database editing window and prints the
// current card through the single card picture window.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include "platform/buttons.h"
#include "platform/dbctrls.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"
#include "records/cropframe.h"

class TCaptureWindow;

class TFormCatchPic : public TForm {
 public:
  explicit TFormCatchPic(TComponent* owner);
  ~TFormCatchPic() override;

  TPanel* Panel1;  // holds the live preview
  TScrollBox* ScrollBox1;
  TImage* Image4;  // the crop as shown
  TImage* Image3;  // the crop as stored, 24 bits a pixel
  TScrollBox* ScrollBox2;
  TImage* Image1;  // the still frame
  TShape* Image2;  // the crop frame
  TGroupBox* GroupBox1;  // 操作面版
  TButton* Button1;      // 连接摄像头
  TButton* Button5;      // 拍照
  TButton* Button2;      // 截图
  TDBEdit* AAAA;
  TButton* Button3;  // 向前
  TBitBtn* BitBtn2;  // 向后
  TBitBtn* BitBtn1;  // 入库
  TButton* Button4;  // 打印
  TButton* Button6;  // 查看数据库

  // The capture window: made by the first connect and kept, one per
  // window, for every later connect. Null before.
  TCaptureWindow* CaptureWindow() const { return capture_; }

  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void Button1Click(TObject* Sender);
  void Button5Click(TObject* Sender);
  void Shape1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Shape1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void Shape1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Button2Click(TObject* Sender);
  void BitBtn1Click(TObject* Sender);
  void Button3Click(TObject* Sender);
  void BitBtn2Click(TObject* Sender);
  void Button4Click(TObject* Sender);
  void Button6Click(TObject* Sender);

  // The still frame's work file.
  static std::string StillFramePath();

 private:
  void CreateControls();
  void Connect();
  void Disconnect();
  void UpdateMoveButtons();

  TCaptureWindow* capture_ = nullptr;
  TCropFrame crop_{nullptr, nullptr, nullptr, nullptr};  // set once the controls exist
  // The last 拍照 delivered a still, and a crop was made from it: only
  // then does 入库 store anything.
  bool taken_ = false;
  bool cropped_ = false;
};

extern TFormCatchPic* FormCatchPic;
