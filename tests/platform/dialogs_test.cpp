#include <gtest/gtest.h>

#include "platform/dialogs.h"

namespace {

TEST(DialogTest, NotesTakeNoAnswerAndQuestionsTakeTheQueuedOnes) {
  TScriptedDialogs dialogs;
  Application->Title = "Cardwright";
  dialogs.Answer(IDNO);
  ShowMessage("初始化失败！");
  EXPECT_EQ(Application->MessageBox("真的退出吗？", "退出", MB_YESNO | MB_ICONQUESTION), IDNO);
  // Nothing queued: the default button answers.
  EXPECT_EQ(Application->MessageBox("要保存修改结果吗？", "保存结果", MB_YESNO | MB_ICONQUESTION), IDYES);
  ASSERT_EQ(dialogs.Records.size(), 3u);
  EXPECT_EQ(dialogs.Records[0].Text, "初始化失败！");
  EXPECT_EQ(dialogs.Records[0].Caption, "Cardwright");
  EXPECT_EQ(dialogs.Records[1].Caption, "退出");
  EXPECT_EQ(dialogs.Records[1].Flags, MB_YESNO | MB_ICONQUESTION);
  EXPECT_EQ(dialogs.Pending(), 0u);
}

TEST(DialogTest, DefaultAnswersFollowTheButtonsAndTheDefaultButton) {
  struct Case {
    unsigned flags;
    int answer;
  } cases[] = {
      {MB_OK, IDOK},
      {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},
      {MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL},
      {MB_YESNO | MB_DEFBUTTON3, IDYES},  // no third button: the first
      {MB_ABORTRETRYIGNORE | MB_DEFBUTTON2, IDRETRY},
      {MB_RETRYCANCEL, IDRETRY},
  };
  for (const Case& k : cases) EXPECT_EQ(DefaultAnswer(k.flags), k.answer) << k.flags;
}

TEST(DialogTest, InputBoxesReturnTheAnswerOrTheDefault) {
  TScriptedDialogs dialogs;
  dialogs.AnswerInput("5");
  dialogs.AnswerInput("ignored", false);
  EXPECT_EQ(InputBox("标尺设置    ", "请输入间隔数           ", "3"), "5");
  EXPECT_EQ(InputBox("标尺设置    ", "请输入间隔数           ", "10"), "10");
  EXPECT_EQ(InputBox("标尺设置    ", "请输入单位数           ", "3"), "3");  // nothing queued: cancelled
  ASSERT_EQ(dialogs.Records.size(), 3u);
  EXPECT_EQ(dialogs.Records[0].Kind, TDialogRecord::Input);
  EXPECT_EQ(dialogs.Records[0].Caption, "标尺设置    ");
  EXPECT_EQ(dialogs.Records[2].Text, "请输入单位数           ");
}

TEST(DialogTest, MessageDlgMapsButtonsAndTypes) {
  TScriptedDialogs dialogs;
  struct Case {
    TMsgDlgType type;
    TMsgDlgButtons buttons;
    unsigned flags;
  } cases[] = {
      {mtConfirmation, mbYes | mbNo, MB_YESNO | MB_ICONQUESTION},
      {mtWarning, mbYes | mbNo | mbCancel, MB_YESNOCANCEL | MB_ICONWARNING},
      {mtError, mbOK, MB_OK | MB_ICONERROR},
      {mtInformation, mbOK | mbCancel, MB_OKCANCEL | MB_ICONINFORMATION},
      {mtWarning, mbAbort | mbRetry | mbIgnore, MB_ABORTRETRYIGNORE | MB_ICONWARNING},
  };
  for (const Case& k : cases) {
    bool question = MessageBoxButtons(k.flags).size() > 1;
    if (question) dialogs.Answer(IDNO);
    int result = MessageDlg("text", k.type, k.buttons);
    EXPECT_EQ(dialogs.Records.back().Flags, k.flags);
    EXPECT_EQ(result, question ? mrNo : mrOk);
  }
  EXPECT_EQ(dialogs.Pending(), 0u);
}

}  // namespace
