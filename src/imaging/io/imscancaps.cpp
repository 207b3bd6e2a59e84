#include "imaging/io/imscancaps.h"

#include <algorithm>
#include <cctype>

namespace {

constexpr double kMMPerInch = 25.4;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// The pixel type a scan mode stands for; -1 for modes with no pixel type.
int PixelTypeOfMode(const std::string& mode) {
  std::string m = Lower(mode);
  if (m == "lineart" || m == "binary" || m == "black & white" || m == "black&white") return 0;
  if (m == "gray" || m == "grey" || m == "grayscale") return 1;
  if (m == "color" || m == "colour" || m == "rgb") return 2;
  return -1;
}

// The scanner's mode that stands for a pixel type; '' when none.
std::string ModeOfPixelType(const TSaneOption& mode, int type) {
  for (const std::string& s : mode.Strings)
    if (PixelTypeOfMode(s) == type) return s;
  return "";
}

bool DepthOffers(TSaneHandle& scanner, double depth) {
  TSaneOption o;
  if (!scanner.FindOption("depth", o)) return false;
  if (o.Constraint == scNumbers) return std::find(o.Numbers.begin(), o.Numbers.end(), depth) != o.Numbers.end();
  if (o.Constraint == scRange) return depth >= o.Min && depth <= o.Max;
  return false;
}

// Reads a number option into a list: a range gives the range and the
// current value, a list of numbers the items and the current value.
bool ReadList(TSaneHandle& scanner, const std::string& name, TIEDoubleList& list) {
  list.Clear();
  TSaneOption o;
  if (!scanner.FindOption(name, o) || !o.Active || (o.Kind != svInt && o.Kind != svFixed)) return false;
  double current = 0;
  if (!scanner.GetNumber(name, current)) return false;
  if (o.Constraint == scRange) {
    list.SetRangeMin(o.Min);
    list.SetRangeMax(o.Max);
    list.SetRangeStep(o.Step);
  } else if (o.Constraint == scNumbers) {
    for (double v : o.Numbers) list.Add(v);
  } else {
    list.Add(current);
  }
  list.SetCurrentValue(current);
  return true;
}

const char* ResolutionOption(TSaneHandle& scanner, const char* own) {
  TSaneOption o;
  return scanner.FindOption(own, o) && o.Active ? own : "resolution";
}

void ReadPixelTypes(TSaneHandle& scanner, TIEIntegerList& list) {
  list.Clear();
  TSaneOption mode;
  if (!scanner.FindOption("mode", mode) || mode.Constraint != scStrings) return;
  std::vector<int> types;
  for (const std::string& s : mode.Strings)
    if (int t = PixelTypeOfMode(s); t >= 0) types.push_back(t);
  // Grey at one bit a pixel is black and white.
  bool greyAtOneBit = std::count(types.begin(), types.end(), 1) && DepthOffers(scanner, 1);
  if (greyAtOneBit) types.push_back(0);
  std::sort(types.begin(), types.end());
  types.erase(std::unique(types.begin(), types.end()), types.end());
  for (int t : types) list.Add(t);
  std::string current;
  double depth = 8;
  scanner.GetString("mode", current);
  scanner.GetNumber("depth", depth);
  int type = PixelTypeOfMode(current);
  if (type == 1 && depth == 1) type = 0;
  list.SetCurrentValue(type < 0 ? 0 : type);
}

bool SendPixelType(TSaneHandle& scanner, int type) {
  TSaneOption mode;
  if (!scanner.FindOption("mode", mode)) return false;
  type = std::clamp(type, 0, 2);
  std::string name = ModeOfPixelType(mode, type);
  if (!name.empty()) {
    if (!scanner.SetString("mode", name)) return false;
    // Modes with several depths take 8 bits a sample for grey and colour.
    if (type != 0 && DepthOffers(scanner, 8)) scanner.SetNumber("depth", 8);
    return true;
  }
  if (type == 0) {
    std::string grey = ModeOfPixelType(mode, 1);
    return !grey.empty() && scanner.SetString("mode", grey) && scanner.SetNumber("depth", 1);
  }
  return false;
}

bool IsFeeder(const std::string& source) {
  const std::string c = Lower(source);
  return c.find("feeder") != std::string::npos || c.find("adf") != std::string::npos;
}

// The feeder is a scan source of its own: switching it on picks the first
// feeder source (not a duplex one), switching it off the first other one.
void SendFeeder(TSaneHandle& scanner, bool feeder) {
  TSaneOption source;
  std::string current;
  if (!scanner.FindOption("source", source) || !scanner.GetString("source", current)) return;
  if (IsFeeder(current) == feeder) return;
  for (const std::string& s : source.Strings)
    if (IsFeeder(s) == feeder && Lower(s).find("duplex") == std::string::npos) {
      scanner.SetString("source", s);
      return;
    }
}

bool ReadBool(TSaneHandle& scanner, const char* name) {
  double v = 0;
  return scanner.GetNumber(name, v) && v != 0;
}

const char* const kFrameOptions[4] = {"tl-x", "tl-y", "br-x", "br-y"};

}  // namespace

void IETW_ReadCapabilities(TSaneHandle& scanner, TIETWSourceCaps& caps, bool keepChanges) {
  ReadList(scanner, ResolutionOption(scanner, "x-resolution"), caps.XResolution);
  ReadList(scanner, ResolutionOption(scanner, "y-resolution"), caps.YResolution);
  // Scanners here do not scale: one item, 1.0.
  for (TIEDoubleList* l : {&caps.XScaling, &caps.YScaling}) {
    l->Clear();
    l->Add(1.0);
  }
  ReadList(scanner, "contrast", caps.Contrast);
  ReadList(scanner, "brightness", caps.Brightness);
  double threshold = 0;
  TSaneOption t;
  if (scanner.FindOption("threshold", t) && scanner.GetNumber("threshold", threshold))
    caps.Threshold = static_cast<int32_t>(t.Unit == suPercent ? threshold * 255 / 100 : threshold);
  else
    caps.Threshold = 128;
  ReadPixelTypes(scanner, caps.PixelType);
  caps.Gamma = 2.2;
  TSaneOption edge;
  caps.PhysicalWidth = scanner.FindOption("br-x", edge) && edge.Unit == suMM ? edge.Max / kMMPerInch : 0;
  caps.PhysicalHeight = scanner.FindOption("br-y", edge) && edge.Unit == suMM ? edge.Max / kMMPerInch : 0;
  // The feeder and duplex are scan sources of their own.
  TSaneOption source;
  std::string current;
  caps.FeederEnabled = caps.DuplexEnabled = caps.DuplexSupported = false;
  if (scanner.FindOption("source", source) && scanner.GetString("source", current)) {
    caps.FeederEnabled = IsFeeder(current);
    caps.DuplexEnabled = Lower(current).find("duplex") != std::string::npos;
    for (const std::string& s : source.Strings)
      if (Lower(s).find("duplex") != std::string::npos) caps.DuplexSupported = true;
  }
  caps.AutoFeed = caps.FeederEnabled;
  caps.FeederLoaded = false;
  caps.PaperDetectable = ReadBool(scanner, "page-loaded");
  caps.Orientation.Clear();
  caps.Orientation.Add(0);
  caps.StandardSize.Clear();
  caps.Indicators = true;
  if (caps.AcquireFrameEnabled) {
    for (int i = 0; i < 4; ++i) {
      double mm = 0;
      if (scanner.GetNumber(kFrameOptions[i], mm)) caps.AcquireFrame[i] = mm / kMMPerInch;
    }
  }
  if (!keepChanges) {
    for (TIEList* l : {static_cast<TIEList*>(&caps.XResolution), static_cast<TIEList*>(&caps.YResolution),
                       static_cast<TIEList*>(&caps.XScaling), static_cast<TIEList*>(&caps.YScaling),
                       static_cast<TIEList*>(&caps.PixelType), static_cast<TIEList*>(&caps.Orientation),
                       static_cast<TIEList*>(&caps.Contrast), static_cast<TIEList*>(&caps.Brightness)})
      l->Changes = 0;
  }
}

bool IETW_SendCapabilities(TSaneHandle& scanner, const TIETWSourceCaps& caps) {
  auto sendCurrent = [&](const char* name, const TIEDoubleList& list) {
    if (list.Changes & ielCurrentValue) scanner.SetNumber(name, list.CurrentValue);
  };
  sendCurrent("contrast", caps.Contrast);
  sendCurrent("brightness", caps.Brightness);
  if (caps.Threshold != 128) {
    TSaneOption t;
    if (scanner.FindOption("threshold", t))
      scanner.SetNumber("threshold", t.Unit == suPercent ? caps.Threshold * 100.0 / 255 : caps.Threshold);
  }
  const char* xName = ResolutionOption(scanner, "x-resolution");
  const char* yName = ResolutionOption(scanner, "y-resolution");
  if (std::string(xName) == yName) {
    // One resolution for both directions: the horizontal one wins unless
    // only the vertical one changed.
    const TIEDoubleList& pick = (caps.XResolution.Changes & ielCurrentValue) ? caps.XResolution : caps.YResolution;
    sendCurrent(xName, pick);
  } else {
    sendCurrent(xName, caps.XResolution);
    sendCurrent(yName, caps.YResolution);
  }
  SendFeeder(scanner, caps.FeederEnabled);
  bool pixelTypeSent = caps.PixelType.GetCount() == 0 || SendPixelType(scanner, caps.PixelType.CurrentValue);
  if (caps.AcquireFrameEnabled)
    for (int i = 0; i < 4; ++i) scanner.SetNumber(kFrameOptions[i], caps.AcquireFrame[i] * kMMPerInch);
  return pixelTypeSent;
}
