// Glyph buttons: the speed button (a flat button drawn on its parent that
// can stay down, alone or in an exclusive group) and the push button with
// a glyph.
#pragma once

#include "platform/stdctrls.h"

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A button drawn on its parent: it shows pressed while the mouse holds it
// and clicks on a release inside it.
class TGraphicButton : public TGraphicControl {
 public:
  explicit TGraphicButton(TComponent* owner);
  void Dispatch(TMessage& m) override;

 protected:
  bool Pressed() const { return pressed_; }

 private:
  bool pressed_ = false;
};

// Buttons of one GroupIndex (above 0) on one parent act as a group: one
// goes down, the others come up; AllowAllUp lets the down one come up
// again when clicked. GroupIndex 0 buttons never stay down.
class TSpeedButton : public TGraphicButton {
 public:
  explicit TSpeedButton(TComponent* owner);
  ~TSpeedButton() override;
  bool GetDown() const { return down_; }
  // Setting Down from code fires nothing.
  void SetDown(bool v);
  int GroupIndex = 0;
  bool GetAllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v);
  bool Flat = false;
  TButtonLayout Layout = blGlyphLeft;
  TBitmap* GetGlyph() { return &glyph_; }
  void SetGlyph(TBitmap* glyph) { glyph_.Assign(glyph); }
  int NumGlyphs = 1;
  // The user's click: the group rule, then OnClick.
  void Click() override;

 protected:
  void Paint() override;

 private:
  template <class F>
  void ForGroup(F f);
  bool down_ = false;
  bool allowAllUp_ = false;
  TBitmap glyph_;
};

enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry, bkIgnore, bkAll };

class TBitBtn : public TButton {
 public:
  explicit TBitBtn(TComponent* owner);
  TBitmap* GetGlyph() { return &glyph_; }
  void SetGlyph(TBitmap* glyph) { glyph_.Assign(glyph); }
  TBitBtnKind GetKind() const { return kind_; }
  // A kind gives the button its modal result (and its caption when empty).
  void SetKind(TBitBtnKind kind);
  // A close button closes its form instead of clicking.
  void Click() override;
  TButtonLayout Layout = blGlyphLeft;
  int NumGlyphs = 1;

 protected:
  void Paint() override;

 private:
  TBitmap glyph_;
  TBitBtnKind kind_ = bkCustom;
};
