#include "imaging/io/imscan.h"

#include <algorithm>
#include <memory>
#include <set>

#include "imaging/core/iebitmap.h"
#include "imaging/io/imscancaps.h"
#include "imaging/io/ioparams.h"
#include "imaging/proc/iecolordepth.h"
#include "platform/forms.h"
#include "platform/sane.h"
#include "platform/timers.h"

namespace {

TIETWLastRun gLastRun;

// Rows handed over at once: about this many bytes, at least one row.
constexpr int32_t kStripBytes = 64 * 1024;

bool Load(TIETWainShared* shared) {
  if (!shared) return false;
  if (!shared->Loaded) shared->Loaded = SaneStart();
  return shared->Loaded;
}

// What the user sees: the model, and the device name that tells two of the
// same model apart, cut to the 33 characters a product name holds.
std::string ProductNameOf(const TSaneDevice& d) {
  std::string name = d.Model.empty() ? d.Name : d.Model + " (" + d.Name + ")";
  return name.substr(0, 33);
}

std::vector<TIETWIdentity> Sources() {
  std::vector<TIETWIdentity> list;
  for (const TSaneDevice& d : SaneDevices()) {
    TIETWIdentity id;
    id.Id = static_cast<int32_t>(list.size()) + 1;
    id.ProductName = ProductNameOf(d);
    id.Manufacturer = d.Vendor.substr(0, 33);
    id.ProductFamily = d.Type.substr(0, 33);
    id.Device = d.Name;
    if (!id.ProductName.empty()) list.push_back(id);
  }
  return list;
}

// One exchange with one source, from opening the library to closing the
// source; the destructor closes whatever is still open.
class TSession {
 public:
  explicit TSession(TIETWainShared* shared) : shared_(shared) {}
  ~TSession() { Close(); }

  void SetState(TIETWState s) {
    gLastRun.FinalState = state_ = s;
    gLastRun.HighestState = std::max(gLastRun.HighestState, s);
  }
  TIETWState State() const { return state_; }
  void Fail(int step, int code) {
    if (gLastRun.Failure.Step == 0) gLastRun.Failure = {step, code};
  }

  bool OpenManager() {
    if (!Load(shared_)) return false;
    SetState(twsLoaded);
    SetState(twsManagerOpen);
    return true;
  }

  // An empty name opens the first source.
  bool OpenSource(const std::string& productName) {
    std::vector<TIETWIdentity> list = Sources();
    auto it = std::find_if(list.begin(), list.end(), [&](const TIETWIdentity& id) {
      return productName.empty() || id.ProductName == productName;
    });
    if (it == list.end() || !Scanner.Open(it->Device)) {
      Fail(4, srFailed);
      return false;
    }
    SetState(twsSourceOpen);
    return true;
  }

  void Close() {
    if (state_ >= twsTransferReady) Scanner.Cancel();
    if (state_ >= twsSourceOpen) Scanner.Close();
    if (state_ > twsLoaded) SetState(twsLoaded);
  }

  TSaneHandle Scanner;

 private:
  TIETWainShared* shared_;
  TIETWState state_ = twsNothing;
};

std::string SelectedName(TIETWainParams* params) { return params->GetSourceName(params->SelectedSource); }

int BitsPerPixelOf(const TSaneFrame& f) {
  if (f.Format == sfGray && (f.Depth == 1 || f.Depth == 8)) return f.Depth;
  if (f.Format == sfRGB && f.Depth == 8) return 24;
  return 0;  // read, but not copied
}

bool StopAsked(TProgressRec* progress) {
  if (progress && progress->Aborting && *progress->Aborting) return true;
  // The application's end request is left standing for its own loop.
  return Application && Application->Terminated();
}

void Report(TProgressRec* progress, int64_t rowsDone, int32_t lines) {
  if (!progress || !progress->OnProgress || lines <= 0) return;
  progress->OnProgress(progress->Sender, static_cast<int>(std::min<int64_t>(rowsDone, lines) * 100 / lines));
}

// The resolution the scan will have; read before it starts, as scanners
// answer no questions while they scan.
void ReadResolution(TSaneHandle& scanner, TIOParamsVals* io) {
  if (!io) return;
  double x = 0, y = 0;
  if (!scanner.GetNumber("x-resolution", x)) scanner.GetNumber("resolution", x);
  if (!scanner.GetNumber("y-resolution", y)) y = x;
  io->DPIX = static_cast<int32_t>(x + 0.5);
  io->DPIY = static_cast<int32_t>(y + 0.5);
}

void FillParams(TIOParamsVals* io, const TSaneFrame& f, int bpp, int32_t height) {
  if (!io) return;
  io->BitsPerSample = bpp == 24 ? 8 : std::max(bpp, 1);
  io->SamplesPerPixel = bpp == 24 ? 3 : 1;
  io->Width = f.PixelsPerLine;
  io->Height = height;
  io->SetColorMap(nullptr, 0);
  io->FileName.clear();  // scanners give no caption
}

// Takes one picture from a started scan into `bitmap`. True when all of it
// arrived.
bool TransferOne(TSession& s, TIEBitmap* bitmap, TIOParamsVals* io, TProgressRec* progress) {
  TSaneFrame f;
  if (!s.Scanner.Parameters(f) || f.Format == sfOther || !f.LastFrame || f.PixelsPerLine <= 0 ||
      f.BytesPerLine <= 0 || f.Lines == 0)
    return false;
  const int bpp = BitsPerPixelOf(f);
  const bool unknownSize = f.Lines < 0;
  gLastRun.Vanilla = bpp == 1;  // one-bit scans mark black with a set bit
  const TIEPixelFormat format = bpp == 1 ? ie1g : ie24RGB;
  if (!unknownSize) bitmap->Allocate(f.PixelsPerLine, f.Lines, format);
  FillParams(io, f, bpp, unknownSize ? 0 : f.Lines);

  const int32_t rowsPerStrip = std::max<int32_t>(1, kStripBytes / f.BytesPerLine);
  std::vector<uint8_t> buffer(static_cast<size_t>(rowsPerStrip) * static_cast<size_t>(f.BytesPerLine));
  TIETWStripList kept(IETW_MaxUnknownSizeBytes);
  int64_t rowsDone = 0;
  size_t filled = 0;
  s.SetState(twsTransferring);

  // Hands the whole rows in the buffer over as one strip.
  auto handOver = [&]() {
    TIETWStrip strip;
    strip.Columns = f.PixelsPerLine;
    strip.Rows = static_cast<int32_t>(filled / static_cast<size_t>(f.BytesPerLine));
    strip.YOffset = static_cast<int32_t>(std::min<int64_t>(rowsDone, INT32_MAX));
    strip.BytesPerRow = f.BytesPerLine;
    if (strip.Rows == 0) return true;
    size_t used = static_cast<size_t>(strip.Rows) * static_cast<size_t>(f.BytesPerLine);
    strip.Bytes.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(used));
    std::copy(buffer.begin() + static_cast<std::ptrdiff_t>(used),
              buffer.begin() + static_cast<std::ptrdiff_t>(filled), buffer.begin());
    filled -= used;
    rowsDone += strip.Rows;
    if (unknownSize) return kept.Add(std::move(strip));
    if (bpp) IETW_PasteStrip(bitmap, strip, bpp);
    Report(progress, rowsDone, f.Lines);
    return true;
  };

  for (;;) {
    int32_t got = 0;
    TSaneResult r = s.Scanner.Read(buffer.data() + filled, static_cast<int32_t>(buffer.size() - filled), got);
    filled += static_cast<size_t>(got);
    if (r == srEof) {
      if (!handOver()) return false;
      break;
    }
    if (r != srOk) {
      s.SetState(r == srCancelled ? twsTransferring : twsTransferReady);
      return false;
    }
    if (filled == buffer.size() && !handOver()) return false;
    if (StopAsked(progress)) return false;
  }
  if (unknownSize) {
    // The height is known now: paste what was kept.
    if (rowsDone <= 0 || rowsDone > INT32_MAX) return false;
    bitmap->Allocate(f.PixelsPerLine, static_cast<int>(rowsDone), format);
    if (io) io->Height = static_cast<int32_t>(rowsDone);
    if (bpp)
      for (const TIETWStrip& strip : kept.Strips()) IETW_PasteStrip(bitmap, strip, bpp);
  }
  return true;
}

}  // namespace

const TIETWLastRun& IETW_LastRun() { return gLastRun; }

bool IETW_Acquire(TIEBitmap* bitmap, bool multi, const TIETWMultiCallBack& onImage, TIETWainParams* params,
                  TIOParamsVals* ioParams, TProgressRec* progress, TIETWainShared* shared) {
  gLastRun = TIETWLastRun();
  if (!params || (!multi && !bitmap)) return false;
  std::string source = SelectedName(params);
  TSession s(shared);
  if (!s.OpenManager() || !s.OpenSource(source)) return false;
  IETW_SendCapabilities(s.Scanner, params->Capabilities);
  s.SetState(twsEnabled);
  bool acquired = false;
  do {
    ReadResolution(s.Scanner, ioParams);
    TSaneResult started = s.Scanner.Start();
    if (started != srOk) {
      s.Fail(5, started);
      break;
    }
    s.SetState(twsTransferReady);
    std::unique_ptr<TIEBitmap> own;
    TIEBitmap* target = bitmap;
    if (multi) {
      own = std::make_unique<TIEBitmap>();
      target = own.get();
    }
    bool got = TransferOne(s, target, ioParams, progress);
    // Each picture ends its scan; the next page starts a new one.
    s.Scanner.Cancel();
    s.SetState(twsEnabled);
    if (!got) break;
    if (gLastRun.Vanilla && target->GetPixelFormat() == ie1g) _Negative1BitEx(target);
    acquired = true;
    if (multi && onImage) onImage(target, ioParams);
    // Only a feeder has further pages.
  } while (multi && params->Capabilities.FeederEnabled && !StopAsked(progress));
  s.Close();
  return acquired;
}

// A modeless acquisition: a timer of the message loop that scans one page
// each time it fires, so the pages arrive on the GUI thread between the
// program's other work. It frees itself when the pages end.
class TIETWModeless : public TTimer {
 public:
  TIETWModeless(TIETWainShared* shared, TIOParamsVals* io, TIETWMultiCallBack onImage, TIETWCloseCallBack onClose)
      : TTimer(nullptr), session_(shared), io_(io), onImage_(std::move(onImage)), onClose_(std::move(onClose)) {
    SetEnabled(false);
    SetInterval(1);
    Live().insert(this);
  }
  ~TIETWModeless() override { Live().erase(this); }

  static std::set<TIETWModeless*>& Live() {
    static std::set<TIETWModeless*> live;
    return live;
  }

  bool Open(TIETWainParams* params) {
    if (!session_.OpenManager() || !session_.OpenSource(SelectedName(params))) return false;
    IETW_SendCapabilities(session_.Scanner, params->Capabilities);
    session_.SetState(twsEnabled);
    feeder_ = params->Capabilities.FeederEnabled;
    SetEnabled(true);
    return true;
  }

  // Ends it now; inside a page's call it ends when that call returns.
  void Close() {
    if (inPage_) {
      closeAsked_ = true;
      return;
    }
    delete this;
  }

 protected:
  void Timer() override {
    SetEnabled(false);  // one page at a time, whatever the page's call does
    bool more = ScanPage();
    if (closeAsked_) {
      delete this;  // the owner closed it from the page's call: no close call
      return;
    }
    if (more) {
      SetEnabled(true);
      return;
    }
    TIETWCloseCallBack onClose = onClose_;
    delete this;  // nothing of this object is touched from here on
    if (onClose) onClose();
  }

 private:
  // Scans one page and hands it over; true when another page may follow.
  bool ScanPage() {
    ReadResolution(session_.Scanner, io_);
    TSaneResult started = session_.Scanner.Start();
    if (started != srOk) return false;  // the feeder is empty, or the scanner failed
    session_.SetState(twsTransferReady);
    TIEBitmap page;
    bool got = TransferOne(session_, &page, io_, nullptr);
    session_.Scanner.Cancel();
    session_.SetState(twsEnabled);
    if (!got) return false;
    if (gLastRun.Vanilla && page.GetPixelFormat() == ie1g) _Negative1BitEx(&page);
    inPage_ = true;
    if (onImage_) onImage_(&page, io_);
    inPage_ = false;
    return feeder_ && !StopAsked(nullptr);
  }

  TSession session_;
  TIOParamsVals* io_;
  TIETWMultiCallBack onImage_;
  TIETWCloseCallBack onClose_;
  bool feeder_ = false;
  bool inPage_ = false;
  bool closeAsked_ = false;
};

TIETWModeless* IETWAINAcquireOpen(TIETWainParams* params, TIETWainShared* shared, TIOParamsVals* ioParams,
                                  const TIETWMultiCallBack& onImage, const TIETWCloseCallBack& onClose) {
  gLastRun = TIETWLastRun();
  if (!params) return nullptr;
  auto acquisition = std::make_unique<TIETWModeless>(shared, ioParams, onImage, onClose);
  if (!acquisition->Open(params)) return nullptr;
  return acquisition.release();
}

void IETWAINAcquireClose(TIETWModeless* acquisition) {
  if (acquisition && TIETWModeless::Live().count(acquisition)) acquisition->Close();
}

void IETW_GetSourceList(std::vector<TIETWIdentity>& list, TIETWainShared* shared) {
  list.clear();
  if (Load(shared)) list = Sources();
}

std::string IETW_GetDefaultSource(TIETWainShared* shared) {
  if (!Load(shared)) return "";
  std::vector<TIETWIdentity> list = Sources();
  return list.empty() ? "" : list.front().ProductName;
}

bool IETW_GetCapabilities(TIETWainParams* params, TIETWSourceCaps& caps, bool setting, TIETWainShared* shared) {
  if (!params) return false;
  std::string source = SelectedName(params);
  TSession s(shared);
  if (!s.OpenManager() || !s.OpenSource(source)) {
    // No scanner: empty lists, the scalings 1.0 and orientation 0.
    TSaneHandle none;
    IETW_ReadCapabilities(none, caps, setting);
    return false;
  }
  if (setting) IETW_SendCapabilities(s.Scanner, caps);
  IETW_ReadCapabilities(s.Scanner, caps, setting);
  return true;
}

void IETW_FreeResources(TIETWainShared* shared) {
  if (!shared || !shared->Loaded) return;
  SaneStop();
  shared->Loaded = false;
}
