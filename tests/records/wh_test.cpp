// The layout settings window: millimetres and pixels, filled from the
// designer and applied by typing into its boxes and pressing OK.
#include "records/wh.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include <filesystem>

#include "designer/cardprogram.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
#include "records/dbpicsu.h"

using cardtest::CardProgram;

namespace {

TEST(LayoutUnits, PixelsPerMillimetreNeverDividesByZero) {
  struct Case {
    int pixels, millimetres, dpi;
    double expected;
  } cases[] = {
      {1024, 320, 96, 3},           // the integer quotient
      {1920, 508, 96, 3},           // 3.78 counted as 3, as always
      {1024, 0, 96, 96 / 25.4},     // no physical size reported
      {1024, -5, 120, 120 / 25.4},  // nonsense size
      {100, 320, 144, 144 / 25.4},  // a quotient of 0
      {0, 0, 0, 96 / 25.4},         // nothing known at all
  };
  for (const Case& c : cases)
    EXPECT_DOUBLE_EQ(PixelsPerMm(c.pixels, c.millimetres, c.dpi), c.expected)
        << c.pixels << " px / " << c.millimetres << " mm";
  EXPECT_GT(ScreenPixelsPerMm(), 0);
  EXPECT_EQ(PixelsAsMm(322, 3), "107.33");
  EXPECT_EQ(PixelsAsMm(0, 3), "0.00");
  // Typed millimetres round to the nearest pixel: 107.33 mm is 322 pixels
  // again, not 321.
  EXPECT_EQ(MmAsPixels(107.33, 3), 322);
  EXPECT_EQ(MmAsPixels(2.9, 3), 9);
}

class LayoutWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    main = program.MakeMainForm();
    form = MakeForm<TFormWH>(Application);
    program.Keep(form);
    ppmm = ScreenPixelsPerMm();
    // A base picture whose width is no multiple of the factor.
    // The card panel places it inside its 5-pixel band.
    main->Panel2->SetBounds(0, 0, int(ppmm) * 100 + 1 + 10, int(ppmm) * 60 + 2 + 10);
    ASSERT_EQ(main->Drawor->GetWidth(), int(ppmm) * 100 + 1);
    ASSERT_EQ(main->QRDrawor->GetHeight(), int(ppmm) * 60 + 2);
    main->DetailBand1->SetHeight(main->Drawor->GetHeight() + 17);
    main->DetailBand1->Frame.DrawBottom = true;
    main->PicOne->SetBounds(230, 40, 80, 100);
    main->QRDBPicOne->SetBounds(230, 40, 83, 101);
    main->QuickRep1->Page.Columns = 2;
    form->Show();
    program.dialogs.Records.clear();
  }

  static void TypeInto(TEdit* box, const char* text) {
    QTest::mouseClick(box->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::keyClick(box->Widget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box->Widget(), Qt::Key_Delete);
    QTest::keyClicks(box->Widget(), QString::fromUtf8(text));
  }
  static void Toggle(TCheckBox* box) { QTest::mouseClick(box->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5)); }
  void PressOk() { QTest::mouseClick(form->Button1->Widget(), Qt::LeftButton); }

  CardProgram program;
  TMainForm* main = nullptr;
  TFormWH* form = nullptr;
  double ppmm = 1;
};

TEST_F(LayoutWindow, ShowsTheDesignInMillimetresAndPixels) {
  EXPECT_EQ(form->GetCaption(), "版面设置");
  EXPECT_EQ(form->Edit11->GetText(), "230");
  EXPECT_EQ(form->Edit12->GetText(), "40");
  EXPECT_EQ(form->Edit5->GetText(), PixelsAsMm(83, ppmm));  // from the print twin
  EXPECT_EQ(form->Edit8->GetText(), PixelsAsMm(main->Drawor->GetWidth(), ppmm));
  EXPECT_EQ(form->Edit2->GetText(), PixelsAsMm(17, ppmm));
  EXPECT_EQ(form->Edit7->GetText(), "2");
  EXPECT_TRUE(form->CheckPageE->GetChecked());
  EXPECT_FALSE(form->CheckBox2->GetChecked());  // picture one is stretched
  EXPECT_EQ(form->Button1->GetCaption(), "确   定");
}

TEST_F(LayoutWindow, OkWithoutChangesKeepsEveryPixel) {
  const TRect base = main->Drawor->GetBoundsRect(), photo = main->QRDBPicOne->GetBoundsRect();
  const TRect logo = main->SignPic->GetBoundsRect(), seal = main->ImageZhang->GetBoundsRect();
  const int band = main->DetailBand1->GetHeight();
  PressOk();
  EXPECT_TRUE(program.dialogs.Records.empty()) << program.Messages().front();  // no save question
  EXPECT_FALSE(form->GetVisible());
  EXPECT_EQ(main->Drawor->GetBoundsRect(), base);
  EXPECT_EQ(main->QRDBPicOne->GetBoundsRect(), photo);
  EXPECT_EQ(main->PicOne->GetBoundsRect(), Bounds(230, 40, 83, 101));  // the design follows its twin
  EXPECT_EQ(main->SignPic->GetBoundsRect(), logo);
  EXPECT_EQ(main->ImageZhang->GetBoundsRect(), seal);
  EXPECT_EQ(main->DetailBand1->GetHeight(), band);
  EXPECT_EQ(main->Panel2->GetWidth(), base.Width() + 10);
  // Shown and applied again: still the same.
  form->Show();
  PressOk();
  EXPECT_EQ(main->Drawor->GetBoundsRect(), base);
  EXPECT_EQ(main->DetailBand1->GetHeight(), band);
}

TEST_F(LayoutWindow, TypedValuesReachTheDesignAndTheReport) {
  TypeInto(form->Edit11, "12");
  TypeInto(form->Edit5, "30");
  TypeInto(form->Edit6, "40");
  TypeInto(form->Edit7, "2.9");
  TypeInto(form->Edit2, "0");
  TypeInto(form->EditInsL, "7");
  TypeInto(form->EditInsW, "10");
  Toggle(form->CheckPageE);  // off: no frame line at all
  Toggle(form->Pic1Transparent);
  PressOk();
  EXPECT_EQ(main->PicOne->GetLeft(), 12);
  EXPECT_EQ(main->QRDBPicOne->GetWidth(), MmAsPixels(30, ppmm));
  EXPECT_EQ(main->QRDBPicOne->GetHeight(), MmAsPixels(40, ppmm));
  EXPECT_EQ(main->PicOne->GetWidth(), main->QRDBPicOne->GetWidth());
  EXPECT_EQ(main->QuickRep1->Page.Columns, 2);
  EXPECT_EQ(main->DetailBand1->GetHeight(), main->Drawor->GetHeight());  // spacing 0
  EXPECT_EQ(main->SignPic->GetLeft(), 7);
  EXPECT_EQ(main->SignPic->GetWidth(), MmAsPixels(10, ppmm));
  const TQRFrame& frame = main->DetailBand1->Frame;
  EXPECT_FALSE(frame.DrawBottom || frame.DrawTop || frame.DrawLeft || frame.DrawRight);
  EXPECT_TRUE(main->PicOne->GetTransparent());

  form->Show();
  Toggle(form->CheckPageE);
  PressOk();
  EXPECT_TRUE(frame.DrawBottom && frame.DrawTop && frame.DrawLeft && frame.DrawRight);
}

TEST_F(LayoutWindow, NaturalSizeShowsThePhotosOwnPixels) {
  TBitmap photo;
  photo.SetSize(57, 73);
  main->PicOne->GetPicture()->Assign(&photo);
  TypeInto(form->Edit5, "30");
  Toggle(form->CheckBox2);
  PressOk();
  EXPECT_FALSE(main->PicOne->GetStretch());
  EXPECT_EQ(main->PicOne->GetWidth(), 57);
  EXPECT_EQ(main->PicOne->GetHeight(), 73);
  EXPECT_EQ(main->QRDBPicOne->GetWidth(), MmAsPixels(30, ppmm));
  EXPECT_FALSE(main->QRDBPicOne->Fit);
  form->Show();
  EXPECT_TRUE(form->CheckBox2->GetChecked());
  Toggle(form->CheckBox2);
  PressOk();
  EXPECT_TRUE(main->PicOne->GetStretch());
  EXPECT_TRUE(main->QRDBPicOne->Fit);
}

TEST_F(LayoutWindow, TheBatchWindowsLiveCardFollowsTheDesign) {
  FormPicEdit = MakeForm<TFormPicEdit>(Application);
  program.Keep(FormPicEdit);
  const char* names[] = {"Image1", "BarcodePrint", "PixDBView1", "PixDBView2", "PicZhang"};
  std::vector<TImage*> live;
  for (const char* name : names) {
    auto* image = dynamic_cast<TImage*>(FormPicEdit->FindComponent(name));
    if (!image) {  // a batch window without its live card pictures
      image = new TImage(FormPicEdit);
      image->Name = name;
    }
    image->SetStretch(true);
    image->SetTransparent(false);
    live.push_back(image);
  }
  form->Hide();
  form->Show();
  TCheckBox* natural[] = {form->CheckBox3, form->CheckBarCode, form->CheckBox2, form->CheckBox1, form->CheckZhang};
  TCheckBox* transparent[] = {form->Image2Transparent, form->BarcodeTransparent, form->Pic1Transparent,
                              form->Pic2Transparent, form->ZhangTransparent};
  for (int i = 0; i < 5; ++i) {
    if (!natural[i]->GetChecked()) Toggle(natural[i]);
    if (i % 2 == 0 && !transparent[i]->GetChecked()) Toggle(transparent[i]);
  }
  PressOk();
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(names[i]);
    EXPECT_FALSE(live[i]->GetStretch());
    EXPECT_EQ(live[i]->GetTransparent(), i % 2 == 0);
  }
}

TEST_F(LayoutWindow, WrongValuesAreRefusedBeforeAnythingChanges) {
  struct Case {
    TEdit* TFormWH::*box;
    const char* typed;
    const char* message;
  } cases[] = {
      {&TFormWH::Edit11, "1x", "请输入数字！"},
      {&TFormWH::EditZhangT, "", "请输入数字！"},
      {&TFormWH::Edit5, "abc", "请输入数字！"},
      {&TFormWH::Edit5, "-1", "尺寸应在0到10000毫米之间！"},
      {&TFormWH::Edit9, "-0.5", "尺寸应在0到10000毫米之间！"},
      {&TFormWH::Edit2, "1e9", "尺寸应在0到10000毫米之间！"},
      {&TFormWH::Edit7, "0", "列/页应在1到999之间！"},
      {&TFormWH::Edit7, "0.9", "列/页应在1到999之间！"},
      {&TFormWH::Edit7, "-2", "列/页应在1到999之间！"},
      {&TFormWH::Edit7, "two", "请输入数字！"},
  };
  const TRect photo = main->PicOne->GetBoundsRect();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    form->Hide();  // filled afresh
    form->Show();
    program.dialogs.Records.clear();
    TypeInto(form->Edit12, "5");  // a good change that must wait
    TypeInto(form->*c.box, c.typed);
    PressOk();
    ASSERT_EQ(program.Messages().size(), 1u);
    EXPECT_EQ(program.Messages()[0], c.message);
    EXPECT_TRUE(form->GetVisible());
    EXPECT_EQ(main->PicOne->GetBoundsRect(), photo);
    EXPECT_EQ(main->QuickRep1->Page.Columns, 2);
  }
}

TEST_F(LayoutWindow, ANewBaseSizeOffersToSaveThePictureFirst) {
  main->BGFileName = "Mode\\Untitle.JPG";
  main->ProductName = "卡片";
  main->VersionText = "V3.8";
  // A red layout picture, as loaded: unscaled and fitted.
  TBitmap old;
  old.SetPixelFormat(pf24bit);
  old.SetSize(main->Drawor->GetWidth(), main->Drawor->GetHeight());
  old.GetCanvas()->Brush->Color = clRed;
  old.GetCanvas()->FillRect({0, 0, old.GetWidth(), old.GetHeight()});
  main->ImageTemp->GetPicture()->Assign(&old);
  main->Drawor->GetPicture()->Assign(&old);
  main->DiscardLayoutDrawing();
  auto shownColour = [this] {
    TBitmap* shown = main->Drawor->GetPicture()->GetBitmap();
    return shown->GetCanvas()->GetPixel(shown->GetWidth() / 2, shown->GetHeight() / 2);
  };

  // Cancel: the old picture stays, at the new size.
  program.dialogs.Answer(IDCANCEL);
  TypeInto(form->Edit8, "50");
  PressOk();
  ASSERT_EQ(program.dialogs.Records.size(), 1u);
  EXPECT_EQ(program.dialogs.Records[0].Text, "保存Untitle.JPG吗？");
  EXPECT_EQ(program.dialogs.Records[0].Caption, "保存");
  EXPECT_EQ(program.dialogs.Records[0].Flags, MB_YESNOCANCEL | MB_ICONQUESTION);
  EXPECT_EQ(main->Drawor->GetWidth(), MmAsPixels(50, ppmm));
  EXPECT_EQ(main->Drawor->GetPicture()->GetWidth(), MmAsPixels(50, ppmm));
  EXPECT_EQ(shownColour(), clRed);  // the old picture, fitted to the new size

  // No: a blank picture of the new size.
  form->Show();
  program.dialogs.Records.clear();
  program.dialogs.Answer(IDNO);
  TypeInto(form->Edit9, "20");
  PressOk();
  ASSERT_EQ(program.dialogs.Records.size(), 1u);
  EXPECT_EQ(main->Drawor->GetPicture()->GetWidth(), MmAsPixels(50, ppmm));
  EXPECT_EQ(main->Drawor->GetPicture()->GetHeight(), MmAsPixels(20, ppmm));
  EXPECT_EQ(shownColour(), clWhite);
  EXPECT_EQ(main->Panel2->GetWidth(), MmAsPixels(50, ppmm) + 10);
  EXPECT_EQ(main->GetCaption(), "卡片V3.8----Mode\\Untitle.JPG");

  // Yes: the current picture is saved under its name first.
  const std::string saved = program.Data("Mode/Untitle.JPG");
  std::filesystem::remove(saved);
  main->BGFileName = "Mode\\Untitle.JPG";
  form->Show();
  program.dialogs.Answer(IDYES);
  TypeInto(form->Edit9, "25");
  PressOk();
  QImage written(QString::fromStdString(saved));
  EXPECT_EQ(written.width(), MmAsPixels(50, ppmm));  // the picture as it was before
  EXPECT_EQ(written.height(), MmAsPixels(20, ppmm));
  EXPECT_EQ(main->Drawor->GetPicture()->GetHeight(), MmAsPixels(25, ppmm));

  // The same size again asks nothing.
  form->Show();
  program.dialogs.Records.clear();
  PressOk();
  EXPECT_TRUE(program.dialogs.Records.empty());
}

}  // namespace
