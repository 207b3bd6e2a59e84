// PMstart.ini at start and at close, and the close sequence.
#include <gtest/gtest.h>

#include "cardprogram.h"
#include "platform/gbk.h"
#include "platform/inifiles.h"

using cardtest::CardProgram;

namespace {

void WriteSettings(const CardProgram& program, const std::string& utf8Text) {
  std::ofstream(program.Data("PMstart.ini"), std::ios::binary) << Utf8ToGbk(utf8Text);
}

struct SettingsCase {
  const char* Name;
  const char* Text;  // nullptr: no file
  int Count;
  std::vector<std::string> Recent;
  bool Fails;
};

class StartSettings : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(StartSettings, AreReadOnceAtStart) {
  const SettingsCase& c = GetParam();
  CardProgram program;
  if (c.Text)
    WriteSettings(program, c.Text);
  else
    std::filesystem::remove(program.Data("PMstart.ini"));
  TMainForm* f = program.MakeMainForm();
  EXPECT_EQ(f->CustomTemplateCount, c.Count);
  for (size_t k = 0; k < 5; ++k) EXPECT_EQ(f->RecentFiles[k], k < c.Recent.size() ? c.Recent[k] : "") << k;
  const std::vector<std::string> messages = program.Messages();
  const bool failed = std::find(messages.begin(), messages.end(), "初始化失败！") != messages.end();
  EXPECT_EQ(failed, c.Fails);
  const bool missingNoted =
      std::find(messages.begin(), messages.end(), "找不到文件PMstart.ini，不能正常运行！") != messages.end();
  EXPECT_EQ(missingNoted, c.Text == nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartSettings,
    ::testing::Values(
        SettingsCase{"Good",
                     "[Section1]\r\nPMstart0=4\r\nPMstart1=4\r\nFileList0=D:\\证卡\\员工.pmt\r\nFileList1=b.pmt\r\n", 4,
                     {"D:\\证卡\\员工.pmt", "b.pmt"}, false},
        SettingsCase{"Missing", nullptr, 1, {}, true},
        SettingsCase{"SecondCountEmpty", "[Section1]\r\nPMstart0=3\r\nPMstart1=\r\nFileList0=a.pmt\r\n", 1, {}, true},
        SettingsCase{"NotANumber", "[Section1]\r\nPMstart0=three\r\nPMstart1=3\r\n", 1, {}, true},
        SettingsCase{"Negative", "[Section1]\r\nPMstart0=-2\r\nPMstart1=-2\r\n", 1, {}, true},
        SettingsCase{"TooMany", "[Section1]\r\nPMstart0=100000\r\nPMstart1=100000\r\n", 1, {}, true},
        SettingsCase{"Zero", "[Section1]\r\nPMstart0=0\r\nPMstart1=0\r\n", 0, {}, false}),
    [](const auto& info) { return std::string(info.param.Name); });

// The close sequence with its two questions answered.
void CloseWith(CardProgram& program, TMainForm* f, int quit, int save) {
  program.dialogs.Answer(quit);
  program.dialogs.Answer(save);
  bool canClose = false;
  f->FormCloseQuery(f, canClose);
  if (!canClose) return;
  TCloseAction action = caHide;
  f->FormClose(f, action);
  EXPECT_EQ(action, caFree);
}

TEST(MainFormClose, NoToTheQuitQuestionKeepsEverything) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  const std::string before = ReadFile(program.Data("PMstart.ini"));
  f->CustomTemplateCount = 5;
  CloseWith(program, f, IDNO, IDNO);
  const TDialogRecord& question = program.dialogs.Records.back();
  EXPECT_EQ(question.Text, "真的退出吗？");
  EXPECT_EQ(question.Caption, "退出");
  EXPECT_EQ(question.Flags, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(ReadFile(program.Data("PMstart.ini")), before);
  EXPECT_NE(f->DBTexts[0], nullptr);
  EXPECT_EQ(program.dialogs.Pending(), 1u);
}

TEST(MainFormClose, WritesSettingsInGbkEvenWithoutSaving) {
  CardProgram program;
  WriteSettings(program, "[Section1]\r\nPMstart0=3\r\nPMstart1=\r\n");
  TMainForm* f = program.MakeMainForm();
  int saves = 0;
  f->NSave->OnClick = [&](TObject*) { ++saves; };
  f->RecentFiles[0] = "D:\\证卡\\员工.pmt";
  CloseWith(program, f, IDYES, IDNO);
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(program.dialogs.Records.back().Text, "要保存修改结果吗？");
  EXPECT_EQ(program.dialogs.Records.back().Caption, "保存结果");

  const std::string bytes = ReadFile(program.Data("PMstart.ini"));
  EXPECT_NE(bytes.find("PMstart0=1\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("PMstart1=1\r\n"), std::string::npos);
  EXPECT_NE(bytes.find(Utf8ToGbk("FileList0=D:\\证卡\\员工.pmt\r\n")), std::string::npos);
  EXPECT_NE(bytes.find("FileList4=\r\n"), std::string::npos);
  // The run-time text controls went with the close.
  for (int i = 0; i < kTextSlots; ++i)
    EXPECT_TRUE(!f->DBTexts[size_t(i)] && !f->TitleLabels[size_t(i)] && !f->QRDBTexts[size_t(i)] &&
                !f->QRTitleLabels[size_t(i)]);
  EXPECT_EQ(f->DetailBand1->ControlCount(), 7);  // the resource's own printables
}

TEST(MainFormClose, SaveUsesSaveWhenEnabledElseSaveAs) {
  for (bool saveEnabled : {true, false}) {
    SCOPED_TRACE(saveEnabled);
    CardProgram program;
    TMainForm* f = program.MakeMainForm();
    std::string ran;
    f->NSave->OnClick = [&](TObject*) { ran += "save"; };
    f->NSaveAs->OnClick = [&](TObject*) { ran += "saveas"; };
    f->NSave->SetEnabled(saveEnabled);
    CloseWith(program, f, IDYES, IDYES);
    EXPECT_EQ(ran, saveEnabled ? "save" : "saveas");
  }
}

TEST(MainFormClose, FiveRecentTemplatesSurviveARestart) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  for (int k = 0; k < 5; ++k) f->RecentFiles[size_t(k)] = "Mode\\模板" + IntToStr(k) + ".pmt";
  f->CustomTemplateCount = 2;
  CloseWith(program, f, IDYES, IDNO);
  program.Forget(f);
  f->Free();

  TMainForm* again = program.MakeMainForm();
  EXPECT_EQ(again->CustomTemplateCount, 2);
  EXPECT_EQ(again->RecentIndex, 0);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(again->RecentFiles[size_t(k)], "Mode\\模板" + IntToStr(k) + ".pmt");
}

TEST(MainFormClose, AnUnwritableSettingsFileIsReportedAndTheCloseGoesOn) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  ASSERT_EQ(FileSetAttr(program.Data("PMstart.ini"), faReadOnly), 0);
  CloseWith(program, f, IDYES, IDNO);
  EXPECT_EQ(program.Messages().back().find("Unable to write"), 0u);
  EXPECT_EQ(f->DBTexts[0], nullptr);
}

TEST(MainFormClose, ExitClosesThroughTheQuestion) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  f->Show();
  program.dialogs.Answer(IDNO);
  f->NExit->Click();
  EXPECT_TRUE(f->GetVisible());
  EXPECT_EQ(program.dialogs.Records.back().Text, "真的退出吗？");
}

}  // namespace
