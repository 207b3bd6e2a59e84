// Pieces the standard controls share: the item list of list and combo
// boxes (it tells its control which item came or went), caption
// accelerators, and the few drawing steps of the classic control look.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/canvas.h"
#include "platform/classes.h"
#include "platform/messages.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Items of a list or combo box: strings with objects and a small state
// word per item (a check list box keeps its check marks there), kept in
// order when Sorted. Index errors raise EStringListError.
class TItemStrings : public TStrings {
 public:
  int Count() const override { return int(items_.size()); }
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  TObject* GetObject(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::string& s) override;

  int GetState(int index) const;
  void SetState(int index, int state);
  bool GetSorted() const { return sorted_; }
  void SetSorted(bool sorted);

  // Told after an item was inserted or deleted (its index), and after any change.
  std::function<void(int)> Inserted;
  std::function<void(int)> Deleted;
  std::function<void()> Changed;

 private:
  struct Item {
    std::string text;
    TObject* object = nullptr;
    int state = 0;
  };
  void Check(int index) const;
  void Notify();
  std::vector<Item> items_;
  bool sorted_ = false;
};

// "&File" shows "File" with F as its accelerator; "&&" is a plain "&".
std::string StripHotkey(const std::string& caption);
// The accelerator letter (upper case), or 0 when the caption has none.
char HotkeyOf(const std::string& caption);

// The classic look: a raised or sunken frame of `width` pixels drawn
// inside r, which shrinks by it.
void Frame3D(TCanvas* canvas, TRect& r, TColor topLeft, TColor bottomRight, int width);
// Text inside r by alignment, vertically centred; greyed when disabled.
void DrawCaption(TCanvas* canvas, const TRect& r, const std::string& text, TAlignment alignment, bool enabled);

// Fills r with a solid colour.
void FillSolid(TCanvas* canvas, const TRect& r, TColor color);
// The etched frame of a group with its caption cut into the top line.
void PaintGroupFrame(TCanvas* canvas, const TRect& client, const std::string& caption, TColor color, bool enabled);
// Answers CM_WANTSPECIALKEY for the arrow and page keys, which lists,
// grids and bars move with; true when the message was taken.
bool ClaimNavigationKeys(TMessage& m);
// Whether the program shows real windows (not the headless platform),
// where menus and drop-down lists open for the user.
bool ShowsRealWindows();
