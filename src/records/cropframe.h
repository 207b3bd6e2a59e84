// The dotted red crop frame that the scanner and camera windows place over
// their picture: the cursor zones and drags that move and size it (edge
// zones 5 pixels wide), a smallest size and the picture as its limit, the
// crop under it and the store of the crop into the current record.
#pragma once

#include "platform/extctrls.h"

class TCropFrame {
 public:
  // The frame's smallest width and height: wide enough that a zone that
  // moves the frame stays between the 5-pixel edge zones.
  static constexpr int kMinFrame = 16;

  // `frame` lies over `picture` (same parent); the crop goes into `shown`
  // and, 24 bits a pixel, into `stored`.
  TCropFrame(TShape* frame, TImage* picture, TImage* shown, TImage* stored)
      : frame_(frame), picture_(picture), shown_(shown), stored_(stored) {}

  void MouseDown(TMouseButton button, int x, int y);
  void MouseMove(int x, int y);
  void MouseUp();
  // Keeps the frame at least kMinFrame wide and high and on the picture
  // shown (or on the picture control while it shows none).
  void Clip();
  // Copies what lies under the frame into `shown` and `stored`.
  void Crop();

 private:
  TShape* frame_;
  TImage* picture_;
  TImage* shown_;
  TImage* stored_;
  int startX_ = 0, startY_ = 0;
  int startLeft_ = 0, startTop_ = 0, startWidth_ = 0, startHeight_ = 0;
  int dragMode_ = 0;
};

// Gives the frame its dotted red pen and no fill, and sends its mouse
// events to the form's Shape1MouseDown, Shape1MouseMove and Shape1MouseUp.
template <class Form>
void WireCropFrame(Form* form, TShape* frame) {
  frame->GetPen()->Color = clRed;
  frame->GetPen()->Style = psDot;
  frame->GetBrush()->Style = bsClear;
  frame->StyleChanged();
  frame->OnMouseDown = [form](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    form->Shape1MouseDown(s, b, sh, x, y);
  };
  frame->OnMouseMove = [form](TObject* s, TShiftState sh, int x, int y) { form->Shape1MouseMove(s, sh, x, y); };
  frame->OnMouseUp = [form](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    form->Shape1MouseUp(s, b, sh, x, y);
  };
}

// Asks for the picture field (Yes "PIC", No "BACKGROUND") and stores the
// picture of `crop` as a BMP file in it; the record is left in edit state
// for the next move to post.
void StoreCropInRecord(TImage* crop);

// The capture windows' buttons to the previous and next record: enabled
// where the card batch window's table has a record that way.
void EnableRecordMoves(TControl* prior, TControl* next);
