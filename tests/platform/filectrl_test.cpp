#include <gtest/gtest.h>

#include <fstream>

#include "control_log.h"
#include "platform/filectrl.h"
#include "support/testenv.h"

namespace {

TEST(FolderFormTest, FolderListMovesTheCurrentFolderAndDrivesTheFileList) {
  cwtest::TempDir dir;
  std::filesystem::create_directories(dir.path() / "b" / "inner");
  std::filesystem::create_directories(dir.path() / "A");
  for (const char* name : {"x.JPG", "y.bmp", "z.txt"}) std::ofstream(dir.path() / "b" / name) << "1";
  std::string keep = GetCurrentDir();

  TDirectoryListBox folders(nullptr);
  TFileListBox files(nullptr);
  TFilterComboBox filter(nullptr);
  folders.FileList = &files;
  filter.FileList = &files;
  std::vector<std::string> changes;
  folders.OnChange = [&](TObject*) { changes.push_back(folders.GetDirectory()); };

  folders.SetDirectory(dir.path().string() + "/");
  EXPECT_EQ(folders.GetDirectory(), dir.path().string());
  EXPECT_EQ(GetCurrentDir(), dir.path().string());
  int count = folders.GetItems()->Count();
  EXPECT_EQ(folders.GetItems()->Get(count - 2), "A");  // sub-folders follow the chain, sorted
  EXPECT_EQ(folders.GetItems()->Get(count - 1), "b");
  // Double-clicking a sub-folder opens it.
  folders.SetItemIndex(count - 1);
  folders.Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, XY(2, folders.ItemRect(count - 1).Top + 1));
  EXPECT_EQ(folders.GetDirectory(), (dir.path() / "b").string());
  EXPECT_EQ(files.GetItems()->Count(), 3);

  filter.SetFilter("JPG|*.jpg|BMP|*.bmp");
  EXPECT_EQ(filter.GetText(), "JPG");
  EXPECT_EQ(files.GetItems()->Text(), "x.JPG\r\n");
  filter.Select(1);
  EXPECT_EQ(files.GetItems()->Text(), "y.bmp\r\n");
  filter.SetFilter("JPG|*.jpg|BMP|*.bmp");  // the same filter keeps the choice
  EXPECT_EQ(filter.GetText(), "BMP");
  files.SetItemIndex(0);
  EXPECT_EQ(files.GetFileName(), (dir.path() / "b" / "y.bmp").string());

  EXPECT_THROW(folders.SetDirectory((dir.path() / "missing").string()), EInOutError);
  EXPECT_EQ(folders.GetDirectory(), (dir.path() / "b").string());
  EXPECT_EQ(changes.size(), 2u);
  SetCurrentDir(keep);
}

}  // namespace
