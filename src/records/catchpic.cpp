#include "records/catchpic.h"

#include "platform/camerawindow.h"
#include "platform/dialogs.h"
#include "platform/privatetemp.h"
#include "records/cardpictures.h"
#include "records/dbpicsu.h"
#include "records/upicprint.h"
#include "records/utextdata.h"

TFormCatchPic* FormCatchPic = nullptr;

namespace {

// The sky blue of the record name's box.
constexpr TColor kSkyBlue = 0xF0CAA6;

template <class T>
T* Child(TFormCatchPic* form, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* control = new T(form);
  control->Name = name;
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

}  // namespace

TFormCatchPic::TFormCatchPic(TComponent* owner) : TForm(owner) {
  Name = "FormCatchPic";
  SetCaption("摄像");
  Position = poScreenCenter;
  SetWidth(735);
  SetHeight(525);
  GetFont()->Name = "宋体";
  GetFont()->Height = -13;
  GetFont()->Charset = GB2312_CHARSET;
  CreateControls();
  OnShow = [this](TObject* s) { FormShow(s); };
  OnClose = [this](TObject* s, TCloseAction& a) { FormClose(s, a); };
}

TFormCatchPic::~TFormCatchPic() {
  if (FormCatchPic == this) FormCatchPic = nullptr;
}

void TFormCatchPic::CreateControls() {
  Panel1 = Child<TPanel>(this, this, "Panel1", 8, 8, 404, 240);
  Panel1->BevelOuter = bvLowered;
  ScrollBox1 = Child<TScrollBox>(this, this, "ScrollBox1", 8, 256, 404, 230);
  Image4 = Child<TImage>(this, ScrollBox1, "Image4", 0, 0, 161, 201);
  Image3 = Child<TImage>(this, ScrollBox1, "Image3", 0, 0, 161, 201);
  Image3->SetVisible(false);
  ScrollBox2 = Child<TScrollBox>(this, this, "ScrollBox2", 420, 8, 299, 300);
  Image1 = Child<TImage>(this, ScrollBox2, "Image1", 0, 0, 281, 241);
  Image1->SetAutoSize(true);
  Image2 = Child<TShape>(this, ScrollBox2, "Image2", 80, 16, 161, 201);
  WireCropFrame(this, Image2);
  crop_ = TCropFrame(Image2, Image1, Image4, Image3);

  GroupBox1 = Child<TGroupBox>(this, this, "GroupBox1", 420, 316, 299, 170);
  GroupBox1->SetCaption("操作面版");
  auto button = [this]<class T>(T*& b, const char* name, const char* caption, int left, int top,
                                void (TFormCatchPic::*handler)(TObject*)) {
    b = Child<T>(this, GroupBox1, name, left, top, 136, 25);
    b->SetCaption(caption);
    b->OnClick = [this, handler](TObject* s) { (this->*handler)(s); };
  };
  button(Button1, "Button1", "连接摄像头", 8, 18, &TFormCatchPic::Button1Click);
  button(Button5, "Button5", "拍照", 152, 18, &TFormCatchPic::Button5Click);
  button(Button2, "Button2", "截图", 8, 48, &TFormCatchPic::Button2Click);
  button(BitBtn1, "BitBtn1", "入库", 152, 48, &TFormCatchPic::BitBtn1Click);
  AAAA = Child<TDBEdit>(this, GroupBox1, "AAAA", 8, 80, 280, 21);
  AAAA->SetColor(kSkyBlue);
  button(Button3, "Button3", "向前", 8, 106, &TFormCatchPic::Button3Click);
  button(BitBtn2, "BitBtn2", "向后", 152, 106, &TFormCatchPic::BitBtn2Click);
  button(Button4, "Button4", "打印", 8, 136, &TFormCatchPic::Button4Click);
  button(Button6, "Button6", "查看数据库", 152, 136, &TFormCatchPic::Button6Click);
  AAAA->SetDataSource(FormPicEdit ? FormPicEdit->DataSource1 : nullptr);
  AAAA->SetDataField("AAAA");
}

std::string TFormCatchPic::StillFramePath() { return PrivateTempFolder() + "TemPic1.bmp"; }

void TFormCatchPic::FormShow(TObject*) {
  if (FormPicEdit && AAAA->GetDataSource() != FormPicEdit->DataSource1) AAAA->SetDataSource(FormPicEdit->DataSource1);
  Connect();
  UpdateMoveButtons();
}

void TFormCatchPic::FormClose(TObject*, TCloseAction&) { Disconnect(); }

void TFormCatchPic::Button1Click(TObject*) { Connect(); }

void TFormCatchPic::Connect() {
  // One capture window for the life of this window: each connect reuses
  // it rather than stacking a new one over the old.
  if (!capture_) {
    capture_ = Child<TCaptureWindow>(this, Panel1, "CaptureWindow", 0, 0, 300, 240);
    capture_->GetFont()->Assign(GetFont());
  }
  const bool connected = capture_->DriverConnect(0);
  Button1->SetEnabled(!connected);
  if (!connected) {
    ShowMessage("视频设备连接失败");
    return;
  }
  capture_->SetPreviewRate(66);
  capture_->SetPreview(true);
}

void TFormCatchPic::Disconnect() {
  if (capture_) capture_->DriverDisconnect();
  Button1->SetEnabled(true);
}

void TFormCatchPic::Button5Click(TObject*) {
  Button1->SetEnabled(!capture_ || !capture_->Connected());
  // A failed photo leaves the last still in place but takes away the crop,
  // so that nothing from before it is stored by mistake.
  cropped_ = false;
  if (!capture_ || !capture_->Connected()) {
    taken_ = false;
    ShowMessage("视频设备未连接，无法拍照");
    return;
  }
  const std::string still = StillFramePath();
  taken_ = capture_->SaveDIB(still);
  if (!taken_) {
    ShowMessage("没有取到图像");
    return;
  }
  Image1->GetPicture()->LoadFromFile(still);
  crop_.Clip();
}

void TFormCatchPic::Shape1MouseDown(TObject*, TMouseButton button, TShiftState, int x, int y) {
  crop_.MouseDown(button, x, y);
}

void TFormCatchPic::Shape1MouseMove(TObject*, TShiftState, int x, int y) { crop_.MouseMove(x, y); }

void TFormCatchPic::Shape1MouseUp(TObject*, TMouseButton, TShiftState, int, int) { crop_.MouseUp(); }

void TFormCatchPic::Button2Click(TObject*) {
  crop_.Crop();
  cropped_ = taken_;
}

void TFormCatchPic::BitBtn1Click(TObject*) {
  // Only a crop of the still that the last photo delivered is stored.
  if (!cropped_) {
    ShowMessage("没有可存入的图片");
    return;
  }
  StoreCropInRecord(Image3);
}

void TFormCatchPic::Button3Click(TObject*) {
  FormPicEdit->Table1->Prior();
  UpdateMoveButtons();
}

void TFormCatchPic::BitBtn2Click(TObject*) {
  FormPicEdit->Table1->Next();
  UpdateMoveButtons();
}

void TFormCatchPic::UpdateMoveButtons() {
  EnableRecordMoves(Button3, BitBtn2);
}

void TFormCatchPic::Button4Click(TObject*) {
  // Showing the card batch window lays its card out for the current record.
  FormPicEdit->Show();
  FormPicEdit->Hide();
  TBitmap card;
  FormPicEdit->RenderCard(&card);
  card.SaveToFile(SingleCardPicturePath());
  if (FormPrintPic) FormPrintPic->Show();
}

void TFormCatchPic::Button6Click(TObject*) {
  if (FormTextData) FormTextData->Show();
}
