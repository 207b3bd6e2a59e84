// The save-parameters dialog's controls: where they sit, their items and
// ranges. Captions come from SetLanguage.
#include <initializer_list>
#include <string>

#include "imaging/io/pixio.h"
#include "imaging/proc/pixproc.h"
#include "imaging/view/ioprevs.h"
#include "imaging/view/pixview.h"
#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"

namespace {

template <class T>
T* Make(TfIOPreviews* form, TWinControl* parent, const char* name, int x, int y, int w, int h) {
  auto* c = new T(form);
  c->Name = name;
  c->SetParent(parent);
  c->SetBounds(x, y, w, h);
  return c;
}

TLabel* MakeLabel(TfIOPreviews* form, TWinControl* parent, const char* name, int x, int y, const char* text = "") {
  auto* l = Make<TLabel>(form, parent, name, x, y, 80, 15);
  l->SetAutoSize(true);
  l->SetCaption(text);
  return l;
}

TComboBox* MakeList(TfIOPreviews* form, TWinControl* parent, const char* name, int x, int y, int w,
                    std::initializer_list<const char*> items) {
  auto* c = Make<TComboBox>(form, parent, name, x, y, w, 22);
  c->SetStyle(csDropDownList);
  for (const char* item : items) c->GetItems()->Add(item);
  c->DropDownCount = 10;
  return c;
}

// An edit with up-down arrows over lo..hi (what is typed is limited
// where it is read).
TEdit* MakeNumber(TfIOPreviews* form, TWinControl* parent, const char* name, int x, int y, int w, int lo, int hi) {
  auto* e = Make<TEdit>(form, parent, name, x, y, w, 21);
  auto* u = Make<TUpDown>(form, parent, (std::string("UpDown_") + name).c_str(), x + w, y, 16, 21);
  u->SetMin(lo);
  u->SetMax(hi);
  u->Thousands = false;
  u->SetAssociate(e);
  return e;
}

TTrackBar* MakeTrack(TfIOPreviews* form, TWinControl* parent, const char* name, int x, int y, int w, int hi) {
  auto* t = Make<TTrackBar>(form, parent, name, x, y, w, 28);
  t->SetMax(hi);
  t->ThumbLength = 10;
  t->TickStyle = tsNone;
  return t;
}

TPanel* MakeColourPanel(TfIOPreviews* form, TWinControl* parent, const char* name, int x, int y) {
  auto* p = Make<TPanel>(form, parent, name, x, y, 40, 21);
  p->BevelOuter = bvLowered;
  p->SetCaption("");
  return p;
}

// The two size rows every page ends with: the caption and its value.
void SizeRows(TfIOPreviews* form, TTabSheet* page, int y, const char* rawCaption, const char* rawValue,
              const char* codedCaption, const char* codedValue, TLabel*& rc, TLabel*& rv, TLabel*& cc, TLabel*& cv) {
  rc = MakeLabel(form, page, rawCaption, 8, y);
  rv = MakeLabel(form, page, rawValue, 150, y, "---");
  cc = MakeLabel(form, page, codedCaption, 8, y + 20);
  cv = MakeLabel(form, page, codedValue, 150, y + 20, "---");
}

}  // namespace

void TfIOPreviews::BuildForm() {
  Name = "fIOPreviews";
  SetBorderStyle(bsDialog);
  Position = poScreenCenter;
  SetClientWidth(640);
  SetClientHeight(500);
  Label1 = MakeLabel(this, this, "Label1", 8, 6);
  Label2 = MakeLabel(this, this, "Label2", 328, 6);
  Pix1 = Make<TPixView>(this, this, "Pix1", 8, 24, 304, 200);
  Pix2 = Make<TPixView>(this, this, "Pix2", 328, 24, 304, 200);
  for (TPixView* v : {Pix1, Pix2}) v->SetCenter(true);
  Pix1->SetMouseInteract(miZoom | miScroll);
  ProgressBar1 = Make<TProgressBar>(this, this, "ProgressBar1", 8, 230, 624, 10);

  PageControl1 = Make<TPageControl>(this, this, "PageControl1", 8, 248, 512, 244);
  const char* captions[] = {"", "JPEG", "JPEG", "TIFF", "TIFF", "GIF", "GIF", "BMP", "PCX", "PNG", "TGA", "Jpeg2000"};
  const char* names[] = {"",           "TabSheetJPEG1", "TabSheetJPEG2", "TabSheetTIFF1",
                         "TabSheetTIFF2", "TabSheetGIF1",  "TabSheetGIF2",  "TabSheetBMP1",
                         "TabSheetPCX1",  "TabSheetPNG1",  "TabSheetTGA1",  "TabSheetJ20001"};
  for (int i = 1; i <= kIOPreviewPageCount; ++i) {
    auto* sheet = new TTabSheet(this);
    sheet->Name = names[i];
    sheet->SetPageControl(PageControl1);
    sheet->SetCaption(captions[i]);
    sheet->Tag = i;
    TabSheets[size_t(i)] = sheet;
  }

  Button1 = Make<TButton>(this, this, "Button1", 532, 272, 100, 26);
  Button1->ModalResult = mrOk;
  Button1->Default = true;
  Button2 = Make<TButton>(this, this, "Button2", 532, 304, 100, 26);
  Button2->ModalResult = mrCancel;
  Button2->Cancel = true;
  Button3 = Make<TButton>(this, this, "Button3", 532, 352, 100, 26);
  SpeedButton1 = Make<TSpeedButton>(this, this, "SpeedButton1", 532, 384, 100, 26);
  SpeedButton1->GroupIndex = 1;
  SpeedButton1->SetAllowAllUp(true);
  SpeedButton1->ShowHint = true;
  SpeedButton1->SetCaption("🔒");
  Button4 = Make<TButton>(this, this, "Button4", 532, 432, 100, 26);
  ColorDialog1 = new TColorDialog(this);

  PreviewIO = new TPixIO(this);
  PreviewIO->Name = "PreviewIO";
  PreviewIO->StreamHeaders = false;
  PreviewProc = new TPixProc(this);
  PreviewProc->Name = "PreviewProc";
  PreviewProc->AutoUndo = false;

  BuildJpegPages();
  BuildTiffPages();
  BuildGifPages();
  BuildSmallPages();
  PageControl1->SetActivePage(TabSheets[iopJPEG1]);
}

void TfIOPreviews::BuildJpegPages() {
  TTabSheet* p = TabSheets[iopJPEG1];
  Label23 = MakeLabel(this, p, "Label23", 8, 12);
  TrackBar13 = MakeTrack(this, p, "TrackBar13", 110, 6, 220, 100);
  Edit22 = Make<TEdit>(this, p, "Edit22", 336, 8, 50, 21);
  Label26 = MakeLabel(this, p, "Label26", 8, 46);
  ComboBox1 = MakeList(this, p, "ComboBox1", 150, 42, 110, {"ISLOW", "IFAST", "FLOAT"});
  Label27 = MakeLabel(this, p, "Label27", 8, 76);
  Edit23 = MakeNumber(this, p, "Edit23", 150, 72, 50, 0, 100);
  CheckBox2 = Make<TCheckBox>(this, p, "CheckBox2", 280, 44, 200, 20);
  CheckBox3 = Make<TCheckBox>(this, p, "CheckBox3", 280, 74, 200, 20);
  Label57 = MakeLabel(this, p, "Label57", 8, 106);
  ComboBox13 = MakeList(this, p, "ComboBox13", 150, 102, 110, {"RGB", "GrayScale", "YCbCr", "CMYK", "YCbCrK"});
  SizeRows(this, p, 150, "Label3", "Label4", "Label24", "Label25", Label3, Label4, Label24, Label25);

  TTabSheet* s = TabSheets[iopJPEG2];
  Label72 = MakeLabel(this, s, "Label72", 8, 12);
  TrackBar2 = MakeTrack(this, s, "TrackBar2", 110, 6, 220, 100);
  Edit16 = Make<TEdit>(this, s, "Edit16", 336, 8, 50, 21);
  SizeRows(this, s, 46, "Label73", "Label74", "Label75", "Label76", Label73, Label74, Label75, Label76);
}

void TfIOPreviews::BuildTiffPages() {
  TTabSheet* p = TabSheets[iopTIFF1];
  Label5 = MakeLabel(this, p, "Label5", 8, 10);
  ComboBox2 = MakeList(this, p, "ComboBox2", 100, 6, 130,
                       {"UNCOMPRESSED", "CCITT1D", "G3FAX1D", "G3FAX2D", "G4FAX", "LZW", "OLDJPEG", "JPEG", "PACKBITS"});
  Label6 = MakeLabel(this, p, "Label6", 8, 38);
  Edit1 = MakeNumber(this, p, "Edit1", 100, 34, 50, 0, kMaxImageIndex);
  Label7 = MakeLabel(this, p, "Label7", 8, 66);
  ComboBox3 = MakeList(this, p, "ComboBox3", 100, 62, 130,
                       {"WHITEISZERO/Gray", "BLACKISZERO/Gray", "RGB", "RGBPALETTE", "TRANSPMASK", "CMYK", "YCBCR",
                        "CIELAB"});
  Label19 = MakeLabel(this, p, "Label19", 8, 94);
  ComboBox4 = MakeList(this, p, "ComboBox4", 100, 90, 130, {"B/W", "16", "256", "65536", "16M"});
  GroupBox1 = Make<TGroupBox>(this, p, "GroupBox1", 244, 2, 256, 168);
  Label12 = MakeLabel(this, GroupBox1, "Label12", 8, 22);
  Edit4 = Make<TEdit>(this, GroupBox1, "Edit4", 110, 18, 136, 21);
  Label13 = MakeLabel(this, GroupBox1, "Label13", 8, 48);
  Edit5 = Make<TEdit>(this, GroupBox1, "Edit5", 110, 44, 136, 21);
  Label14 = MakeLabel(this, GroupBox1, "Label14", 8, 74);
  Edit6 = Make<TEdit>(this, GroupBox1, "Edit6", 110, 70, 136, 21);
  Label15 = MakeLabel(this, GroupBox1, "Label15", 8, 100);
  Edit7 = MakeNumber(this, GroupBox1, "Edit7", 110, 96, 40, 0, kMaxTiffPage);
  Label16 = MakeLabel(this, GroupBox1, "Label16", 172, 100);
  Edit8 = MakeNumber(this, GroupBox1, "Edit8", 190, 96, 40, 0, kMaxTiffPage);
  Label8 = MakeLabel(this, GroupBox1, "Label8", 8, 126);
  Edit2 = Make<TEdit>(this, GroupBox1, "Edit2", 196, 122, 50, 21);
  Label10 = MakeLabel(this, GroupBox1, "Label10", 8, 148);
  Edit3 = Make<TEdit>(this, GroupBox1, "Edit3", 196, 144, 50, 21);
  SizeRows(this, p, 172, "Label9", "Label11", "Label17", "Label18", Label9, Label11, Label17, Label18);

  TTabSheet* s = TabSheets[iopTIFF2];
  Label81 = MakeLabel(this, s, "Label81", 8, 10);
  ComboBox16 = MakeList(this, s, "ComboBox16", 100, 6, 130,
                        {"Uncompressed", "CCITT1D", "G3Fax1D", "G3Fax2D", "G4Fax", "LZW", "PackBits"});
  Label82 = MakeLabel(this, s, "Label82", 8, 38);
  ComboBox17 = MakeList(this, s, "ComboBox17", 100, 34, 130, {"2", "16", "256", "16777216"});
  SizeRows(this, s, 66, "Label77", "Label78", "Label79", "Label80", Label77, Label78, Label79, Label80);
}

void TfIOPreviews::BuildGifPages() {
  TTabSheet* p = TabSheets[iopGIF1];
  Label21 = MakeLabel(this, p, "Label21", 8, 10);
  ComboBox5 = MakeList(this, p, "ComboBox5", 110, 6, 90, {"B/W", "4", "8", "16", "32", "64", "128", "256"});
  Label20 = MakeLabel(this, p, "Label20", 8, 38);
  Edit9 = MakeNumber(this, p, "Edit9", 110, 34, 50, 0, kMaxImageIndex);
  CheckBox4 = Make<TCheckBox>(this, p, "CheckBox4", 8, 64, 150, 20);
  Label34 = MakeLabel(this, p, "Label34", 8, 92);
  Panel3 = MakeColourPanel(this, p, "Panel3", 160, 88);
  CheckBox5 = Make<TCheckBox>(this, p, "CheckBox5", 8, 118, 150, 20);
  Label35 = MakeLabel(this, p, "Label35", 8, 146);
  Panel4 = MakeColourPanel(this, p, "Panel4", 160, 142);
  Label31 = MakeLabel(this, p, "Label31", 250, 10);
  Edit10 = Make<TEdit>(this, p, "Edit10", 400, 6, 60, 21);
  Label32 = MakeLabel(this, p, "Label32", 250, 38);
  Edit11 = Make<TEdit>(this, p, "Edit11", 400, 34, 60, 21);
  Label33 = MakeLabel(this, p, "Label33", 250, 66);
  Edit12 = Make<TEdit>(this, p, "Edit12", 400, 62, 60, 21);
  MakeLabel(this, p, "Label36", 464, 66, "1/100 s");
  SizeRows(this, p, 172, "Label22", "Label28", "Label29", "Label30", Label22, Label28, Label29, Label30);

  TTabSheet* s = TabSheets[iopGIF2];
  Label87 = MakeLabel(this, s, "Label87", 8, 10);
  ComboBox18 = MakeList(this, s, "ComboBox18", 110, 6, 90, {"B/W", "4", "8", "16", "32", "64", "128", "256"});
  SizeRows(this, s, 40, "Label83", "Label84", "Label85", "Label86", Label83, Label84, Label85, Label86);
}

void TfIOPreviews::BuildSmallPages() {
  TTabSheet* bmp = TabSheets[iopBMP1];
  Label37 = MakeLabel(this, bmp, "Label37", 8, 10);
  ComboBox6 = MakeList(this, bmp, "ComboBox6", 110, 6, 130, {"UNCOMPRESSED", "RLE"});
  Label38 = MakeLabel(this, bmp, "Label38", 8, 38);
  ComboBox7 = MakeList(this, bmp, "ComboBox7", 110, 34, 130, {"B/W", "16", "256", "65536", "16M", "16M (32bit)"});
  SizeRows(this, bmp, 70, "Label39", "Label40", "Label41", "Label42", Label39, Label40, Label41, Label42);

  TTabSheet* pcx = TabSheets[iopPCX1];
  Label43 = MakeLabel(this, pcx, "Label43", 8, 10);
  ComboBox8 = MakeList(this, pcx, "ComboBox8", 110, 6, 130, {"UNCOMPRESSED", "RLE"});
  Label44 = MakeLabel(this, pcx, "Label44", 8, 38);
  ComboBox9 = MakeList(this, pcx, "ComboBox9", 110, 34, 130, {"B/W", "16", "256", "16M"});
  SizeRows(this, pcx, 70, "Label45", "Label46", "Label47", "Label48", Label45, Label46, Label47, Label48);

  TTabSheet* png = TabSheets[iopPNG1];
  Label49 = MakeLabel(this, png, "Label49", 8, 10);
  ComboBox10 = MakeList(this, png, "ComboBox10", 110, 6, 100, {"B/W", "256", "16M"});
  Label54 = MakeLabel(this, png, "Label54", 8, 38);
  Panel1 = MakeColourPanel(this, png, "Panel1", 110, 34);
  GroupBox5 = Make<TGroupBox>(this, png, "GroupBox5", 240, 2, 256, 110);
  Label55 = MakeLabel(this, GroupBox5, "Label55", 8, 24);
  ComboBox11 = MakeList(this, GroupBox5, "ComboBox11", 110, 20, 100, {"None", "Sub", "Paeth"});
  CheckBox6 = Make<TCheckBox>(this, GroupBox5, "CheckBox6", 8, 50, 200, 20);
  Label56 = MakeLabel(this, GroupBox5, "Label56", 8, 80);
  ComboBox12 = MakeList(this, GroupBox5, "ComboBox12", 110, 76, 100,
                        {"None", "1", "2", "3", "4", "5", "6", "7", "8", "Max"});
  SizeRows(this, png, 130, "Label50", "Label51", "Label52", "Label53", Label50, Label51, Label52, Label53);

  TTabSheet* tga = TabSheets[iopTGA1];
  Label62 = MakeLabel(this, tga, "Label62", 8, 10);
  ComboBox14 = MakeList(this, tga, "ComboBox14", 110, 6, 100, {"B/W", "256", "16M"});
  Label63 = MakeLabel(this, tga, "Label63", 8, 38);
  Panel5 = MakeColourPanel(this, tga, "Panel5", 110, 34);
  CheckBox1 = Make<TCheckBox>(this, tga, "CheckBox1", 8, 64, 200, 20);
  Label64 = MakeLabel(this, tga, "Label64", 240, 10);
  Edit13 = Make<TEdit>(this, tga, "Edit13", 340, 6, 150, 21);
  Label65 = MakeLabel(this, tga, "Label65", 240, 38);
  Edit14 = Make<TEdit>(this, tga, "Edit14", 340, 34, 150, 21);
  SizeRows(this, tga, 130, "Label58", "Label59", "Label60", "Label61", Label58, Label59, Label60, Label61);

  TTabSheet* j2k = TabSheets[iopJ20001];
  Label66 = MakeLabel(this, j2k, "Label66", 8, 12);
  TrackBar1 = MakeTrack(this, j2k, "TrackBar1", 110, 6, 220, 1000);
  Edit15 = Make<TEdit>(this, j2k, "Edit15", 336, 8, 50, 21);
  Label71 = MakeLabel(this, j2k, "Label71", 8, 46);
  ComboBox15 = MakeList(this, j2k, "ComboBox15", 110, 42, 110, {"GrayScale", "RGB", "YCbCr"});
  SizeRows(this, j2k, 130, "Label67", "Label68", "Label69", "Label70", Label67, Label68, Label69, Label70);
}
