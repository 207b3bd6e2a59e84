// Scanners through SANE: the device list, a device's options and the
// reading of one picture. The scanner session of the imaging library sits
// on top of this; nothing here knows about pictures.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TSaneDevice {
  std::string Name;  // the name to open the device by
  std::string Vendor;
  std::string Model;
  std::string Type;
};

// The library is started once for all holders: each successful SaneStart
// is matched by one SaneStop. Once started it stays started until the
// process ends, so that its backends stay loaded as long as anything they
// made may live (some read in threads of their own).
bool SaneStart();
void SaneStop();
// Starts the library anew when it runs and no holder has it, so that it
// reads its configuration again (scanners configured since).
void SaneReload();
// The devices the configured backends find (local and network ones).
std::vector<TSaneDevice> SaneDevices();

enum TSaneValueKind { svBool, svInt, svFixed, svString, svOther };
enum TSaneConstraint { scNone, scRange, scNumbers, scStrings };
// Units of a number option.
enum TSaneUnit { suNone, suPixel, suBit, suMM, suDPI, suPercent, suMicrosecond };

// One option as the device describes it; numbers of fixed options are
// already turned into doubles.
struct TSaneOption {
  std::string Name;
  TSaneValueKind Kind = svOther;
  TSaneUnit Unit = suNone;
  int32_t ValueCount = 0;  // words of a number option, bytes of a string
  bool Active = false;
  bool Settable = false;
  TSaneConstraint Constraint = scNone;
  double Min = 0, Max = 0, Step = 0;
  std::vector<double> Numbers;
  std::vector<std::string> Strings;
};

// The shape of the frame a started scan delivers. Lines is -1 while the
// device does not know the height (hand-held scanners).
enum TSaneFrameFormat { sfGray, sfRGB, sfOther };
struct TSaneFrame {
  TSaneFrameFormat Format = sfOther;
  bool LastFrame = true;
  int32_t BytesPerLine = 0;
  int32_t PixelsPerLine = 0;
  int32_t Lines = 0;
  int32_t Depth = 0;
};

enum TSaneResult { srOk, srEof, srCancelled, srFailed };

// One open device. Every call on a closed handle fails quietly.
class TSaneHandle {
 public:
  TSaneHandle() = default;
  TSaneHandle(const TSaneHandle&) = delete;
  TSaneHandle& operator=(const TSaneHandle&) = delete;
  ~TSaneHandle() { Close(); }

  bool Open(const std::string& device);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }

  bool FindOption(const std::string& name, TSaneOption& option) const;
  // Booleans read as 0 and 1; only the first value of an array is read
  // or written.
  bool GetNumber(const std::string& name, double& value) const;
  bool SetNumber(const std::string& name, double value);
  bool GetString(const std::string& name, std::string& value) const;
  bool SetString(const std::string& name, const std::string& value);

  TSaneResult Start();
  bool Parameters(TSaneFrame& frame) const;
  // Reads up to `size` bytes; `got` is what arrived.
  TSaneResult Read(uint8_t* buffer, int32_t size, int32_t& got);
  // Ends the scan in progress (also needed after the last frame).
  void Cancel();

 private:
  int FindIndex(const std::string& name) const;
  void* handle_ = nullptr;
};
