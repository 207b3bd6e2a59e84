// The barcode encoder: an input text and a symbology become a normalised
// code text (filtered, cut or padded, with start, stop and check
// characters) and a module sequence, the run of narrow bar and space units
// from left to right. It also draws that sequence on a canvas at a physical
// module width, in four rotations, with the human-readable text.
//
// Texts here are single-byte: the component hands its caption over in GBK,
// so one character of the card-holder table is what the encoder counts.
// Every failure raises EOverflow with a fixed text.
#pragma once

#include <cstdint>
#include <string>

#include "platform/canvas.h"
#include "platform/sysutils.h"
#include "platform/wintypes.h"

enum lbtCodeTypes : uint8_t {
  EAN_8,
  EAN_13,
  UPC_A,
  UPC_E,
  CODE39,
  CODE25i,
  CODE25iP,
  CODE128_A,
  CODE128_B,
  CODE128_C,
  MSI_Plessey,
  Codabar,
  Postnet,
  Postnet_FIM,
};
enum lbtCodeSizes : uint8_t { SC0, SC1, SC2, SC3, SC4, SC5, SC6, SC7, SC8, SC9 };
enum lbtCodeRatio : uint8_t { Ratio_3, Ratio_2 };
enum lbtCodeRotate : uint8_t { rotate_000, rotate_090, rotate_180, rotate_270 };

// Longest input text, longest code text and longest module sequence (Code 39:
// 52 characters of at most 16 modules).
constexpr int BarMaxInput = 50;
constexpr int BarMaxCodeText = 780;
constexpr int BarMaxModules = 833;

// Internal Code 128 characters: symbol value v is the byte 32 + v.
constexpr unsigned char Code128CodeC = 131, Code128CodeB = 132, Code128CodeA = 133, Code128Fnc1 = 134,
                        Code128StartA = 135, Code128StartB = 136, Code128StartC = 137, Code128Stop = 138;

class TBarcodeParams : public TObject {
 public:
  std::string InputCode = "4711";  // at most BarMaxInput characters
  std::string AddonCode;           // 0, 2 or 5 digits
  lbtCodeTypes CodeType = EAN_8;
  lbtCodeSizes SCSize = SC2;
  lbtCodeRatio Ratio = Ratio_3;
  int32_t HeightPercent = 100;  // 20..200
  std::string Fontname = "Arial";
  int32_t Fontscaling = 100;  // 20..200
  bool ReduceWidth = false;
  bool HDCode = false;
  bool ZoomSize = false;
  lbtCodeRotate Rotate = rotate_000;
  bool HReadable = true;
  int32_t FrachtpostKundenNummerStellen = 7;  // 4..7
};

class TLLBarcode : public TObject {
 public:
  TLLBarcode();
  ~TLLBarcode() override;
  TLLBarcode(const TLLBarcode&) = delete;
  TLLBarcode& operator=(const TLLBarcode&) = delete;

  TBarcodeParams* const Params;
  // Results of the last AllRecalc.
  std::string CodeText;
  uint8_t Modules[BarMaxModules] = {};  // 1 bar, 0 space (Postnet: 1 full, 0 half)
  int32_t ModuleCount = 0;

  void AllRecalc();

  // Module builders: read CodeText (and the add-on), write Modules.
  void DoCode_Ean13();
  void DoCode_Ean8();
  void DoCode_UPCA();
  void DoCode_UPCE();
  void DoCode_Code39();
  void DoCode_Code25I();
  void DoCode_128(char startSet);
  void DoCode_MSIPlessey();
  void DoCode_Codabar();
  void DoCode_Postnet();
  void DoCode_Postnet_FIM();
  void AppendAddon2();
  void AppendAddon5();

  // Drawing at (X, Y) in device pixels; Size receives the drawn width and
  // height (swapped for the quarter turns).
  void ToCanvas(TCanvas* Canvas, int X, int Y, TPoint& Size);
  void PostnetToCanvas(TCanvas* Canvas, int X, int Y, TPoint& Size);
  // Fills Rect, given in the unrotated frame of the W x H symbol at (X, Y).
  void DoRect(TCanvas* Canvas, const TRect& Rect, int X, int Y, int W, int H);
  // Writes Text centred on CentreX with its top at TextY (unrotated frame).
  void Beschriftung(TCanvas* Canvas, int X, int Y, int CentreX, int TextY, int W, int H, int BarHeight,
                    const std::string& Text);
  // Module width in millimetres.
  double getSize() const;
  // Groups the parcel-post text with points and blanks.
  void AddFrachtpostPunkte(std::string& Text) const;

 private:
  // Appends modules, refusing to run past the fixed module array.
  void Put(const char* bits);
  void PutElements(const std::string& widths, bool barFirst);
  void PutEanDigit(char digit, char set);
  void PutEanSymbol(const std::string& left, const std::string& leftSets, const std::string& right);
};

// Normalisation routines of the encoder.
void PrepareCode(std::string& input, std::string& output, lbtCodeTypes type);
void TransfervalidChars(std::string& input, std::string& output, lbtCodeTypes type);
// Upper-cases `input` in place (the caller's own text), then encloses it.
void TransferCodabarChars(std::string& input, std::string& output);
// display false: the internal Code 128 characters; true: the readable text.
void TranslateCode128(const std::string& text, bool display, std::string& result);
void AddProofchar(std::string& text, lbtCodeTypes type);
int UPCEProofSum(const std::string& text);
void AddCode128Proofchar(std::string& text, lbtCodeTypes type);
void AddMSIProofchar(std::string& text, lbtCodeTypes type);
