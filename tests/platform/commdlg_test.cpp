#include "platform/commdlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <fstream>

#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "support/testenv.h"

namespace {

void Touch(const std::string& name) { std::ofstream(name) << "x"; }

// Keeps the current folder of the process as it was.
class CurrentDirKeeper {
 public:
  CurrentDirKeeper() : dir_(GetCurrentDir()) {}
  ~CurrentDirKeeper() { SetCurrentDir(dir_); }

 private:
  std::string dir_;
};

const char* const kPictureFilter =
    "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|All (*.*)|*.*";

}  // namespace

TEST(FileFilter, ParsesPairsAndDropsEntriesWithoutPatterns) {
  struct Case {
    const char* filter;
    std::vector<TFileFilter> expected;
  } cases[] = {
      {"", {}},
      {"模板文件(*.pmt)|*.pmt", {{"模板文件(*.pmt)", {"*.pmt"}}}},
      {"Pictures|*.jpg; *.jpeg;*.bmp|All|*.*",
       {{"Pictures", {"*.jpg", "*.jpeg", "*.bmp"}}, {"All", {"*.*"}}}},
      // A trailing description without patterns, and an empty pattern list.
      {"A|*.a|B||C", {{"A", {"*.a"}}}},
  };
  for (const Case& c : cases) {
    std::vector<TFileFilter> got = ParseFileFilter(c.filter);
    ASSERT_EQ(got.size(), c.expected.size()) << c.filter;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].Description, c.expected[i].Description) << c.filter;
      EXPECT_EQ(got[i].Patterns, c.expected[i].Patterns) << c.filter;
    }
  }
}

// What a name typed into the dialog becomes: the default extension follows
// the selected type when it names one, and an open dialog keeps an existing
// file as typed.
TEST(FileDialog, CompletesTypedNamesAsThePlatformDoes) {
  cwtest::TempDir dir;
  Touch(dir.file("plain"));
  Touch(dir.file("card.pmt"));
  struct Case {
    bool save;
    const char* filter;
    const char* defaultExt;
    int filterIndex;
    const char* typed;
    const char* expected;  // file name in the folder
  } cases[] = {
      {true, "模板(*.pmt)|*.pmt", "pmt", 1, "new", "new.pmt"},
      {true, kPictureFilter, "jpg", 3, "pic", "pic.bmp"},
      {true, kPictureFilter, "jpg", 4, "pic", "pic.jpg"},
      {true, kPictureFilter, "jpg", 2, "pic.png", "pic.png"},
      {true, kPictureFilter, "", 1, "pic", "pic"},
      {false, "模板(*.pmt)|*.pmt", "pmt", 1, "plain", "plain"},
      {false, "模板(*.pmt)|*.pmt", "pmt", 1, "card", "card.pmt"},
      {false, "模板(*.pmt)|*.pmt", "pmt", 1, "sub/../card", "card.pmt"},
  };
  for (const Case& c : cases) {
    TOpenDialog open(nullptr);
    TSaveDialog save(nullptr);
    TOpenDialog& dialog = c.save ? save : open;
    dialog.InitialDir = dir.path().string();
    dialog.Filter = c.filter;
    dialog.DefaultExt = c.defaultExt;
    ASSERT_TRUE(dialog.ChooseFiles({c.typed}, c.filterIndex)) << c.typed;
    EXPECT_EQ(dialog.FileName, dir.file(c.expected)) << c.typed;
    EXPECT_EQ(dialog.FilterIndex, c.filterIndex) << c.typed;
    ASSERT_EQ(dialog.Files()->Count(), 1);
    EXPECT_EQ(dialog.Files()->Get(0), dialog.FileName);
  }
}

TEST(FileDialog, StartsInInitialDirElseFileNameFolderElseCurrentFolder) {
  CurrentDirKeeper keeper;
  cwtest::TempDir initial, named, current;
  SetCurrentDir(current.path().string());
  struct Case {
    std::string initialDir, fileName, expected;
  } cases[] = {
      {initial.path().string(), named.file("a.pmt"), initial.path().string()},
      {initial.file("missing"), named.file("a.pmt"), named.path().string()},
      {"", "relative.pmt", current.path().string()},
  };
  for (const Case& c : cases) {
    TOpenDialog dialog(nullptr);
    dialog.InitialDir = c.initialDir;
    dialog.FileName = c.fileName;
    EXPECT_EQ(dialog.StartFolder(), c.expected) << c.initialDir << " " << c.fileName;
  }
}

TEST(FileDialog, AChoiceChangesTheCurrentFolderUnlessNoChangeDir) {
  CurrentDirKeeper keeper;
  cwtest::TempDir start, chosen;
  Touch(chosen.file("a.pmt"));
  for (bool noChange : {false, true}) {
    SetCurrentDir(start.path().string());
    TScriptedDialogs dialogs;
    TOpenDialog dialog(nullptr);
    dialog.Filter = "模板(*.pmt)|*.pmt";
    if (noChange) dialog.Options |= ofNoChangeDir;
    dialogs.AnswerDialog([&](TCommonDialog* d) {
      EXPECT_EQ(d, &dialog);
      return static_cast<TOpenDialog*>(d)->ChooseFiles({chosen.file("a.pmt")});
    });
    ASSERT_TRUE(dialog.Execute());
    EXPECT_EQ(dialog.FileName, chosen.file("a.pmt"));
    EXPECT_EQ(GetCurrentDir(), noChange ? start.path().string() : chosen.path().string());
  }
}

TEST(FileDialog, CancelKeepsNameFilterIndexAndFolder) {
  CurrentDirKeeper keeper;
  cwtest::TempDir dir;
  SetCurrentDir(dir.path().string());
  TScriptedDialogs dialogs;
  TSaveDialog dialog(nullptr);
  dialog.Filter = kPictureFilter;
  dialog.FileName = "old.jpg";
  dialog.FilterIndex = 2;
  dialog.Title = "保存图片";
  int shown = 0, closed = 0;
  dialog.OnShow = [&](TObject*) { ++shown; };
  dialog.OnClose = [&](TObject*) {
    EXPECT_EQ(shown, closed + 1);
    ++closed;
  };
  dialogs.AnswerDialog([](TCommonDialog*) { return false; });
  EXPECT_FALSE(dialog.Execute());
  // Nothing queued: cancelled as well.
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, "old.jpg");
  EXPECT_EQ(dialog.FilterIndex, 2);
  EXPECT_EQ(dialog.Files()->Count(), 0);
  EXPECT_EQ(GetCurrentDir(), dir.path().string());
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(closed, 2);
  ASSERT_EQ(dialogs.Records.size(), 2u);
  EXPECT_EQ(dialogs.Records[0].Kind, TDialogRecord::Common);
  EXPECT_EQ(dialogs.Records[0].Caption, "保存图片");
  EXPECT_EQ(dialogs.Records[0].Dialog, &dialog);
}

TEST(FileDialog, PlainOkTakesTheNameTheDialogOpenedWith) {
  CurrentDirKeeper keeper;
  cwtest::TempDir dir;
  TScriptedDialogs dialogs;
  TSaveDialog dialog(nullptr);
  dialog.InitialDir = dir.path().string();
  dialog.DefaultExt = "mem";
  dialog.FileName = "column";
  dialogs.Answer(IDOK);
  ASSERT_TRUE(dialog.Execute());
  EXPECT_EQ(dialog.FileName, dir.file("column.mem"));

  // OK with no name at all does nothing.
  dialog.FileName.clear();
  dialogs.Answer(IDOK);
  EXPECT_FALSE(dialog.Execute());
}

TEST(FileDialog, OverwriteQuestionAndMissingFilesKeepTheDialogOpen) {
  CurrentDirKeeper keeper;
  cwtest::TempDir dir;
  Touch(dir.file("taken.pmt"));
  TScriptedDialogs dialogs;

  TSaveDialog save(nullptr);
  save.InitialDir = dir.path().string();
  save.DefaultExt = "pmt";
  save.Options |= ofOverwritePrompt;
  // The user types an existing name, refuses to replace it, types another.
  dialogs.AnswerDialog([](TCommonDialog* d) {
    auto* dialog = static_cast<TSaveDialog*>(d);
    EXPECT_FALSE(dialog->ChooseFiles({"taken"}));
    return dialog->ChooseFiles({"fresh"});
  });
  dialogs.Answer(IDNO);
  ASSERT_TRUE(save.Execute());
  EXPECT_EQ(save.FileName, dir.file("fresh.pmt"));
  ASSERT_EQ(dialogs.Records.size(), 2u);
  EXPECT_EQ(dialogs.Records[1].Kind, TDialogRecord::Message);
  EXPECT_NE(dialogs.Records[1].Text.find("taken.pmt"), std::string::npos);
  // With no answer the question's default keeps the file.
  EXPECT_EQ(DefaultAnswer(dialogs.Records[1].Flags), IDNO);

  dialogs.Answer(IDYES);
  EXPECT_TRUE(save.ChooseFiles({"taken"}));
  EXPECT_EQ(save.FileName, dir.file("taken.pmt"));

  TOpenDialog open(nullptr);
  open.InitialDir = dir.path().string();
  open.Options |= ofFileMustExist;
  open.FileName = "kept";
  EXPECT_FALSE(open.ChooseFiles({"missing.pmt"}));
  EXPECT_FALSE(open.ChooseFiles({"nowhere/taken.pmt"}));
  EXPECT_EQ(open.FileName, "kept");
  EXPECT_TRUE(open.ChooseFiles({"taken.pmt"}));
}

TEST(FileDialog, MultiSelectGivesFullPathsOnlyWhenAllowed) {
  cwtest::TempDir dir;
  for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) Touch(dir.file(name));
  TOpenDialog dialog(nullptr);
  dialog.InitialDir = dir.path().string();
  EXPECT_FALSE(dialog.ChooseFiles({"a.jpg", "b.jpg"}));
  dialog.Options |= ofAllowMultiSelect;
  ASSERT_TRUE(dialog.ChooseFiles({"a.jpg", "b.jpg", dir.file("c.jpg")}));
  ASSERT_EQ(dialog.Files()->Count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(dialog.Files()->Get(i), dir.file(std::string(1, char('a' + i)) + ".jpg"));
  EXPECT_EQ(dialog.FileName, dir.file("a.jpg"));
}

TEST(FileDialog, ExtensionDifferentFollowsTheChosenName) {
  cwtest::TempDir dir;
  TSaveDialog dialog(nullptr);
  dialog.InitialDir = dir.path().string();
  dialog.DefaultExt = "jpg";
  dialog.Filter = kPictureFilter;
  ASSERT_TRUE(dialog.ChooseFiles({"a"}, 1));
  EXPECT_FALSE(dialog.Options & ofExtensionDifferent);
  ASSERT_TRUE(dialog.ChooseFiles({"a"}, 3));
  EXPECT_TRUE(dialog.Options & ofExtensionDifferent);
}

// The Qt dialog hands its selection and selected type to the same choice.
TEST(FileDialog, QtDialogSelectionComesBackThroughTheChoice) {
  CurrentDirKeeper keeper;
  cwtest::TempDir dir;
  TSaveDialog dialog(nullptr);
  dialog.InitialDir = dir.path().string();
  dialog.Filter = kPictureFilter;
  dialog.DefaultExt = "jpg";
  bool answered = false;
  std::function<void()> answer = [&] {
    auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!shown) {
      QTimer::singleShot(10, answer);
      return;
    }
    answered = true;
    shown->selectNameFilter(shown->nameFilters().at(2));
    shown->selectFile(QString::fromStdString(dir.file("page")));
    QMetaObject::invokeMethod(shown, "accept");
  };
  QTimer::singleShot(0, answer);
  ASSERT_TRUE(dialog.RunPlatformDialog());
  EXPECT_TRUE(answered);
  EXPECT_EQ(dialog.FilterIndex, 3);
  EXPECT_EQ(dialog.FileName, dir.file("page.bmp"));
}

TEST(ColorAndFontDialogs, OkTakesTheUsersChoiceAndCancelKeepsTheOld) {
  TScriptedDialogs dialogs;
  TColorDialog color(nullptr);
  color.Color = clRed;
  dialogs.AnswerDialog([](TCommonDialog* d) {
    static_cast<TColorDialog*>(d)->Color = clBlue;
    return true;
  });
  EXPECT_TRUE(color.Execute());
  EXPECT_EQ(color.Color, clBlue);
  EXPECT_FALSE(color.Execute());
  EXPECT_EQ(color.Color, clBlue);

  TFontDialog font(nullptr);
  TFont twin;
  twin.Name = "宋体";
  twin.SetSize(12);
  font.Font.Assign(&twin);
  dialogs.AnswerDialog([](TCommonDialog* d) {
    auto* dialog = static_cast<TFontDialog*>(d);
    EXPECT_EQ(dialog->Font.Name, "宋体");
    dialog->Font.Style = fsBold;
    dialog->Font.SetSize(20);
    return true;
  });
  ASSERT_TRUE(font.Execute());
  EXPECT_EQ(font.Font.Style, unsigned(fsBold));
  EXPECT_EQ(font.Font.GetSize(), 20);
  ASSERT_EQ(dialogs.Records.size(), 3u);
  EXPECT_EQ(dialogs.Records[2].Caption, "字体");
}

// Page setup ---------------------------------------------------------------------------

TEST(PageSetup, PaperCodesAndSizesAgree) {
  struct Case {
    int code, width, length;
  } cases[] = {{DMPAPER_LETTER, 21590, 27940}, {DMPAPER_A4, 21000, 29700}, {DMPAPER_A3, 29700, 42000},
               {DMPAPER_A5, 14800, 21000}, {DMPAPER_B5, 18200, 25700}, {DMPAPER_LEGAL, 21590, 35560}};
  for (const Case& c : cases) {
    int w = 0, l = 0;
    ASSERT_TRUE(PaperSizeOfCode(c.code, w, l));
    EXPECT_EQ(w, c.width);
    EXPECT_EQ(l, c.length);
    EXPECT_EQ(PaperCodeOfSize(c.width, c.length), c.code);
    EXPECT_EQ(PaperCodeOfSize(c.length + 60, c.width - 60), c.code) << "landscape, within a millimetre";
  }
  int w = 0, l = 0;
  EXPECT_FALSE(PaperSizeOfCode(0, w, l));
  EXPECT_FALSE(PaperSizeOfCode(DMPAPER_USER, w, l));
  EXPECT_EQ(PaperCodeOfSize(10000, 10000), DMPAPER_USER);
}

TEST(PageSetup, ReturnDefaultGivesTheDefaultPrinterWithoutShowing) {
  TScriptedDialogs dialogs;
  PAGESETUPDLG request;
  request.Flags = PSD_RETURNDEFAULT;
  ASSERT_TRUE(PageSetupDlg(&request));
  EXPECT_TRUE(dialogs.Records.empty());
  ASSERT_NE(request.hDevMode, 0u);
  ASSERT_NE(request.hDevNames, 0u);
  ASSERT_GE(GlobalSize(request.hDevMode), sizeof(DEVMODEA));
  const auto* mode = static_cast<const DEVMODEA*>(GlobalLock(request.hDevMode));
  // No printer is installed here: the PDF output, A4 portrait.
  EXPECT_STREQ(mode->dmDeviceName, "PDF");
  EXPECT_EQ(mode->dmPaperSize, DMPAPER_A4);
  EXPECT_EQ(mode->dmOrientation, DMORIENT_PORTRAIT);
  GlobalUnlock(request.hDevMode);

  // Handles already given are refused.
  PAGESETUPDLG again = request;
  EXPECT_FALSE(PageSetupDlg(&again));
  EXPECT_EQ(GlobalFree(request.hDevMode), 0u);
  EXPECT_EQ(GlobalFree(request.hDevNames), 0u);
  PAGESETUPDLG wrongSize;
  wrongSize.lStructSize = 12;
  wrongSize.Flags = PSD_RETURNDEFAULT;
  EXPECT_FALSE(PageSetupDlg(&wrongSize));
}

// The round trip a preview window makes: default device mode, its own
// paper, orientation and margins in, the user's choice out.
TEST(PageSetup, DialogShowsTheRequestAndGivesBackTheChoice) {
  TScriptedDialogs dialogs;
  PAGESETUPDLG request;
  request.Flags = PSD_RETURNDEFAULT;
  ASSERT_TRUE(PageSetupDlg(&request));
  auto* mode = static_cast<DEVMODEA*>(GlobalLock(request.hDevMode));
  mode->dmPaperSize = DMPAPER_LEGAL;
  mode->dmOrientation = DMORIENT_LANDSCAPE;
  GlobalUnlock(request.hDevMode);
  request.rtMargin = {1000, 1270, 1500, 2000};
  request.Flags = PSD_MARGINS | PSD_INHUNDREDTHSOFMILLIMETERS;
  ASSERT_EQ(request.Flags, 10u);
  const PAGESETUPDLG before = request;

  dialogs.AnswerDialog([](TCommonDialog* d) { return false; });
  EXPECT_FALSE(PageSetupDlg(&request));
  EXPECT_EQ(request.rtMargin, before.rtMargin);

  dialogs.AnswerDialog([](TCommonDialog* d) {
    auto* page = static_cast<TPageSetupDialog*>(d);
    EXPECT_EQ(page->PaperSize, DMPAPER_LEGAL);
    EXPECT_EQ(page->Orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(page->MarginTop, 1270);
    EXPECT_EQ(page->MarginBottom, 2000);
    page->SetPaper(DMPAPER_A5);
    page->MarginLeft = 500;
    return true;
  });
  ASSERT_TRUE(PageSetupDlg(&request));
  EXPECT_EQ(dialogs.Records.back().Caption, "页面设置");
  mode = static_cast<DEVMODEA*>(GlobalLock(request.hDevMode));
  EXPECT_EQ(mode->dmPaperSize, DMPAPER_A5);
  EXPECT_EQ(mode->dmOrientation, DMORIENT_LANDSCAPE);
  EXPECT_EQ(mode->dmPaperWidth, 1480);
  EXPECT_EQ(mode->dmPaperLength, 2100);
  GlobalUnlock(request.hDevMode);
  EXPECT_EQ(request.rtMargin, (TRect{500, 1270, 1500, 2000}));
  EXPECT_EQ(request.ptPaperSize, (TPoint{21000, 14800})) << "landscape lies long side across";
  GlobalFree(request.hDevMode);
  GlobalFree(request.hDevNames);
}

TEST(PageSetup, ThousandthsOfInchesConvertBothWays) {
  TScriptedDialogs dialogs;
  PAGESETUPDLG request;
  request.Flags = PSD_MARGINS | PSD_INTHOUSANDTHSOFINCHES;
  request.rtMargin = {1000, 500, 1000, 500};  // 1 inch and half an inch
  dialogs.AnswerDialog([](TCommonDialog* d) {
    auto* page = static_cast<TPageSetupDialog*>(d);
    EXPECT_EQ(page->MarginLeft, 2540);
    EXPECT_EQ(page->MarginTop, 1270);
    page->SetPaper(DMPAPER_LETTER);
    return true;
  });
  ASSERT_TRUE(PageSetupDlg(&request));
  EXPECT_EQ(request.rtMargin, (TRect{1000, 500, 1000, 500}));
  EXPECT_EQ(request.ptPaperSize, (TPoint{8500, 11000}));
  GlobalFree(request.hDevMode);
  GlobalFree(request.hDevNames);
}

// Folder browser -----------------------------------------------------------------------

TEST(FolderBrowser, ChoosesExistingFoldersInsideTheRoot) {
  cwtest::TempDir root, outside;
  ASSERT_TRUE(CreateDir(root.file("pictures")));
  TScriptedDialogs dialogs;
  std::string directory = "unchanged";

  dialogs.AnswerDialog([](TCommonDialog* d) { return static_cast<TFolderDialog*>(d)->ChooseFolder("pictures"); });
  ASSERT_TRUE(SelectDirectory("Select Directory", root.path().string(), directory));
  EXPECT_EQ(directory, root.file("pictures"));
  EXPECT_EQ(dialogs.Records.back().Caption, "Select Directory");

  TFolderDialog dialog(nullptr);
  dialog.Root = root.path().string();
  EXPECT_FALSE(dialog.ChooseFolder("missing"));
  EXPECT_FALSE(dialog.ChooseFolder(outside.path().string()));
  EXPECT_FALSE(dialog.ChooseFolder("pictures/../.."));
  EXPECT_TRUE(dialog.ChooseFolder(root.path().string()));

  // Cancelled: the folder stays as it was.
  directory = "unchanged";
  EXPECT_FALSE(SelectDirectory("Select Directory", "", directory));
  EXPECT_EQ(directory, "unchanged");
}

namespace {

// Runs `user` on the page setup dialog once it is shown and modal.
void WhenPageSetupShows(std::function<void(QDialog*)> user) {
  auto* shown = qobject_cast<QDialog*>(QApplication::activeModalWidget());
  if (!shown || shown->objectName() != "PageSetup") {
    QTimer::singleShot(10, [user] { WhenPageSetupShows(user); });
    return;
  }
  user(shown);
}

template <class T>
T* Part(QDialog* dialog, const char* name) {
  T* found = dialog->findChild<T*>(name);
  EXPECT_NE(found, nullptr) << name;
  return found;
}

// Types `text` over a spin box's value, as a user who selected it all.
void TypeInto(QDoubleSpinBox* box, const char* text) {
  box->setFocus();
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(box, text);
  QTest::keyClick(box, Qt::Key_Tab);
}

QPushButton* ButtonOf(QDialog* dialog, const QString& text) {
  for (QPushButton* button : dialog->findChildren<QPushButton*>())
    if (button->text() == text) return button;
  ADD_FAILURE() << text.toStdString();
  return nullptr;
}

}  // namespace

// The page setup the program shows, worked with the keyboard and the mouse:
// its Chinese texts, the page it opens on, and what OK and Cancel give back.
TEST(PageSetup, OwnDialogShowsThePageAndTakesTypedMarginsAndAChosenPaper) {
  struct Case {
    const char* step;
    std::function<void(QDialog*)> user;
    bool ok;
    int paper, width, length, orientation, left, top, right, bottom;
  } cases[] = {
      {"as it opens",
       [](QDialog* d) {
         EXPECT_EQ(d->windowTitle(), "页面设置");
         EXPECT_EQ(Part<QComboBox>(d, "Paper")->currentText().toStdString(), "Legal  (215.9 x 355.6 mm)");
         EXPECT_FALSE(Part<QDoubleSpinBox>(d, "PaperWidth")->isEnabled());
         EXPECT_EQ(Part<QDoubleSpinBox>(d, "MarginTop")->value(), 12.7);
         QTest::mouseClick(ButtonOf(d, "确定"), Qt::LeftButton);
       },
       true, DMPAPER_LEGAL, 21590, 35560, DMORIENT_LANDSCAPE, 1000, 1270, 1500, 2000},
      {"A5, portrait, margins with hundredths",
       [](QDialog* d) {
         QComboBox* paper = Part<QComboBox>(d, "Paper");
         paper->setFocus();
         while (paper->currentData().toInt() != 11) QTest::keyClick(paper, Qt::Key_Up);
         QRadioButton* portrait = Part<QRadioButton>(d, "Portrait");
         QTest::mouseClick(portrait, Qt::LeftButton, {}, QPoint(8, portrait->height() / 2));  // on its circle
         TypeInto(Part<QDoubleSpinBox>(d, "MarginLeft"), "7.25");
         TypeInto(Part<QDoubleSpinBox>(d, "MarginBottom"), "0");
         QTest::mouseClick(ButtonOf(d, "确定"), Qt::LeftButton);
       },
       true, 11, 14800, 21000, DMORIENT_PORTRAIT, 725, 1270, 1500, 0},
      {"a size of the user's",
       [](QDialog* d) {
         QComboBox* paper = Part<QComboBox>(d, "Paper");
         paper->setFocus();
         QTest::keyClick(paper, Qt::Key_End);
         EXPECT_EQ(paper->currentText().toStdString(), "自定义大小");
         TypeInto(Part<QDoubleSpinBox>(d, "PaperLength"), "54");
         TypeInto(Part<QDoubleSpinBox>(d, "PaperWidth"), "85.6");
         QTest::mouseClick(ButtonOf(d, "确定"), Qt::LeftButton);
       },
       true, DMPAPER_USER, 5400, 8560, DMORIENT_LANDSCAPE, 1000, 1270, 1500, 2000},
      {"cancelled",
       [](QDialog* d) {
         TypeInto(Part<QDoubleSpinBox>(d, "MarginLeft"), "99");
         QTest::mouseClick(ButtonOf(d, "取消"), Qt::LeftButton);
       },
       false, DMPAPER_LEGAL, 21590, 35560, DMORIENT_LANDSCAPE, 1000, 1270, 1500, 2000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    TPageSetupDialog page(nullptr);
    page.SetPaper(DMPAPER_LEGAL);
    page.Orientation = DMORIENT_LANDSCAPE;
    page.MarginLeft = 1000, page.MarginTop = 1270, page.MarginRight = 1500, page.MarginBottom = 2000;
    QTimer::singleShot(0, [&c] { WhenPageSetupShows(c.user); });
    EXPECT_EQ(page.RunPlatformDialog(), c.ok);
    EXPECT_EQ(page.PaperSize, c.paper);
    EXPECT_EQ(page.PaperWidth, c.width);
    EXPECT_EQ(page.PaperLength, c.length);
    EXPECT_EQ(page.Orientation, c.orientation);
    EXPECT_EQ((TRect{page.MarginLeft, page.MarginTop, page.MarginRight, page.MarginBottom}),
              (TRect{c.left, c.top, c.right, c.bottom}));
  }
}
