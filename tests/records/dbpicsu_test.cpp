// The card batch window as far as the program's start needs it.
#include <gtest/gtest.h>

#include "designer/cardprogram.h"
#include "imaging/view/dbpix.h"
#include "records/dbpicsu.h"

using cardtest::CardProgram;

namespace {

TEST(FormPicEdit, HoldsTheTableAndItsHiddenPictureFieldViews) {
  CardProgram program;
  auto* form = MakeForm<TFormPicEdit>(Application);
  program.Keep(form);
  EXPECT_EQ(form->DataSource1->GetDataSet(), form->Table1);
  const std::pair<TPixDBView*, const char*> views[] = {
      {form->PixDBView11, "PIC"}, {form->PixDBView22, "BACKGROUND"}, {form->PixDBView3, "BARCODE"}};
  for (const auto& [view, field] : views) {
    EXPECT_FALSE(view->GetVisible());
    EXPECT_EQ(view->GetDataSource(), form->DataSource1);
    EXPECT_EQ(view->GetDataField(), field);
  }
  // Without a main window there is no program folder to take the table from.
  EXPECT_FALSE(form->Table1->GetActive());
}

TEST(FormPicEdit, GoingFirstLeavesNoDanglingTableInTheMainWindow) {
  CardProgram program;
  TMainForm* main = program.MakeMainForm();
  FormPicEdit = MakeForm<TFormPicEdit>(Application);
  ASSERT_TRUE(FormPicEdit->Table1->GetActive());
  ASSERT_EQ(main->QuickRep1->DataSet, FormPicEdit->Table1);
  FormPicEdit->Free();
  EXPECT_EQ(FormPicEdit, nullptr);
  EXPECT_EQ(main->QuickRep1->DataSet, nullptr);
  EXPECT_EQ(main->QRDBTexts[0]->DataSet, nullptr);
  EXPECT_EQ(main->DBTexts[0]->GetDataSource(), nullptr);
}

}  // namespace

#include "imaging/io/giflzw.h"
#include "imaging/io/ielzwhooks.h"
#include "records/upicprint.h"

namespace {

TEST(PictureForms, InstallTheGifCodersWhenMade) {
  for (int which = 0; which < 2; ++which) {
    SCOPED_TRACE(which);
    CardProgram program;
    DefGIF_LZWDECOMPFUNC = nullptr;
    DefGIF_LZWCOMPFUNC = nullptr;
    TForm* form = which == 0 ? static_cast<TForm*>(MakeForm<TFormPicEdit>(Application))
                             : static_cast<TForm*>(MakeForm<TFormPrintPic>(Application));
    program.Keep(form);
    EXPECT_EQ(DefGIF_LZWDECOMPFUNC, &GIFLZWDecompress);
    EXPECT_EQ(DefGIF_LZWCOMPFUNC, &GIFLZWCompress);
  }
}

}  // namespace
