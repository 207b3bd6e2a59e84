// The help command: the tool button, the help menu's entry and F1 open the
// help pages of the working folder in the desktop's browser.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include "cardprogram.h"

using cardtest::CardProgram;

namespace {

void Click(QWidget* widget, QPoint at) {
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    const bool press = type == QEvent::MouseButtonPress;
    QMouseEvent e(type, QPointF(at), widget->mapToGlobal(QPointF(at)), Qt::LeftButton,
                  press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &e);
  }
}

void Press(QWidget* widget, Qt::Key key) {
  for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
    QKeyEvent e(type, key, Qt::NoModifier);
    QApplication::sendEvent(widget, &e);
  }
}

class HelpCommand : public ::testing::Test {
 protected:
  HelpCommand() : form_(program_.MakeMainForm()) {
    form_->Show();
    program_.dialogs.Records.clear();
  }
  ~HelpCommand() override { form_->Hide(); }

  // The pages the desktop was asked to open, with the note before each.
  void ExpectHelpOpened(size_t times) {
    const std::string page = "file://" + program_.DataFolder().string() + "/Cardwright.html";
    size_t opened = 0;
    for (const TDesktopRequest& request : program_.desktopRequests)
      if (request.Kind == TDesktopRequest::Open) {
        EXPECT_EQ(request.Target, page);
        ++opened;
      }
    EXPECT_EQ(opened, times);
    EXPECT_EQ(program_.Messages(), std::vector<std::string>(times, "最新的帮助请到Cardwright的主页下载。"));
  }

  CardProgram program_;
  TMainForm* form_;
};

TEST_F(HelpCommand, ToolButtonOpensTheHelpPagesEveryClick) {
  ASSERT_EQ(form_->BHelp->GetParent(), form_->ToolBar1);
  EXPECT_EQ(form_->BHelp->GetCaption(), "帮助");
  QWidget* bar = form_->ToolBar1->Widget();
  ASSERT_NE(bar, nullptr);
  const TRect button = form_->BHelp->GetBoundsRect();
  const QPoint middle((button.Left + button.Right) / 2, (button.Top + button.Bottom) / 2);
  Click(bar, middle);
  ExpectHelpOpened(1);
  Click(bar, middle);
  ExpectHelpOpened(2);
}

TEST_F(HelpCommand, HelpMenuEntryRunsTheToolButtonsHelp) {
  EXPECT_EQ(form_->Nhelp1->GetCaption(), "帮助(&Help)");
  EXPECT_EQ(form_->Nhelp1->GetParent()->GetCaption(), "帮助(&H)");
  EXPECT_EQ(form_->Nhelp1->ShortCut, ShortCut(VK_F1, 0));
  form_->Nhelp1->Click();
  ExpectHelpOpened(1);
}

// F1 reaches the entry through the form's menu shortcuts.
TEST_F(HelpCommand, F1OpensTheHelpPages) {
  Press(form_->Widget(), Qt::Key_F1);
  ExpectHelpOpened(1);
}

TEST_F(HelpCommand, AMissingHelpFileIsReported) {
  ASSERT_TRUE(DeleteFile(program_.Data("Cardwright.html")));
  form_->BHelp->Click();
  EXPECT_EQ(program_.Messages(), (std::vector<std::string>{"最新的帮助请到Cardwright的主页下载。",
                                                           "无法打开帮助文件" + program_.Data("Cardwright.html") +
                                                               "！"}));
}

}  // namespace
