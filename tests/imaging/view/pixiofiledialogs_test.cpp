// The I/O component's entries to the open and save picture dialogs: what
// each dialog is given, the chosen name, and "" for a cancelled one.
#include <gtest/gtest.h>

#include <string>

#include "imaging/io/pixio.h"
#include "imaging/view/opendlg.h"
#include "platform/dialogs.h"
#include "support/testenv.h"

namespace {

TEST(PixIOFileDialogs, OpenAndSaveHandTheirSettingsAndReturnTheChoice) {
  cwtest::TempDir dir;
  TScriptedDialogs dialogs;
  TPixIO io(nullptr);
  io.AutoAdjustDPI = true;
  io.FilteredAdjustDPI = true;
  const std::string wanted = dir.file("card.png");
  for (bool save : {false, true}) {
    SCOPED_TRACE(save ? "save" : "open");
    TOpenPixDialog* seen = nullptr;
    bool saveDialog = false;
    dialogs.AnswerDialog([&](TCommonDialog* d) {
      seen = dynamic_cast<TOpenPixDialog*>(d);
      EXPECT_NE(seen, nullptr);
      if (!seen) return false;
      EXPECT_EQ(seen->GetOwner(), &io);
      EXPECT_EQ(seen->GetInitialDir(), dir.path().string());
      EXPECT_TRUE(seen->AlwaysAnimate);
      EXPECT_TRUE(seen->AutoAdjustDPI);
      EXPECT_TRUE(seen->FilteredAdjustDPI);
      EXPECT_EQ(seen->ExtraFilters, "Cards|*.crd");
      EXPECT_EQ(seen->GetFilterIndex(), 2);
      if (auto* s = dynamic_cast<TSavePixDialog*>(d)) {
        saveDialog = true;
        EXPECT_EQ(s->GetAttachedPixIO(), &io);
        EXPECT_EQ(s->PreviewBorderStyle, iepsCropShadow);
      }
      return seen->ChooseFiles({wanted});
    });
    const std::string got = save ? io.ExecuteSaveDialog(dir.path().string(), "first.png", true, 2, "Cards|*.crd")
                                  : io.ExecuteOpenDialog(dir.path().string(), "first.png", true, 2, "Cards|*.crd");
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(saveDialog, save);
    EXPECT_EQ(got, wanted);
    // Cancelled: no name.
    dialogs.AnswerDialog([](TCommonDialog*) { return false; });
    EXPECT_EQ(save ? io.ExecuteSaveDialog("", "", false, 1, "") : io.ExecuteOpenDialog("", "", false, 1, ""), "");
  }
  // The dialogs went with their run.
  EXPECT_EQ(io.ComponentCount(), 0);
}

}  // namespace
