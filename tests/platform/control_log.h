// Test controls that write what happens to them into one shared log.
#pragma once

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/messages.h"

struct TEventLog {
  std::vector<std::string> lines;
  void Add(const std::string& s) { lines.push_back(s); }
  void Clear() { lines.clear(); }
};

inline std::string ShiftText(TShiftState s) {
  std::string t;
  if (s & ssShift) t += "S";
  if (s & ssCtrl) t += "C";
  if (s & ssAlt) t += "A";
  if (s & ssLeft) t += "L";
  if (s & ssRight) t += "R";
  if (s & ssDouble) t += "D";
  return t;
}

// Wires the mouse events of any control into the log, prefixed by `name`.
inline void LogMouse(TControl* c, TEventLog& log, const std::string& name) {
  c->OnMouseDown = [&log, name](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    log.Add(name + " down " + std::to_string(int(b)) + " " + ShiftText(s) + " " + std::to_string(x) + "," +
            std::to_string(y));
  };
  c->OnMouseMove = [&log, name](TObject*, TShiftState s, int x, int y) {
    log.Add(name + " move " + ShiftText(s) + " " + std::to_string(x) + "," + std::to_string(y));
  };
  c->OnMouseUp = [&log, name](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    log.Add(name + " up " + std::to_string(int(b)) + " " + std::to_string(x) + "," + std::to_string(y));
  };
  c->OnClick = [&log, name](TObject*) { log.Add(name + " click"); };
  c->OnDblClick = [&log, name](TObject*) { log.Add(name + " dblclick"); };
}

// A painted control that logs the messages it dispatches.
class TLogControl : public TCustomControl {
 public:
  TLogControl(TComponent* owner, TEventLog& log, std::string name = "c")
      : TCustomControl(owner), log_(log), name_(std::move(name)) {}
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_SIZE) {
      TWMSize s(m);
      log_.Add(name_ + " WM_SIZE " + std::to_string(s.Width) + "x" + std::to_string(s.Height) + " width " +
               std::to_string(GetWidth()));
    }
    if (m.Msg == WM_SETFOCUS) log_.Add(name_ + " WM_SETFOCUS");
    if (m.Msg == WM_KILLFOCUS) log_.Add(name_ + " WM_KILLFOCUS");
    if (m.Msg == CM_MOUSEENTER) log_.Add(name_ + " enter");
    if (m.Msg == CM_MOUSELEAVE) log_.Add(name_ + " leave");
    if (m.Msg == CM_WANTSPECIALKEY && WantArrows && m.WParam >= WPARAM(VK_LEFT) && m.WParam <= WPARAM(VK_DOWN)) {
      m.Result = 1;
      return;
    }
    TCustomControl::Dispatch(m);
  }
  std::function<void(TCanvas*)> OnPaintCanvas;
  bool WantArrows = false;
  uint32_t ExStyle = 0;

 protected:
  void CreateParams(TCreateParams& p) override {
    TCustomControl::CreateParams(p);
    p.ExStyle |= ExStyle;
  }
  void Paint() override {
    log_.Add(name_ + " paint");
    if (OnPaintCanvas) OnPaintCanvas(GetCanvas());
  }

 private:
  TEventLog& log_;
  std::string name_;
};

// A graphic control that fills itself with a colour when painted.
class TFillGraphic : public TGraphicControl {
 public:
  TFillGraphic(TComponent* owner, TColor color) : TGraphicControl(owner), color_(color) {}

 protected:
  void Paint() override {
    GetCanvas()->Brush->Color = color_;
    GetCanvas()->FillRect(Rect(-100, -100, 1000, 1000));
  }

 private:
  TColor color_;
};

// The colour of a client image pixel as 0x00BBGGRR.
inline TColor PixelAt(const QImage& image, int x, int y) {
  QRgb c = image.pixel(x, y);
  return RGB(qRed(c), qGreen(c), qBlue(c));
}

inline LPARAM XY(int x, int y) { return MakeLParam(x, y); }
