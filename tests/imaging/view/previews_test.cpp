// The processing preview dialog through TPixProc::DoPreviews: pages, live
// previews, typed values, OK, Cancel and "<<", checked on the pixels of
// the caller's picture.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/core/iemask.h"
#include "imaging/proc/ieadjust.h"
#include "imaging/view/previews.h"
#include "imaging/view/rulerbox.h"
#include "platform/commdlg.h"
#include "platform/buttons.h"
#include "previews_fixture.h"

namespace {

std::vector<int> VisibleTags(TfPreviews* d) {
  std::vector<int> tags;
  for (int i = 1; i <= 12; ++i)
    if (d->TabSheets[size_t(i)]->GetTabVisible()) tags.push_back(i);
  return tags;
}

TEST_F(PreviewsTest, ShowsThePagesAskedForAndOpensOnTheFirst) {
  struct TCase {
    TPreviewEffects pages;
    std::vector<int> tags;
  };
  const TCase cases[] = {
      {peFFT, {ppgFFT}},
      {peHSV, {ppgHSV}},
      {peRGB | peHSL, {ppgHSL, ppgRGB}},
      // The batch window's effect and colour buttons.
      {peBumpMap | peLens | peWave | peMorph | peRotate, {ppgBumpMap, ppgLens, ppgWave, ppgMorph, ppgRotate}},
      {peContrast | peHSV | peHSL | peRGB | peUserFilt | peEqualize | peFFT,
       {ppgContrast, ppgHSL, ppgRGB, ppgUserFilter, ppgHSV, ppgEqualization, ppgFFT}},
      {peAll, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
  };
  Gradient(60, 40);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.pages);
    EXPECT_FALSE(Run(c.pages, mrCancel, [&](TfPreviews* d) {
      EXPECT_EQ(VisibleTags(d), c.tags);
      EXPECT_EQ(d->ActivePageTag(), c.tags.front());
      EXPECT_TRUE(d->Ready());
      // The result shows the visible part of the source; the Fourier
      // page a thumbnail of at most 128 pixels.
      TBitmap* result = d->Pix2->GetFBitmap();
      if (c.tags.front() == ppgFFT) {
        EXPECT_EQ(result->GetWidth(), 128);
        EXPECT_EQ(result->GetHeight(), 40 * 128 / 60);
      } else {
        EXPECT_EQ(result->GetWidth(), d->Pix1->VisibleW);
        EXPECT_EQ(result->GetHeight(), d->Pix1->VisibleH);
      }
    }));
  }
}

TEST_F(PreviewsTest, RefusesWithoutAPictureItCanWorkOn) {
  EXPECT_FALSE(proc->DoPreviews(peAll));  // empty picture
  Picture(1, 1, [](int, int) { return TRGB{1, 2, 3}; });
  EXPECT_FALSE(proc->DoPreviews(peAll));
  view->GetFBitmap()->SetPixelFormat(pf1bit);
  view->GetFBitmap()->SetSize(30, 30);
  EXPECT_FALSE(proc->DoPreviews(peAll));
  EXPECT_TRUE(dialogs.Records.empty());
}

TEST_F(PreviewsTest, CaptionsComeFromTheCallersLanguage) {
  Gradient(20, 20);
  proc->MsgLanguage = msChinese;
  Run(peAll, mrCancel, [&](TfPreviews* d) {
    EXPECT_EQ(d->GetCaption(), "预览");
    EXPECT_EQ(d->Button1->GetCaption(), "确定");
    EXPECT_EQ(d->Button2->GetCaption(), "取消");
    EXPECT_EQ(d->Label1->GetCaption(), "原图:");
    EXPECT_EQ(d->TabSheets[ppgContrast]->GetCaption(), "对比度");
    EXPECT_EQ(d->TabSheets[ppgHSL]->GetCaption(), "HSL");
    EXPECT_EQ(d->Button6->GetCaption(), "<<");
  });
}

}  // namespace

namespace {

// What the result view shows before any effect: the source as it is seen.
void SourceAsShown(TfPreviews* d, TBitmap& shown) {
  shown.SetPixelFormat(pf24bit);
  shown.SetSize(d->Pix1->VisibleW, d->Pix1->VisibleH);
  d->Pix1->DrawTo(shown.GetCanvas());
}

TEST_F(PreviewsTest, PagesAtTheirDefaultsLeaveThePreviewEqualToTheSource) {
  Gradient(90, 70);
  const int tags[] = {ppgContrast, ppgHSL, ppgRGB, ppgUserFilter, ppgHSV, ppgEqualization, ppgRotate};
  Run(peContrast | peHSL | peRGB | peUserFilt | peHSV | peEqualize | peRotate | peWave, mrCancel, [&](TfPreviews* d) {
    for (int tag : tags) {
      SCOPED_TRACE(tag);
      PickPage(d, tag);
      ASSERT_EQ(d->ActivePageTag(), tag);
      TBitmap shown;
      SourceAsShown(d, shown);
      EXPECT_TRUE(SameBitmaps(d->Pix2->GetFBitmap(), &shown));
    }
    // The wave page's defaults do change the picture.
    PickPage(d, ppgWave);
    TBitmap shown;
    SourceAsShown(d, shown);
    EXPECT_FALSE(SameBitmaps(d->Pix2->GetFBitmap(), &shown));
  });
}

TEST_F(PreviewsTest, TypedValuesAreLimitedToWhatTheControlsOffer) {
  struct TCase {
    int tag;
    TEdit* TfPreviews::*edit;
    const char* typed;
    std::function<double(const TfPreviews::TParams&)> value;
    double expected;
    const char* shown;  // the edit afterwards (nullptr: as typed)
  };
  const TCase cases[] = {
      {ppgContrast, &TfPreviews::Edit1, "500", [](auto& p) { return p.Contrast; }, 100, "100"},
      {ppgContrast, &TfPreviews::Edit21, "-999", [](auto& p) { return p.Brightness; }, -100, "-100"},
      {ppgHSL, &TfPreviews::Edit4, "400", [](auto& p) { return p.HslHue; }, 180, "180"},
      {ppgRGB, &TfPreviews::Edit6, "-300", [](auto& p) { return p.Green; }, -255, "-255"},
      {ppgRGB, &TfPreviews::Edit5, "40", [](auto& p) { return p.Blue; }, 40, "40"},
      {ppgMorph, &TfPreviews::Edit35, "999", [](auto& p) { return p.MorphWindow; }, 64, nullptr},
      {ppgMorph, &TfPreviews::Edit35, "abc", [](auto& p) { return p.MorphWindow; }, 1, nullptr},
      {ppgMorph, &TfPreviews::Edit35, "0", [](auto& p) { return p.MorphWindow; }, 1, nullptr},
      {ppgWave, &TfPreviews::Edit34, "720", [](auto& p) { return p.Phase; }, 359, nullptr},
      {ppgWave, &TfPreviews::Edit32, "99999", [](auto& p) { return p.Amplitude; }, 32767, nullptr},
      {ppgBumpMap, &TfPreviews::Edit26, "150", [](auto& p) { return p.BumpQuantity; }, 100, nullptr},
      {ppgLens, &TfPreviews::Edit31, "-5", [](auto& p) { return p.Refraction; }, 1, nullptr},
      {ppgLens, &TfPreviews::Edit31, "13", [](auto& p) { return p.Refraction; }, 2.3, nullptr},
      {ppgRotate, &TfPreviews::EditRotate, "12,5", [](auto& p) { return p.Angle; }, 12.5, nullptr},
      {ppgRotate, &TfPreviews::EditRotate, "1000", [](auto& p) { return p.Angle; }, 180, nullptr},
  };
  Gradient(50, 40);
  proc->PreviewsParams = 0;  // the values only: no previews of huge windows
  // Two runs, so that every tab fits the row.
  const TPreviewEffects runs[] = {peContrast | peHSL | peRGB | peUserFilt | peRotate,
                                  peMorph | peWave | peBumpMap | peLens | peRotate};
  for (TPreviewEffects pages : runs) {
    Run(pages, mrCancel, [&](TfPreviews* d) {
      for (const TCase& c : cases) {
        if (!(pages & PreviewPageEffect(c.tag))) continue;
        SCOPED_TRACE(c.typed);
        if (d->ActivePageTag() != c.tag) PickPage(d, c.tag);
        Type(d->*c.edit, c.typed);
        EXPECT_NEAR(c.value(d->Params()), c.expected, 1e-9);
        if (c.shown) {
          EXPECT_EQ((d->*c.edit)->GetText(), c.shown);
        }
      }
      if (!(pages & peUserFilt)) return;
      // The filter's entries and divisor too; a divisor that is no number is 1.
      PickPage(d, ppgUserFilter);
      Type(d->FilterEdits[4], "250");
      EXPECT_EQ(d->Params().Filter.Values[1][1], 100);
      Type(d->FilterEdits[9], "x");
      EXPECT_EQ(d->Params().Filter.Divisor, 1);
      // The rotation track bar follows a typed angle in hundredths.
      PickPage(d, ppgRotate);
      Type(d->EditRotate, "-33.25");
      EXPECT_EQ(d->TrackBarRotate->GetPosition(), -3325);
    });
  }
}

TEST_F(PreviewsTest, WithLockPreviewUpOnlyThePreviewButtonRefreshesTheResult) {
  Gradient(60, 50);
  proc->PreviewsParams = 0;  // Lock preview starts up
  Run(peRGB, mrCancel, [&](TfPreviews* d) {
    EXPECT_FALSE(d->SpeedButton1->GetDown());
    EXPECT_TRUE(d->Button3->GetEnabled());
    TBitmap before;
    before.Assign(d->Pix2->GetFBitmap());
    Type(d->Edit7, "80");
    EXPECT_EQ(d->Params().Red, 80);
    EXPECT_TRUE(SameBitmaps(d->Pix2->GetFBitmap(), &before));
    Click(d->Button3);
    EXPECT_FALSE(SameBitmaps(d->Pix2->GetFBitmap(), &before));
    // Down again: every change shows at once, and Preview is not needed.
    Click(d->SpeedButton1);
    EXPECT_TRUE(d->SpeedButton1->GetDown());
    EXPECT_FALSE(d->Button3->GetEnabled());
    TBitmap red;
    red.Assign(d->Pix2->GetFBitmap());
    Type(d->Edit6, "-60");
    EXPECT_FALSE(SameBitmaps(d->Pix2->GetFBitmap(), &red));
  });
}

TEST_F(PreviewsTest, OkAppliesTheEffectToThePictureAndCancelLeavesIt) {
  Gradient(40, 30);
  TBitmap original;
  original.Assign(view->GetFBitmap());
  // Cancel after "<<": nothing reaches the picture.
  EXPECT_FALSE(Run(peRGB, mrCancel, [&](TfPreviews* d) {
    Type(d->Edit7, "50");
    Click(d->Button6);
    EXPECT_EQ(d->Params().Red, 0);  // every page starts again
  }));
  EXPECT_TRUE(SameBitmaps(view->GetFBitmap(), &original));
  EXPECT_EQ(proc->GetUndoCount(), 0);

  // "<<" then OK: both effects, in that order.
  EXPECT_TRUE(Run(peRGB | peHSL, mrOk, [&](TfPreviews* d) {
    PickPage(d, ppgRGB);
    Type(d->Edit7, "50");
    Click(d->Button6);
    Type(d->Edit6, "-30");
    Click(d->Button1);
    EXPECT_EQ(d->ModalResult, mrOk);
  }));
  TBitmap expected;
  expected.Assign(&original);
  _IntensityRGBall(&expected, 50, 0, 0, 0, 0, 40, 30, {}, nullptr);
  _IntensityRGBall(&expected, 0, -30, 0, 0, 0, 40, 30, {}, nullptr);
  EXPECT_TRUE(SameBitmaps(view->GetFBitmap(), &expected));
  EXPECT_EQ(proc->GetUndoCaptions(0), "Previews");
  proc->Undo();
  EXPECT_TRUE(SameBitmaps(view->GetFBitmap(), &original));
}

TEST_F(PreviewsTest, AMaskedSelectionTakesBackOnlyItsPixelsUnlessTheSizeChanged) {
  Gradient(40, 30);
  TBitmap original;
  original.Assign(view->GetFBitmap());
  view->SelectionBase = iesbBitmap;
  view->Select(10, 5, 30, 25);
  ASSERT_TRUE(view->HasSelection);
  TIEMask* mask = view->SelectionMask;
  EXPECT_TRUE(Run(peRGB, mrOk, [&](TfPreviews* d) {
    // The dialog works on the selection's box.
    EXPECT_EQ(d->Pix1->GetFBitmap()->GetWidth(), mask->X2 - mask->X1 + 1);
    EXPECT_EQ(d->Pix1->GetFBitmap()->GetHeight(), mask->Y2 - mask->Y1 + 1);
    Type(d->Edit5, "-200");
    Click(d->Button1);
  }));
  TBitmap* picture = view->GetFBitmap();
  ASSERT_EQ(picture->GetWidth(), 40);
  int changed = 0;
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) {
      const bool inside = mask->GetPixel(x, y) != 0;
      const TRGB was = Pixel(&original, x, y), now = Pixel(picture, x, y);
      ASSERT_EQ(now.b, inside ? std::max(0, was.b - 200) : was.b) << x << "," << y;
      ASSERT_EQ(now.r, was.r);
      changed += inside;
    }
  EXPECT_GT(changed, 350);

  // A rotation changes the size: the rotated part becomes the picture.
  view->Select(4, 4, 24, 14);
  EXPECT_TRUE(Run(peRotate, mrOk, [&](TfPreviews* d) {
    Type(d->EditRotate, "90");
    Click(d->Button1);
  }));
  EXPECT_LE(std::abs(picture->GetWidth() - 10), 1);
  EXPECT_LE(std::abs(picture->GetHeight() - 20), 1);
  EXPECT_FALSE(view->HasSelection);
}

}  // namespace

namespace {

TEST_F(PreviewsTest, AFailingEffectIsShownAndThePictureStaysAsItWas) {
  // A picture too wide for the Fourier filter: the thumbnail previews, the
  // whole picture is refused on OK, and the dialog stays open.
  Gradient(2100, 6);
  TBitmap original;
  original.Assign(view->GetFBitmap());
  EXPECT_FALSE(Run(peFFT, mrCancel, [&](TfPreviews* d) {
    EXPECT_EQ(d->Pix2->GetFBitmap()->GetWidth(), 128);
    Click(d->Button1);
    EXPECT_EQ(d->ModalResult, mrNone);
    EXPECT_TRUE(d->GetVisible());
  }));
  ASSERT_GE(dialogs.Records.size(), 2u);
  EXPECT_EQ(dialogs.Records[1].Kind, TDialogRecord::Message);
  EXPECT_NE(dialogs.Records[1].Text.find("too large"), std::string::npos);
  EXPECT_TRUE(SameBitmaps(view->GetFBitmap(), &original));

  // The caller's progress handler fails halfway through the final run.
  Gradient(40, 30);
  original.Assign(view->GetFBitmap());
  dialogs.Records.clear();
  proc->OnProgress = [](TObject*, int percent) {
    if (percent > 40) throw Exception("stopped by the caller");
  };
  EXPECT_FALSE(Run(peRGB, mrCancel, [&](TfPreviews* d) {
    Type(d->Edit7, "90");  // previews report no progress
    Click(d->Button1);
    EXPECT_EQ(d->ModalResult, mrNone);
  }));
  ASSERT_EQ(dialogs.Records.size(), 2u);
  EXPECT_EQ(dialogs.Records[1].Text, "stopped by the caller");
  EXPECT_TRUE(SameBitmaps(view->GetFBitmap(), &original));
}

TEST_F(PreviewsTest, OnlyTheFirstActivationOfARunResetsTheValues) {
  Gradient(40, 30);
  TfPreviews* d = new TfPreviews(parent);
  d->Pix1->GetFBitmap()->Assign(view->GetFBitmap());
  d->PreviewEffects = peContrast | peWave;
  dialogs.AnswerModal(mrCancel, [&](TCustomForm*) {
    Settle();
    Type(d->Edit1, "40");
    PickPage(d, ppgWave);
    Type(d->Edit33, "25");
    // Another window took the focus and gave it back.
    d->Deactivate();
    d->Activate();
    EXPECT_EQ(d->Params().Contrast, 40);
    EXPECT_EQ(d->Params().WaveLength, 25);
    EXPECT_EQ(d->ActivePageTag(), ppgWave);
  });
  d->ShowModal();
  // A new run starts from the defaults.
  dialogs.AnswerModal(mrCancel, [&](TCustomForm*) {
    EXPECT_EQ(d->Params().Contrast, 0);
    EXPECT_EQ(d->Edit1->GetText(), "0");
    EXPECT_EQ(d->ActivePageTag(), ppgContrast);
  });
  d->ShowModal();
  d->Free();
}

// Drags a ruler's grip with the mouse to a ruler value.
void DragGrip(TRulerBox* ruler, int grip, double to) {
  TRect r;
  ruler->GetGripRect(grip, r);
  // A grip at the end of the ruler is half outside it.
  const TPoint from{std::clamp((r.Left + r.Right) / 2, 1, ruler->GetWidth() - 2), (r.Top + r.Bottom) / 2};
  const double pixelsPerUnit = ruler->GetDotPerUnit();
  const TPoint target{from.x + int(std::lround((to - ruler->GetGripsPos(grip)) * pixelsPerUnit)), from.y};
  SendMouse(ruler, QEvent::MouseButtonPress, from, Qt::LeftButton);
  SendMouse(ruler, QEvent::MouseMove, target, Qt::LeftButton);
  SendMouse(ruler, QEvent::MouseButtonRelease, target, Qt::NoButton);
}

TEST_F(PreviewsTest, ThresholdGripsNeverCrossAndSetTheTickedChannels) {
  Gradient(64, 48);
  Run(peEqualize, mrCancel, [&](TfPreviews* d) {
    TRulerBox* ruler = d->RulerBox1;
    DragGrip(ruler, 0, 120);
    EXPECT_NEAR(ruler->GetGripsPos(0), 120, 2);
    // The upper grip dragged below the lower one takes it along.
    DragGrip(ruler, 1, 60);
    EXPECT_NEAR(ruler->GetGripsPos(1), 60, 2);
    EXPECT_EQ(ruler->GetGripsPos(0), ruler->GetGripsPos(1));
    const int at = int(ruler->GetGripsPos(1));
    EXPECT_EQ(d->Label17->GetCaption(), std::to_string(at));
    // Gray is ticked: all three channels take the limits.
    const TfPreviews::TParams& p = d->Params();
    EXPECT_EQ(p.ThresholdLow.r, at);
    EXPECT_EQ(p.ThresholdLow.b, at);
    EXPECT_EQ(p.ThresholdHigh.g, at);
    // Below the limit black, above it white.
    TBitmap* result = d->Pix2->GetFBitmap();
    for (int y = 0; y < result->GetHeight(); y += 7)
      for (int x = 0; x < result->GetWidth(); x += 7) {
        const TRGB c = Pixel(result, x, y);
        ASSERT_TRUE(c.r == 0 || c.r == 255);
      }
  });
}

TEST_F(PreviewsTest, AClickInTheResultMovesTheLightThere) {
  Gradient(80, 60);
  Run(peBumpMap | peLens, mrCancel, [&](TfPreviews* d) {
    TPixView* source = d->Pix1;
    const TPoint at{source->OffsetX + 40, source->OffsetY + 30};
    int refreshes = 0;
    d->Pix2->OnImageChange = [&](TObject*) { ++refreshes; };
    WidgetClick(d->Pix2, at);
    Settle();
    const int expectedLeft = int((at.x - source->OffsetX) * 100 / source->GetZoom()) + source->GetViewX();
    EXPECT_EQ(d->Params().BumpLeft, expectedLeft);
    EXPECT_EQ(d->Edit22->GetText(), std::to_string(expectedLeft));
    EXPECT_EQ(d->Edit23->GetText(), std::to_string(d->Params().BumpTop));
    PickPage(d, ppgLens);
    WidgetClick(d->Pix2, at);
    Settle();
    EXPECT_EQ(d->Params().LensLeft, expectedLeft);
    EXPECT_EQ(d->Edit27->GetText(), std::to_string(expectedLeft));
  });
}

}  // namespace

namespace {

TEST_F(PreviewsTest, TheFourierPageClearsTheSelectedFrequenciesAndRebuildsThePicture) {
  // Stripes of 50 and 150 over a 96 x 64 picture.
  Picture(96, 64, [](int x, int) { return x % 8 < 4 ? TRGB{50, 50, 50} : TRGB{150, 150, 150}; });
  EXPECT_TRUE(Run(peFFT, mrOk, [&](TfPreviews* d) {
    TBitmap* spectrum = d->PixView1->GetFBitmap();
    EXPECT_EQ(spectrum->GetWidth(), 128);
    EXPECT_EQ(spectrum->GetHeight(), 128);
    EXPECT_TRUE(d->CheckBox1->GetChecked());
    TBitmap plain;
    plain.Assign(d->Pix2->GetFBitmap());
    // The upper half of the spectrum dragged over with the mouse and
    // cleared: the stripes' frequencies go.
    TPixView* spectrumView = d->PixView1;
    const TPoint from{spectrumView->XBmp2Scr(0) + 1, spectrumView->YBmp2Scr(0) + 1};
    const TPoint to{spectrumView->XBmp2Scr(127) - 1, spectrumView->YBmp2Scr(60)};
    SendMouse(spectrumView, QEvent::MouseButtonPress, from, Qt::LeftButton);
    SendMouse(spectrumView, QEvent::MouseMove, {(from.x + to.x) / 2, (from.y + to.y) / 2}, Qt::LeftButton);
    SendMouse(spectrumView, QEvent::MouseMove, to, Qt::LeftButton);
    SendMouse(spectrumView, QEvent::MouseButtonRelease, to, Qt::NoButton);
    Settle();
    ASSERT_TRUE(spectrumView->HasSelection);
    EXPECT_LE(spectrumView->GetSelX1(), 2);
    EXPECT_GE(spectrumView->GetSelY2(), 55);
    Click(d->Clear);
    EXPECT_FALSE(SameBitmaps(d->Pix2->GetFBitmap(), &plain));
    Click(d->Button7);  // Reset: the selection goes, the result comes back
    EXPECT_FALSE(d->PixView1->HasSelection);
    EXPECT_TRUE(SameBitmaps(d->Pix2->GetFBitmap(), &plain));
    Click(d->Button1);
  }));
  // Rebuilt at its own size, stripes kept: each channel is read over its
  // largest value and stretched with the black border of the square, so
  // 50 and 150 come back as 85 and 255.
  TBitmap* picture = view->GetFBitmap();
  ASSERT_EQ(picture->GetWidth(), 96);
  ASSERT_EQ(picture->GetHeight(), 64);
  for (int x = 0; x < 16; ++x) {
    const TRGB c = Pixel(picture, x, 30);
    EXPECT_NEAR(c.r, x % 8 < 4 ? 85 : 255, 1) << x;
  }
}

TEST_F(PreviewsTest, FilterFilesAreSavedAndLoadedThroughTheirDialogs) {
  Gradient(30, 30);
  const std::string file = "blur.flt";
  Run(peUserFilt, mrCancel, [&](TfPreviews* d) {
    // The preset list, then a saved and a reloaded kernel.
    const TRect blur = d->ListBox1->ItemRect(1);
    WidgetClick(d->ListBox1, {blur.Left + 5, (blur.Top + blur.Bottom) / 2});
    Settle();
    EXPECT_EQ(d->Params().Filter.Divisor, 9);
    EXPECT_EQ(d->FilterEdits[4]->GetText(), "1");
    dialogs.AnswerDialog([&](TCommonDialog* dialog) {
      static_cast<TSaveDialog*>(dialog)->FileName = file;
      return true;
    });
    Click(d->Button5);
    Type(d->FilterEdits[0], "7");
    EXPECT_EQ(d->Params().Filter.Values[0][0], 7);
    dialogs.AnswerDialog([&](TCommonDialog* dialog) {
      static_cast<TOpenDialog*>(dialog)->FileName = file;
      return true;
    });
    Click(d->Button4);
    EXPECT_EQ(d->Params().Filter.Values[0][0], 1);
    EXPECT_EQ(d->FilterEdits[0]->GetText(), "1");
    EXPECT_EQ(d->FilterEdits[9]->GetText(), "9");
  });
}

}  // namespace

namespace {

TEST_F(PreviewsTest, TheResultFollowsTheSourceViewsZoom) {
  Gradient(120, 90);
  Run(peRGB, mrCancel, [&](TfPreviews* d) {
    Type(d->Edit7, "70");
    TPixView* source = d->Pix1;
    const double fitted = source->GetZoom();
    // A click with the zoom mode zooms in at the point.
    WidgetClick(source, {source->GetWidth() / 2, source->GetHeight() / 2});
    Settle();
    ASSERT_NE(source->GetZoom(), fitted);
    TBitmap expected;
    SourceAsShown(d, expected);
    _IntensityRGBall(&expected, 70, 0, 0, 0, 0, expected.GetWidth(), expected.GetHeight(), {}, nullptr);
    EXPECT_TRUE(SameBitmaps(d->Pix2->GetFBitmap(), &expected));
  });
}

}  // namespace
