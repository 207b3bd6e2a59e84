// The I/O front end: dispatch by name, code and content, round trips,
// failures that set Aborting, progress and finish events, alpha transfer,
// the attached pictures and what happens when their controls go away,
// resolution, and the depth a save writes.
#include "imaging/io/pixio.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemask.h"
#include "imaging/core/ievalues.h"
#include "imaging/core/ieview.h"
#include "imaging/io/iebyteorder.h"
#include "pictures.h"
#include "platform/extctrls.h"
#include "platform/picture.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

// A view that owns a platform bitmap and an alpha mask, and counts the
// notifications the front end sends it.
class TFakeView : public TIEView {
 public:
  explicit TFakeView(TComponent* owner = nullptr) : TIEView(owner) {}
  ~TFakeView() override { delete alpha_; }

  TBitmap* GetFBitmap() override { return &bitmap; }
  TIEMask* GetAlphaChannel() override {
    if (!alpha_) {
      alpha_ = new TIEMask;
      alpha_->AllocateBits(bitmap.GetWidth(), bitmap.GetHeight(), 8);
      alpha_->Fill(255);
    }
    return alpha_;
  }
  void SetAlphaChannel(TIEMask* mask) override {
    if (mask != alpha_) delete alpha_;
    alpha_ = mask;
  }
  bool GetHasAlphaChannel() override { return alpha_ != nullptr; }
  void RemoveAlphaChannel() override { SetAlphaChannel(nullptr); }
  void LockPaint() override {}
  int UnLockPaint() override { return 0; }
  int NPUnLockPaint() override { return 0; }
  void Update() override { ++updates; }
  void ImageChange() override { ++imageChanges; }

  TBitmap bitmap;
  int updates = 0;
  int imageChanges = 0;

 private:
  TIEMask* alpha_ = nullptr;
};

// A smooth picture that JPEG keeps closely, with an odd width so that BMP
// rows carry padding.
void Gradient(TIEBitmap& bitmap, int width = 41, int height = 23) {
  PaintBitmap(bitmap, width, height, [](int x, int y) {
    return CreateRGB(static_cast<uint8_t>(x * 5), static_cast<uint8_t>(y * 9),
                     static_cast<uint8_t>(200 - x * 2));
  });
}

int MaxDifference(TIEBitmap& a, TIEBitmap& b) {
  if (a.Width != b.Width || a.Height != b.Height) return 999;
  return MaxChannelDifference(ToRgba(a), ToRgba(b));
}

std::string Copy(const TempDir& dir, const std::string& picture, const std::string& as) {
  std::filesystem::copy_file(PicturePath(picture), dir.file(as));
  return dir.file(as);
}

uint16_t BmpBitCount(const std::vector<uint8_t>& bytes) { return IEGetLE16(&bytes[28]); }

TEST(PixIORoundTrip, ByNameCodeAndContent) {
  struct TCase {
    const char* extension;
    TIEFileType code;
    int tolerance;
  } const cases[] = {{".bmp", ieftBMP, 0}, {".JPG", ieftJPEG, 12}, {".dib", ieftBMP, 0},
                     {".jpeg", ieftJPEG, 12}};
  TempDir dir;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.extension);
    TPixIO writer(nullptr);
    Gradient(*writer.IEBitmap);
    writer.IOParams->JPEG_Quality = 95;
    const std::string name = dir.file(std::string("picture") + c.extension);

    writer.SaveToFile(name);
    ASSERT_FALSE(writer.Aborting);
    TPixIO byName(nullptr);
    byName.LoadFromFile(name);
    ASSERT_FALSE(byName.Aborting);
    EXPECT_EQ(byName.IOParams->FileType, c.code);
    EXPECT_EQ(byName.IOParams->FileName, name);
    EXPECT_LE(MaxDifference(*writer.IEBitmap, *byName.IEBitmap), c.tolerance);

    TMemoryStream stream;
    writer.SaveToStream(&stream, c.code);
    ASSERT_FALSE(writer.Aborting);
    for (bool byContent : {true, false}) {
      TPixIO reader(nullptr);
      stream.SetPosition(0);
      if (byContent)
        reader.LoadFromStream(&stream);
      else
        reader.LoadFromFileFormat(name, c.code);
      ASSERT_FALSE(reader.Aborting);
      EXPECT_EQ(reader.IOParams->FileType, c.code);
      EXPECT_EQ(reader.IOParams->FileName, byContent ? "" : name);
      EXPECT_LE(MaxDifference(*writer.IEBitmap, *reader.IEBitmap), c.tolerance);
    }
  }
}

TEST(PixIORoundTrip, JpegStreamHeadersLetPicturesFollowEachOther) {
  TPixIO writer(nullptr);
  writer.StreamHeaders = true;
  writer.IOParams->JPEG_Quality = 95;
  TMemoryStream stream;
  Gradient(*writer.IEBitmap, 41, 23);
  writer.SaveToStreamJpeg(&stream);
  Gradient(*writer.IEBitmap, 17, 9);
  writer.SaveToStream(&stream, ieftJPEG);
  ASSERT_FALSE(writer.Aborting);
  const std::vector<uint8_t> bytes = Contents(stream);
  ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "JFIF");

  // The reader needs no StreamHeaders to skip the header, and leaves the
  // stream after each picture.
  TPixIO reader(nullptr);
  stream.SetPosition(0);
  reader.LoadFromStream(&stream);
  EXPECT_FALSE(reader.Aborting);
  EXPECT_EQ(reader.IEBitmap->Width, 41);
  reader.LoadFromStream(&stream);
  EXPECT_FALSE(reader.Aborting);
  EXPECT_EQ(reader.IEBitmap->Width, 17);
  EXPECT_EQ(stream.GetPosition(), stream.GetSize());
}

TEST(PixIOFailure, BadOrUnreadableInputSetsAbortingAndKeepsThePicture) {
  TempDir dir;
  struct TCase {
    const char* what;
    std::string name;
    bool forgetsFile;  // the parameters no longer name a file
  } const cases[] = {
      {"unknown extension", dir.file("notes.xyz"), true},
      {"format without a codec yet", dir.file("photo.png"), true},
      {"registered extension of a format without a codec", dir.file("photo.pix"), true},
      {"truncated BMP", Copy(dir, "bmp-bad-truncated-header.bmp", "bad.bmp"), false},
      {"truncated JPEG", Copy(dir, "jpg-bad-truncated-header.jpg", "bad.jpg"), false},
      {"truncated icon", Copy(dir, "ico-bad-truncated-directory.ico", "bad.ico"), false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TPixIO io(nullptr);
    Gradient(*io.IEBitmap);
    TIEBitmap before;
    before.Location = ieMemory;
    before.Assign(io.IEBitmap);
    io.IOParams->FileName = "earlier.bmp";
    io.IOParams->FileType = ieftBMP;
    io.LoadFromFile(c.name);
    EXPECT_TRUE(io.Aborting);
    if (c.forgetsFile) {
      EXPECT_EQ(io.IOParams->FileType, ieftUnknown);
      EXPECT_EQ(io.IOParams->FileName, "");
      EXPECT_EQ(MaxDifference(before, *io.IEBitmap), 0);
    }
  }
}

TEST(PixIOFailure, StreamsAndSavesThatNoCodecServes) {
  TPixIO io(nullptr);
  Gradient(*io.IEBitmap);
  TIEBitmap before;
  before.Location = ieMemory;
  before.Assign(io.IEBitmap);

  TMemoryStream junk;
  Fill(junk, std::vector<uint8_t>(300, 0x55));
  io.LoadFromStream(&junk);
  EXPECT_TRUE(io.Aborting);
  EXPECT_EQ(MaxDifference(before, *io.IEBitmap), 0);

  for (TIEFileType code : {ieftICO, ieftCUR, ieftPNG, ieftUnknown, TIEFileType{77}}) {
    TMemoryStream out;
    io.Aborting = false;
    io.SaveToStream(&out, code);
    EXPECT_TRUE(io.Aborting) << code;
    EXPECT_EQ(out.GetSize(), 0) << code;
  }

  TempDir dir;
  io.Aborting = false;
  io.SaveToFile(dir.file("out.wmf"));
  EXPECT_TRUE(io.Aborting);
  EXPECT_FALSE(std::filesystem::exists(dir.file("out.wmf")));
}

TEST(PixIOFailure, MissingFileRaisesAfterFinishWork) {
  TPixIO io(nullptr);
  int finished = 0;
  io.OnFinishWork = [&](TObject*) { ++finished; };
  TempDir dir;
  EXPECT_THROW(io.LoadFromFile(dir.file("absent.bmp")), EFOpenError);
  EXPECT_EQ(finished, 1);
  // An empty name does nothing at all.
  io.LoadFromFile("");
  io.SaveToFile("");
  EXPECT_EQ(finished, 1);
}

TEST(PixIOProgress, ReportsRowsAndStopsWhenAsked) {
  TempDir dir;
  TPixIO writer(nullptr);
  Gradient(*writer.IEBitmap, 64, 50);
  const std::string name = dir.file("p.bmp");
  writer.SaveToFile(name);

  TPixIO io(nullptr);
  std::vector<int> percents;
  int finished = 0;
  io.OnProgress = [&](TObject* sender, int percent) {
    EXPECT_EQ(sender, &io);
    percents.push_back(percent);
  };
  io.OnFinishWork = [&](TObject* sender) {
    EXPECT_EQ(sender, &io);
    ++finished;
  };
  io.LoadFromFile(name);
  ASSERT_FALSE(percents.empty());
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_GE(percents.back(), 98);
  EXPECT_EQ(finished, 1);

  // Setting Aborting from the event stops the read early.
  percents.clear();
  io.OnProgress = [&](TObject*, int percent) {
    percents.push_back(percent);
    if (percent >= 20) io.Aborting = true;
  };
  io.LoadFromFile(name);
  EXPECT_TRUE(io.Aborting);
  EXPECT_LT(percents.back(), 50);
  EXPECT_EQ(finished, 2);
}

TEST(PixIOAlpha, IconTransparencyGoesWhereThePictureKeepsIt) {
  TempDir dir;
  // A paletted icon: its AND mask marks the clear pixels.
  const std::string icon = Copy(dir, "ico-4bit-32x32.ico", "a.ico");
  const std::string bmp = Copy(dir, "bmp-24bit-97x61.bmp", "b.bmp");
  const auto clearInBitmap = [](TIEBitmap& alpha) {
    int clear = 0;
    for (int y = 0; y < alpha.Height; ++y)
      for (int x = 0; x < alpha.Width; ++x) clear += alpha.GetPixels_ie8(x, y) == 0;
    return clear;
  };
  const auto clearInMask = [](TIEMask& mask) {
    int clear = 0;
    for (int y = 0; y < mask.Height; ++y)
      for (int x = 0; x < mask.Width; ++x) clear += mask.GetPixel(x, y) == 0;
    return clear;
  };

  // Own bitmap: the transparency has nowhere to go and is dropped.
  TPixIO own(nullptr);
  own.LoadFromFile(icon);
  ASSERT_FALSE(own.Aborting);
  EXPECT_FALSE(own.IEBitmap->GetHasAlphaChannel());
  EXPECT_EQ(own.GetAlphaChannel(), nullptr);

  // A caller's bitmap keeps it as its alpha channel; a BMP removes it.
  TIEBitmap mine;
  TPixIO io(nullptr);
  io.SetAttachedIEBitmap(&mine);
  io.LoadFromFile(icon);
  ASSERT_TRUE(mine.GetHasAlphaChannel());
  const int clear = clearInBitmap(*mine.GetAlphaChannel());
  EXPECT_GT(clear, 0);
  EXPECT_LT(clear, 32 * 32);
  io.LoadFromFile(bmp);
  EXPECT_FALSE(mine.GetHasAlphaChannel());

  // A view takes the mask as its alpha channel; a BMP removes it.
  TFakeView view;
  TPixIO viewIO(nullptr);
  viewIO.SetAttachedPix(&view);
  viewIO.LoadFromFile(icon);
  ASSERT_TRUE(view.GetHasAlphaChannel());
  TIEMask* mask = view.GetAlphaChannel();
  EXPECT_EQ(mask->Width, 32);
  EXPECT_EQ(viewIO.GetAlphaChannel(), mask);
  EXPECT_EQ(clearInMask(*mask), clear);
  viewIO.LoadFromFile(bmp);
  EXPECT_FALSE(view.GetHasAlphaChannel());
  EXPECT_EQ(viewIO.GetAlphaChannel(), nullptr);
}

TEST(PixIOAttach, PlatformBitmapIsLoadedAndSavedInPlace) {
  TempDir dir;
  const std::string source = Copy(dir, "bmp-24bit-97x61.bmp", "in.bmp");
  TBitmap platform;
  int changes = 0;
  platform.OnChange = [&](TObject*) { ++changes; };
  TPixIO io(nullptr);
  io.SetAttachedBitmap(&platform);
  io.LoadFromFile(source);
  ASSERT_FALSE(io.Aborting);
  EXPECT_EQ(platform.GetWidth(), 97);
  EXPECT_EQ(platform.GetHeight(), 61);
  EXPECT_GE(changes, 1);
  EXPECT_EQ(io.IEBitmap->GetTBitmap(), &platform);

  // The owner resizes its bitmap: the next save sees the new size.
  platform.SetSize(20, 10);
  TMemoryStream stream;
  io.SaveToStream(&stream, ieftBMP);
  TPixIO reader(nullptr);
  stream.SetPosition(0);
  reader.LoadFromStream(&stream);
  EXPECT_EQ(reader.IEBitmap->Width, 20);
  EXPECT_EQ(reader.IEBitmap->Height, 10);
}

TEST(PixIOAttach, CallersBitmapIsUsedAndNotFreed) {
  TempDir dir;
  auto mine = std::make_unique<TIEBitmap>();
  {
    TPixIO io(nullptr);
    io.SetAttachedIEBitmap(mine.get());
    EXPECT_FALSE(io.OwnIEBitmap);
    io.LoadFromFile(Copy(dir, "bmp-8bit-97x61.bmp", "p.bmp"));
    ASSERT_FALSE(io.Aborting);
  }
  EXPECT_EQ(mine->Width, 97);
  // Detaching with nil while nothing else is attached leaves no picture.
  TPixIO io(nullptr);
  io.SetAttachedIEBitmap(mine.get());
  io.SetAttachedIEBitmap(nullptr);
  EXPECT_EQ(io.IEBitmap, nullptr);
  io.LoadFromFile(dir.file("p.bmp"));  // nothing to load into: no effect
  EXPECT_EQ(mine->Width, 97);
}

TEST(PixIOAttach, ViewGetsPictureResolutionAndNotifications) {
  TempDir dir;
  TFakeView view;
  TPixIO io(nullptr);
  io.SetAttachedPix(&view);
  EXPECT_EQ(view.BitmapChangeEventCount(), 1);
  io.LoadFromFile(Copy(dir, "jpg-baseline-444-97x61.jpg", "p.jpg"));
  ASSERT_FALSE(io.Aborting);
  EXPECT_EQ(view.bitmap.GetWidth(), 97);
  EXPECT_EQ(view.updates, 1);
  EXPECT_EQ(view.imageChanges, 1);
  EXPECT_EQ(view.GetDPIX(), io.IOParams->DPIX);
  EXPECT_EQ(view.GetDPIY(), io.IOParams->DPIY);

  // The view's background stands for the component's.
  view.SetBackGround(clRed);
  io.SetReBackground(clBlue);
  EXPECT_EQ(io.GetReBackground(), clRed);

  // The stream form of BMP leaves the view's resolution alone.
  view.SetDPI(11, 12);
  TMemoryStream stream;
  io.SaveToStream(&stream, ieftBMP);
  stream.SetPosition(0);
  io.LoadFromStream(&stream);
  EXPECT_EQ(view.GetDPIX(), 11);

  io.SetAttachedPix(nullptr);
  EXPECT_EQ(view.BitmapChangeEventCount(), 0);
}

TEST(PixIOAttach, ControlsThatGoAwayLeaveNoWrappedBitmap) {
  TempDir dir;
  const std::string name = Copy(dir, "bmp-24bit-97x61.bmp", "p.bmp");
  struct TCase {
    const char* what;
    std::function<void(TPixIO&)> attachAndLose;
  } const cases[] = {
      {"view destroyed",
       [](TPixIO& io) {
         auto view = std::make_unique<TFakeView>();
         io.SetAttachedPix(view.get());
       }},
      {"view detached",
       [](TPixIO& io) {
         TFakeView view;
         io.SetAttachedPix(&view);
         io.SetAttachedPix(nullptr);
       }},
      {"image destroyed",
       [](TPixIO& io) {
         auto image = std::make_unique<TImage>(nullptr);
         io.SetTImage(image.get());
       }},
      {"image detached",
       [](TPixIO& io) {
         TImage image(nullptr);
         io.SetTImage(&image);
         io.SetTImage(nullptr);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TPixIO io(nullptr);
    c.attachAndLose(io);
    EXPECT_EQ(io.AttachedPix, nullptr);
    EXPECT_EQ(io.AttachedTImage, nullptr);
    EXPECT_EQ(io.Bitmap, nullptr);
    EXPECT_EQ(io.IEBitmap->GetTBitmap(), nullptr);
    io.LoadFromFile(name);
    EXPECT_FALSE(io.Aborting);
    EXPECT_EQ(io.IEBitmap->Width, 97);
  }
}

TEST(PixIOAttach, TImagePictureIsLoaded) {
  TempDir dir;
  TImage image(nullptr);
  TPixIO io(nullptr);
  io.SetTImage(&image);
  io.LoadFromFile(Copy(dir, "bmp-1bit-bw-97x61.bmp", "p.bmp"));
  ASSERT_FALSE(io.Aborting);
  EXPECT_EQ(image.GetPicture()->GetWidth(), 97);
  // Attaching a platform bitmap detaches the image.
  TBitmap other;
  io.SetAttachedBitmap(&other);
  EXPECT_EQ(io.AttachedTImage, nullptr);
}

TEST(PixIOResolution, LoadReportsAndAdjustsTheResolution) {
  TempDir dir;
  TPixIO writer(nullptr);
  Gradient(*writer.IEBitmap, 30, 20);
  writer.IOParams->DPIX = 300;
  writer.IOParams->DPIY = 150;
  const std::string name = dir.file("aniso.bmp");
  writer.SaveToFile(name);

  TPixIO plain(nullptr);
  plain.LoadFromFile(name);
  EXPECT_EQ(plain.IOParams->DPIX, 300);
  EXPECT_EQ(plain.IOParams->DPIY, 150);
  EXPECT_EQ(plain.IEBitmap->Height, 20);

  for (bool filtered : {false, true}) {
    SCOPED_TRACE(filtered);
    TPixIO io(nullptr);
    io.AutoAdjustDPI = true;
    io.FilteredAdjustDPI = filtered;
    io.LoadFromFile(name);
    // Wider than high: the height follows, Trunc(20 / 150 x 300) = 40.
    EXPECT_EQ(io.IEBitmap->Width, 30);
    EXPECT_EQ(io.IEBitmap->Height, 40);
    EXPECT_EQ(io.IOParams->DPIY, 300);
    EXPECT_EQ(io.IOParams->Height, 40);
    // Nearest: rows 2k and 2k+1 come from source row k. Filtered
    // (bilinear, box-averaging on an axis that does not grow): each column
    // is the mean of source columns x and x+1, row 2k is source row k and
    // row 2k+1 lies halfway to row k+1.
    const auto source = [&](int x, int y) { return writer.IEBitmap->GetPixels_ie24RGB(x, y); };
    const auto columnMean = [&](int y) {
      return TRGB{uint8_t((source(7, y).b + source(8, y).b) / 2), uint8_t((source(7, y).g + source(8, y).g) / 2),
                  uint8_t((source(7, y).r + source(8, y).r) / 2)};
    };
    const TRGB row5 = filtered ? columnMean(5) : source(7, 5);
    const TRGB row6 = filtered ? columnMean(6) : source(7, 5);
    const TRGB even = io.IEBitmap->GetPixels_ie24RGB(7, 10);
    const TRGB odd = io.IEBitmap->GetPixels_ie24RGB(7, 11);
    EXPECT_EQ(even.r, row5.r);
    EXPECT_EQ(even.g, row5.g);
    EXPECT_EQ(odd.r, row5.r + (row6.r - row5.r) / 2);
    EXPECT_EQ(odd.g, row5.g + (row6.g - row5.g) / 2);
  }
}

TEST(PixIOWriteDepth, SavesKeepThePictureUnlessTheDepthWasChosen) {
  TempDir dir;
  TPixIO io(nullptr);
  io.LoadFromFile(Copy(dir, "bmp-1bit-bw-97x61.bmp", "mono.bmp"));
  ASSERT_EQ(io.IOParams->BitsPerSample, 1);

  // A colour picture saved after a 1-bit read stays colour.
  Gradient(*io.IEBitmap);
  TMemoryStream stream;
  io.SaveToStream(&stream, ieftBMP);
  EXPECT_EQ(BmpBitCount(Contents(stream)), 24);

  // A depth set on purpose holds.
  io.IOParams->BitsPerSample = 8;
  io.IOParams->SamplesPerPixel = 1;
  stream.Clear();
  io.SaveToStream(&stream, ieftBMP);
  EXPECT_EQ(BmpBitCount(Contents(stream)), 8);
}

TEST(PixIOWriteDepth, SaveConvertsTheAttachedPictureOnlyWhenWritersNeedIt) {
  struct TCase {
    TIEPixelFormat before;
    TIEPixelFormat after;
  } const cases[] = {{ie8g, ie24RGB}, {ie8p, ie24RGB}, {ie1g, ie1g}, {ie24RGB, ie24RGB}};
  for (const TCase& c : cases) {
    TPixIO io(nullptr);
    io.IEBitmap->Location = ieMemory;
    io.IEBitmap->Allocate(9, 5, c.before);
    io.IEBitmap->Fill(0);
    TMemoryStream stream;
    io.SaveToStream(&stream, ieftBMP);
    EXPECT_FALSE(io.Aborting);
    EXPECT_EQ(io.IEBitmap->PixelFormat, c.after) << int(c.before);
  }
}

// A format added at run time: reads a 2 x 1 picture, writes one byte.
int gRegistryReads = 0;
void FakeRead(TStream*, TIEBitmap* bitmap, TIOParamsVals& params, TProgressRec&, bool preview) {
  ++gRegistryReads;
  params.Width = 2;
  if (!preview) bitmap->Allocate(2, 1, ie24RGB);
}
void FakeWrite(TStream* stream, TIEBitmap*, TIOParamsVals&, TProgressRec&) {
  const uint8_t byte = 42;
  stream->WriteBuffer(&byte, 1);
}

TEST(PixIORegistry, FormatsAddedAtRunTimeAreReadAndWrittenThroughTheirEntries) {
  constexpr TIEFileType code = 40;
  IEFileFormatAdd({code, "Test format", "TST", FakeRead, FakeWrite, nullptr});
  TempDir dir;
  const std::string name = dir.file("a.tst");
  TPixIO io(nullptr);
  io.SaveToFile(name);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(std::filesystem::file_size(name), 1u);

  gRegistryReads = 0;
  io.LoadFromFile(name);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(gRegistryReads, 1);
  EXPECT_EQ(io.IOParams->FileType, code);
  EXPECT_EQ(io.IEBitmap->Width, 2);

  io.ParamsFromFileFormat(name, code);
  EXPECT_EQ(gRegistryReads, 2);
  EXPECT_EQ(io.IOParams->FileType, code);
  IEFileFormatRemove(code);
}

TEST(PixIOParams, ParametersOnlyLeaveThePictureAlone) {
  TempDir dir;
  struct TCase {
    const char* picture;
    const char* as;
    TIEFileType code;
    int width;
  } const cases[] = {{"bmp-8bit-97x61.bmp", "a.bmp", ieftBMP, 97},
                     {"jpg-progressive-97x61.jpg", "b.jpg", ieftJPEG, 97},
                     {"ico-8bit-48x48.ico", "c.ico", ieftICO, 48},
                     {"cur-1bit-32x32.cur", "d.cur", ieftCUR, 32},
                     {"jpg-bad-truncated-header.jpg", "e.jpg", ieftUnknown, -1},
                     {"bmp-24bit-97x61.bmp", "f.png", ieftUnknown, -1}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.picture);
    const std::string name = Copy(dir, c.picture, c.as);
    TPixIO io(nullptr);
    Gradient(*io.IEBitmap, 5, 3);
    io.ParamsFromFile(name);
    EXPECT_EQ(io.IOParams->FileType, c.code);
    if (c.width > 0) {
      EXPECT_EQ(io.IOParams->Width, c.width);
    }
    EXPECT_EQ(io.IEBitmap->Width, 5);

    TMemoryStream stream;
    Fill(stream, ReadBytes(name));
    io.ParamsFromStream(&stream);
    if (c.code != ieftUnknown) {
      EXPECT_EQ(io.IOParams->FileType, c.code);
    }
  }
}

TEST(PixIOParams, AssignParamsTakesAComponentOrParameters) {
  TPixIO a(nullptr), b(nullptr);
  a.IOParams->JPEG_Quality = 77;
  b.AssignParams(&a);
  EXPECT_EQ(b.IOParams->JPEG_Quality, 77);
  TIOParamsVals params(nullptr);
  params.JPEG_Quality = 33;
  b.AssignParams(&params);
  EXPECT_EQ(b.IOParams->JPEG_Quality, 33);
  TBitmap other;
  b.AssignParams(&other);
  EXPECT_EQ(b.IOParams->JPEG_Quality, 33);
}

TEST(PixIOJpeg, IptcIsReadAndAChangedListIsWritten) {
  TempDir dir;
  TPixIO io(nullptr);
  Gradient(*io.IEBitmap);
  io.IOParams->IPTC_InfoList->AddStringItem(2, 120, "caption text");
  const std::string name = dir.file("iptc.jpg");
  io.SaveToFile(name);
  ASSERT_FALSE(io.Aborting);

  TPixIO reader(nullptr);
  reader.LoadFromFile(name);
  TIEIPTCInfoList* iptc = reader.IOParams->IPTC_InfoList;
  const int at = iptc->IndexOf(2, 120);
  ASSERT_GE(at, 0);
  EXPECT_EQ(iptc->GetStrings(at), "caption text");
}

}  // namespace
