// Panels and pictures: the bevelled panel, the radio group, the group of
// radio buttons with an ItemIndex, the shape, the picture control, the
// scroll box and the control bar that holds tool bars.
#pragma once

#include <memory>

#include "platform/picture.h"
#include "platform/stdctrls.h"

enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* owner);
  TPanelBevel BevelInner = bvNone;
  TPanelBevel BevelOuter = bvRaised;
  int BevelWidth = 1;
  int BorderWidth = 0;
  TAlignment Alignment = taCenter;
  // The client area less the bevels and the border.
  TRect InnerRect() const;

 protected:
  void Paint() override;
};

// Radio buttons made from Items; ItemIndex set from code checks the entry
// and, as the framework's group does, fires OnClick when it changed.
class TRadioGroup : public TCustomControl {
 public:
  explicit TRadioGroup(TComponent* owner);
  TStrings* GetItems() { return &items_; }
  void SetItems(TStrings* items) { items_.Assign(items); }
  int GetItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  int GetColumns() const { return columns_; }
  void SetColumns(int columns);
  // The rectangle of entry i's button (client coordinates).
  TRect ItemRect(int index) const;
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;

 private:
  TItemStrings items_;
  int itemIndex_ = -1;
  int columns_ = 1;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

// A figure drawn with its own pen and brush.
class TShape : public TGraphicControl {
 public:
  explicit TShape(TComponent* owner);
  TPen* GetPen() { return &pen_; }
  TBrush* GetBrush() { return &brush_; }
  TShapeType GetShape() const { return shape_; }
  void SetShape(TShapeType shape);
  // After changing the pen or brush fields.
  void StyleChanged() { Invalidate(); }

 protected:
  void Paint() override;

 private:
  TPen pen_;
  TBrush brush_;
  TShapeType shape_ = stRectangle;
};

// Shows a TPicture: at its size from the top-left, centred, or stretched
// to the control; AutoSize makes the control the picture's size.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;
  TPicture* GetPicture() { return picture_.get(); }
  void SetPicture(TPicture* picture) { picture_->Assign(picture); }
  // The picture's bitmap canvas (an empty picture becomes a bitmap of the
  // control's size).
  TCanvas* GetCanvas();
  bool GetStretch() const { return stretch_; }
  void SetStretch(bool v);
  bool GetCenter() const { return center_; }
  void SetCenter(bool v);
  bool GetTransparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  // Where the picture lands inside the control.
  TRect DestRect() const;

 protected:
  void Paint() override;

 private:
  void PictureChanged();
  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false, center_ = false, transparent_ = false, autoSize_ = false;
};

// A window whose children scroll: the range follows the children's extent.
class TScrollBox : public TCustomControl {
 public:
  explicit TScrollBox(TComponent* owner);
  // Scroll position (pixels the content moved left and up).
  int GetHorzPosition() const { return hpos_; }
  int GetVertPosition() const { return vpos_; }
  void SetHorzPosition(int v);
  void SetVertPosition(int v);
  // Brings a child into view.
  void ScrollInView(TControl* control);
  // Re-measures the children and shows the bars that are needed.
  void UpdateScrollBars();
  bool AutoScroll = true;
  TBorderStyle BorderStyle = bsSingle;
  void Dispatch(TMessage& m) override;

 protected:
  void CreateParams(TCreateParams& params) override;

 private:
  void ScrollBy(int dx, int dy);
  int hpos_ = 0, vpos_ = 0;
};

// The band holder of tool bars: a panel that lays its bands in rows.
class TControlBar : public TCustomControl {
 public:
  explicit TControlBar(TComponent* owner);
  bool AutoSize = false;
  // Places the bands left to right in their order, wrapping into rows.
  void ArrangeBands();
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;
};
