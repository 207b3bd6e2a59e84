// The pointer and keyboard state the controls read outside their
// messages: the cursor position on the screen and which keys and mouse
// buttons are held. The program reads the real devices; tests install a
// TFakeInput and set the state themselves.
#pragma once

#include <functional>
#include <set>

#include "platform/wintypes.h"

class TInputDevice {
 public:
  virtual ~TInputDevice() = default;
  // Screen position of the pointer.
  virtual TPoint CursorPos() = 0;
  virtual void SetCursorPos(TPoint p) = 0;
  // Whether a key or mouse button (VK_ code) is held now.
  virtual bool IsDown(int vk) = 0;
};

// The device in use (the real one unless a test replaced it).
TInputDevice& Input();
// Replaces the device (not owned); nullptr restores the real one.
void SetInputDevice(TInputDevice* device);

// A pointer and keyboard that hold what the test sets. OnPoll runs before
// every reading, so a test can script a pointer that moves while a control
// polls it in a loop.
class TFakeInput : public TInputDevice {
 public:
  TFakeInput() { SetInputDevice(this); }
  ~TFakeInput() override { SetInputDevice(nullptr); }
  TPoint CursorPos() override {
    Poll();
    return Pos;
  }
  void SetCursorPos(TPoint p) override { Pos = p; }
  bool IsDown(int vk) override {
    Poll();
    return Held.count(vk) > 0;
  }
  void Press(int vk) { Held.insert(vk); }
  void Release(int vk) { Held.erase(vk); }

  TPoint Pos;
  std::set<int> Held;
  std::function<void(TFakeInput&)> OnPoll;
  int Polls = 0;

 private:
  void Poll() {
    ++Polls;
    if (OnPoll) OnPoll(*this);
  }
};

// The platform's calls over the device.
bool GetCursorPos(TPoint& p);
bool SetCursorPos(int x, int y);
// Below zero while the key is held (the high bit of a 16-bit answer).
int16_t GetKeyState(int vk);
int16_t GetAsyncKeyState(int vk);
