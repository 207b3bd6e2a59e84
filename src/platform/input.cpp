#include "platform/input.h"

#include <QCursor>
#include <QGuiApplication>

#include "platform/messages.h"

namespace {

class TRealInput : public TInputDevice {
 public:
  TPoint CursorPos() override {
    QPoint p = QCursor::pos();
    return {p.x(), p.y()};
  }
  void SetCursorPos(TPoint p) override { QCursor::setPos(p.x, p.y); }
  bool IsDown(int vk) override {
    Qt::MouseButtons buttons = QGuiApplication::mouseButtons();
    Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    switch (vk) {
      case VK_LBUTTON: return buttons & Qt::LeftButton;
      case VK_RBUTTON: return buttons & Qt::RightButton;
      case VK_MBUTTON: return buttons & Qt::MiddleButton;
      case VK_SHIFT: return mods & Qt::ShiftModifier;
      case VK_CONTROL: return mods & Qt::ControlModifier;
      case VK_MENU: return mods & Qt::AltModifier;
      default: return false;  // other keys are known only through their messages
    }
  }
};

TInputDevice* gDevice = nullptr;

}  // namespace

TInputDevice& Input() {
  static TRealInput real;
  return gDevice ? *gDevice : real;
}

void SetInputDevice(TInputDevice* device) { gDevice = device; }

bool GetCursorPos(TPoint& p) {
  p = Input().CursorPos();
  return true;
}

bool SetCursorPos(int x, int y) {
  Input().SetCursorPos({x, y});
  return true;
}

int16_t GetKeyState(int vk) { return Input().IsDown(vk) ? int16_t(0x8000) : 0; }
int16_t GetAsyncKeyState(int vk) { return GetKeyState(vk); }
