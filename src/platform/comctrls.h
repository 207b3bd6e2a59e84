// The common controls: up-down arrows, track bar, progress bar, page
// control with its tab sheets, and the status bar with panels. A track
// bar's OnChange fires whenever its position changes, from code too; a
// page control's OnChanging and OnChange fire only when the user picks a tab.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/stdctrls.h"

enum TUDBtnType { btNext, btPrev };
enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

// Two arrows that step Position between Min and Max (Wrap goes round);
// an associated edit shows the position. A click of the user steps, then
// OnClick tells which arrow; Position set from code fires nothing.
class TUpDown : public TCustomControl {
 public:
  explicit TUpDown(TComponent* owner);
  ~TUpDown() override;
  int GetMin() const { return min_; }
  void SetMin(int v);
  int GetMax() const { return max_; }
  void SetMax(int v);
  int GetPosition() const { return position_; }
  void SetPosition(int v);
  int Increment = 1;
  bool Wrap = false;
  bool Thousands = true;
  bool ArrowKeys = true;
  TUDOrientation Orientation = udVertical;
  TWinControl* GetAssociate() const { return associate_; }
  void SetAssociate(TWinControl* edit);
  // One step by the user (the arrow at the top or right is btNext).
  void UserStep(TUDBtnType button);
  TUDClickEvent OnClick;
  TUDChangingEvent OnChanging;
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

 private:
  void ShowInAssociate();
  int min_ = 0, max_ = 100, position_ = 0;
  TWinControl* associate_ = nullptr;
};

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickStyle { tsNone, tsAuto, tsManual };

class TTrackBar : public TCustomControl {
 public:
  explicit TTrackBar(TComponent* owner);
  int GetMin() const { return min_; }
  void SetMin(int v);
  int GetMax() const { return max_; }
  void SetMax(int v);
  int GetPosition() const { return position_; }
  // Clamped to Min..Max; a change fires OnChange.
  void SetPosition(int v);
  int Frequency = 1;
  int LineSize = 1;
  int PageSize = 2;
  int ThumbLength = 20;
  TTrackBarOrientation Orientation = trHorizontal;
  TTickStyle TickStyle = tsAuto;
  TNotifyEvent OnChange;
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;

 private:
  int PositionAt(int x) const;
  int min_ = 0, max_ = 10, position_ = 0;
  bool dragging_ = false;
};

class TProgressBar : public TCustomControl {
 public:
  explicit TProgressBar(TComponent* owner);
  int GetMin() const { return min_; }
  void SetMin(int v);
  int GetMax() const { return max_; }
  void SetMax(int v);
  int GetPosition() const { return position_; }
  void SetPosition(int v);
  void StepIt() { SetPosition(position_ + Step); }
  void StepBy(int delta) { SetPosition(position_ + delta); }
  int Step = 10;

 protected:
  void Paint() override;

 private:
  int min_ = 0, max_ = 100, position_ = 0;
};

// Pages ---------------------------------------------------------------------------------

class TPageControl;

class TTabSheet : public TCustomControl {
 public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  TPageControl* GetPageControl() const { return pageControl_; }
  // Puts the sheet into a page control (at the end) or takes it out.
  void SetPageControl(TPageControl* control);
  int GetPageIndex() const;
  void SetPageIndex(int index);
  bool GetTabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  // Index among the visible tabs, -1 when hidden.
  int GetTabIndex() const;
  int ImageIndex = -1;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
  bool tabVisible_ = true;
};

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
enum TTabPosition { tpTop, tpBottom, tpLeft, tpRight };

class TPageControl : public TCustomControl {
 public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;
  int PageCount() const { return int(pages_.size()); }
  TTabSheet* Pages(int index) const;
  TTabSheet* GetActivePage() const { return active_; }
  // From code: shows the page and fires nothing.
  void SetActivePage(TTabSheet* page);
  int GetActivePageIndex() const;
  void SetActivePageIndex(int index);
  // The next (or previous) page with a visible tab after `current`.
  TTabSheet* FindNextPage(TTabSheet* current, bool forward, bool checkTabVisible) const;
  void SelectNextPage(bool forward);
  TTabPosition TabPosition = tpTop;
  bool MultiLine = false;
  // The user picks the tab of visible index `tabIndex`: OnChanging may
  // refuse; otherwise the page changes and OnChange follows.
  void UserSelectTab(int tabIndex);
  // The visible tab under a client point, or -1.
  int TabAtPos(TPoint p) const;
  TRect TabRect(int tabIndex) const;
  TTabChangingEvent OnChanging;
  TNotifyEvent OnChange;

  TRect DisplayRect() const;
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  void PlacePages();
  std::vector<TTabSheet*> VisibleTabs() const;
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_ = nullptr;
};

// Status bar ----------------------------------------------------------------------------

class TStatusBar;

class TStatusPanel : public TObject {
 public:
  std::string GetText() const { return text_; }
  void SetText(const std::string& text);
  int GetWidth() const { return width_; }
  void SetWidth(int w);
  TAlignment Alignment = taLeftJustify;
  int Index() const;

 private:
  friend class TStatusPanels;
  TStatusBar* bar_ = nullptr;
  std::string text_;
  int width_ = 50;
};

class TStatusPanels {
 public:
  int Count() const { return int(panels_.size()); }
  TStatusPanel* Items(int index) const;
  TStatusPanel* operator[](int index) const { return Items(index); }
  TStatusPanel* Add();
  void Delete(int index);
  void Clear();

 private:
  friend class TStatusBar;
  friend class TStatusPanel;
  TStatusBar* bar_ = nullptr;
  std::vector<std::unique_ptr<TStatusPanel>> panels_;
};

// With SimplePanel the bar shows SimpleText alone; otherwise its panels,
// each Width pixels wide (the last takes the rest).
class TStatusBar : public TCustomControl {
 public:
  explicit TStatusBar(TComponent* owner);
  TStatusPanels* GetPanels() { return &panels_; }
  bool GetSimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v);
  std::string GetSimpleText() const { return simpleText_; }
  void SetSimpleText(const std::string& text);
  bool SizeGrip = true;
  // The panel rectangle of a panel index.
  TRect PanelRect(int index) const;

 protected:
  void Paint() override;

 private:
  friend class TStatusPanel;
  TStatusPanels panels_;
  bool simplePanel_ = false;
  std::string simpleText_;
};
