// The main window's start: start values, data-file checks, the start-up
// template, the text controls, FormShow and the first activation.
#include <gtest/gtest.h>

#include "cardprogram.h"
#include "designer/filelist.h"
#include "designer/unew.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
#include "platform/inifiles.h"
#include "records/dbpicsu.h"

using cardtest::CardProgram;

namespace {

TEST(MainFormStart, StartValuesFromStockDataFolder) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();

  const std::string dataDir = program.ProgramFolder() + "data/";
  EXPECT_EQ(f->AppDir, program.ProgramFolder());
  EXPECT_EQ(DataDir, dataDir);
  EXPECT_EQ(f->StartDir, program.DataFolder().string());
  EXPECT_EQ(IncludeTrailingPathDelimiter(GetCurrentDir()), dataDir);
  EXPECT_EQ(f->TemplatePath, dataDir + "Mode\\未命名.pmt");
  EXPECT_TRUE(f->OpenNoDialog);
  EXPECT_FALSE(f->OpenCancelled);
  EXPECT_EQ(f->BGFileName, "Mode\\Untitle.JPG");
  EXPECT_EQ(f->LogoPath, program.DataFolder().string() + "\\SignPic.bmp");
  EXPECT_EQ(f->SealPath, program.DataFolder().string() + "\\ZhangPic.bmp");
  EXPECT_EQ(f->TemplateBGPath, program.DataFolder().string() + "\\Mode\\Untitle.JPG");
  EXPECT_EQ(f->GetCaption(), "CardwrightV3.8----Mode\\Untitle.JPG");
  EXPECT_EQ(f->RecentIndex, 0);
  EXPECT_EQ(f->LastTextTag, 18);
  EXPECT_EQ(f->PicItem, 0);
  EXPECT_TRUE(f->ShowHints);
  EXPECT_TRUE(f->TextPending);
  EXPECT_EQ(f->MoveDBResult, 0);
  EXPECT_NE(f->JpegLoader, nullptr);
  EXPECT_NE(f->RangeBitmap, nullptr);
  EXPECT_NE(LayoutPrintBitmap, nullptr);
  EXPECT_NE(LogoPrintBitmap, nullptr);
  EXPECT_TRUE(TextsShown && PhotoShown && PicTwoShown && LayoutShown);
  EXPECT_TRUE(ToolBarShown && SelectPanelShown);
  EXPECT_FALSE(DataGridHidden);
  EXPECT_FALSE(f->QuickRep1->GetVisible());
  EXPECT_EQ(f->QuickRep1->GetParent(), f);
  EXPECT_FALSE(f->QRDBPicOne->GetVisible() || f->QRDBPicOne->GetEnabled());
  EXPECT_FALSE(f->QRDBPicTwo->GetVisible() || f->QRDBPicTwo->GetEnabled());
  EXPECT_EQ(f->Label3->GetTop(), f->DetailBand1->GetHeight() - f->Label3->GetHeight());
  // The scroll box fills the centre: the fitting to the window leaves it
  // between the edge panels, above the drawing panel's edge.
  TWinControl* centre = f->ScrollBox1->GetParent();
  EXPECT_EQ(centre->GetLeft(), f->Panel7->GetLeft() + f->Panel7->GetWidth());
  EXPECT_EQ(centre->GetLeft() + centre->GetWidth(), f->Panel6->GetLeft());
  EXPECT_EQ(centre->GetTop() + centre->GetHeight(), f->StatusBar1->GetTop());
  EXPECT_EQ(f->ScrollBox1->GetBoundsRect(), Rect(0, 0, centre->GetClientWidth(), f->Panel10->GetTop()));
  EXPECT_EQ(PanelCanvas->GetControl(), f->Panel2);
  EXPECT_EQ(TextBoxCanvas->GetControl(), f->Edit);

  TStrings* sizes = f->FontSize->GetItems();
  ASSERT_EQ(sizes->Count(), 26);
  EXPECT_EQ(sizes->Get(0), "初号");
  EXPECT_EQ(sizes->Get(15), "八号");
  EXPECT_EQ(sizes->Get(16), "5");
  EXPECT_EQ(sizes->Get(25), "100");

  // The stock data folder holds every file the start looks for, the help
  // pages too, so the only messages would be failures.
  EXPECT_EQ(program.Messages(), std::vector<std::string>{});
}

TEST(MainFormStart, TextControlsAreBuiltInSlotOrder) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  const char* fields[] = {"AAAA", "BBBB", "CCCC", "DDDD", "EEEE", "FFFF", "GGGG",
                          "HHHH", "IIII", "JJJJ", "KKKK", "LLLL", "MMMM"};
  for (int i = 0; i < kTextSlots; ++i) {
    SCOPED_TRACE(i);
    TQRDBText* printed = f->QRDBTexts[size_t(i)];
    TLabel* title = f->TitleLabels[size_t(i)];
    TDBText* data = f->DBTexts[size_t(i)];
    TQRLabel* printedTitle = f->QRTitleLabels[size_t(i)];
    ASSERT_TRUE(printed && title && data && printedTitle);
    EXPECT_EQ(printed->GetParent(), f->DetailBand1);
    EXPECT_EQ(printed->GetBoundsRect(), Bounds(20, 13 * i + 5, 30, 30));
    EXPECT_TRUE(printed->AutoStretch && printed->Transparent && printed->WordWrap);
    EXPECT_TRUE(printed->GetVisible());
    EXPECT_FALSE(printed->GetEnabled());
    EXPECT_EQ(printed->DataField, fields[i]);

    EXPECT_EQ(title->GetParent(), f->Panel2);
    EXPECT_EQ(title->GetBoundsRect(), Bounds(120, 13 * i + 5, 30 + i, 25));
    EXPECT_FALSE(title->GetVisible());
    EXPECT_EQ(title->Tag, 100 + i);
    EXPECT_EQ(title->GetColor(), clWhite);
    EXPECT_TRUE(title->OnClick && title->OnDblClick && title->OnMouseDown && title->OnMouseMove && title->OnMouseUp);

    EXPECT_EQ(data->GetParent(), f->Panel2);
    EXPECT_EQ(data->GetBoundsRect(), Bounds(20, 13 * i + 5, 30 + i, 25));
    EXPECT_FALSE(data->GetVisible());
    EXPECT_EQ(data->Tag, i);
    EXPECT_EQ(data->GetCaption(), "");
    EXPECT_TRUE(data->OnClick && data->OnDblClick && data->OnMouseDown && data->OnMouseMove && data->OnMouseUp);

    EXPECT_EQ(printedTitle->GetParent(), f->DetailBand1);
    EXPECT_EQ(printedTitle->GetLeft(), 120);
    EXPECT_EQ(printedTitle->GetTop(), 13 * i + 5);
    EXPECT_FALSE(printedTitle->GetVisible() || printedTitle->GetEnabled());
  }
  // Created per slot in the order: print twin, title, data text, title twin.
  EXPECT_LT(f->QRDBTexts[0]->GetComponentIndex(), f->TitleLabels[0]->GetComponentIndex());
  EXPECT_LT(f->TitleLabels[0]->GetComponentIndex(), f->DBTexts[0]->GetComponentIndex());
  EXPECT_LT(f->DBTexts[0]->GetComponentIndex(), f->QRTitleLabels[0]->GetComponentIndex());
  EXPECT_LT(f->QRTitleLabels[0]->GetComponentIndex(), f->QRDBTexts[1]->GetComponentIndex());
}

TEST(MainFormStart, MissingDataFilesOnlyWarnInOrder) {
  CardProgram program(false);
  // An empty "Mode" folder is all that marks it as the data folder.
  ASSERT_TRUE(CreateDir(program.Data("Mode")));
  TMainForm* f = program.MakeMainForm();
  const std::vector<std::string> expected = {
      "找不到文件Mode\\DATA\\data.MDX您将不能正常使用数据库功能！",
      "找不到文件Mode\\DATA\\data.DBF您将不能正常使用数据库功能！",
      "找不到文件Mode\\DATA\\data.DBT您将不能正常使用数据库功能！",
      "找不到文件Untitle.JPG，不能正常运行！",
      "找不到帮助文件Cardwright.html您将无法使用帮助功能！",
      "找不到文件ZhangPic.bmp，不能示例印章图片！",
      "找不到文件SignPic.bmp，不能示例标志图！",
      "找不到文件未命名.pmt，不能正常运行！",
      "找不到文件PMstart.ini，不能正常运行！",
      "初始化失败！",
  };
  EXPECT_EQ(program.Messages(), expected);
  // The start went on to its end.
  EXPECT_TRUE(f->OpenNoDialog);
  EXPECT_NE(f->QRTitleLabels[12], nullptr);
}

TEST(MainFormStart, ReadOnlyTableAndSettingsFilesBecomeWritableSilently) {
  CardProgram program;
  for (const char* name : {"Mode/DATA/data.DBF", "Mode/DATA/data.DBT", "PMstart.ini"})
    ASSERT_EQ(FileSetAttr(program.Data(name), faReadOnly), 0);
  ASSERT_EQ(FileSetAttr(program.Data("Mode/SignPic.bmp"), faReadOnly), 0);
  program.MakeMainForm();
  for (const char* name : {"Mode/DATA/data.DBF", "Mode/DATA/data.DBT", "PMstart.ini"})
    EXPECT_EQ(FileGetAttr(program.Data(name)) & faReadOnly, 0) << name;
  // Only the table files and the settings are made writable.
  EXPECT_NE(FileGetAttr(program.Data("Mode/SignPic.bmp")) & faReadOnly, 0);
  EXPECT_EQ(program.Messages(), std::vector<std::string>{});
}

struct StartArguments {
  std::vector<std::string> Arguments;
  std::string Template;  // empty: the stock untitled template
};

class StartTemplate : public ::testing::TestWithParam<StartArguments> {};

TEST_P(StartTemplate, ComesFromTheArguments) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm(GetParam().Arguments);
  EXPECT_TRUE(f->OpenNoDialog);
  if (GetParam().Template.empty()) {
    EXPECT_EQ(f->TemplatePath, DataDir + "Mode\\未命名.pmt");
    EXPECT_EQ(f->OpenDialog1->FileName, "");
  } else {
    EXPECT_EQ(f->TemplatePath, GetParam().Template);
    EXPECT_EQ(f->OpenDialog1->FileName, GetParam().Template);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartTemplate,
    ::testing::Values(StartArguments{{}, ""}, StartArguments{{"CARDWRIGHT.EXE"}, ""},
                      StartArguments{{"Cardwright.exe"}, ""},
                      StartArguments{{"D:\\My", "Cards\\A.pmt"}, "d:\\my cards\\a.pmt"},
                      StartArguments{{"/Home/Cards/Staff.PMT"}, "/home/cards/staff.pmt"},
                      // An unquoted folder with two blanks comes back with one.
                      StartArguments{{"My", "", "Cards.pmt"}, "my  cards.pmt"},
                      StartArguments{{"My", "Cards.pmt"}, "my cards.pmt"}));

TEST(MainFormStart, CustomTemplateEntriesFollowTheDeleteEntry) {
  for (int count : {0, 3}) {
    SCOPED_TRACE(count);
    CardProgram program;
    TIniFile(program.Data("PMstart.ini")).WriteString("Section1", "PMstart0", IntToStr(count));
    TIniFile(program.Data("PMstart.ini")).WriteString("Section1", "PMstart1", IntToStr(count));
    TMainForm* f = program.MakeMainForm();
    TMenuItem* menu = f->MenuFunction;
    const int at = menu->IndexOf(f->Exitcmd);
    ASSERT_EQ(menu->Count(), at + 2 + count);
    EXPECT_TRUE(menu->Items(at + 1)->IsLine());
    for (int n = 1; n <= count; ++n) {
      TMenuItem* entry = menu->Items(at + 1 + n);
      EXPECT_EQ(entry->GetCaption(), IntToStr(n));
      EXPECT_EQ(entry->Tag, n);
      EXPECT_TRUE(bool(entry->OnClick));
    }
  }
}

TEST(MainFormShow, ReadsTheStartTemplateAndSetsUpTheWindow) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  int opens = 0;
  f->NOpen->OnClick = [&](TObject*) { ++opens; };
  f->FormShow(f);
  EXPECT_EQ(opens, 1);
  for (int i = 0; i < kTextSlots; ++i) EXPECT_EQ(f->DBGrid1->Columns()->Items(i)->GetWidth(), 68);
  EXPECT_EQ(f->StatusBar1->GetSimpleText(), "提示：请先选取和加入要显示的项目,点击'显示文字'，用前先建立数据库。");
  // The text tool bar is hidden, and with it the font boxes.
  EXPECT_FALSE(f->FontBox->GetEnabled() || f->FontSize->GetEnabled() || f->TBEdit->GetVisible());

  f->OpenNoDialog = false;
  f->ToolBar2->SetVisible(true);
  f->FormShow(f);
  EXPECT_EQ(opens, 1);
  EXPECT_TRUE(f->FontBox->GetEnabled() && f->FontSize->GetEnabled() && f->TBEdit->GetVisible());
}

TEST(MainFormShow, AFailedTemplateReadIsReported) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  f->NOpen->OnClick = [](TObject*) { throw EInOutError("cannot open"); };
  const size_t before = program.Messages().size();
  f->FormShow(f);
  ASSERT_EQ(program.Messages().size(), before + 1);
  EXPECT_EQ(program.Messages().back(), "打开失败，可能是路径有误，请检查目录名或文件名是否含有连续两个的空格!");
}

// The stock table's first record has a photo, a second picture and a
// barcode; the shown window has them in its design items at once.
TEST(MainFormShow, DesignItemsHoldTheCurrentRecordsPictures) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  FormPicEdit = MakeForm<TFormPicEdit>(Application);
  program.Keep(FormPicEdit);
  f->OnActivate = nullptr;
  f->Show();
  ASSERT_TRUE(FormPicEdit->Table1->GetActive());
  for (TImage* item : {f->PicOne, f->PicTwo, f->BarcodeSet})
    EXPECT_GT(item->GetPicture()->GetWidth(), 0) << item->Name;
}

TMainForm* MakeWindowsOfTheFirstActivation(CardProgram& program) {
  TMainForm* f = program.MakeMainForm();
  FormNew = MakeForm<TFormNew>(Application);
  program.Keep(FormNew);
  FormFileList = MakeForm<TFormFileList>(Application);
  program.Keep(FormFileList);
  return f;
}

TEST(MainFormActivate, OnlyTheFirstActivationAsks) {
  CardProgram program;
  TMainForm* f = MakeWindowsOfTheFirstActivation(program);
  const size_t before = program.dialogs.Records.size();
  program.dialogs.Answer(IDYES);
  f->FormActivate(f);
  f->FormActivate(f);
  ASSERT_EQ(program.dialogs.Records.size(), before + 1);
  const TDialogRecord& question = program.dialogs.Records.back();
  EXPECT_EQ(question.Text, "要新建模板吗？否则打开旧模板。");
  EXPECT_EQ(question.Caption, "是否新建");
  EXPECT_EQ(question.Flags, MB_YESNO | MB_ICONQUESTION);
  EXPECT_TRUE(FormNew->GetVisible());
  EXPECT_EQ(FormNew->GetFormStyle(), fsStayOnTop);
  EXPECT_FALSE(FormFileList->GetVisible());
}

TEST(MainFormActivate, NoOpensTheRecentTemplates) {
  CardProgram program;
  TMainForm* f = MakeWindowsOfTheFirstActivation(program);
  program.dialogs.Answer(IDNO);
  f->FormActivate(f);
  EXPECT_FALSE(FormNew->GetVisible());
  EXPECT_TRUE(FormFileList->GetVisible());
  EXPECT_EQ(FormFileList->GetFormStyle(), fsStayOnTop);
}

}  // namespace
