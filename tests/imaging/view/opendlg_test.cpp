// The picture file dialogs: the filter from the format registry, the form
// run through the dialog service and driven by real clicks and keys on
// its list, boxes and buttons, the preview panel's information, and the
// save dialog's extension and "Advanced..." handling.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/io/giflzw.h"
#include "imaging/io/ieformats.h"
#include "imaging/io/ielzwhooks.h"
#include "imaging/io/pixio.h"
#include "imaging/view/ioprevs.h"
#include "imaging/view/opendlg.h"
#include "imaging/view/opendlg_form.h"
#include "imaging/view/pixview.h"
#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/dialogs.h"
#include "platform/stdctrls.h"
#include "support/testenv.h"
#include "dialog_input.h"

namespace {

using namespace dialoginput;

// A picture of w x h saved under `name` (the extension picks the format).
void WritePicture(const std::string& name, int w, int h, uint8_t shade = 90) {
  TPixIO io(nullptr);
  io.IEBitmap->Allocate(w, h, ie24RGB);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = io.IEBitmap->GetScanLine(y);
    for (int x = 0; x < w * 3; ++x) row[x] = uint8_t(shade + x + y);
  }
  io.SaveToFile(name);
}

class OpenDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WritePicture(dir.file("a.png"), 100, 100);
    WritePicture(dir.file("b.jpg"), 200, 120);
    WritePicture(dir.file("c.bmp"), 30, 20);
    std::ofstream(dir.file("broken.png")) << "not a picture at all";
    std::filesystem::create_directory(dir.path() / "sub");
    WritePicture(dir.file("sub/d.png"), 10, 10);
  }

  // Runs the dialog's own form; `user` acts on it with real input, then
  // the run ends with `result`.
  bool Run(TOpenPixDialog& d, TModalResult result, const std::function<void(TOpenPixForm*)>& user) {
    dialogs.AnswerDialog([](TCommonDialog* c) { return c->RunPlatformDialog(); });
    dialogs.AnswerModal(result, [&](TCustomForm*) {
      Settle();
      user(d.Form());
    });
    return d.Execute();
  }
  static int EntryOf(TOpenPixForm* f, const std::string& shown) {
    return f->FileList->GetItems()->IndexOf(shown);
  }
  static void ClickEntry(TOpenPixForm* f, const std::string& shown, bool dbl = false) {
    const int index = EntryOf(f, shown);
    ASSERT_GE(index, 0) << shown;
    const TRect r = f->FileList->ItemRect(index);
    WindowClick(f->FileList, {r.Left + 20, (r.Top + r.Bottom) / 2}, Qt::LeftButton, dbl);
    Settle();
  }
  static int FilterIndexOf(const std::string& filter, const std::string& pattern) {
    const std::vector<TFileFilter> filters = ParseFileFilter(filter);
    for (size_t i = 0; i < filters.size(); ++i)
      if (!filters[i].Patterns.empty() && filters[i].Patterns.front() == pattern) return int(i) + 1;
    return 0;
  }

  cwtest::TempDir dir;
  TScriptedDialogs dialogs;
};

TEST(OpenDialogParts, FilterFollowsTheRegistryAndTheExtraPairs) {
  const TGIFLZWDecompFunc decoder = DefGIF_LZWDECOMPFUNC;
  const TGIFLZWCompFunc encoder = DefGIF_LZWCOMPFUNC;
  TOpenPixDialog open(nullptr);
  TSavePixDialog save(nullptr);
  struct TCase {
    bool gif;
    std::string extra;
  };
  for (const TCase& c : {TCase{false, ""}, TCase{true, ""}, TCase{true, "Card files|*.crd"}}) {
    SCOPED_TRACE(c.extra + (c.gif ? " gif" : " no gif"));
    DefGIF_LZWDECOMPFUNC = c.gif ? GIFLZWDecompress : nullptr;
    DefGIF_LZWCOMPFUNC = c.gif ? GIFLZWCompress : nullptr;
    open.ExtraFilters = save.ExtraFilters = c.extra;
    const std::string o = open.BuildStrFilter(), s = save.BuildStrFilter();
    const std::vector<TFileFilter> of = ParseFileFilter(o), sf = ParseFileFilter(s);
    ASSERT_GE(of.size(), 3u);
    EXPECT_EQ(of.front().Description, "All graphics");
    EXPECT_EQ(sf.front().Description.find("All graphics"), std::string::npos);
    EXPECT_NE(of[1].Description.find("(TIF;TIFF"), std::string::npos) << of[1].Description;
    EXPECT_EQ(of[1].Patterns.front(), "*.tif");
    const auto& all = of.front().Patterns;
    const bool gifListed = std::find(all.begin(), all.end(), "*.gif") != all.end();
    EXPECT_EQ(gifListed, c.gif);
    EXPECT_EQ(o.find("|*.gif") != std::string::npos, c.gif);
    EXPECT_EQ(s.find("|*.gif") != std::string::npos, c.gif);
    if (c.extra.empty()) {
      EXPECT_EQ(of.back().Description, "Video for Windows (AVI)");
      EXPECT_EQ(all.back(), "*.avi");
    } else {
      EXPECT_EQ(of.back().Description, "Card files");
      EXPECT_EQ(all.back(), "*.crd");
      EXPECT_EQ(sf.back().Description, "Card files");
    }
  }
  DefGIF_LZWDECOMPFUNC = decoder;
  DefGIF_LZWCOMPFUNC = encoder;
  EXPECT_EQ(TOpenPixDialog::FirstExtension("*.jpg;*.jpeg"), ".jpg");
  EXPECT_EQ(TOpenPixDialog::FirstExtension("*.tif"), ".tif");
}

TEST(OpenDialogParts, FoldersSizesAndPlacesComeOutRight) {
  TOpenPixDialog d(nullptr);
  struct TDir {
    const char *in, *out;
  };
  for (const TDir& c : {TDir{"/tmp/pictures/", "/tmp/pictures"}, TDir{"/", "/"}, TDir{"C:\\", "C:\\"},
                        TDir{"C:\\cards\\", "C:\\cards"}, TDir{"/tmp/x//", "/tmp/x/"}}) {
    d.SetInitialDir(c.in);
    EXPECT_EQ(d.GetInitialDir(), c.out) << c.in;
  }
  struct TSize {
    int64_t bytes;
    const char* text;
  };
  // Sizes past 4 GB stay whole.
  for (const TSize& c : {TSize{1023, "1023 bytes"}, TSize{1024, "1 Kb"}, TSize{30000, "29 Kb"},
                         TSize{int64_t(5) << 30, "5242880 Kb"}})
    EXPECT_EQ(TOpenPixDialog::SizeText(c.bytes), c.text);
  EXPECT_EQ(TOpenPixDialog::MemoryNeed(1, 100, 100, 3, 8), 30000);
  EXPECT_EQ(TOpenPixDialog::MemoryNeed(1, 100, 10, 1, 1), 160);
  EXPECT_EQ(TOpenPixDialog::MemoryNeed(300, 20000, 20000, 3, 8), int64_t(300) * 20000 * 60000);
  struct TPlace {
    int sw, sh, w, h, x, y;
  };
  for (const TPlace& c : {TPlace{1280, 1024, 600, 400, 340, 208}, TPlace{800, 600, 400, 700, 200, -33},
                          TPlace{800, 600, 801, 600, 0, 0}}) {
    const TPoint p = TIECommonDialog::CentredOrigin(c.sw, c.sh, c.w, c.h);
    EXPECT_EQ(p.x, c.x);
    EXPECT_EQ(p.y, c.y);
  }
}

TEST_F(OpenDialogTest, ClickingAFilePreviewsItAndOkChoosesIt) {
  TOpenPixDialog d(nullptr);
  d.SetInitialDir(dir.path().string() + "/");
  std::vector<std::string> log;
  d.OnShow = [&](TObject*) { log.push_back("show"); };
  d.OnClose = [&](TObject*) { log.push_back("close"); };
  d.OnSelectionChange = [&](TObject*) { log.push_back("select " + ExtractFileName(d.GetFileName())); };
  EXPECT_TRUE(Run(d, mrOk, [&](TOpenPixForm* f) {
    // Folders first, then the pictures the "All graphics" entry lists.
    EXPECT_EQ(f->Entries(), (std::vector<std::string>{"sub", "a.png", "b.jpg", "broken.png", "c.bmp"}));
    EXPECT_EQ(f->GetCaption(), "打开");
    ClickEntry(f, "b.jpg");
    EXPECT_EQ(d.PicLabel1->GetCaption(), "200 x 120 pixel");
    EXPECT_NE(d.InfoLabel1->GetCaption().find("JPEG"), std::string::npos);
    EXPECT_EQ(d.InfoLabel2->GetCaption(),
              "File: " + TOpenPixDialog::SizeText(std::filesystem::file_size(dir.file("b.jpg"))) + "   Mem: 70 Kb");
    EXPECT_EQ(d.PicLabel2->GetCaption().substr(0, 9), "16777216 ");
    EXPECT_TRUE(d.PreviewButton->GetEnabled());
    EXPECT_FALSE(d.PixView->GetIsEmpty());
    // A damaged file leaves the labels empty and the buttons off.
    ClickEntry(f, "broken.png");
    EXPECT_EQ(d.PicLabel1->GetCaption(), "");
    EXPECT_EQ(d.InfoLabel2->GetCaption(), "");
    EXPECT_FALSE(d.PreviewButton->GetEnabled());
    ClickEntry(f, "a.png");
    const std::string info = d.InfoLabel2->GetCaption();
    EXPECT_EQ(info.substr(info.find("   Mem: ")), "   Mem: 29 Kb");
    Click(f->OkButton);
    EXPECT_EQ(f->ModalResult, mrOk);
  }));
  EXPECT_EQ(d.GetFileName(), dir.file("a.png"));
  ASSERT_EQ(d.Files()->Count(), 1);
  EXPECT_EQ(d.Files()->Get(0), dir.file("a.png"));
  EXPECT_EQ(log, (std::vector<std::string>{"show", "select b.jpg", "select broken.png", "select a.png", "close"}));
  // The preview holds nothing between runs.
  EXPECT_TRUE(d.PixView->GetIsEmpty());
}

TEST_F(OpenDialogTest, FoldersTypesAndRefusalsKeepTheDialogOpen) {
  TOpenPixDialog d(nullptr);
  d.SetInitialDir(dir.path().string());
  d.Options |= ofFileMustExist;
  int folders = 0, types = 0;
  bool refuse = true;
  d.OnFolderChange = [&](TObject*) { ++folders; };
  d.OnTypeChange = [&](TObject*) { ++types; };
  d.OnCanClose = [&](TObject*, bool& can) { can = !refuse; };
  EXPECT_TRUE(Run(d, mrOk, [&](TOpenPixForm* f) {
    ClickEntry(f, "[sub]", true);
    EXPECT_EQ(f->Folder(), (dir.path() / "sub").string());
    EXPECT_EQ(f->Entries(), (std::vector<std::string>{"d.png"}));
    EXPECT_EQ(folders, 1);
    Click(f->UpButton);
    EXPECT_EQ(f->Folder(), dir.path().string());
    EXPECT_EQ(folders, 2);
    // Only the BMP files under their type.
    Pick(f->TypeCombo, FilterIndexOf(d.Filter, "*.bmp") - 1);
    EXPECT_EQ(f->Entries(), (std::vector<std::string>{"sub", "c.bmp"}));
    EXPECT_GE(types, 1);
    ClickEntry(f, "c.bmp");
    Click(f->OkButton);
    EXPECT_NE(f->ModalResult, mrOk);  // the handler said no
    EXPECT_EQ(d.GetFileName(), dir.file("c.bmp"));
    // A name that is not there is refused with a message.
    Type(f->NameEdit, "missing.bmp");
    Click(f->OkButton);
    EXPECT_NE(f->ModalResult, mrOk);
    ASSERT_FALSE(dialogs.Records.empty());
    EXPECT_NE(dialogs.Records.back().Text.find("找不到文件"), std::string::npos);
    refuse = false;
    Type(f->NameEdit, "c.bmp");
    Click(f->OkButton);
    EXPECT_EQ(f->ModalResult, mrOk);
  }));
  EXPECT_EQ(d.GetFileName(), dir.file("c.bmp"));
  EXPECT_EQ(d.GetFilterIndex(), FilterIndexOf(d.Filter, "*.bmp"));
}

TEST_F(OpenDialogTest, WithoutThePreviewTheLabelsComeFromTheParametersAlone) {
  // A PNG whose file goes past 4 GB (a sparse tail): its size is told whole.
  WritePicture(dir.file("huge.png"), 64, 32);
  std::filesystem::resize_file(dir.file("huge.png"), (uintmax_t(5) << 30) + 7);
  TOpenPixDialog d(nullptr);
  d.SetInitialDir(dir.path().string());
  d.Options |= ofAllowMultiSelect;
  Run(d, mrOk, [&](TOpenPixForm* f) {
    WindowClick(d.PreviewCheck, {6, 10});
    Settle();
    EXPECT_FALSE(d.PreviewCheck->GetChecked());
    ClickEntry(f, "huge.png");
    EXPECT_EQ(d.PicLabel1->GetCaption(), "64 x 32 pixel");
    EXPECT_EQ(d.PreviewFileSize(), (int64_t(5) << 30) + 7);
    EXPECT_EQ(d.InfoLabel2->GetCaption().substr(0, 16), "File: 5242880 Kb");
    EXPECT_TRUE(d.PixView->GetIsEmpty());
    // Several quoted names.
    Type(f->NameEdit, "\"a.png\" \"c.bmp\"");
    Click(f->OkButton);
  });
  ASSERT_EQ(d.Files()->Count(), 2);
  EXPECT_EQ(d.Files()->Get(1), dir.file("c.bmp"));
}

TEST_F(OpenDialogTest, AManyPageFileShowsItsFirstPageAndKeepsTheFormAnswering) {
  TPixIO io(nullptr);
  io.IEBitmap->Allocate(40, 30, ie24RGB);
  io.SaveToFile(dir.file("pages.tif"));
  io.IEBitmap->Allocate(900, 700, ie24RGB);
  io.IOParams->TIFF_ImageIndex = 1;
  io.InsertToFileTIFF(dir.file("pages.tif"));
  io.IOParams->TIFF_ImageIndex = 2;
  io.InsertToFileTIFF(dir.file("pages.tif"));
  std::filesystem::copy_file(dir.file("pages.tif"), dir.file("pages.tiff"));
  TOpenPixDialog d(nullptr);
  d.SetInitialDir(dir.path().string());
  Run(d, mrCancel, [&](TOpenPixForm* f) {
    // An event posted before the choice is handled while the file loads.
    bool answeredWhileLoading = false;
    QTimer::singleShot(0, [&] { answeredWhileLoading = d.ProgressBar->GetVisible(); });
    ClickEntry(f, "pages.tif");
    EXPECT_TRUE(answeredWhileLoading);
    EXPECT_EQ(d.PreviewFrameCount(), 3);
    EXPECT_EQ(d.PicLabel1->GetCaption(), "40 x 30 pixel , 3 frames");
    EXPECT_EQ(d.PixView->GetFBitmap()->GetWidth(), 40);
    // ".tiff" is one picture to the preview.
    ClickEntry(f, "pages.tiff");
    EXPECT_EQ(d.PreviewFrameCount(), 1);
    EXPECT_EQ(d.PicLabel1->GetCaption(), "40 x 30 pixel");
  });
}

TEST_F(OpenDialogTest, SaveTypeChangeReplacesTheLastExtension) {
  TSavePixDialog d(nullptr);
  d.SetInitialDir(dir.path().string());
  EXPECT_TRUE(Run(d, mrOk, [&](TOpenPixForm* f) {
    EXPECT_EQ(f->GetCaption(), "另存为");
    EXPECT_TRUE(d.AdvancedButton->GetVisible());
    Pick(f->TypeCombo, FilterIndexOf(d.Filter, "*.jpg") - 1);
    Type(f->NameEdit, "card.front.jpg");
    Pick(f->TypeCombo, FilterIndexOf(d.Filter, "*.png") - 1);
    EXPECT_EQ(f->NameEdit->GetText(), "card.front.png");
    Type(f->NameEdit, "scan");
    Pick(f->TypeCombo, FilterIndexOf(d.Filter, "*.tif") - 1);
    EXPECT_EQ(f->NameEdit->GetText(), "scan.tif");
    Type(f->NameEdit, "plain");
    Click(f->OkButton);
  }));
  // A name without an extension gets the type's first one.
  EXPECT_EQ(d.GetFileName(), dir.file("plain.tif"));
  struct TName {
    const char *name, *ext, *out;
  };
  for (const TName& c : {TName{"a.b.jpg", ".png", "a.b.png"}, TName{"plain", ".tif", "plain.tif"},
                         TName{"/x.y/name", ".bmp", "/x.y/name.bmp"}, TName{".hidden", ".png", ".hidden.png"}})
    EXPECT_EQ(TSavePixDialog::ReplaceExtension(c.name, c.ext), c.out);
}

TEST_F(OpenDialogTest, AdvancedEditsTheAttachedParametersAndCancelPutsThemBack) {
  TPixIO io(nullptr);
  io.IEBitmap->Allocate(30, 20, ie24RGB);
  io.IOParams->JPEG_Quality = 60;
  io.SimplifiedParamsDialogs = false;
  TSavePixDialog d(nullptr);
  d.SetAttachedPixIO(&io);
  d.SetAttachedPixIO(nullptr);  // ignored
  EXPECT_EQ(d.GetAttachedPixIO(), &io);
  d.SetInitialDir(dir.path().string());
  int shownPages = 0;
  dialogs.AnswerDialog([](TCommonDialog* c) { return c->RunPlatformDialog(); });
  dialogs.AnswerModal(mrCancel, [&](TCustomForm*) {
    Settle();
    TOpenPixForm* f = d.Form();
    // Extensions outside the table do nothing.
    Type(f->NameEdit, "photo.pix");
    const size_t before = dialogs.Records.size();
    Click(d.AdvancedButton);
    EXPECT_EQ(dialogs.Records.size(), before);
    Type(f->NameEdit, "photo.jpg");
    Click(d.AdvancedButton);
  });
  // The save-parameters dialog of the JPEG page: the quality goes to 90.
  dialogs.AnswerModal(mrOk, [&](TCustomForm* form) {
    auto* p = static_cast<TfIOPreviews*>(form);
    shownPages = p->ActivePageTag();
    QTest::mouseClick(p->Edit22->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::keyClick(p->Edit22->Widget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(p->Edit22->Widget(), "90");
    Click(p->Button1);
  });
  EXPECT_FALSE(d.Execute());
  EXPECT_EQ(shownPages, iopJPEG1);
  EXPECT_EQ(io.IOParams->JPEG_Quality, 60);
  EXPECT_EQ(dialogs.Pending(), 0u);

  // The TGA page for ".win"; OK keeps what was chosen.
  dialogs.AnswerDialog([](TCommonDialog* c) { return c->RunPlatformDialog(); });
  dialogs.AnswerModal(mrOk, [&](TCustomForm*) {
    Settle();
    Type(d.Form()->NameEdit, "photo.win");
    Click(d.AdvancedButton);
    Click(d.Form()->OkButton);
  });
  dialogs.AnswerModal(mrOk, [&](TCustomForm* form) {
    auto* p = static_cast<TfIOPreviews*>(form);
    shownPages = p->ActivePageTag();
    WindowClick(p->CheckBox1, {6, 8});
    Settle();
    Click(p->Button1);
  });
  const bool compressed = io.IOParams->TGA_Compressed;
  EXPECT_TRUE(d.Execute());
  EXPECT_EQ(shownPages, iopTGA1);
  EXPECT_NE(io.IOParams->TGA_Compressed, compressed);
}

TEST_F(OpenDialogTest, WithoutOptionsTheSaveFormIsSmallAndPlain) {
  TSavePixDialog d(nullptr);
  d.ExOptions = 0;
  d.SetInitialDir(dir.path().string());
  Run(d, mrCancel, [&](TOpenPixForm* f) {
    EXPECT_FALSE(d.AdvancedButton->GetVisible());
    EXPECT_FALSE(d.PreviewCheck->GetVisible());
    EXPECT_FALSE(d.PicturePanel->GetVisible());
    EXPECT_LT(f->GetClientWidth(), 500);
  });
  // With the options, the picture panel sits right of the list.
  d.ExOptions = sdShowPreview | sdShowAdvanced;
  Run(d, mrCancel, [&](TOpenPixForm* f) {
    EXPECT_TRUE(d.PicturePanel->GetVisible());
    EXPECT_EQ(d.PicturePanel->GetLeft(), f->StaticRect().Right);
  });
}

}  // namespace
