// The clipboard over QClipboard. The platform calls (OpenClipboard,
// SetClipboardData ...) keep what the program puts on the clipboard as
// handles it owns: global memory blocks (kernel.h) for CF_DIB, text and
// registered formats, a bitmap object (gdi.h) for CF_BITMAP. Each change is
// published to QClipboard at once: pictures as an image, with the packed
// DIB's exact bytes beside it, text as text, registered formats under a
// MIME type of their name. What another program put there is read back
// the same way: a picture serves both CF_DIB and CF_BITMAP, text both
// CF_TEXT and CF_UNICODETEXT.
#pragma once

#include <cstdint>
#include <string>

#include "platform/controls.h"
#include "platform/gdi.h"
#include "platform/kernel.h"

constexpr unsigned CF_TEXT = 1;
constexpr unsigned CF_BITMAP = 2;
constexpr unsigned CF_DIB = 8;
constexpr unsigned CF_UNICODETEXT = 13;

// Opens the clipboard for this process; false when it is already open or
// there is no GUI application.
bool OpenClipboard(HWND owner);
bool CloseClipboard();
// Frees what is on the clipboard and makes it empty; needs it open.
bool EmptyClipboard();
// Puts data on the open clipboard, which then owns the handle (a bitmap
// object for CF_BITMAP, a global block otherwise); replaces that format's
// data. Returns the handle, 0 on failure (the caller keeps the handle then).
HANDLE SetClipboardData(unsigned format, HANDLE data);
// The data of a format, owned by the clipboard and valid until it changes;
// 0 when the clipboard is not open or has no such data.
HANDLE GetClipboardData(unsigned format);
bool IsClipboardFormatAvailable(unsigned format);
// The same number for the same name (letter case ignored), from 0xC000;
// 0 for an empty name.
unsigned RegisterClipboardFormat(const std::string& name);
// The name of a registered format; "" for others.
std::string GetClipboardFormatName(unsigned format);
// The MIME type a registered format travels under on the desktop.
std::string ClipboardFormatMimeType(unsigned format);

CW_DECLARE_EXCEPTION(EClipboardException, Exception)

// The framework's clipboard object. Open and Close nest; the first thing
// put on the clipboard inside one Open and Close empties it first, so
// several formats can be put on together.
class TClipboard : public TPersistent {
 public:
  // Raises EClipboardException when the clipboard cannot be opened.
  void Open();
  void Close();
  void Clear();
  bool HasFormat(unsigned format);
  HANDLE GetAsHandle(unsigned format);
  // The clipboard takes ownership of `value` (see SetClipboardData).
  void SetAsHandle(unsigned format, HANDLE value);
  std::string GetAsText();
  void SetAsText(const std::string& text);
  // Puts a copy of a TBitmap on the clipboard (CF_BITMAP).
  void Assign(TPersistent* source) override;

 protected:
  // Fills a TBitmap from the clipboard's picture (TBitmap::Assign(Clipboard())).
  void AssignTo(TPersistent* dest) override;

 private:
  void Adding();
  int openCount_ = 0;
  bool emptied_ = false;
};

// The program's clipboard object.
TClipboard* Clipboard();
