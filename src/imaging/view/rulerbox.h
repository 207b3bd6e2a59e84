// A graduated ruler control: a strip with minor ticks and labelled major
// ticks in a unit of its own (pixels per unit), horizontal or vertical, with
// any number of grips beside the strip that the user drags to choose
// values. It draws into a back buffer and copies the buffer on paint. Only
// the part of the ruler that is seen is drawn and copied, so a ruler many
// thousand pixels long costs what its visible part costs.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/controls.h"
#include "platform/graphics.h"

enum TRulerDir { rdHorizontal, rdVertical };
// gdUp: the strip lies along the top (left) side and the grips point at it
// from the far side; gdDown: the strip lies along the bottom (right) side.
enum TGripsDir { gdUp, gdDown };
enum TGripKind { gkTriangle, gkLeftTriangle, gkRightTriangle, gkArrow, gkArrow2 };

using TRulerPosChangeEvent = std::function<void(TObject* Sender, int Grip)>;
using TRulerGripClickEvent = std::function<void(TObject* Sender, int Grip)>;
using TRulerGripDblClickEvent = std::function<void(TObject* Sender, int Grip)>;
using TRulerClickEvent = std::function<void(TObject* Sender, double ps)>;

// The text of a labelled tick: hexadecimal digits of the whole part (with a
// minus for negative values), or the value in general format.
std::string RulerLabelText(double value, bool hex);

class TRulerBox : public TCustomControl {
 public:
  explicit TRulerBox(TComponent* owner);
  ~TRulerBox() override;

  double GetViewPos() const { return viewPos_; }
  void SetViewPos(double value);
  TColor GetBackground() const { return background_; }
  void SetBackground(TColor value);
  int GetGripBaseDim() const { return gripBaseDim_; }
  void SetGripBaseDim(int value);
  TGripsDir GetGripsDir() const { return gripsDir_; }
  void SetGripsDir(TGripsDir value);
  bool GetRuler() const { return ruler_; }
  void SetRuler(bool value);
  double GetDotPerUnit() const { return dotPerUnit_; }
  void SetDPU(double value);
  double GetFrequency() const { return frequency_; }
  void SetFrequency(double value);
  double GetLabelFreq() const { return labelFreq_; }
  void SetLabelFreq(double value);
  TColor GetRulerColor() const { return rulerColor_; }
  void SetRulerColor(TColor value);
  TRulerDir GetRulerDir() const { return rulerDir_; }
  void SetRulerDir(TRulerDir value);
  double GetViewMin() const { return viewMin_; }
  void SetViewMin(double value);
  double GetViewMax() const { return viewMax_; }
  void SetViewMax(double value);
  bool GetFitInView() const { return fitInView_; }
  void SetFitInView(bool value);
  int GetGripsCount() const { return int(grips_.size()); }
  void SetGripsCount(int value);
  bool GetHexLabels() const { return hexLabels_; }
  void SetHexLabels(bool value);

  // Grips by index; an index outside 0..GripsCount-1 is ignored by the
  // setters and gives 0 from the getters.
  double GetGripsPos(int index) const;
  void SetGripsPos(int index, double value);
  TColor GetGripsCol(int index) const;
  void SetGripsCol(int index, TColor value);
  TGripKind GetGripsKind(int index) const;
  void SetGripsKind(int index, TGripKind value);
  double GetGripsMin(int index) const;
  void SetGripsMin(int index, double value);
  double GetGripsMax(int index) const;
  void SetGripsMax(int index, double value);

  // The grip under (X, Y), the last one first; -1 when none.
  int GetClickedGrip(int X, int Y);
  void GetGripRect(int index, TRect& rect);
  // Pixel of a grip along the ruler.
  int GetXGripPos(int index);
  int GetRulerHeight();
  double GetWidthInUnit();
  // Recomputes and redraws the back buffer, then invalidates.
  void Update() override;
  void Paint() override;

  TRulerPosChangeEvent OnRulerPosChange;
  TRulerGripClickEvent OnRulerGripClick;
  TRulerGripDblClickEvent OnRulerGripDblClick;
  TRulerClickEvent OnRulerClick;

 protected:
  void Dispatch(TMessage& message) override;
  void Exposing(const TRect& area) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  struct TGrip {
    double Pos = 0;
    TColor Color = clBtnFace;
    TGripKind Kind = gkTriangle;
    double Min = 0;
    double Max = 0;
  };

  bool ValidGrip(int index) const { return index >= 0 && index < GetGripsCount(); }
  int Pixel(double value) const;
  // Pixels as ruler units (0 without a usable scale).
  double Units(double pixels) const;
  // Length of the buffer along the ruler.
  int Length() const;
  void AdjustViewLimits();
  void AdjustGripLimits(int index);
  std::vector<TPoint> GetGripPoly(int index);

  // A stretch of pixels along the ruler, [From, To).
  struct TSpan {
    int From = 0, To = 0;
    bool Empty() const { return From >= To; }
    bool Holds(const TSpan& s) const { return s.Empty() || (From <= s.From && s.To <= To); }
  };
  TSpan SpanOf(const TRect& area) const;
  TRect AreaOf(const TSpan& span) const;
  // The part of the client area that the parents leave in view.
  TRect VisibleRect();
  // Draws the buffer over `span` unless it is drawn already.
  void Render(const TSpan& span);
  // Forgets the drawn buffer and the copy on screen, and invalidates.
  void Redraw();
  void RepaintGrips(const TSpan& span);
  void RepaintStrip(const TSpan& span);
  void DrawTicks(double step, bool labelled, const TSpan& span);
  // Drags the held grip beyond an end of the control while the pointer
  // stays there and the left button is down.
  void AutoScroll(int direction, int delta);

  TBitmap buffer_;
  std::vector<TGrip> grips_;
  double viewPos_ = 0;
  TColor background_ = clBtnFace;
  int gripBaseDim_ = 12;
  TGripsDir gripsDir_ = gdUp;
  bool ruler_ = true;
  double dotPerUnit_ = 1.0;
  double frequency_ = 10.0;
  double labelFreq_ = 40.0;
  TColor rulerColor_ = clBtnFace;
  TRulerDir rulerDir_ = rdHorizontal;
  double viewMin_ = 0;
  double viewMax_ = 0;
  bool fitInView_ = false;
  bool hexLabels_ = false;
  int heldGrip_ = -1;
  int heldGripPixel_ = 0;
  TPoint pressPoint_{0, 0};
  bool scrolling_ = false;
  TSpan drawn_;  // the part of the buffer that is up to date
  TSpan shown_;  // the part of the client image that shows the buffer
};
