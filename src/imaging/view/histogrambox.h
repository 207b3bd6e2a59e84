// A small control that draws the level histogram of the picture a
// processing component works on: bars or lines per chosen channel, scaled
// to the largest count, with count and level labels and a shade bar under
// the graph. It draws into a back buffer in Update and copies it on paint;
// nothing watches the picture, so the owner calls Update after a change.
#pragma once

#include "platform/controls.h"
#include "platform/graphics.h"

class TPixProc;

// Channels drawn (a set).
enum : unsigned { hkRed = 1u << 0, hkGreen = 1u << 1, hkBlue = 1u << 2, hkGray = 1u << 3 };
using THistogramKind = unsigned;
// Labels drawn (a set): counts at the left, levels and axis at the bottom.
enum : unsigned { hlVertical = 1u << 0, hlHorizontal = 1u << 1 };
using THistogramLabels = unsigned;
enum THistogramStyle { hsBars, hsLines };

class THistogramBox : public TCustomControl {
 public:
  explicit THistogramBox(TComponent* owner);

  TPixProc* GetAttachedPixProc() const { return pixProc_; }
  void SetAIEP(TPixProc* proc);
  TColor GetBackground() const { return background_; }
  void SetBackground(TColor c);
  THistogramKind GetHistogramKind() const { return kind_; }
  void SetHistogramKind(THistogramKind k);
  THistogramLabels GetLabels() const { return labels_; }
  void SetLabels(THistogramLabels l);
  bool GetCompBar() const { return compBar_; }
  void SetCompBar(bool b);
  THistogramStyle GetHistogramStyle() const { return style_; }
  void SetHistogramStyle(THistogramStyle s);
  // Where the graph starts, in the parent's coordinates (after the count
  // labels); set by every redraw that finds a histogram.
  int GraphLeft = 0;

  // Redraws the back buffer and invalidates.
  void Update() override;
  const TBitmap& Buffer() const { return buffer_; }

 protected:
  void Paint() override;
  void Dispatch(TMessage& message) override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  TBitmap buffer_;
  TPixProc* pixProc_ = nullptr;
  TColor background_ = clWhite;
  THistogramKind kind_ = hkGray;
  THistogramLabels labels_ = hlVertical | hlHorizontal;
  bool compBar_ = true;
  THistogramStyle style_ = hsBars;
};
