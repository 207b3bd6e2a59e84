#include "records/uprint.h"

#include <cmath>

#include "designer/designpicture.h"
#include "designer/main.h"
#include "platform/dialogs.h"
#include "records/dbpicsu.h"

TFormPrint* FormPrint = nullptr;

namespace {

// The text's characters one by one (a Chinese character counts once).
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char lead = static_cast<unsigned char>(text[i]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    out.push_back(text.substr(i, length));
    i += length;
  }
  return out;
}

template <class T>
T* Make(TFormPrint* form, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* control = new T(form);
  control->Name = name;
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

TLabel* Caption(TFormPrint* form, TWinControl* parent, const char* text, int left, int top) {
  auto* label = Make<TLabel>(form, parent, "", left, top, 90, 16);
  label->SetCaption(text);
  return label;
}

// A read-only edit showing an up-down's position, the up-down at its right.
TUpDown* Counter(TFormPrint* form, TWinControl* parent, const char* editName, const char* name, TEdit*& edit,
                 int left, int top, int min, int max, int position) {
  edit = Make<TEdit>(form, parent, editName, left, top, 44, 21);
  edit->ReadOnly = true;
  auto* upDown = Make<TUpDown>(form, parent, name, left + 44, top, 16, 21);
  upDown->SetMin(min);
  upDown->SetMax(max);
  upDown->SetPosition(position);
  upDown->SetAssociate(edit);
  return upDown;
}

TPanel* Swatch(TFormPrint* form, TWinControl* parent, const char* name, int left, int top, TColor colour) {
  auto* panel = Make<TPanel>(form, parent, name, left, top, 44, 21);
  panel->BevelOuter = bvLowered;
  panel->SetColor(colour);
  return panel;
}

TButton* Command(TFormPrint* form, const char* name, const char* caption, int left, int top, int width = 80) {
  auto* button = Make<TButton>(form, form, name, left, top, width, 25);
  button->SetCaption(caption);
  return button;
}

}  // namespace

std::vector<TSealGlyph> SealArcGlyphs(int count, int radius, int offset) {
  std::vector<TSealGlyph> glyphs;
  if (count <= 0) return glyphs;
  const int n = count, p = offset;
  const int step = (2 * radius + 10) / n;
  const int R = radius - step / 2;
  const int a = 90 / n;
  const int o = n % 2;
  const int c = R + step / 2;
  const double pi = std::acos(-1.0);
  for (int m = n / 2 + o; m >= 1; --m) {
    const double theta = (m - 1) * pi / n;
    const int sx = int(std::sin(theta) * R), cy = int(-std::cos(theta) * R);
    glyphs.push_back({m, c + cy + p, c + p - sx, 90 - 2 * a * m});
  }
  for (int k = n / 2; k >= 1; --k) {
    const double theta = k * pi / n;
    const int sx = int(std::sin(theta) * R), cy = int(std::cos(theta) * R);
    glyphs.push_back({n - k + 1, c + cy - p, c + p - sx, 2 * a * k - 90});
  }
  return glyphs;
}

std::vector<TPoint> SealStarOutline(int cx, int cy, int radius) {
  TPoint points[5];
  for (int i = 0; i < 5; ++i) {
    // The first point's angle is 45 radians, as the seals were always drawn.
    const double theta = 1.25663704 * i + 45;
    points[i] = Point(cx + int(radius * std::cos(theta)), cy + int(radius * std::sin(theta)));
  }
  return {points[0], points[2], points[4], points[1], points[3]};
}

TFormPrint::TFormPrint(TComponent* owner) : TForm(owner) {
  Name = "FormPrint";
  SetCaption("印章设计");
  Position = poMainFormCenter;
  SetClientWidth(737);
  SetClientHeight(356);
  GetFont()->Name = "宋体";
  GetFont()->Height = -13;
  GetFont()->Charset = GB2312_CHARSET;

  ScrollBox1 = Make<TScrollBox>(this, this, "ScrollBox1", 8, 8, 330, 340);
  ScrollBox1->SetColor(clWhite);
  Image1 = Make<TImage>(this, ScrollBox1, "Image1", 0, 0, 160, 160);

  Caption(this, this, "单位名称", 350, 12);
  Edit1 = Make<TEdit>(this, this, "Edit1", 420, 6, 220, 36);
  Edit1->SetText("汉堪市第七中学");
  Edit1->GetFont()->Name = "楷体_GB2312";
  Edit1->GetFont()->Height = -29;
  Edit1->GetFont()->Color = clRed;
  Edit1->GetFont()->Charset = GB2312_CHARSET;
  Button2 = Command(this, "Button2", "字体...", 648, 10);
  Caption(this, this, "印章名称", 350, 54);
  Edit2 = Make<TEdit>(this, this, "Edit2", 420, 50, 220, 24);
  Edit2->SetText("证件专用章");
  Edit2->GetFont()->Name = "黑体";
  Edit2->GetFont()->Height = -16;
  Edit2->GetFont()->Color = clRed;
  Edit2->GetFont()->Charset = GB2312_CHARSET;
  Button3 = Command(this, "Button3", "字体...", 648, 50);

  auto* mould = Make<TGroupBox>(this, this, "GroupBox1", 350, 84, 200, 188);
  mould->SetCaption("章模");
  Caption(this, mould, "外圆颜色", 10, 24);
  Panel1 = Swatch(this, mould, "Panel1", 120, 20, clRed);
  Caption(this, mould, "印章颜色", 10, 56);
  Panel2 = Swatch(this, mould, "Panel2", 120, 52, clWhite);
  Caption(this, mould, "圆圈大小设置", 10, 88);
  UpDown1 = Counter(this, mould, "Edit3", "UpDown1", Edit3, 120, 84, 100, 400, 150);
  Caption(this, mould, "线条粗细", 10, 120);
  UpDown2 = Counter(this, mould, "Edit4", "UpDown2", Edit4, 120, 116, 1, 20, 5);
  Caption(this, mould, "调节名称位置", 10, 152);
  UpDown3 = Counter(this, mould, "Edit5", "UpDown3", Edit5, 120, 148, 1, 20, 1);

  auto* inner = Make<TGroupBox>(this, this, "GroupBox2", 560, 84, 170, 124);
  inner->SetCaption("内圆设置 ");
  Caption(this, inner, "颜色", 10, 24);
  Panel3 = Swatch(this, inner, "Panel3", 96, 20, clRed);
  Caption(this, inner, "圆圈大小设置", 10, 56);
  UpDown4 = Counter(this, inner, "Edit6", "UpDown4", Edit6, 96, 52, 20, 200, 50);
  Caption(this, inner, "线条粗细", 10, 88);
  UpDown5 = Counter(this, inner, "Edit7", "UpDown5", Edit7, 96, 84, 1, 20, 5);

  Button5 = Command(this, "Button5", "生成印章", 560, 216);
  Button7 = Command(this, "Button7", "画内圆", 648, 216);
  Button4 = Command(this, "Button4", "画五角星", 560, 248);
  Button1 = Command(this, "Button1", "设置图片...", 350, 284, 96);
  Button6 = Command(this, "Button6", "保存...", 454, 284, 96);
  BTPrint = Command(this, "BTPrint", "确定", 648, 318);

  ColorDialog1 = new TColorDialog(this);
  FontDialog1 = new TFontDialog(this);
  OpenDialog1 = new TOpenDialog(this);
  OpenDialog1->Filter =
      "All (*.jpg;*.jpeg;*.bmp;*.ico;*.wmf;*.emf)|*.jpg;*.jpeg;*.bmp;*.ico;*.wmf;*.emf|Bitmaps (*.bmp)|*.bmp";
  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->Filter = "Bitmaps (*.bmp)|*.bmp";
  SaveDialog1->DefaultExt = "bmp";

  OnShow = [this](TObject* s) { FormShow(s); };
  Button5->OnClick = [this](TObject* s) { Button5Click(s); };
  for (TUpDown* u : {UpDown1, UpDown2, UpDown3})
    u->OnClick = [this](TObject* s, TUDBtnType b) { UpDown2Click(s, b); };
  for (TUpDown* u : {UpDown4, UpDown5})
    u->OnClick = [this](TObject* s, TUDBtnType b) { UpDown4Click(s, b); };
  Button7->OnClick = [this](TObject* s) { Button7Click(s); };
  Button4->OnClick = [this](TObject* s) { Button4Click(s); };
  Panel1->OnClick = [this](TObject* s) { Panel1Click(s); };
  Panel2->OnClick = [this](TObject* s) { Panel2Click(s); };
  Panel3->OnClick = [this](TObject* s) { Panel3Click(s); };
  Button2->OnClick = [this](TObject* s) { Button2Click(s); };
  Button3->OnClick = [this](TObject* s) { Button3Click(s); };
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  Button6->OnClick = [this](TObject* s) { Button6Click(s); };
  BTPrint->OnClick = [this](TObject* s) { BTPrintClick(s); };
}

TFormPrint::~TFormPrint() {
  if (FormPrint == this) FormPrint = nullptr;
}

TBitmap* TFormPrint::SealBitmap() {
  TPicture* picture = Image1->GetPicture();
  if (picture->GetGraphic() && !dynamic_cast<TBitmap*>(picture->GetGraphic())) {
    TBitmap converted;
    PictureToBitmap(picture, &converted);
    picture->Assign(&converted);
  }
  TBitmap* bitmap = picture->GetBitmap();
  if (bitmap->GetEmpty()) bitmap->SetSize(Image1->GetWidth(), Image1->GetHeight());
  return bitmap;
}

void TFormPrint::DrawSeal() {
  const int D = UpDown1->GetPosition(), r = D / 2, p = UpDown3->GetPosition();
  Image1->SetBounds(Image1->GetLeft(), Image1->GetTop(), D + 10, D + 10);
  TBitmap* bitmap = SealBitmap();
  bitmap->SetSize(2 * D + 10, 2 * D + 10);
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->CopyMode = cmWhiteness;
  canvas->CopyRect(Rect(0, 0, 2 * D + 10, 2 * D + 10), canvas, Rect(0, 0, 2 * D + 10, 2 * D + 10));
  canvas->CopyMode = cmSrcCopy;
  canvas->Pen->Width = UpDown2->GetPosition();
  canvas->Pen->Color = Panel1->GetColor();
  canvas->Pen->Style = psSolid;
  canvas->Brush->Color = Panel2->GetColor();
  canvas->Brush->Style = bsSolid;
  canvas->Ellipse(5, 5, D, D);

  // The organisation's name along the upper arc, each character turned to
  // follow the circle, its height the font's point size in pixels.
  canvas->BkMode = TRANSPARENT;
  TFont* arcFont = Edit1->GetFont();
  const std::vector<std::string> name = Characters(Edit1->GetText());
  for (const TSealGlyph& g : SealArcGlyphs(int(name.size()), r, p)) {
    const std::string& character = name[size_t(g.Index - 1)];
    if (character.empty()) continue;
    canvas->Font->Name = arcFont->Name;
    canvas->Font->Height = -arcFont->GetSize();
    canvas->Font->Style = 0;
    canvas->Font->Charset = GB2312_CHARSET;
    canvas->Font->Color = arcFont->Color;
    canvas->Font->Orientation = g.Turn * 10;
    canvas->TextOut(g.X, g.Y, character);
  }

  // The seal's name straight across the lower part.
  canvas->Font->Assign(Edit2->GetFont());
  canvas->Font->Orientation = 0;
  const std::vector<std::string> title = Characters(Edit2->GetText());
  const int s = ((3 * (r + 10)) / 2) / (int(title.size()) + 2);
  for (size_t i = 0; i < title.size(); ++i)
    canvas->TextOut(s * int(i + 1) + (r + 10) / 4, (3 * r) / 2, title[i]);
  canvas->BkMode = OPAQUE;
  bitmap->Changed();
  Image1->Invalidate();
}

void TFormPrint::DrawInnerRing() {
  const int D = UpDown1->GetPosition(), d = UpDown4->GetPosition();
  const int e = (D - d) / 2;
  TBitmap* bitmap = SealBitmap();
  TCanvas* canvas = bitmap->GetCanvas();
  canvas->Pen->Width = UpDown5->GetPosition();
  canvas->Pen->Color = Panel3->GetColor();
  canvas->Pen->Style = psSolid;
  canvas->Brush->Style = bsClear;
  canvas->Ellipse(e + 5, e + 5, D - e + 5, D - e + 5);
  canvas->Brush->Style = bsSolid;
  bitmap->Changed();
  Image1->Invalidate();
}

void TFormPrint::FormShow(TObject*) { DrawSeal(); }

void TFormPrint::Button5Click(TObject*) { DrawSeal(); }

void TFormPrint::UpDown2Click(TObject*, TUDBtnType) { DrawSeal(); }

void TFormPrint::UpDown4Click(TObject*, TUDBtnType) {
  DrawSeal();
  DrawInnerRing();
}

void TFormPrint::Button7Click(TObject*) { DrawInnerRing(); }

// The star is filled as the polygon it is (its inner pentagon too), so no
// fill can run out through a gap in its outline into the seal.
void TFormPrint::Button4Click(TObject*) {
  const int D = UpDown1->GetPosition(), r = D / 2;
  TBitmap* bitmap = SealBitmap();
  TCanvas* canvas = bitmap->GetCanvas();
  const std::vector<TPoint> star = SealStarOutline(r + 5, r + 5, D / 6);
  const TColor brush = canvas->Brush->Color;
  canvas->Brush->Color = clRed;
  canvas->Brush->Style = bsSolid;
  canvas->FillPolygon(star, true);
  canvas->Pen->Color = clRed;
  canvas->Pen->Width = 1;
  canvas->Pen->Style = psSolid;
  canvas->Polyline({star[0], star[1], star[2], star[3], star[4], star[0], star[1]});
  canvas->Brush->Color = brush;
  bitmap->Changed();
  Image1->Invalidate();
}

bool TFormPrint::ChooseColour(TPanel* panel) {
  ColorDialog1->Color = panel->GetColor();
  if (!ColorDialog1->Execute()) return false;
  panel->SetColor(ColorDialog1->Color);
  return true;
}

void TFormPrint::Panel1Click(TObject*) {
  if (ChooseColour(Panel1)) SealBitmap()->GetCanvas()->Pen->Color = Panel1->GetColor();
}

void TFormPrint::Panel2Click(TObject*) {
  if (ChooseColour(Panel2)) SealBitmap()->GetCanvas()->Brush->Color = Panel2->GetColor();
}

void TFormPrint::Panel3Click(TObject*) {
  if (ChooseColour(Panel3)) SealBitmap()->GetCanvas()->Pen->Color = Panel3->GetColor();
}

void TFormPrint::ChooseFont(TEdit* edit) {
  FontDialog1->Font.Assign(edit->GetFont());
  if (FontDialog1->Execute()) edit->GetFont()->Assign(&FontDialog1->Font);
}

void TFormPrint::Button2Click(TObject*) { ChooseFont(Edit1); }

void TFormPrint::Button3Click(TObject*) { ChooseFont(Edit2); }

void TFormPrint::Button1Click(TObject*) {
  if (!OpenDialog1->Execute()) return;
  TPicture loaded;
  try {
    if (!LoadDesignPicture(&loaded, OpenDialog1->FileName)) return;
  } catch (const std::exception&) {
    Application->MessageBox("无法装入图像文件", "装入错误", MB_OK | MB_ICONWARNING);
    return;
  }
  Image1->GetPicture()->Assign(&loaded);
  Image1->Invalidate();
}

void TFormPrint::Button6Click(TObject*) {
  if (!SaveDialog1->Execute()) return;
  TBitmap bitmap;
  PictureToBitmap(Image1->GetPicture(), &bitmap);
  try {
    bitmap.SaveToFile(SaveDialog1->FileName);
  } catch (const std::exception&) {
    Application->MessageBox("无法保存图像文件", "保存错误", MB_OK | MB_ICONWARNING);
  }
}

// The picture cut to the control's size becomes the design's seal, its
// print copy and the batch window's seal picture.
void TFormPrint::BTPrintClick(TObject*) {
  const int width = Image1->GetWidth(), height = Image1->GetHeight();
  TBitmap whole;
  PictureToBitmap(Image1->GetPicture(), &whole);
  TBitmap cut;
  cut.SetSize(width, height);
  TCanvas* canvas = cut.GetCanvas();
  canvas->CopyMode = cmWhiteness;
  canvas->CopyRect(Rect(0, 0, width, height), canvas, Rect(0, 0, width, height));
  canvas->CopyMode = cmSrcCopy;
  if (!whole.GetEmpty()) canvas->Draw(0, 0, &whole);
  if (MainForm) {
    TImage* seal = MainForm->ImageZhang;
    seal->GetPicture()->Assign(&cut);
    seal->SetBounds(seal->GetLeft(), seal->GetTop(), width, height);
    MainForm->QRImageZhang->SetBounds(MainForm->QRImageZhang->GetLeft(), MainForm->QRImageZhang->GetTop(), width,
                                      height);
    MainForm->SealToPrint();
    if (FormPicEdit && FormPicEdit->PicZhang) FormPicEdit->PicZhang->GetPicture()->Assign(seal->GetPicture());
  }
  Hide();
}
