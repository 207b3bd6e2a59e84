// The seal commands and the inserted picture through the window's menus
// and buttons: picture files by their names, the load failure, the fresh
// seal from the seal designer, the stamp of an inserted picture into the
// layout picture, and the print copies of the seal and the logo.
#include <gtest/gtest.h>

#include <QImage>
#include <QMenu>
#include <filesystem>
#include <fstream>

#include "cardprogram.h"
#include "imaging/view/qrpix.h"
#include "platform/jpegimage.h"
#include "platform/qt_input.h"
#include "records/uprint.h"
#include "support/metafilebytes.h"

using cardtest::CardProgram;

namespace {

namespace fs = std::filesystem;

QImage Filled(int width, int height, QColor colour) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

QRgb PixelOf(TPicture* picture, int x, int y) {
  return static_cast<TBitmap*>(picture->GetGraphic())->Image().pixel(x, y) & 0xFFFFFF;
}

class SealAndInsert : public ::testing::Test {
 protected:
  void SetUp() override {
    InsertArmed = DrawingMode = false;
    f = program.MakeMainForm();
    f->OnShow = nullptr;
    f->OnActivate = nullptr;
    f->Show();
    program.dialogs.Records.clear();
  }
  void TearDown() override { Screen->SetCursor(crDefault); }

  // A picture file under the data folder (sub-folders made as needed).
  std::string Picture(const std::string& name, const QImage& image, const char* format) {
    const std::string path = program.Data(name);
    fs::create_directories(fs::path(path).parent_path());
    EXPECT_TRUE(image.save(QString::fromStdString(path), format));
    return path;
  }
  std::string Bytes(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = program.Data(name);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return path;
  }
  // The user picks `file` in the next picture dialog (empty: Cancel).
  void Choose(const std::string& file) {
    program.dialogs.AnswerDialog([file](TCommonDialog* dialog) {
      if (file.empty()) return false;
      static_cast<TOpenDialog*>(dialog)->FileName = file;
      return true;
    });
  }
  // Texts of the message boxes shown (not the file dialogs).
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const TDialogRecord& r : program.dialogs.Records)
      if (r.Kind == TDialogRecord::Message) texts.push_back(r.Text);
    return texts;
  }
  // Drops the menu of the menu bar button `menuIndex` and clicks its entry.
  void ChooseMenuEntry(int menuIndex, const std::string& caption) {
    WindowClick(f->ToolBar3->Buttons(menuIndex), {5, 5});
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* entry = nullptr;
    for (QAction* a : menu->actions())
      if (a->text().toStdString() == caption) entry = a;
    ASSERT_NE(entry, nullptr) << caption;
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(entry).center());
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }

  CardProgram program;
  TMainForm* f = nullptr;
};

constexpr int kLayoutMenu = 3, kOptionMenu = 6;

// Each kind of picture file becomes the seal: bitmaps as they stand (also
// a JPEG in a folder whose name holds ".bmp"), icons, metafiles and JPEG
// pictures drawn into a bitmap of their size; the print twin takes the
// seal's old place and the new picture.
TEST_F(SealAndInsert, SealPictureFilesLoadByTheirNames) {
  struct Case {
    std::string file;
    int width, height;
    bool bitmap;  // held as a bitmap (else as the JPEG it is)
  } cases[] = {
      {Picture("seal.bmp", Filled(30, 20, Qt::red), "BMP"), 30, 20, true},
      {Picture("seal.ico", Filled(16, 16, Qt::blue), "ICO"), 16, 16, true},
      {Picture("seal.JPEG", Filled(24, 18, Qt::green), "JPG"), 24, 18, true},
      {Picture("pictures.bmp/seal.jpg", Filled(26, 22, Qt::green), "JPG"), 26, 22, false},
      {Bytes("seal.emf", cwtest::EmfBuilder(40, 30).Finish()), 40, 30, true},
  };
  bool byButton = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    f->ImageZhang->SetBounds(100, 60, 50, 50);
    f->QRImageZhang->Hide();
    Choose(c.file);
    if (byButton)
      WidgetClick(f->SpeedButton2, {5, 5});
    else
      ChooseMenuEntry(kOptionMenu, "更换印章(&CZhang)");
    byButton = !byButton;
    EXPECT_EQ(program.dialogs.Pending(), 0u);
    EXPECT_EQ(f->SealPath, c.file);
    TPicture* seal = f->ImageZhang->GetPicture();
    EXPECT_EQ(dynamic_cast<TBitmap*>(seal->GetGraphic()) != nullptr, c.bitmap);
    EXPECT_EQ(seal->GetWidth(), c.width);
    EXPECT_EQ(seal->GetHeight(), c.height);
    EXPECT_EQ(f->ImageZhang->GetBoundsRect(), Bounds(100, 60, c.width, c.height));
    // The seal sizes itself to its picture, so its twin takes that too.
    EXPECT_EQ(f->QRImageZhang->GetBoundsRect(), Bounds(100, 60, c.width, c.height));
    EXPECT_EQ(f->QRImageZhang->Picture->GetWidth(), c.width);
    EXPECT_EQ(f->QRImageZhang->Picture->GetHeight(), c.height);
    EXPECT_TRUE(f->QRImageZhang->GetVisible() && f->QRImageZhang->GetEnabled());
  }
  EXPECT_EQ(Messages(), std::vector<std::string>{});
}

// A file that cannot be read is named in a warning and changes nothing; a
// name of no picture kind and a cancelled dialog change nothing either.
TEST_F(SealAndInsert, SealThatCannotLoadKeepsTheOldSeal) {
  Choose(Picture("old.bmp", Filled(30, 20, Qt::red), "BMP"));
  WidgetClick(f->SpeedButton2, {5, 5});
  const std::string before = f->SealPath;
  const std::string broken = Bytes("broken.jpg", {0xFF, 0xD8, 0xFF, 0x00, 1, 2, 3});
  const std::string other = Picture("seal.png", Filled(8, 8, Qt::blue), "PNG");
  for (const std::string& file : {broken, other, std::string()}) {
    SCOPED_TRACE(file);
    program.dialogs.Records.clear();
    Choose(file);
    WidgetClick(f->SpeedButton2, {5, 5});
    EXPECT_EQ(f->SealPath, before);
    EXPECT_EQ(f->ImageZhang->GetPicture()->GetWidth(), 30);
    EXPECT_EQ(PixelOf(f->ImageZhang->GetPicture(), 3, 3), 0xFF0000u);
    if (file == broken) {
      ASSERT_EQ(program.dialogs.Records.size(), 2u);  // the dialog, then the warning
      const TDialogRecord& warning = program.dialogs.Records.back();
      EXPECT_EQ(warning.Text, "无法装入图像文件");
      EXPECT_EQ(warning.Caption, "装入错误");
      EXPECT_EQ(warning.Flags & MB_ICONMASK, MB_ICONWARNING);
    } else {
      EXPECT_EQ(Messages(), std::vector<std::string>{});
    }
  }
}

// "插入公章" shows the seal designer and puts a white seal of the size of
// the designer's picture at the layout picture's top-left; the drawing
// panel's button runs it only while it is down.
TEST_F(SealAndInsert, InsertSealShowsTheDesignerAndAWhiteSeal) {
  FormPrint = MakeForm<TFormPrint>(Application);
  program.Keep(FormPrint);
  f->Drawor->SetBounds(5, 5, 300, 200);
  f->ImageZhang->Hide();
  f->ImageZhang->SetEnabled(false);
  ChooseMenuEntry(kLayoutMenu, "插入公章");
  EXPECT_TRUE(FormPrint->GetVisible());
  EXPECT_EQ(f->ImageZhang->GetBoundsRect(), Bounds(5, 5, 160, 160));  // the default seal's size
  EXPECT_TRUE(f->ImageZhang->GetVisible() && f->ImageZhang->GetEnabled());
  EXPECT_EQ(PixelOf(f->ImageZhang->GetPicture(), 159, 159), 0xFFFFFFu);
  FormPrint->Hide();

  // A smaller seal designed: the next insert takes its size.
  FormPrint->UpDown1->SetPosition(140);
  WidgetClick(f->SBPrintP, {5, 5});
  ASSERT_TRUE(f->SBPrintP->GetDown());
  EXPECT_TRUE(FormPrint->GetVisible());
  EXPECT_EQ(f->ImageZhang->GetBoundsRect(), Bounds(5, 5, 150, 150));
  EXPECT_EQ(f->ImageZhang->GetPicture()->GetWidth(), 150);
  EXPECT_EQ(PixelOf(f->ImageZhang->GetPicture(), 149, 149), 0xFFFFFFu);
  FormPrint->Hide();
}

// The inserted picture floats in its box; the user drags the box, and the
// next click on the layout picture copies the picture opaquely into the
// layout picture exactly under the box, and into its print copy.
TEST_F(SealAndInsert, InsertedPictureIsStampedUnderItsBoxAtTheNextRelease) {
  f->Drawor->SetBounds(5, 5, 300, 200);
  f->Drawor->GetPicture()->Assign(nullptr);
  f->Drawor->GetPicture()->GetBitmap()->SetImage(Filled(300, 200, Qt::white));
  Choose(Picture("insert.bmp", Filled(20, 10, Qt::red), "BMP"));
  WidgetClick(f->SBInsPic, {5, 5});
  ASSERT_TRUE(InsertArmed);
  EXPECT_TRUE(f->ImageIns->GetVisible() && f->ImageIns->GetEnabled());
  EXPECT_EQ(f->ImageIns->GetBoundsRect(), Bounds(5, 5, 20, 10));

  // Dragged by 50, 40 on the card panel: 50, 40 into the layout picture.
  SendMouse(f->Panel2, QEvent::MouseMove, {15, 10}, Qt::NoButton);
  SendMouse(f->Panel2, QEvent::MouseButtonPress, {15, 10}, Qt::LeftButton);
  SendMouse(f->Panel2, QEvent::MouseMove, {65, 50}, Qt::LeftButton);
  SendMouse(f->Panel2, QEvent::MouseButtonRelease, {65, 50}, Qt::NoButton);
  ASSERT_EQ(f->ImageIns->GetBoundsRect(), Bounds(55, 45, 20, 10));
  EXPECT_NE(f->MoveMode, 0);  // the box has no release of its own

  WidgetClick(f->Drawor, {150, 10});
  EXPECT_FALSE(InsertArmed);
  EXPECT_FALSE(f->ImageIns->GetVisible());
  EXPECT_EQ(f->MoveMode, 0);
  TPicture* layout = f->Drawor->GetPicture();
  for (auto [x, y, colour] : {std::tuple{50, 40, 0xFF0000u}, {69, 49, 0xFF0000u}, {49, 40, 0xFFFFFFu},
                              {70, 45, 0xFFFFFFu}, {55, 50, 0xFFFFFFu}}) {
    SCOPED_TRACE(testing::Message() << x << "," << y);
    EXPECT_EQ(PixelOf(layout, x, y), colour);
    EXPECT_EQ(LayoutPrintBitmap->Image().pixel(x, y) & 0xFFFFFF, colour);
  }
  EXPECT_EQ(f->QRDrawor->GetAttachedBitmap(), LayoutPrintBitmap);
  EXPECT_EQ(f->QRDrawor->GetBoundsRect(), f->Drawor->GetBoundsRect());

  // The layout picture takes the stamp once: the next click adds nothing.
  layout->GetBitmap()->SetImage(Filled(300, 200, Qt::white));
  WidgetClick(f->Drawor, {150, 10});
  EXPECT_EQ(PixelOf(layout, 50, 40), 0xFFFFFFu);
}

// Nothing waits to be stamped after a cancelled or failed choice, so no
// blank box lands in the layout picture at the next click.
TEST_F(SealAndInsert, InsertWithoutAPictureArmsNothing) {
  f->Drawor->GetPicture()->GetBitmap()->SetImage(Filled(300, 200, Qt::white));
  const std::string broken = Bytes("broken.bmp", {'B', 'M', 1, 2});
  for (const std::string& file : {std::string(), broken}) {
    SCOPED_TRACE(file);
    program.dialogs.Records.clear();
    Choose(file);
    ChooseMenuEntry(kLayoutMenu, "插入图像");
    EXPECT_FALSE(InsertArmed);
    EXPECT_FALSE(f->ImageIns->GetVisible());
    EXPECT_EQ(Messages(), file.empty() ? std::vector<std::string>{} : std::vector<std::string>{"无法装入图像文件"});
  }
}

// The opened template's seal and logo are what the report prints.
TEST(PrintCopies, TheTemplatesSealAndLogoArePrinted) {
  CardProgram program;
  TMainForm* f = program.MakeMainForm();
  f->OnActivate = nullptr;
  f->Show();  // opens the stock template
  TPicture* seal = f->ImageZhang->GetPicture();
  ASSERT_GT(seal->GetWidth(), 0);
  EXPECT_EQ(f->QRImageZhang->Picture->GetWidth(), seal->GetWidth());
  EXPECT_EQ(f->QRImageZhang->Picture->GetHeight(), seal->GetHeight());
  EXPECT_EQ(f->QRImageZhang->Picture->Image(), static_cast<TBitmap*>(seal->GetGraphic())->Image());
  ASSERT_EQ(f->QRSignPic->GetAttachedBitmap(), LogoPrintBitmap);
  TBitmap logo;
  logo.Assign(f->SignPic->GetPicture()->GetGraphic());
  EXPECT_GT(logo.GetWidth(), 0);
  EXPECT_EQ(LogoPrintBitmap->Image(), logo.Image());
}

}  // namespace
