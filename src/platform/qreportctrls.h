// The printables of the report engine: text (TQRLabel, TQRDBText,
// TQRSysData) and a picture (TQRImage). Text stays text on the page.
#pragma once

#include <memory>
#include <string>

#include "platform/ctrlparts.h"  // TAlignment
#include "platform/graphics.h"
#include "platform/qreport.h"

// Text in a box: one line, or wrapped at the box's width (WordWrap); with
// AutoStretch the box grows downwards to hold every line, and its band
// with it; otherwise lines are cut at the box. AutoSize lets unwrapped
// text run past the box's right and bottom edges instead of being cut.
// The text prints in the control's font; a non-transparent box is filled
// with the control's colour (white unless set).
class TQRCustomLabel : public TQRPrintable {
 public:
  explicit TQRCustomLabel(TComponent* AOwner = nullptr);

  TAlignment Alignment = taLeftJustify;
  bool AutoSize = true;
  bool AutoStretch = false;
  bool WordWrap = false;
  bool Transparent = false;

  // The text printed for the current record.
  virtual std::string TextToPrint() = 0;

  void Print(double OfsX, double OfsY) override;
  double NeededHeight() override;
};

// The control's Caption.
class TQRLabel : public TQRCustomLabel {
 public:
  using TQRCustomLabel::TQRCustomLabel;
  std::string TextToPrint() override { return GetCaption(); }
};

// The text of one field of the current record. A field missing from the
// data set raises EDatabaseError when printed.
class TQRDBText : public TQRCustomLabel {
 public:
  explicit TQRDBText(TComponent* AOwner = nullptr) : TQRCustomLabel(AOwner) { AutoSize = false; }
  TDataSet* DataSet = nullptr;
  std::string DataField;
  std::string TextToPrint() override;
};

enum TQRSysDataType { qrsPageNumber, qrsDetailNo };

// Report data: the page number (or the record's number), after Text.
class TQRSysData : public TQRCustomLabel {
 public:
  using TQRCustomLabel::TQRCustomLabel;
  TQRSysDataType Data = qrsPageNumber;
  std::string Text;
  std::string TextToPrint() override;
};

// A picture: at its size on screen (one picture pixel per screen pixel),
// or stretched to the box; centred in the box with Center; cut at the box.
// A transparent bitmap leaves its transparent colour out.
class TQRImage : public TQRPrintable {
 public:
  explicit TQRImage(TComponent* AOwner = nullptr);
  ~TQRImage() override;

  // Owned; Assign a picture into it.
  TBitmap* const Picture;
  bool Stretch = false;
  bool Center = false;

  void Print(double OfsX, double OfsY) override;

 private:
  std::string RepeatKey(const TRect& box) const;
};
