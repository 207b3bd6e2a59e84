// The forms of the card program: their fixed creation order, their global
// pointers, and the splash window.
#include <gtest/gtest.h>

#include <QWidget>

#include "records/ubarcode.h"
#include "cardprogram.h"
#include "designer/cardforms.h"
#include "designer/dirunit.h"
#include "designer/editbox.h"
#include "designer/filelist.h"
#include "designer/newimage.h"
#include "designer/preface.h"
#include "designer/unew.h"
#include "imaging/io/pixio.h"
#include "imaging/view/dbpix.h"
#include "platform/input.h"
#include "records/catchpic.h"
#include "records/dbpicsu.h"
#include "records/opendata.h"
#include "records/prev.h"
#include "records/uexcel.h"
#include "records/uinputcol.h"
#include "records/upicprint.h"
#include "records/uprint.h"
#include "records/uscanner.h"
#include "records/uselectfield.h"
#include "records/utextdata.h"
#include "records/wh.h"

using cardtest::CardProgram;

namespace {

TEST(CardForms, AreCreatedInTheirFixedOrderWithTheirPointers) {
  CardProgram program;
  const int before = Application->ComponentCount();
  CreateCardForms(Application);
  ASSERT_EQ(Application->ComponentCount(), before + 19);
  const std::vector<TComponent*> expected = {
      MainForm,     FormPicEdit, OpenDataForm, PrevForm,     FormPrintPic, newimageform,    FormScanner,
      FormCatchPic, FormWH,      FormNew,      FormPrint,    FormDir,      FormBarcode,     FormEditBox,
      FormSelectField, FormTextData, FormExcel, FormInputCol, FormFileList};
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_NE(expected[i], nullptr) << i;
    EXPECT_EQ(Application->Components(before + int(i)), expected[i]) << i;
  }
  EXPECT_EQ(Application->MainForm, MainForm);
  EXPECT_EQ(FormPicEdit->GetCaption(), "卡片批量处理生成器");
  EXPECT_EQ(FormBarcode->GetCaption(), "生成条形码");
  // None is shown by its creation.
  for (TComponent* form : expected) EXPECT_FALSE(static_cast<TForm*>(form)->GetVisible());

  // The card batch window's start bound the main window's data-aware
  // controls to its table.
  EXPECT_EQ(MainForm->QuickRep1->DataSet, FormPicEdit->Table1);
  EXPECT_EQ(MainForm->DBTexts[0]->GetDataSource(), FormPicEdit->DataSource1);
  EXPECT_EQ(MainForm->DBTexts[12]->GetDataField(), "MMMM");
  EXPECT_EQ(MainForm->QRDBTexts[3]->DataSet, FormPicEdit->Table1);
  EXPECT_EQ(MainForm->DBGrid1->GetDataSource(), FormPicEdit->DataSource1);

  // Freed by the application at exit: each pointer goes with its form.
  for (auto it = expected.begin(); it != expected.end(); ++it) (*it)->Free();
  EXPECT_EQ(MainForm, nullptr);
  EXPECT_EQ(FormPicEdit, nullptr);
  EXPECT_EQ(FormFileList, nullptr);
  EXPECT_EQ(Application->MainForm, nullptr);
}

TEST(CardForms, FirstShowOpensTheStockTableForEditingAndShowsItsPictures) {
  CardProgram program;
  CreateCardForms(Application);
  for (int i = Application->ComponentCount() - 19; i < Application->ComponentCount(); ++i)
    program.Keep(Application->Components(i));
  ASSERT_TRUE(FormPicEdit->Table1->GetActive());
  EXPECT_EQ(NativePath(FormPicEdit->Table1->FileName()), NativePath(program.Data("Mode/DATA/data.DBF")));
  MainForm->FormShow(MainForm);
  EXPECT_EQ(FormPicEdit->Table1->State(), dsEdit);
  FormPicEdit->Table1->Cancel();
  EXPECT_EQ(FormPicEdit->PixDBView11->GetPixIO()->GetAttachedTImage(), MainForm->PicOne);
  EXPECT_EQ(FormPicEdit->PixDBView22->GetPixIO()->GetAttachedTImage(), MainForm->PicTwo);
  EXPECT_EQ(FormPicEdit->PixDBView3->GetPixIO()->GetAttachedTImage(), MainForm->BarcodeSet);
}

// Every form opens as a window of its designed client size with its
// caption; the forms the start-up shows first have their own sizes.
TEST(CardForms, OpenAtTheirDesignedClientSize) {
  CardProgram program;
  CreateCardForms(Application);
  for (int i = Application->ComponentCount() - 19; i < Application->ComponentCount(); ++i)
    program.Keep(Application->Components(i));
  struct Size {
    TForm* form;
    int width, height;
  };
  const Size designed[] = {{FormNew, 500, 260}, {FormFileList, 560, 230}, {FormDir, 420, 330},
                           {FormEditBox, 400, 260}, {newimageform, 300, 180}};
  for (const Size& d : designed) {
    EXPECT_EQ(d.form->GetClientWidth(), d.width) << d.form->Name;
    EXPECT_EQ(d.form->GetClientHeight(), d.height) << d.form->Name;
  }
  EXPECT_EQ(FormFileList->GetBorderStyle(), bsDialog);  // only a close box
  for (int i = 1; i < 19; ++i) {
    auto* form = static_cast<TForm*>(Application->Components(Application->ComponentCount() - 19 + i));
    form->OnShow = nullptr;  // their own start is not what is looked at here
    form->OnActivate = nullptr;
    form->Show();
    const QWidget* w = form->Widget();
    EXPECT_EQ(w->size(), QSize(form->GetClientWidth(), form->GetClientHeight())) << form->Name;
    EXPECT_GE(w->width() * w->height(), 160 * 120) << form->Name;
    EXPECT_EQ(w->windowTitle().toStdString(), form->GetCaption()) << form->Name;
    form->Hide();
  }
}

TEST(StarForm, IsDraggedByAnyPointWhileTheButtonIsDown) {
  CardProgram program;
  auto* star = new TStarForm(Application);
  program.Keep(star);
  EXPECT_EQ(star->GetClientWidth(), 533);
  EXPECT_EQ(star->GetClientHeight(), 414);
  EXPECT_EQ(star->GetBorderStyle(), bsNone);
  EXPECT_EQ(star->GetCaption(), "Cardwright");
  EXPECT_EQ(star->Label1->GetHeight(), 19);
  EXPECT_EQ(star->Label1->GetCaption().rfind("正在初始化....", 0), 0u);
  TFakeInput input;
  EXPECT_EQ(star->Perform(WM_NCHITTEST, 0, 0), HTCLIENT);
  input.Press(VK_LBUTTON);
  EXPECT_EQ(star->Perform(WM_NCHITTEST, 0, 0), HTCAPTION);
}

TEST(StarForm, ItsLabelClosesItAndOpensTheMakersPage) {
  CardProgram program;
  auto* star = new TStarForm(Application);
  program.Keep(star);
  star->Show();
  star->Label1Click(star->Label1);
  EXPECT_FALSE(star->GetVisible());
  ASSERT_EQ(program.desktopRequests.size(), 1u);
  EXPECT_EQ(program.desktopRequests[0].Target, kMakerWebPage);
}

}  // namespace
