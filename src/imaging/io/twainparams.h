// TIETWainParams: what an acquisition needs to know about the scanner: the
// list of sources and the selected one, the capabilities of the selected
// source (read on first use, sent back before acquiring), whether the
// source shows its own dialog, the application's identity texts, and the
// shared record that keeps the scanner library started between calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imaging/core/ievaluelists.h"
#include "platform/classes.h"

// One scanner as the session knows it.
struct TIETWIdentity {
  int32_t Id = 0;
  std::string ProductName;  // what the user sees and selects by; 33 characters at most
  std::string Manufacturer;
  std::string ProductFamily;
  std::string Device;  // the name the scanner library opens it by
};

// Kept from one call to the next until IETW_FreeResources.
struct TIETWainShared {
  bool Loaded = false;  // the scanner library was started for this record
};

// The capabilities of one source.
struct TIETWSourceCaps {
  TIEDoubleList XResolution, YResolution, XScaling, YScaling;
  TIEIntegerList PixelType;  // 0 black and white, 1 grey, 2 RGB
  double Gamma = 2.2;
  double PhysicalHeight = 0, PhysicalWidth = 0;  // inches
  bool FeederEnabled = false;
  TIEIntegerList Orientation;
  bool Indicators = true;
  double AcquireFrame[4] = {0, 0, 0, 0};  // left, top, right, bottom in inches
  bool BufferedTransfer = true;
  bool DuplexEnabled = false;
  bool AcquireFrameEnabled = false;
  bool FeederLoaded = false;
  bool DuplexSupported = false;
  bool PaperDetectable = false;
  TIEDoubleList Contrast, Brightness;
  int32_t Threshold = 128;
  bool UndefinedImageSize = false;
  TIEIntegerList StandardSize;
  bool AutoFeed = false;
};

class TIETWainParams : public TObject {
 public:
  // A multi-image owner starts with feeder, duplex and auto-feed on.
  explicit TIETWainParams(TObject* owner, bool multiImageOwner = false);
  ~TIETWainParams() override;
  TIETWainParams(const TIETWainParams&) = delete;
  TIETWainParams& operator=(const TIETWainParams&) = delete;

  void SetDefaultParams();
  void Assign(const TIETWainParams* source);

  void FillSourceListData();
  int GetSourceCount();
  // '' at or past the count.
  std::string GetSourceName(int index);
  // The first source whose name begins with `name`, in any case.
  bool SelectSourceByName(const std::string& name);
  int GetDefaultSource();
  int GetSelectedSource() const { return SelectedSource; }
  void SetSelectedSource(int index);

  void FillCapabilities();
  void GetFromScanner();
  // Sends the changed capabilities, then reads them all back.
  void Update();
  void FreeResources();

  // Each reads the selected source's capabilities on first use.
  TIEDoubleList& GetXResolution();
  TIEDoubleList& GetYResolution();
  TIEDoubleList& GetXScaling();
  TIEDoubleList& GetYScaling();
  TIEDoubleList& GetContrast();
  TIEDoubleList& GetBrightness();
  TIEIntegerList& GetPixelType();
  TIEIntegerList& GetOrientation();
  TIEIntegerList& GetStandardSize();
  int32_t GetThreshold();
  double GetGamma();
  double GetPhysicalHeight();
  double GetPhysicalWidth();
  bool GetFeederEnabled();
  bool GetAutoFeed();
  bool GetFeederLoaded();
  bool GetPaperDetectable();
  bool GetDuplexSupported();
  bool GetDuplexEnabled();
  bool GetAcquireFrameEnabled();
  bool GetIndicators();
  // 0 left, 1 top, 2 right, 3 bottom; any other index gives 0.
  double GetAcquireFrame(int index);
  bool GetUndefinedImageSize() const { return Capabilities.UndefinedImageSize; }
  bool GetBufferedTransfer() const { return Capabilities.BufferedTransfer; }

  void SetThreshold(int32_t v) { Capabilities.Threshold = v; }
  void SetFeederEnabled(bool v) { Capabilities.FeederEnabled = v; }
  void SetAutoFeed(bool v) { Capabilities.AutoFeed = v; }
  void SetUndefinedImageSize(bool v) { Capabilities.UndefinedImageSize = v; }
  void SetDuplexEnabled(bool v) { Capabilities.DuplexEnabled = v; }
  void SetAcquireFrameEnabled(bool v) { Capabilities.AcquireFrameEnabled = v; }
  void SetIndicators(bool v) { Capabilities.Indicators = v; }
  void SetBufferedTransfer(bool v) { Capabilities.BufferedTransfer = v; }
  void SetAcquireFrame(int index, double value);

  // Keep the first 32 characters.
  void SetAppVersionInfo(const std::string& v);
  void SetAppManufacturer(const std::string& v);
  void SetAppProductFamily(const std::string& v);
  void SetAppProductName(const std::string& v);

  TObject* Owner = nullptr;
  bool ShowSourceDialog = true;
  std::vector<TIETWIdentity> SourceList;
  int SelectedSource = 0;
  bool SourceListFilled = false;
  bool CapabilitiesRead = false;
  TIETWSourceCaps Capabilities;
  std::string AppVersionInfo, AppManufacturer, AppProductFamily, AppProductName;
  TIETWainShared Shared;

 private:
  bool multiImageOwner_ = false;
};
