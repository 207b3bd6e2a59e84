// The encoder's normalisation: filtering, cutting and padding the input and
// appending check characters, then building the module sequence.
#include "barcode/barll.h"

#include <cstring>

#include "barcode/barlltables.h"

namespace {

constexpr const char* kDigits = "0123456789";

[[noreturn]] void Fail(const char* text) { throw EOverflow(text); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int DigitValue(char c) { return IsDigit(c) ? c - '0' : 0; }

// Cuts to `length` characters, then pads with "0" on the right.
void FitTo(std::string& text, size_t length) {
  if (text.size() > length) text.resize(length);
  text.append(length - text.size(), '0');
}

// Weights of the mod 10 check digit by symbology, one digit per position.
std::string ProofWeights(lbtCodeTypes type) {
  switch (type) {
    case EAN_8: return "3131313";
    case EAN_13: return "131313131313";
    case UPC_A:
    case UPC_E: return "31313131313";
    case CODE25i: {
      std::string w;
      for (int i = 0; i < 25; ++i) w += "31";
      return w;
    }
    case CODE25iP: {
      std::string w;
      for (int i = 0; i < 25; ++i) w += "49";
      return w;
    }
    case Postnet: return "11111111111";
    default: Fail("BarcoLL: No check char with this barcode type");
  }
}

int WeightedSum(const std::string& text, const std::string& weights) {
  int sum = 0;
  for (size_t i = 0; i < text.size() && i < weights.size(); ++i) sum += DigitValue(text[i]) * (weights[i] - '0');
  return sum;
}

char CheckDigit(int sum) { return char('0' + (10 - sum % 10) % 10); }

bool IsCodabarStartStop(char c) { return c >= 'A' && c <= 'D'; }

}  // namespace

TLLBarcode::TLLBarcode() : Params(new TBarcodeParams) {}

TLLBarcode::~TLLBarcode() { delete Params; }

void TLLBarcode::AllRecalc() {
  std::memset(Modules, 0, sizeof Modules);
  ModuleCount = 0;
  // The fixed module array holds what 50 characters can make; a longer text
  // set on the parameters directly is refused like the component refuses it.
  if (Params->InputCode.size() > size_t(BarMaxInput)) Fail("String exceeds maximum length");
  PrepareCode(Params->InputCode, CodeText, Params->CodeType);
  switch (Params->CodeType) {
    case EAN_8: DoCode_Ean8(); break;
    case EAN_13: DoCode_Ean13(); break;
    case UPC_A: DoCode_UPCA(); break;
    case UPC_E: DoCode_UPCE(); break;
    case CODE39: DoCode_Code39(); break;
    case CODE25i:
    case CODE25iP: DoCode_Code25I(); break;
    case CODE128_A: DoCode_128('A'); break;
    case CODE128_B: DoCode_128('B'); break;
    case CODE128_C: DoCode_128('C'); break;
    case MSI_Plessey: DoCode_MSIPlessey(); break;
    case Codabar: DoCode_Codabar(); break;
    case Postnet: DoCode_Postnet(); break;
    case Postnet_FIM: DoCode_Postnet_FIM(); break;
  }
  if (Params->CodeType == EAN_13 || Params->CodeType == UPC_A) {
    switch (Params->AddonCode.size()) {
      case 0: break;
      case 2: AppendAddon2(); break;
      case 5: AppendAddon5(); break;
      default: Fail("BarLL: Wrong Addoncode");
    }
  }
}

void PrepareCode(std::string& input, std::string& output, lbtCodeTypes type) {
  TransfervalidChars(input, output, type);
  switch (type) {
    case EAN_8: FitTo(output, 7); AddProofchar(output, type); break;
    case EAN_13: FitTo(output, 12); AddProofchar(output, type); break;
    case UPC_A: FitTo(output, 11); AddProofchar(output, type); break;
    case UPC_E: FitTo(output, 6); AddProofchar(output, type); break;
    case CODE39:
    case Codabar:
    case Postnet_FIM: break;
    case CODE25i:
    case CODE25iP:
      // An odd length gets the check digit, which makes it even.
      if (output.size() % 2 == 1) AddProofchar(output, type);
      break;
    case CODE128_A:
    case CODE128_B:
    case CODE128_C: AddCode128Proofchar(output, type); break;
    case MSI_Plessey: AddMSIProofchar(output, type); break;
    case Postnet:
      if (output.size() >= 11)
        output.resize(11);
      else if (output.size() >= 9)
        output.resize(9);
      else
        FitTo(output, 5);
      AddProofchar(output, type);
      break;
    default: Fail("Barcode: Unknown Type of Barcode");
  }
}

void TransfervalidChars(std::string& input, std::string& output, lbtCodeTypes type) {
  if (type == CODE128_A || type == CODE128_B || type == CODE128_C) {
    const char start = char(type == CODE128_A ? Code128StartA : type == CODE128_B ? Code128StartB : Code128StartC);
    TranslateCode128(std::string(1, start) + input, false, output);
    return;
  }
  if (type == Codabar) {
    TransferCodabarChars(input, output);
    return;
  }
  std::string valid = type == CODE39 ? BarCode39->Chars
                      : type == Postnet   ? BarPostnet->Digits
                      : type == Postnet_FIM ? std::string("ABCabc")
                                            : std::string(kDigits);
  output.clear();
  for (char c : input) output += (c != '\0' && valid.find(c) != std::string::npos) ? c : '0';
  if (type == CODE39) output = "*" + output + "*";
}

void TransferCodabarChars(std::string& input, std::string& output) {
  // Upper-case single-byte letters only; both bytes of a GBK character stay.
  for (size_t i = 0; i < input.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(input[i]);
    if (c >= 0x81 && i + 1 < input.size()) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      input[i] = char(c - 'a' + 'A');
    }
  }
  output.clear();
  const size_t n = input.size();
  for (size_t p = 1; p <= n; ++p) {
    const char c = input[p - 1];
    if (p == 1 && !IsCodabarStartStop(c)) output += 'A';
    if (BarCodabar->IndexOf(c) >= 0) output += c;
    if (p == n && !IsCodabarStartStop(c)) output += 'A';
  }
  while (output.size() < 2) output += 'A';
  for (size_t i = 1; i + 1 < output.size(); ++i)
    if (IsCodabarStartStop(output[i])) output[i] = '0';
}

void TranslateCode128(const std::string& text, bool display, std::string& result) {
  result.clear();
  int state = 0;  // 0 none, 1 set A, 2 set B, 3 set C
  int pending = -1;  // set C: the first digit of a pair
  auto blank = [&] {
    if (display) result += ' ';
  };
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c == Code128StartA || c == Code128StartB || c == Code128StartC) {
      state = c - Code128StartA + 1;
      if (!display) result += ch;
    } else if (c == Code128CodeC || c == Code128CodeB || c == Code128CodeA) {
      const int target = c == Code128CodeC ? 3 : c == Code128CodeB ? 2 : 1;
      const bool switches = state != 0 && state != target;
      if (switches) state = target;
      if (!display)
        result += ch;
      else if (!switches)
        result += ' ';
    } else if (state == 3) {
      if (c == Code128Fnc1 && pending < 0) {
        if (!display) result += ch;
        blank();
        continue;
      }
      const int digit = DigitValue(ch);
      if (pending < 0) {
        pending = digit;
      } else {
        const int pair = pending * 10 + digit;
        if (display) {
          result += char('0' + pending);
          result += char('0' + digit);
        } else {
          result += char(32 + pair);
        }
        pending = -1;
      }
    } else {
      if (!display)
        result += ch;
      else if ((state == 1 && c <= 95) || (state == 2 && c <= 126))
        result += ch;
      else
        result += ' ';
    }
  }
  if (state == 3 && pending >= 0) {
    // The odd last digit goes out in set A, where a digit is its own byte.
    if (!display) result += char(Code128CodeA);
    result += char('0' + pending);
  }
  if (!display) result += char(Code128Stop);
}

void AddProofchar(std::string& text, lbtCodeTypes type) {
  const std::string weights = ProofWeights(type);
  const int sum = type == UPC_E ? UPCEProofSum(text) : WeightedSum(text, weights);
  text += CheckDigit(sum);
}

int UPCEProofSum(const std::string& text) {
  std::string expanded = "0";
  const char* form = UpcETemplates[DigitValue(text.size() >= 6 ? text[5] : '0')];
  size_t next = 0;
  for (const char* t = form; *t; ++t) {
    if (*t != 'X') {
      expanded += *t;
    } else if (next < text.size()) {
      expanded += text[next++];
    }
  }
  if (expanded.size() != 11) Fail("Decoded legth of UPC-E code is wrong!");
  return WeightedSum(expanded, "31313131313");
}

void AddCode128Proofchar(std::string& text, lbtCodeTypes type) {
  for (char ch : text) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 32 || c > Code128Stop) Fail("BarcoLL: Code128 error");
  }
  if (text.size() < 2) Fail("BarcoLL: Code128 error");
  const size_t n = text.size();
  int sum = static_cast<unsigned char>(text[0]) - 32;
  for (size_t i = 1; i + 1 < n; ++i) sum += (static_cast<unsigned char>(text[i]) - 32) * int(i);
  text[n - 1] = char(32 + sum % 103);
  text += char(Code128Stop);
}

void AddMSIProofchar(std::string& text, lbtCodeTypes type) {
  if (type != MSI_Plessey) Fail("Wrong barcode type in procedure AddMSIProofchar");
  // From the right: odd places form N, whose double's digit sum counts; the
  // digit sum of 2N is the sum of the doubled digits' own digit sums, so the
  // check stays exact however long N is.
  int sum = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    const int d = DigitValue(text[n - 1 - i]);
    if (i % 2 == 0)
      sum += 2 * d >= 10 ? 2 * d - 9 : 2 * d;
    else
      sum += d;
  }
  text += CheckDigit(sum);
}
