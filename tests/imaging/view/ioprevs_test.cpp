// The save-parameters dialog through TPixIO::DoIOPreviews: which pages
// show, sizes, typed values held to their ranges, the preview of the
// encoded picture, encoder failures, OK / Apply / Cancel, all answered
// through the dialog service and driven by real Qt input on its widgets.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iestreams.h"
#include "imaging/io/giflzw.h"
#include "imaging/io/ielzwhooks.h"
#include "imaging/io/pixio.h"
#include "imaging/view/ioprevs.h"
#include "imaging/view/pixview.h"
#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "dialog_input.h"

namespace {

using namespace dialoginput;

class IOPreviewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    io = new TPixIO(nullptr);
    io->PreviewsParams = ioppDefaultLockPreview | ioppApplyButton;
    io->SimplifiedParamsDialogs = false;
    // The program installs the GIF coder at start.
    io->IOParams->GIF_LZWCompress = GIFLZWCompress;
    Gradient(100, 10);
  }
  void TearDown() override { delete io; }

  void Gradient(int w, int h) {
    io->IEBitmap->Allocate(w, h, ie24RGB);
    for (int y = 0; y < h; ++y) {
      uint8_t* row = io->IEBitmap->GetScanLine(y);
      for (int x = 0; x < w; ++x) {
        row[x * 3] = uint8_t(x * 2);
        row[x * 3 + 1] = uint8_t(100 + (x ^ y) % 80);
        row[x * 3 + 2] = uint8_t(y * 20);
      }
    }
  }

  // Runs the dialog; `user` acts on it while shown, then the run ends
  // with `result` (OK through the button's own modal result).
  bool Run(TPreviewParams pages, TModalResult result, const std::function<void(TfIOPreviews*)>& user) {
    dialogs.AnswerModal(result, [&](TCustomForm* form) {
      Settle();
      user(static_cast<TfIOPreviews*>(form));
    });
    return io->DoIOPreviews(pages);
  }

  static void PickPage(TfIOPreviews* d, int tag) {
    TPageControl* pages = d->PageControl1;
    const TRect r = pages->TabRect(d->TabSheets[size_t(tag)]->GetTabIndex());
    WidgetClick(pages, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    Settle();
  }
  static std::vector<int> VisibleTags(TfIOPreviews* d) {
    std::vector<int> tags;
    for (int i = 1; i <= kIOPreviewPageCount; ++i)
      if (d->TabSheets[size_t(i)]->GetTabVisible()) tags.push_back(i);
    return tags;
  }
  static std::set<uint32_t> Colours(TBitmap* b) {
    std::set<uint32_t> colours;
    if (b->GetPixelFormat() == pf1bit) {
      for (int y = 0; y < b->GetHeight(); ++y)
        for (int x = 0; x < b->GetWidth(); ++x) colours.insert((b->ScanLine(y)[x / 8] >> (7 - x % 8)) & 1);
      return colours;
    }
    for (int y = 0; y < b->GetHeight(); ++y) {
      const uint8_t* row = b->ScanLine(y);
      for (int x = 0; x < b->GetWidth(); ++x)
        colours.insert(uint32_t(row[x * 3]) | uint32_t(row[x * 3 + 1]) << 8 | uint32_t(row[x * 3 + 2]) << 16);
    }
    return colours;
  }

  TScriptedDialogs dialogs;
  TPixIO* io = nullptr;
};

TEST_F(IOPreviewsTest, ShowsThePagesAskedForOrNoDialogAtAll) {
  struct TCase {
    TPreviewParams pages;
    bool simplified;
    TIEFileType type;
    std::vector<int> tags;  // empty: no dialog
  };
  const TCase cases[] = {
      {ppAUTO, false, ieftPNG, {iopPNG1}},
      {ppAUTO, false, ieftJ2K, {iopJ20001}},
      {ppAUTO, false, ieftWMF, {}},
      {ppJPEG | ppGIF, false, ieftUnknown, {iopJPEG1, iopGIF1}},
      {ppALL, false, ieftUnknown, {iopJPEG1, iopTIFF1, iopGIF1, iopBMP1, iopPCX1, iopPNG1, iopTGA1, iopJ20001}},
      {ppJPEG | ppTIFF | ppGIF | ppPNG, true, ieftUnknown, {iopJPEG2, iopTIFF2, iopGIF2, iopPNG1}},
      // ppALL alone gives only the short JPEG page, as the short set has it.
      {ppALL, true, ieftUnknown, {iopJPEG2}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.pages << " simplified " << c.simplified);
    io->SimplifiedParamsDialogs = c.simplified;
    io->IOParams->FileType = c.type;
    const size_t shown = dialogs.Records.size();
    bool ran = false;
    if (c.tags.empty()) {
      EXPECT_FALSE(io->DoIOPreviews(c.pages));
      EXPECT_EQ(dialogs.Records.size(), shown);
      continue;
    }
    EXPECT_FALSE(Run(c.pages, mrCancel, [&](TfIOPreviews* d) {
      ran = true;
      EXPECT_EQ(VisibleTags(d), c.tags);
      EXPECT_EQ(d->ActivePageTag(), c.tags.front());
      EXPECT_TRUE(d->Ready());
      // The short set keeps the form low.
      if (c.simplified) EXPECT_EQ(d->PageControl1->GetHeight(), 122);
    }));
    EXPECT_TRUE(ran);
  }
  // A handler may take the dialog's place.
  io->OnDoPreviews = [](TObject*, bool& handled) { handled = true; };
  const size_t shown = dialogs.Records.size();
  EXPECT_TRUE(io->DoIOPreviews(ppJPEG));
  EXPECT_EQ(dialogs.Records.size(), shown);
}

TEST_F(IOPreviewsTest, SizesAreTheRawRowsAndTheWrittenBytes) {
  struct TCase {
    TPreviewParams pages;
    TIEFileType type;
    bool oneBit;
  };
  const TCase cases[] = {{ppBMP, ieftBMP, false}, {ppJPEG, ieftJPEG, false}, {ppPNG, ieftPNG, true},
                         {ppTIFF, ieftTIFF, false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.pages);
    Gradient(100, 10);
    if (c.oneBit) io->IEBitmap->ConvertToPixelFormat(ie1g);
    // What the same parameters write, measured beside the dialog.
    TPixIO probe(nullptr);
    probe.IEBitmap->Assign(io->IEBitmap);
    probe.IOParams->Assign(io->IOParams);
    if (c.oneBit) {
      probe.IOParams->BitsPerSample = 1;
      probe.IOParams->SamplesPerPixel = 1;
      io->IOParams->BitsPerSample = 1;
      io->IOParams->SamplesPerPixel = 1;
    }
    TNulStream measured;
    probe.SaveToStream(&measured, c.type);
    Run(c.pages, mrCancel, [&](TfIOPreviews* d) {
      const int tag = d->ActivePageTag();
      TLabel* raw = tag == iopBMP1 ? d->Label40 : tag == iopJPEG1 ? d->Label4 : tag == iopPNG1 ? d->Label51 : d->Label11;
      TLabel* coded = tag == iopBMP1 ? d->Label42 : tag == iopJPEG1 ? d->Label25 : tag == iopPNG1 ? d->Label53 : d->Label18;
      EXPECT_EQ(raw->GetCaption(), c.oneBit ? "160 bytes" : "3000 bytes");
      EXPECT_EQ(coded->GetCaption(), std::to_string(measured.GetSize()) + " bytes");
      EXPECT_TRUE(d->PreviewError().empty());
    });
  }
}

TEST_F(IOPreviewsTest, TypedValuesAreHeldToTheirRanges) {
  struct TCase {
    TPreviewParams pages;
    int tag;
    std::function<TEdit*(TfIOPreviews*)> edit;
    const char* text;
    std::function<double(TfIOPreviews*)> value;
    double expected;
  };
  auto quality = [](TfIOPreviews* d) { return double(d->Values().JpegQuality); };
  auto rate = [](TfIOPreviews* d) { return d->Values().J2kRate; };
  const TCase cases[] = {
      {ppJPEG, iopJPEG1, [](TfIOPreviews* d) { return d->Edit22; }, "250", quality, 100},
      {ppJPEG, iopJPEG1, [](TfIOPreviews* d) { return d->Edit22; }, "-4", quality, 0},
      {ppJPEG, iopJPEG1, [](TfIOPreviews* d) { return d->Edit22; }, "abc", quality, 50},
      {ppJPEG, iopJPEG1, [](TfIOPreviews* d) { return d->Edit23; }, "999",
       [](TfIOPreviews* d) { return double(d->Values().JpegSmoothing); }, 100},
      {ppJ2000, iopJ20001, [](TfIOPreviews* d) { return d->Edit15; }, "5000", rate, 1.0},
      {ppJ2000, iopJ20001, [](TfIOPreviews* d) { return d->Edit15; }, "-20", rate, 0.0},
      {ppJ2000, iopJ20001, [](TfIOPreviews* d) { return d->Edit15; }, "250", rate, 0.25},
      {ppTIFF, iopTIFF1, [](TfIOPreviews* d) { return d->Edit1; }, "5000",
       [](TfIOPreviews* d) { return double(d->Values().TiffImageIndex); }, TfIOPreviews::kMaxImageIndex},
      {ppTIFF, iopTIFF1, [](TfIOPreviews* d) { return d->Edit8; }, "99999999",
       [](TfIOPreviews* d) { return double(d->Values().TiffPageCount); }, TfIOPreviews::kMaxTiffPage},
      {ppGIF, iopGIF1, [](TfIOPreviews* d) { return d->Edit12; }, "-7",
       [](TfIOPreviews* d) { return double(d->Values().GifDelay); }, 0},
  };
  Gradient(40, 20);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.text);
    Run(c.pages, mrCancel, [&](TfIOPreviews* d) {
      ASSERT_EQ(d->ActivePageTag(), c.tag);
      Type(c.edit(d), c.text);
      EXPECT_DOUBLE_EQ(c.value(d), c.expected);
      EXPECT_TRUE(d->PreviewError().empty());
    });
  }
  // The track bars follow what was typed, within their own range.
  Run(ppJPEG, mrCancel, [&](TfIOPreviews* d) {
    Type(d->Edit22, "180");
    EXPECT_EQ(d->TrackBar13->GetPosition(), 100);
  });
  // A page number past the page count stops at the count.
  Run(ppTIFF, mrCancel, [&](TfIOPreviews* d) {
    Type(d->Edit8, "3");
    Type(d->Edit7, "9");
    EXPECT_EQ(d->Values().TiffPageNumber, 3);
  });
}

TEST_F(IOPreviewsTest, OkWritesTheActivePageApplyStaysAfterCancel) {
  io->IOParams->JPEG_Quality = 40;
  io->IOParams->PNG_Compression = 5;
  EXPECT_TRUE(Run(ppJPEG | ppPNG, mrOk, [&](TfIOPreviews* d) {
    EXPECT_EQ(d->Edit22->GetText(), "40");
    Type(d->Edit22, "85");
    EXPECT_EQ(d->TrackBar13->GetPosition(), 85);
    EXPECT_TRUE(d->Button4->GetEnabled());
    Click(d->Button1);
  }));
  EXPECT_EQ(io->IOParams->JPEG_Quality, 85);

  // Switching pages drops what was not applied.
  EXPECT_FALSE(Run(ppJPEG | ppPNG, mrCancel, [&](TfIOPreviews* d) {
    Type(d->Edit22, "20");
    PickPage(d, iopPNG1);
    PickPage(d, iopJPEG1);
    EXPECT_EQ(d->Edit22->GetText(), "85");
    EXPECT_EQ(d->Values().JpegQuality, 85);
    // Apply writes at once; Cancel then leaves it written.
    Pick(d->ComboBox12, 9);
  }));
  EXPECT_EQ(io->IOParams->PNG_Compression, 5);
  EXPECT_FALSE(Run(ppPNG, mrCancel, [&](TfIOPreviews* d) {
    Pick(d->ComboBox12, 9);
    EXPECT_EQ(d->Values().PngCompression, 9);
    Click(d->Button4);
    EXPECT_FALSE(d->Button4->GetEnabled());
  }));
  EXPECT_EQ(io->IOParams->PNG_Compression, 9);
  EXPECT_EQ(io->IOParams->JPEG_Quality, 85);
}

TEST_F(IOPreviewsTest, ShortTiffPageKeepsFaxCodingToTwoColours) {
  io->SimplifiedParamsDialogs = true;
  Gradient(40, 20);
  EXPECT_TRUE(Run(ppTIFF, mrOk, [&](TfIOPreviews* d) {
    ASSERT_EQ(d->ActivePageTag(), iopTIFF2);
    Pick(d->ComboBox16, 1);  // CCITT1D
    EXPECT_EQ(d->ComboBox17->GetItemIndex(), 0);
    EXPECT_EQ(d->Values().Bits, 1);
    EXPECT_EQ(d->Values().TiffPhotometric, ioTIFF_BLACKISZERO);
    EXPECT_EQ(d->PreviewError(), "");
    EXPECT_EQ(Colours(d->Pix2->GetFBitmap()).size(), 2u);
    Pick(d->ComboBox17, 2);  // 256 colours cannot be fax coded
    EXPECT_EQ(d->ComboBox16->GetItemIndex(), 0);
    EXPECT_EQ(d->Values().TiffCompression, ioTIFF_UNCOMPRESSED);
    Click(d->Button1);
  }));
  EXPECT_EQ(io->IOParams->TIFF_Compression, ioTIFF_UNCOMPRESSED);
  EXPECT_EQ(io->IOParams->BitsPerSample, 8);
  EXPECT_EQ(io->IOParams->SamplesPerPixel, 1);
}

TEST_F(IOPreviewsTest, TwoColourGifPreviewOffersItsTwoColours) {
  Gradient(40, 20);
  Run(ppGIF, mrCancel, [&](TfIOPreviews* d) {
    Pick(d->ComboBox5, 0);  // B/W
    EXPECT_EQ(d->Values().Bits, 1);
    EXPECT_EQ(d->PreviewError(), "");
    EXPECT_LE(Colours(d->Pix2->GetFBitmap()).size(), 2u);
    EXPECT_EQ(d->PreviewIO->IOParams->ColorMapCount, 2);
    // The transparent colour is one of those two.
    WindowClick(d->CheckBox4, {6, 8});
    Settle();
    EXPECT_TRUE(d->Panel3->GetEnabled());
  });
}

// Fails inside the encoder, as a broken codec would.
void ThrowingLzw(const uint8_t*, int32_t, TStream*, void*&) { throw std::runtime_error("LZW coder broke"); }

TEST_F(IOPreviewsTest, EncoderFailureIsShownAndTheDialogGoesOn) {
  Gradient(40, 20);
  io->IOParams->TIFF_LZWCompress = &ThrowingLzw;
  io->IOParams->TIFF_Compression = ioTIFF_LZW;
  EXPECT_TRUE(Run(ppTIFF, mrOk, [&](TfIOPreviews* d) {
    EXPECT_EQ(d->PreviewError(), "LZW coder broke");
    EXPECT_EQ(d->Label18->GetCaption(), "! LZW coder broke");
    // The result shows the source as it is.
    EXPECT_EQ(d->Pix2->GetFBitmap()->GetWidth(), 40);
    Pick(d->ComboBox2, 0);  // uncompressed writes again
    EXPECT_TRUE(d->PreviewError().empty());
    EXPECT_NE(d->Label18->GetCaption().find(" bytes"), std::string::npos);
    Click(d->Button1);
  }));
  EXPECT_EQ(io->IOParams->TIFF_Compression, ioTIFF_UNCOMPRESSED);
}

TEST_F(IOPreviewsTest, OnlyTheFirstActivationOfARunResetsTheValues) {
  io->IOParams->JPEG_Quality = 30;
  Run(ppJPEG, mrCancel, [&](TfIOPreviews* d) {
    Type(d->Edit22, "70");
    // Another window took the focus and gave it back.
    d->Deactivate();
    d->Activate();
    EXPECT_EQ(d->Values().JpegQuality, 70);
    EXPECT_EQ(d->Edit22->GetText(), "70");
  });
  // A new run starts from the caller's values.
  Run(ppJPEG, mrCancel, [&](TfIOPreviews* d) { EXPECT_EQ(d->Values().JpegQuality, 30); });
}

}  // namespace
