// The control model: components with owners, controls with bounds the
// layer keeps itself, windowed controls that own a persistent image of
// their client area, and the message dispatch every control runs.
//
// Messages reach a control through Perform (tests inject them the same
// way): WindowProc -> WndProc (routing, capture) -> Dispatch (the message
// handlers; descendants override it and call the base for "the framework's
// handling") -> DefaultHandler (what the window manager does by default).
// A windowed control's Qt widget (made when a handle is needed) only
// mirrors the model: it presents the client image and turns Qt's input
// events into the same messages.
#pragma once

#include <QImage>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/classes.h"
#include "platform/graphics.h"
#include "platform/messages.h"
#include "platform/wintypes.h"

class QWidget;
class TControl;
class TPopupMenu;
class TWinControl;
class TCustomForm;
class TControlWidget;
using HWND = TWinControl*;

// Components -------------------------------------------------------------------------

enum : unsigned {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
  csAncestor = 1u << 5,
  csUpdating = 1u << 6,
  csFixups = 1u << 7,
  csFreeNotification = 1u << 8,
};
using TComponentState = unsigned;

enum TOperation { opInsert, opRemove };

// A component belongs to its owner, which frees it; freeing a component
// tells its owner and every component that asked (FreeNotification).
class TComponent : public TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* GetOwner() const { return owner_; }
  int ComponentCount() const { return int(components_.size()); }
  TComponent* Components(int index) const;
  int GetComponentIndex() const;
  // The owned component of that name (case-insensitive), or nullptr.
  TComponent* FindComponent(const std::string& name) const;
  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // `component` gets Notification(this, opRemove) when this is freed.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);
  // Frees the component: BeforeDestruction (a form's OnDestroy), then
  // delete. Owners free what they own the same way.
  void Free();
  virtual void BeforeDestruction();
  // Called when a resource has been read into the component; clears
  // csLoading.
  virtual void Loaded();

  std::string Name;
  intptr_t Tag = 0;
  TComponentState ComponentState = 0;

 protected:
  virtual void Notification(TComponent* component, TOperation operation);

 private:
  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  bool beforeDestructionDone_ = false;
};

// Controls: enumerations and events -------------------------------------------------

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
// The parent's edges a control keeps its distance to when the parent's
// client area changes size (a set of these bits).
enum : unsigned {
  akLeft = 1u << 0,
  akTop = 1u << 1,
  akRight = 1u << 2,
  akBottom = 1u << 3,
};
using TAnchors = unsigned;
enum TMouseButton { mbLeft, mbRight, mbMiddle };
enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

enum : unsigned {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
  ssDouble = 1u << 6,
};
using TShiftState = unsigned;

enum : unsigned {
  csAcceptsControls = 1u << 0,
  csCaptureMouse = 1u << 1,
  csDesignInteractive = 1u << 2,
  csClickEvents = 1u << 3,
  csFramed = 1u << 4,
  csSetCaption = 1u << 5,
  csOpaque = 1u << 6,
  csDoubleClicks = 1u << 7,
  csFixedWidth = 1u << 8,
  csFixedHeight = 1u << 9,
  csNoDesignVisible = 1u << 10,
  csReplicatable = 1u << 11,
  csNoStdEvents = 1u << 12,
};
using TControlStyle = unsigned;

// Cursors: negative numbers are the standard shapes, positive ones the
// screen's table of custom cursors (forms.h).
using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;
constexpr TCursor crSize = -22;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TKeyEvent = std::function<void(TObject* Sender, Word& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char16_t& Key)>;
using TWndMethod = std::function<void(TMessage& Message)>;

// Shift state of a mouse message's key bits (Alt read from the keyboard).
TShiftState KeysToShiftState(uint32_t keys);
// Shift state of a key message's key data and the keyboard.
TShiftState KeyDataToShiftState(LPARAM keyData);

// TControl ---------------------------------------------------------------------------

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  TWinControl* GetParent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int GetLeft() const { return left_; }
  int GetTop() const { return top_; }
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  // Moves and sizes the control; a size change sends WM_SIZE at once, a
  // move WM_MOVE, and the parent realigns its aligned controls.
  virtual void SetBounds(int left, int top, int width, int height);
  TRect GetBoundsRect() const { return Bounds(left_, top_, width_, height_); }
  void SetBoundsRect(const TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }

  // Client area (the whole control for non-windowed controls).
  virtual int GetClientWidth() const { return width_; }
  virtual int GetClientHeight() const { return height_; }
  void SetClientWidth(int w) { SetWidth(width_ + w - GetClientWidth()); }
  void SetClientHeight(int h) { SetHeight(height_ + h - GetClientHeight()); }
  TRect GetClientRect() const { return Rect(0, 0, GetClientWidth(), GetClientHeight()); }
  // Screen position of the client area's top-left corner.
  virtual TPoint ClientOrigin() const;
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;

  bool GetVisible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with every parent visible.
  virtual bool Showing() const;
  bool GetEnabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  TColor GetColor() const { return color_; }
  void SetColor(TColor color);
  // The control's font. After changing its fields, call FontChanged.
  TFont* GetFont() { return &font_; }
  void SetFont(TFont* font);
  void FontChanged();
  TCursor GetCursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  TAlign GetAlign() const { return align_; }
  void SetAlign(TAlign align);
  TAnchors GetAnchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors);
  std::string GetText() const { return text_; }
  void SetText(const std::string& text);
  std::string GetCaption() const { return text_; }
  void SetCaption(const std::string& text) { SetText(text); }

  std::string Hint;
  bool ShowHint = false;
  // The pop-up menu a right click on the control opens at the pointer; a
  // control without one opens its parent's.
  TPopupMenu* GetPopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);
  TControlStyle ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;

  // Z order among the parent's controls.
  void BringToFront();
  void SendToBack();
  // Painting: Invalidate marks the control for repainting, Update paints
  // what is marked now, Repaint and Refresh do both.
  virtual void Invalidate();
  virtual void Update();
  void Repaint();
  void Refresh() { Repaint(); }

  // Sends a message through WindowProc and returns its result.
  LRESULT Perform(uint32_t msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The control's window procedure; replaceable (keep the old one to put
  // it back).
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& message);
  // The message handlers.
  virtual void Dispatch(TMessage& message);
  // What happens to a message no handler takes.
  virtual void DefaultHandler(TMessage& message);

  bool GetMouseCapture() const;
  void SetMouseCapture(bool capture);

  // The pixels the control's canvases draw on, and a note that they changed.
  virtual TPixelSurface DrawingSurface();
  virtual void SurfaceChanged();
  // Offset of this control's client area inside DrawingSurface().
  virtual TPoint SurfaceOrigin() const { return {0, 0}; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnResize;

 protected:
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos);
  virtual void Resize();
  void Notification(TComponent* component, TOperation operation) override;
  // Called when the visible state or the place in the tree changed.
  virtual void VisibleChanging() {}
  bool IsDesigning() const { return (ComponentState & csDesigning) != 0; }

 private:
  friend class TWinControl;
  friend class TCustomForm;
  void HandleMouseButton(TMessage& m, TMouseButton button, bool down, bool dbl);
  void ContextPopup(TPoint client);

  TWinControl* parent_ = nullptr;
  TPopupMenu* popupMenu_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clBtnFace;
  TFont font_;
  TCursor cursor_ = crDefault;
  TAlign align_ = alNone;
  TAnchors anchors_ = akLeft | akTop;
  // The parent's client size the bounds were last set for; anchoring
  // moves the control by how far the parent has grown since.
  TPoint anchorBase_{0, 0};
  void NoteAnchorBase();
  std::string text_;
  bool clicked_ = false;
};

// The control a mouse message goes to while a button is held.
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// The innermost control the mouse is over (it got CM_MOUSEENTER last).
TControl* GetMouseControl();
// Moves the hover (CM_MOUSELEAVE to the old control, CM_MOUSEENTER to the
// new one, the application's hint).
void SetMouseControl(TControl* control);
// The control that has the keyboard focus.
TWinControl* GetFocusedControl();
// Delivers a client-area mouse message as the mouse does: to the control
// that has the capture when one has it (in its coordinates), with the
// hover tracking (CM_MOUSEENTER, CM_MOUSELEAVE). The Qt widgets use it;
// tests may too.
void MouseInput(TWinControl* window, uint32_t msg, WPARAM keys, TPoint client);
// The form a control is on, or nullptr.
TCustomForm* GetParentForm(const TControl* control);

// TWinControl ----------------------------------------------------------------------------

// Window styles the layer reads from CreateParams.
constexpr uint32_t WS_BORDER = 0x00800000;
constexpr uint32_t WS_VSCROLL = 0x00200000;
constexpr uint32_t WS_HSCROLL = 0x00100000;
constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200;
constexpr uint32_t WS_EX_TOPMOST = 0x00000008;
constexpr uint32_t WS_EX_TRANSPARENT = 0x00000020;
constexpr uint32_t WS_EX_LAYERED = 0x00080000;

struct TCreateParams {
  std::string Caption;
  uint32_t Style = 0;
  uint32_t ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  TWinControl* WndParent = nullptr;
};

// Scroll bars of a window.
constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;
constexpr unsigned SIF_RANGE = 0x1;
constexpr unsigned SIF_PAGE = 0x2;
constexpr unsigned SIF_POS = 0x4;
constexpr unsigned SIF_DISABLENOSCROLL = 0x8;
constexpr unsigned SIF_TRACKPOS = 0x10;
constexpr unsigned SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
constexpr unsigned ESB_ENABLE_BOTH = 0;
constexpr unsigned ESB_DISABLE_LTUP = 1;
constexpr unsigned ESB_DISABLE_RTDN = 2;
constexpr unsigned ESB_DISABLE_BOTH = 3;

struct SCROLLINFO {
  uint32_t cbSize = sizeof(SCROLLINFO);
  uint32_t fMask = 0;
  int32_t nMin = 0;
  int32_t nMax = 0;
  uint32_t nPage = 0;
  int32_t nPos = 0;
  int32_t nTrackPos = 0;
};
using TScrollInfo = SCROLLINFO;

// State of one window scroll bar.
struct TScrollBarState {
  int Min = 0;
  int Max = 100;
  unsigned Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  bool Visible = false;
  unsigned Disabled = ESB_ENABLE_BOTH;  // ESB_ flags
};

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // Children in z order, back first.
  int ControlCount() const { return int(controls_.size()); }
  TControl* Controls(int index) const;
  bool ContainsControl(const TControl* control) const;
  // The visible child under a client point, front first.
  TControl* ControlAtPos(TPoint p, bool allowDisabled = false, bool allowWinControls = false) const;

  void SetBounds(int left, int top, int width, int height) override;
  int GetClientWidth() const override;
  int GetClientHeight() const override;
  TPoint ClientOrigin() const override;
  // The non-client frame: border, plus caption for windows of their own.
  virtual TRect FrameInsets() const;

  // The window handle is the control itself; asking for it makes the Qt
  // widget that mirrors the control.
  HWND GetHandle();
  void HandleNeeded();
  bool HandleAllocated() const { return widget_ != nullptr; }
  void DestroyHandle();
  QWidget* Widget() const;

  // Scroll bars (the platform calls SetScrollInfo and the like use these).
  TScrollBarState& ScrollBar(int bar) { return bar == SB_VERT ? vbar_ : hbar_; }
  const TScrollBarState& ScrollBar(int bar) const { return bar == SB_VERT ? vbar_ : hbar_; }
  // Shows or hides a bar; the client area loses or regains its room and
  // gets WM_SIZE.
  void ShowScrollBarNow(int bar, bool show);
  void ScrollBarChanged(int bar);

  // Focus.
  bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  bool TabStop = false;

  // Painting: the client image persists between paints; the update
  // region is what a WM_PAINT will repaint.
  QImage& ClientImage() { return image_; }
  const QImage& ClientImage() const { return image_; }
  TPixelSurface DrawingSurface() override;
  void SurfaceChanged() override;
  void Invalidate() override;
  void InvalidateRect(const TRect* rect, bool erase);
  void Update() override;
  bool UpdatePending() const { return updatePending_; }
  TRect UpdateRectangle() const { return updateRect_; }
  // Runs pending paints of this control and its windowed children.
  void UpdateAll();
  // Paints the whole client area afresh with all its children and copies
  // it onto `canvas` with its top-left corner at (x, y).
  void PaintTo(TCanvas* canvas, int x, int y);

  void Dispatch(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void WndProc(TMessage& message) override;

  // Delivers a key message as the keyboard does: the focused control may
  // claim special keys (CM_WANTSPECIALKEY), the form takes dialog keys
  // (CM_DIALOGKEY), then the message itself goes to the control.
  void KeyboardMessage(TMessage& message);

  // Re-reads CreateParams (after a style or border change).
  void StyleChanged();
  void AlignControls();
  // Moves or stretches the anchored children after a client size change.
  void AnchorControls();

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 protected:
  virtual void CreateParams(TCreateParams& params);
  // Makes the Qt widget; descendants may make a widget of their own kind.
  virtual TControlWidget* CreateWidget(const TCreateParams& params);
  // Fills the client area on WM_ERASEBKGND.
  virtual void EraseBackground();
  // Paints the window's own content into the client image.
  virtual void PaintWindow() {}
  // The window system is about to show `area` (client coordinates) of the
  // client image; a control that paints only what is seen invalidates
  // what it has not painted yet.
  virtual void Exposing(const TRect& area) { (void)area; }
  // Paints the non-windowed children over it.
  void PaintControls();
  virtual void KeyDown(Word& key, TShiftState shift);
  virtual void KeyUp(Word& key, TShiftState shift);
  virtual void KeyPress(char16_t& key);
  // The form's key preview, then the handler; true when the key was eaten
  // (a handler set it to 0).
  bool DoKeyDown(TMessage& m);
  bool DoKeyPress(TMessage& m);
  bool DoKeyUp(TMessage& m);
  void VisibleChanging() override;
  // The area the running WM_PAINT repaints (client coordinates).
  TRect PaintRect() const { return paintRect_; }
  // Whether a Qt window should show for this control when it has no parent.
  virtual bool IsTopLevelWindow() const { return false; }
  // Hands the model's state to the Qt widget, when there is one.
  void SyncWidget();
  bool presenting_ = false;

 private:
  friend class TControl;
  friend class TControlWidget;
  void PaintMessage();
  void SendSize();
  void ClientAreaChanged(int oldWidth, int oldHeight);
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  void ResizeClientImage();
  bool ForwardMouseToChild(TMessage& m);
  void SizeMoveLoop(WPARAM command);

  std::vector<TControl*> controls_;
  TControlWidget* widget_ = nullptr;
  QImage image_;
  TScrollBarState hbar_, vbar_;
  TRect frame_;
  bool frameKnown_ = false;
  bool updatePending_ = false;
  bool eraseNeeded_ = false;
  TRect updateRect_;
  TRect paintRect_;
  friend void SetFocusedControl(TWinControl*);
};

// Moves the keyboard focus (CM_EXIT and WM_KILLFOCUS to the control that
// loses it, CM_ENTER and WM_SETFOCUS to the one that gets it).
void SetFocusedControl(TWinControl* control);

// A windowed control that paints itself on its Canvas.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* GetCanvas() { return canvas_; }

 protected:
  // Draws the client area; the canvas clip is the area being repainted.
  virtual void Paint() {}
  void PaintWindow() override;

 private:
  TCanvas* canvas_;
};

// A control without a window of its own: it draws on its parent's client
// image, inside its own bounds.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  // The canvas with its origin at the control's top-left corner, clipped
  // to the control.
  TCanvas* GetCanvas();
  TPixelSurface DrawingSurface() override;
  void SurfaceChanged() override;
  TPoint SurfaceOrigin() const override { return {GetLeft(), GetTop()}; }

 protected:
  virtual void Paint() {}

 private:
  friend class TWinControl;
  void RunPaint(const TRect& parentArea);
  TCanvas* canvas_;
  TRect preparedBounds_{-1, -1, -1, -1};
  TWinControl* preparedParent_ = nullptr;
};

// A canvas on any control's pixels (client coordinates of that control).
class TControlCanvas : public TCanvas {
 public:
  TControlCanvas();
  TControl* GetControl() const { return control_; }
  void SetControl(TControl* control);

 private:
  TControl* control_ = nullptr;
};

// Makes a control's canvas start at its client origin and stay inside it.
void PrepareControlCanvas(TCanvas* canvas, const TControl* control);

// Size of the platform's parts (SM_ numbers).
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
int GetSystemMetrics(int index);

// Window manager calls over the model.
int SetScrollInfo(HWND window, int bar, const SCROLLINFO& info, bool redraw);
bool GetScrollInfo(HWND window, int bar, SCROLLINFO& info);
bool ShowScrollBar(HWND window, int bar, bool show);
bool EnableScrollBar(HWND window, int bar, unsigned arrows);
bool SetScrollRange(HWND window, int bar, int minPos, int maxPos, bool redraw);
int SetScrollPos(HWND window, int bar, int pos, bool redraw);
int GetScrollPos(HWND window, int bar);
bool InvalidateRect(HWND window, const TRect* rect, bool erase);
bool UpdateWindow(HWND window);
HWND SetCapture(HWND window);
bool ReleaseCapture();
HWND GetCapture();
HWND GetFocus();
HWND SetFocus(HWND window);
LRESULT SendMessage(HWND window, uint32_t msg, WPARAM wParam, LPARAM lParam);
bool IsWindow(HWND window);
// Runs the pending paints of every window; true when any ran.
bool UpdatePendingWindows();
bool IsWindowVisible(HWND window);
