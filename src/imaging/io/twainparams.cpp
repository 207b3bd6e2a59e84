#include "imaging/io/twainparams.h"

#include <cctype>

#include "imaging/io/imscan.h"

namespace {

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

bool BeginsWith(const std::string& text, const std::string& start) {
  return Upper(text).compare(0, start.size(), Upper(start)) == 0 && text.size() >= start.size();
}

std::string First32(const std::string& v) { return v.substr(0, 32); }

}  // namespace

TIETWainParams::TIETWainParams(TObject* owner, bool multiImageOwner)
    : Owner(owner), multiImageOwner_(multiImageOwner) {
  SetDefaultParams();
}

TIETWainParams::~TIETWainParams() { IETW_FreeResources(&Shared); }

void TIETWainParams::SetDefaultParams() {
  SourceList.clear();
  ShowSourceDialog = true;
  SelectedSource = 0;
  SourceListFilled = false;
  CapabilitiesRead = false;
  TIETWSourceCaps& c = Capabilities;
  for (TIEList* list : {static_cast<TIEList*>(&c.XResolution), static_cast<TIEList*>(&c.YResolution),
                        static_cast<TIEList*>(&c.XScaling), static_cast<TIEList*>(&c.YScaling),
                        static_cast<TIEList*>(&c.PixelType), static_cast<TIEList*>(&c.Orientation),
                        static_cast<TIEList*>(&c.Contrast), static_cast<TIEList*>(&c.Brightness),
                        static_cast<TIEList*>(&c.StandardSize)})
    list->Clear();
  c.Gamma = 2.2;
  c.PhysicalHeight = c.PhysicalWidth = 0;
  c.FeederEnabled = c.DuplexEnabled = c.AutoFeed = multiImageOwner_;
  c.Indicators = true;
  for (double& f : c.AcquireFrame) f = 0;
  c.BufferedTransfer = true;
  c.AcquireFrameEnabled = false;
  c.Threshold = 128;
  c.UndefinedImageSize = false;
  AppVersionInfo.clear();
  AppManufacturer.clear();
  AppProductFamily.clear();
  AppProductName.clear();
}

void TIETWainParams::Assign(const TIETWainParams* source) {
  if (!source || source == this) return;
  ShowSourceDialog = source->ShowSourceDialog;
  SelectedSource = source->SelectedSource;
  SourceListFilled = source->SourceListFilled;
  SourceList = source->SourceList;
  TIETWSourceCaps& c = Capabilities;
  const TIETWSourceCaps& s = source->Capabilities;
  c.XResolution.Assign(&s.XResolution);
  c.YResolution.Assign(&s.YResolution);
  c.XScaling.Assign(&s.XScaling);
  c.YScaling.Assign(&s.YScaling);
  c.PixelType.Assign(&s.PixelType);
  c.Orientation.Assign(&s.Orientation);
  c.Contrast.Assign(&s.Contrast);
  c.Brightness.Assign(&s.Brightness);
  c.StandardSize.Assign(&s.StandardSize);
  c.Gamma = s.Gamma;
  c.PhysicalHeight = s.PhysicalHeight;
  c.PhysicalWidth = s.PhysicalWidth;
  c.FeederEnabled = s.FeederEnabled;
  c.Indicators = s.Indicators;
  for (int i = 0; i < 4; ++i) c.AcquireFrame[i] = s.AcquireFrame[i];
  c.BufferedTransfer = s.BufferedTransfer;
  c.DuplexEnabled = s.DuplexEnabled;
  c.AcquireFrameEnabled = s.AcquireFrameEnabled;
  c.Threshold = s.Threshold;
  c.UndefinedImageSize = s.UndefinedImageSize;
  c.AutoFeed = s.AutoFeed;
  AppVersionInfo = source->AppVersionInfo;
  AppManufacturer = source->AppManufacturer;
  AppProductFamily = source->AppProductFamily;
  AppProductName = source->AppProductName;
}

void TIETWainParams::FillSourceListData() {
  if (SourceListFilled) return;
  SourceList.clear();
  IETW_GetSourceList(SourceList, &Shared);
  SourceListFilled = true;
}

int TIETWainParams::GetSourceCount() {
  FillSourceListData();
  return static_cast<int>(SourceList.size());
}

std::string TIETWainParams::GetSourceName(int index) {
  FillSourceListData();
  if (index < 0 || index >= static_cast<int>(SourceList.size())) return "";
  return SourceList[static_cast<size_t>(index)].ProductName;
}

bool TIETWainParams::SelectSourceByName(const std::string& name) {
  FillSourceListData();
  for (size_t i = 0; i < SourceList.size(); ++i) {
    if (!BeginsWith(SourceList[i].ProductName, name)) continue;
    if (static_cast<int>(i) != SelectedSource) SetSelectedSource(static_cast<int>(i));
    return true;
  }
  return false;
}

int TIETWainParams::GetDefaultSource() {
  std::string name = IETW_GetDefaultSource(&Shared);
  FillSourceListData();
  for (size_t i = 0; i < SourceList.size(); ++i)
    if (BeginsWith(SourceList[i].ProductName, name)) return static_cast<int>(i);
  return 0;
}

void TIETWainParams::SetSelectedSource(int index) {
  if (index == SelectedSource) return;
  SelectedSource = index;
  CapabilitiesRead = false;
  FillCapabilities();
}

void TIETWainParams::FillCapabilities() {
  if (CapabilitiesRead) return;
  GetFromScanner();
}

void TIETWainParams::GetFromScanner() {
  IETW_GetCapabilities(this, Capabilities, false, &Shared);
  CapabilitiesRead = true;
}

void TIETWainParams::Update() {
  IETW_GetCapabilities(this, Capabilities, true, &Shared);
  CapabilitiesRead = true;
}

void TIETWainParams::FreeResources() {
  IETW_FreeResources(&Shared);
  Shared = TIETWainShared();
}

#define CW_CAP_GETTER(type, name, field) \
  type TIETWainParams::name() {          \
    FillCapabilities();                  \
    return Capabilities.field;           \
  }
CW_CAP_GETTER(TIEDoubleList&, GetXResolution, XResolution)
CW_CAP_GETTER(TIEDoubleList&, GetYResolution, YResolution)
CW_CAP_GETTER(TIEDoubleList&, GetXScaling, XScaling)
CW_CAP_GETTER(TIEDoubleList&, GetYScaling, YScaling)
CW_CAP_GETTER(TIEDoubleList&, GetContrast, Contrast)
CW_CAP_GETTER(TIEDoubleList&, GetBrightness, Brightness)
CW_CAP_GETTER(TIEIntegerList&, GetPixelType, PixelType)
CW_CAP_GETTER(TIEIntegerList&, GetOrientation, Orientation)
CW_CAP_GETTER(TIEIntegerList&, GetStandardSize, StandardSize)
CW_CAP_GETTER(int32_t, GetThreshold, Threshold)
CW_CAP_GETTER(double, GetGamma, Gamma)
CW_CAP_GETTER(double, GetPhysicalHeight, PhysicalHeight)
CW_CAP_GETTER(double, GetPhysicalWidth, PhysicalWidth)
CW_CAP_GETTER(bool, GetFeederEnabled, FeederEnabled)
CW_CAP_GETTER(bool, GetAutoFeed, AutoFeed)
CW_CAP_GETTER(bool, GetFeederLoaded, FeederLoaded)
CW_CAP_GETTER(bool, GetPaperDetectable, PaperDetectable)
CW_CAP_GETTER(bool, GetDuplexSupported, DuplexSupported)
CW_CAP_GETTER(bool, GetDuplexEnabled, DuplexEnabled)
CW_CAP_GETTER(bool, GetAcquireFrameEnabled, AcquireFrameEnabled)
CW_CAP_GETTER(bool, GetIndicators, Indicators)
#undef CW_CAP_GETTER

double TIETWainParams::GetAcquireFrame(int index) {
  FillCapabilities();
  return index >= 0 && index < 4 ? Capabilities.AcquireFrame[index] : 0;
}

void TIETWainParams::SetAcquireFrame(int index, double value) {
  if (index >= 0 && index < 4) Capabilities.AcquireFrame[index] = value;
}

void TIETWainParams::SetAppVersionInfo(const std::string& v) { AppVersionInfo = First32(v); }
void TIETWainParams::SetAppManufacturer(const std::string& v) { AppManufacturer = First32(v); }
void TIETWainParams::SetAppProductFamily(const std::string& v) { AppProductFamily = First32(v); }
void TIETWainParams::SetAppProductName(const std::string& v) { AppProductName = First32(v); }
