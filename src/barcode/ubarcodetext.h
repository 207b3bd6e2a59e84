// Whether a record's text can be carried by a symbology as it stands. The
// encoder itself never refuses a text: it turns characters outside the
// symbology's set into "0", cuts long texts and pads short ones, so a
// barcode drawn from such a text would scan as another text. The barcode
// batch checks every record first and reports the ones this refuses.
#pragma once

#include <string>

#include "barcode/barll.h"

enum TBarcodeTextFault {
  btfNone,
  btfEmpty,
  btfTooLong,     // more than the component's 50 characters
  btfCharacters,  // a character outside the symbology's set
  btfLength,      // a length the symbology cannot carry without cutting or padding
  btfCheckDigit,  // the last digit is not the check digit the barcode would carry
};

// `text` in UTF-8, as the table gives it. The 10 symbologies of the
// barcode window are checked; the others are taken as they are.
TBarcodeTextFault BarcodeTextFault(const std::string& text, lbtCodeTypes type);

// The fault in words, for the batch's report.
std::string BarcodeTextFaultText(TBarcodeTextFault fault);
