// The layout settings in millimetres and pixels: sizes and places of the
// card's pictures, the base picture's size, the columns per page, the card
// spacing and the card border, typed instead of dragged.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/stdctrls.h"

class TFormWH : public TForm {
 public:
  explicit TFormWH(TComponent* owner);
  ~TFormWH() override;

  // One group per picture: width and height in millimetres, natural size,
  // transparency, left and top in pixels of the design surface.
  TGroupBox *GroupBox2, *GroupBox3, *GroupBox5, *GroupBox1, *GroupBox7, *GroupBox6;
  TEdit *Edit5, *Edit6, *Edit11, *Edit12;  // picture one
  TCheckBox *CheckBox2, *Pic1Transparent;
  TEdit *Edit3, *Edit4, *Edit1, *Edit10;  // picture two
  TCheckBox *CheckBox1, *Pic2Transparent;
  TEdit *EditBarcodeW, *EditBarcodeH, *EditBarcodeL, *EditBarcodeT;
  TCheckBox *CheckBarCode, *BarcodeTransparent;
  TEdit *EditInsW, *EditInsH, *EditInsL, *EditInsT;  // logo
  TCheckBox *CheckBox3, *Image2Transparent;
  TEdit *EditZhangW, *EditZhangH, *EditZhangL, *EditZhangT;  // seal
  TCheckBox *CheckZhang, *ZhangTransparent;
  // The paper: base picture size, columns per page, card spacing, border.
  TEdit *Edit8, *Edit9, *Edit7, *Edit2;
  TCheckBox* CheckPageE;
  TButton* Button1;  // "确   定"

  // The base picture's size when the window was filled or last applied.
  double BaseWidthShown = 0, BaseHeightShown = 0;

  void FormShow(TObject* Sender);
  void Button1Click(TObject* Sender);

 private:
  // Pixel sizes as shown, so that an untouched size keeps its pixels.
  struct TSizeShown {
    TEdit* Edit;
    int Pixels;
    std::string Text;
  };
  void ShowSize(TEdit* edit, int pixels);
  // The pixels of a size box: unchanged text keeps the pixels shown.
  int SizePixels(TEdit* edit, double typed) const;
  // The batch window's live card pictures take their design pictures'
  // stretching and transparency.
  void FollowInBatchWindow();
  // Checks every box before anything is applied; false (with the message
  // shown and the box focused) when one holds no acceptable value.
  bool CheckInput();
  double ppmm_ = 1;
  std::vector<TSizeShown> shown_;
};

extern TFormWH* FormWH;

// Pixels per millimetre of a screen `pixels` wide and `millimetres` across:
// their integer quotient, as the layout has always counted; logical DPI /
// 25.4 when the screen reports no size or a quotient of 0.
double PixelsPerMm(int pixels, int millimetres, int logicalDpi);
// The same for the screen.
double ScreenPixelsPerMm();
// Pixels shown as millimetres, two decimals.
std::string PixelsAsMm(int pixels, double ppmm);
// Millimetres typed, in pixels, rounded to the nearest.
int MmAsPixels(double mm, double ppmm);

// Gives the designer a blank base picture of its print twin's size.
void NewBlankBasePicture();
