// The seal designer: a round red seal with the organisation's name along
// the upper arc, the seal's name straight across the lower part, and on
// request a star in the middle and an inner ring. 确定 hands the picture to
// the card design's seal and the batch window's seal picture.
// Created once at start-up, owned by the application, shown and hidden.
#pragma once

#include <string>
#include <vector>

#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

// One character of the arc text: its number in the text (from 1), the top
// left of its cell and its turn in degrees (counter-clockwise).
struct TSealGlyph {
  int Index;
  int X, Y;
  int Turn;
};

// The arc characters of a text of `count` characters on a seal of radius
// `radius`, the name moved by `offset`: the first half from the left end
// of the horizontal diameter upwards, the rest from near the top down
// towards the right end. None for an empty text.
std::vector<TSealGlyph> SealArcGlyphs(int count, int radius, int offset);

// The five points of the star about (cx, cy), in the order the outline
// joins them (every second point).
std::vector<TPoint> SealStarOutline(int cx, int cy, int radius);

class TFormPrint : public TForm {
 public:
  explicit TFormPrint(TComponent* owner);
  ~TFormPrint() override;

  TScrollBox* ScrollBox1;
  TImage* Image1;  // the seal picture
  TEdit* Edit1;    // organisation name (upper arc); its font is the arc's
  TEdit* Edit2;    // seal name (straight line); its font is the line's
  TButton *Button2, *Button3;  // "字体..." of Edit1 and Edit2
  TPanel *Panel1, *Panel2, *Panel3;  // rim, disc and inner ring colours
  TUpDown *UpDown1, *UpDown2, *UpDown3;  // seal size, rim width, name offset
  TUpDown *UpDown4, *UpDown5;            // inner ring size and width
  TEdit *Edit3, *Edit4, *Edit5, *Edit6, *Edit7;  // show the up-downs' positions
  TButton* Button5;  // "生成印章"
  TButton* Button7;  // "画内圆"
  TButton* Button4;  // "画五角星"
  TButton* Button1;  // "设置图片..."
  TButton* Button6;  // "保存..."
  TButton* BTPrint;  // "确定"
  TColorDialog* ColorDialog1;
  TFontDialog* FontDialog1;
  TOpenDialog* OpenDialog1;
  TSaveDialog* SaveDialog1;

  void FormShow(TObject* Sender);
  void Button5Click(TObject* Sender);
  void UpDown2Click(TObject* Sender, TUDBtnType Button);
  void UpDown4Click(TObject* Sender, TUDBtnType Button);
  void Button7Click(TObject* Sender);
  void Button4Click(TObject* Sender);
  void Panel1Click(TObject* Sender);
  void Panel2Click(TObject* Sender);
  void Panel3Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void Button3Click(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button6Click(TObject* Sender);
  void BTPrintClick(TObject* Sender);

 private:
  // The picture as a bitmap to draw on (a loaded picture of another kind
  // becomes one).
  TBitmap* SealBitmap();
  void DrawSeal();
  void DrawInnerRing();
  // A colour dialog for `panel`; true when the user chose one.
  bool ChooseColour(TPanel* panel);
  void ChooseFont(TEdit* edit);
};

extern TFormPrint* FormPrint;
