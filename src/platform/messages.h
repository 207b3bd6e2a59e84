// Window messages of the control layer: the message record, the WM_ and
// CM_ numbers the controls handle, their parameter codes, and small views
// that decode a message's parameters the way the handlers read them.
#pragma once

#include <cstdint>

using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

struct TMessage {
  uint32_t Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

inline uint16_t LoWord(uintptr_t v) { return uint16_t(v & 0xFFFF); }
inline uint16_t HiWord(uintptr_t v) { return uint16_t((v >> 16) & 0xFFFF); }
// Two signed 16-bit halves (coordinates, wheel deltas) packed as the
// platform packs them.
inline LPARAM MakeLParam(int lo, int hi) {
  return LPARAM(int32_t(uint32_t(uint16_t(lo)) | (uint32_t(uint16_t(hi)) << 16)));
}
inline WPARAM MakeWParam(int lo, int hi) { return WPARAM(uint32_t(MakeLParam(lo, hi))); }
inline int16_t SignedLoWord(uintptr_t v) { return int16_t(LoWord(v)); }
inline int16_t SignedHiWord(uintptr_t v) { return int16_t(HiWord(v)); }

// Window messages ---------------------------------------------------------------

constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_SETFOCUS = 0x0007;
constexpr uint32_t WM_KILLFOCUS = 0x0008;
constexpr uint32_t WM_ENABLE = 0x000A;
constexpr uint32_t WM_SETTEXT = 0x000C;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_ERASEBKGND = 0x0014;
constexpr uint32_t WM_SHOWWINDOW = 0x0018;
constexpr uint32_t WM_CANCELMODE = 0x001F;
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_NCHITTEST = 0x0084;
constexpr uint32_t WM_NCPAINT = 0x0085;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_SYSCHAR = 0x0106;
constexpr uint32_t WM_SYSCOMMAND = 0x0112;
constexpr uint32_t WM_TIMER = 0x0113;
constexpr uint32_t WM_HSCROLL = 0x0114;
constexpr uint32_t WM_VSCROLL = 0x0115;
constexpr uint32_t WM_MOUSEFIRST = 0x0200;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr uint32_t WM_MBUTTONUP = 0x0208;
constexpr uint32_t WM_MBUTTONDBLCLK = 0x0209;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr uint32_t WM_MOUSELAST = 0x020A;
constexpr uint32_t WM_CAPTURECHANGED = 0x0215;
constexpr uint32_t WM_USER = 0x0400;

// Messages of the control layer itself ----------------------------------------------

constexpr uint32_t CM_BASE = 0xB000;
constexpr uint32_t CM_ACTIVATE = CM_BASE + 0;
constexpr uint32_t CM_DEACTIVATE = CM_BASE + 1;
constexpr uint32_t CM_DIALOGKEY = CM_BASE + 5;
constexpr uint32_t CM_DIALOGCHAR = CM_BASE + 6;
constexpr uint32_t CM_FOCUSCHANGED = CM_BASE + 7;
constexpr uint32_t CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr uint32_t CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr uint32_t CM_HITTEST = CM_BASE + 10;
constexpr uint32_t CM_VISIBLECHANGED = CM_BASE + 11;
constexpr uint32_t CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr uint32_t CM_COLORCHANGED = CM_BASE + 13;
constexpr uint32_t CM_FONTCHANGED = CM_BASE + 14;
constexpr uint32_t CM_CURSORCHANGED = CM_BASE + 15;
constexpr uint32_t CM_TEXTCHANGED = CM_BASE + 18;
constexpr uint32_t CM_MOUSEENTER = CM_BASE + 19;
constexpr uint32_t CM_MOUSELEAVE = CM_BASE + 20;
constexpr uint32_t CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr uint32_t CM_ENTER = CM_BASE + 26;
constexpr uint32_t CM_EXIT = CM_BASE + 27;
constexpr uint32_t CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr uint32_t CM_HINTSHOW = CM_BASE + 48;

// Parameter codes -------------------------------------------------------------------

// WM_SIZE kinds.
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;

// Key and button state in mouse messages.
constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;

// One notch of the mouse wheel.
constexpr int WHEEL_DELTA = 120;

// Scroll bar codes of WM_HSCROLL and WM_VSCROLL.
constexpr int SB_LINEUP = 0, SB_LINELEFT = 0;
constexpr int SB_LINEDOWN = 1, SB_LINERIGHT = 1;
constexpr int SB_PAGEUP = 2, SB_PAGELEFT = 2;
constexpr int SB_PAGEDOWN = 3, SB_PAGERIGHT = 3;
constexpr int SB_THUMBPOSITION = 4;
constexpr int SB_THUMBTRACK = 5;
constexpr int SB_TOP = 6, SB_LEFT = 6;
constexpr int SB_BOTTOM = 7, SB_RIGHT = 7;
constexpr int SB_ENDSCROLL = 8;

// Hit-test answers of WM_NCHITTEST.
constexpr LRESULT HTERROR = -2;
constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTHSCROLL = 6;
constexpr LRESULT HTVSCROLL = 7;
constexpr LRESULT HTLEFT = 10;
constexpr LRESULT HTRIGHT = 11;
constexpr LRESULT HTTOP = 12;
constexpr LRESULT HTTOPLEFT = 13;
constexpr LRESULT HTTOPRIGHT = 14;
constexpr LRESULT HTBOTTOM = 15;
constexpr LRESULT HTBOTTOMLEFT = 16;
constexpr LRESULT HTBOTTOMRIGHT = 17;
constexpr LRESULT HTBORDER = 18;

// System commands (WM_SYSCOMMAND). SC_SIZE + 1..8 sizes from an edge
// (left, right, top, top-left, top-right, bottom, bottom-left,
// bottom-right); SC_MOVE + n moves with the mouse.
constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_CLOSE = 0xF060;

// Virtual key codes.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_CANCEL = 0x03;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
// '0'..'9' and 'A'..'Z' are their own ASCII codes.
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F10 = 0x79;
constexpr int VK_F12 = 0x7B;

// Key data (lParam of key messages): bit 29 is set while Alt is held.
constexpr LPARAM KF_ALTDOWN_BIT = LPARAM(1) << 29;

// Decoded views of common messages ------------------------------------------------

// Mouse messages: key state in WParam, client position in LParam.
struct TWMMouse {
  explicit TWMMouse(const TMessage& m)
      : Keys(uint32_t(m.WParam)), XPos(SignedLoWord(uintptr_t(m.LParam))), YPos(SignedHiWord(uintptr_t(m.LParam))) {}
  uint32_t Keys;
  int XPos, YPos;
};

// WM_MOUSEWHEEL: key state and signed delta in WParam, screen position in LParam.
struct TWMMouseWheel {
  explicit TWMMouseWheel(const TMessage& m)
      : Keys(LoWord(m.WParam)),
        WheelDelta(SignedHiWord(m.WParam)),
        XPos(SignedLoWord(uintptr_t(m.LParam))),
        YPos(SignedHiWord(uintptr_t(m.LParam))) {}
  uint32_t Keys;
  int WheelDelta;
  int XPos, YPos;
};

// WM_SIZE: kind in WParam, new client width and height in LParam.
struct TWMSize {
  explicit TWMSize(const TMessage& m)
      : SizeType(uint32_t(m.WParam)), Width(LoWord(uintptr_t(m.LParam))), Height(HiWord(uintptr_t(m.LParam))) {}
  uint32_t SizeType;
  int Width, Height;
};

// WM_HSCROLL / WM_VSCROLL: code and thumb position in WParam. The
// position is read unsigned: bars run over 0..65535, and a signed reading
// would send the thumb's right half to negative positions.
struct TWMScroll {
  explicit TWMScroll(const TMessage& m) : ScrollCode(LoWord(m.WParam)), Pos(HiWord(m.WParam)) {}
  int ScrollCode;
  int Pos;
};

// Key messages and CM_WANTSPECIALKEY: key code in WParam, key data in LParam.
struct TWMKey {
  explicit TWMKey(const TMessage& m) : CharCode(uint16_t(m.WParam)), KeyData(m.LParam) {}
  uint16_t CharCode;
  LPARAM KeyData;
};

// WM_NCHITTEST: screen position in LParam.
struct TWMNCHitTest {
  explicit TWMNCHitTest(const TMessage& m)
      : XPos(SignedLoWord(uintptr_t(m.LParam))), YPos(SignedHiWord(uintptr_t(m.LParam))) {}
  int XPos, YPos;
};
