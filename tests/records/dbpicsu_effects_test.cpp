// The card batch window's effect and colour buttons: the processing
// preview dialog on the chosen picture of the current record, through real
// clicks and typing, and the changed picture stored when the record posts.
#include <gtest/gtest.h>

#include <QTest>

#include <filesystem>
#include <string>
#include <vector>

#include "batchwindow.h"
#include "imaging/io/pixio.h"
#include "imaging/view/dbpix.h"
#include "imaging/view/fieldimage.h"
#include "imaging/view/previews.h"
#include "platform/buttons.h"
#include "platform/classes.h"
#include "platform/comctrls.h"
#include "platform/dbf.h"
#include "platform/qt_input.h"
#include "platform/stdctrls.h"
#include "records/dbpicsu.h"

namespace fs = std::filesystem;

namespace {

// A table of one holder whose photo is a 30 x 40 picture of solid red.
std::string OneHolderTable(const fs::path& folder) {
  fs::create_directories(folder);
  std::vector<TDbfField> columns;
  for (char c = 'A'; c <= 'M'; ++c) columns.push_back({std::string(4, c), 'C', 60, 0, 0});
  for (const char* name : {"PIC", "BACKGROUND", "BARCODE"}) columns.push_back({name, 'B', 10, 0, 0});
  TDbfTable::Create((folder / "data.DBF").string(), dbfLevel4, columns);
  TTable table;
  table.SetDatabaseName(folder.string() + "/");
  table.SetTableName("data.DBF");
  table.Open();
  TBitmap photo;
  photo.SetSize(30, 40);
  photo.GetCanvas()->Brush->Color = TColor(0x2020C0);
  photo.GetCanvas()->FillRect(Rect(0, 0, 30, 40));
  TMemoryStream bytes;
  photo.SaveToStream(&bytes);
  table.Append();
  table.FieldByName("AAAA")->SetAsString("张三");
  table.FieldByName("PIC")->SetAsString(std::string(static_cast<const char*>(bytes.Memory()), size_t(bytes.GetSize())));
  table.Post();
  return folder.string() + "/";
}

class BatchEffects : public cardtest::BatchWindowTest {
 protected:
  static void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }
  static void Click(TControl* c) {
    WindowClick(c, {c->GetWidth() / 2, c->GetHeight() / 2});
    Settle();
  }
  static void Type(TEdit* edit, const char* text) {
    QWidget* w = edit->Widget();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(w, QString::fromUtf8(text));
    Settle();
  }
  static void PickPage(TfPreviews* d, int tag) {
    const TRect r = d->PageControl1->TabRect(d->TabSheets[size_t(tag)]->GetTabIndex());
    WidgetClick(d->PageControl1, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    Settle();
  }
  static std::vector<int> VisibleTags(TfPreviews* d) {
    std::vector<int> tags;
    for (int i = 1; i <= 12; ++i)
      if (d->TabSheets[size_t(i)]->GetTabVisible()) tags.push_back(i);
    return tags;
  }
  // The dialog answered by `user`, who ends it with OK.
  void AnswerPreview(const std::function<void(TfPreviews*)>& user) {
    program_.dialogs.AnswerModal(mrOk, [user](TCustomForm* form) {
      Settle();
      auto* d = dynamic_cast<TfPreviews*>(form);
      ASSERT_NE(d, nullptr);
      user(d);
      Click(d->Button1);
    });
  }
};

TEST_F(BatchEffects, ColourAndEffectButtonsChangeTheChosenPictureOfTheRecord) {
  UseFolder(OneHolderTable(program_.DataFolder() / "effects"));
  form_->Show();
  EXPECT_EQ(form_->BEffect->GetCaption(), "特效...");
  EXPECT_EQ(form_->BColorSet->GetCaption(), "色彩调节");
  // Nothing chosen yet: the buttons open nothing.
  Click(form_->BColorSet);
  Click(form_->BEffect);
  EXPECT_TRUE(program_.dialogs.Records.empty());

  Click(form_->BEditPic);
  TPixDBView* photo = form_->PixDBView11;
  ASSERT_EQ(form_->PixProc1->GetAttachedPix(), photo);
  ASSERT_EQ(photo->GetFBitmap()->GetWidth(), 30);
  // Cancel: the record stays as it was, not even in edit state.
  program_.dialogs.AnswerModal(mrCancel, [](TCustomForm* form) {
    auto* d = dynamic_cast<TfPreviews*>(form);
    ASSERT_NE(d, nullptr);
    Type(d->Edit1, "80");
  });
  Click(form_->BColorSet);
  EXPECT_EQ(form_->Table1->State(), dsBrowse);
  EXPECT_FALSE(photo->IsModified());

  AnswerPreview([](TfPreviews* d) {
    EXPECT_EQ(VisibleTags(d), (std::vector<int>{ppgContrast, ppgHSL, ppgRGB, ppgUserFilter, ppgHSV,
                                                ppgEqualization, ppgFFT}));
    PickPage(d, ppgRGB);
    Type(d->Edit7, "-255");
    Type(d->Edit6, "200");
  });
  Click(form_->BColorSet);
  // The record's photo, as the table holds it, went through the dialog.
  const uint8_t* pixel = photo->GetFBitmap()->ScanLine(20) + 15 * 3;
  EXPECT_EQ(pixel[2], 0);       // red gone
  EXPECT_EQ(pixel[1], 0x20 + 200);  // green raised
  EXPECT_EQ(pixel[0], 0x20);    // blue kept

  AnswerPreview([](TfPreviews* d) {
    EXPECT_EQ(VisibleTags(d), (std::vector<int>{ppgBumpMap, ppgLens, ppgWave, ppgMorph, ppgRotate}));
    PickPage(d, ppgRotate);
    Type(d->EditRotate, "90");
  });
  Click(form_->BEffect);
  EXPECT_NEAR(photo->GetFBitmap()->GetWidth(), 40, 1);
  EXPECT_NEAR(photo->GetFBitmap()->GetHeight(), 30, 1);

  // The live card shows the result, the record is being edited, and its
  // post stores the picture.
  EXPECT_NEAR(form_->PixDBView1->GetPicture()->GetWidth(), 40, 1);
  EXPECT_EQ(form_->Table1->State(), dsEdit);
  form_->Table1->Post();
  TTable check;
  check.SetDatabaseName((program_.DataFolder() / "effects").string() + "/");
  check.SetTableName("data.DBF");
  check.Open();
  const std::string stored = check.FieldByName("PIC")->GetAsString();
  TMemoryStream stream;
  stream.Write(stored.data(), int64_t(stored.size()));
  stream.SetPosition(0);
  TBitmap back;
  TPixIO io(nullptr);
  io.SetAttachedBitmap(&back);
  const TDataFieldImageFormat format = IEFieldImageFormat(FindStreamFormat(&stream), true);
  stream.SetPosition(0);
  ASSERT_TRUE(IELoadFieldImage(&io, &stream, format));
  EXPECT_NEAR(back.GetWidth(), 40, 1);
  const uint8_t* centre = back.ScanLine(back.GetHeight() / 2) + size_t(back.GetWidth() / 2) * 3;
  EXPECT_LT(centre[2], 40);
  EXPECT_GT(centre[1], 180);
}

}  // namespace
