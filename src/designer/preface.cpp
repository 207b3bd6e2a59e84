#include "designer/preface.h"

#include "platform/input.h"
#include "platform/shellapi.h"

TStarForm* StarForm = nullptr;
const char* const kMakerWebPage = "https://www.example.com/";

TStarForm::TStarForm(TComponent* owner) : TForm(owner) {
  Name = "StarForm";
  SetCaption("Cardwright");
  SetBorderStyle(bsNone);
  Position = poScreenCenter;
  SetClientWidth(533);
  SetClientHeight(414);

  Image1 = new TImage(this);
  Image1->Name = "Image1";
  Image1->SetParent(this);
  Image1->SetAlign(alClient);

  Label1 = new TLabel(this);
  Label1->Name = "Label1";
  Label1->SetParent(this);
  Label1->SetAutoSize(false);
  Label1->SetBounds(0, 414 - 19, 533, 19);
  Label1->SetAlign(alBottom);
  Label1->Alignment = taCenter;
  Label1->SetColor(clNavy);
  Label1->GetFont()->Color = clAqua;
  Label1->GetFont()->Name = "宋体";
  Label1->GetFont()->Height = -19;
  Label1->GetFont()->Charset = GB2312_CHARSET;
  Label1->SetCaption("正在初始化....  Cardwright  www.example.com");
  Label1->SetCursor(crHandPoint);
  Label1->OnClick = [this](TObject* s) { Label1Click(s); };
  DrawArtwork();
}

TStarForm::~TStarForm() {
  if (StarForm == this) StarForm = nullptr;
}

void TStarForm::DrawArtwork() {
  // The start-up artwork: a card on a navy ground with the product's name.
  TCanvas* canvas = Image1->GetCanvas();
  canvas->Brush->Color = clNavy;
  canvas->FillRect(Rect(0, 0, 533, 414 - 19));
  canvas->Brush->Color = clWhite;
  canvas->FillRect(Rect(96, 80, 436, 294));
  canvas->Brush->Color = 0xC08000;
  canvas->FillRect(Rect(96, 80, 436, 124));
  canvas->Font->Name = "宋体";
  canvas->Font->Charset = GB2312_CHARSET;
  canvas->Font->Height = -28;
  canvas->Font->Color = clWhite;
  canvas->TextOut(112, 88, "Cardwright");
  canvas->Font->Height = -18;
  canvas->Font->Color = clNavy;
  canvas->Brush->Color = clWhite;
  canvas->TextOut(112, 160, "证卡、胸卡、名片设计");
  canvas->TextOut(112, 196, "批量打印");
}

void TStarForm::Dispatch(TMessage& message) {
  if (message.Msg == WM_NCHITTEST) {
    WMNCHitTest(message);
    return;
  }
  TForm::Dispatch(message);
}

void TStarForm::WMNCHitTest(TMessage& message) {
  // Dragged by any point while the left button is held.
  message.Result = GetAsyncKeyState(VK_LBUTTON) < 0 ? HTCAPTION : HTCLIENT;
}

void TStarForm::Label1Click(TObject*) {
  Close();
  ShellExecute(GetHandle(), "", kMakerWebPage, "", "", SW_SHOWNORMAL);
}
