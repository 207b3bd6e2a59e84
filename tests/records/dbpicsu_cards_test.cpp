// The card batch window's live card and card output, through real clicks:
// the show, grid clicks, the picture edit button, one card picture per
// record of a generated table (plain and mirrored), the picture of the
// current card and the batch print.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "batchwindow.h"
#include "designer/cardprogram.h"
#include "designer/dirunit.h"
#include "imaging/view/dbpix.h"
#include "imaging/view/pix.h"
#include "platform/canvas.h"
#include "platform/classes.h"
#include "platform/dbf.h"
#include "platform/filectrl.h"
#include "platform/menus.h"
#include "platform/privatetemp.h"
#include "platform/sysutils.h"
#include "platform/qt_input.h"
#include "records/cardpictures.h"
#include "records/dbpicsu.h"
#include "records/upicprint.h"

using cardtest::CardProgram;
namespace fs = std::filesystem;

namespace {

constexpr int kCardW = 200, kCardH = 120;
const TRect kPhoto = Rect(10, 10, 50, 60);    // picture one on the card
const TRect kBarcode = Rect(10, 80, 50, 100);  // 40 x 20, drawn 1:1

// A record of the generated table: its name and its photo's colour.
struct Holder {
  const char* name;
  TColor photo;
};

std::string BmpBytes(TBitmap& picture) {
  TMemoryStream stream;
  picture.SaveToStream(&stream);
  return std::string(static_cast<const char*>(stream.Memory()), size_t(stream.GetSize()));
}

std::string SolidBmp(int w, int h, TColor color) {
  TBitmap picture;
  picture.SetSize(w, h);
  picture.GetCanvas()->Brush->Color = color;
  picture.GetCanvas()->FillRect(Rect(0, 0, w, h));
  return BmpBytes(picture);
}

// White and black bars, 4 pixels each, white first: a barcode starts with
// its quiet zone, and a transparent picture leaves out its corner colour.
std::string BarcodeBmp() {
  TBitmap picture;
  picture.SetSize(kBarcode.Width(), kBarcode.Height());
  for (int x = 0; x < picture.GetWidth(); ++x)
    for (int y = 0; y < picture.GetHeight(); ++y) picture.GetCanvas()->SetPixel(x, y, (x / 4) % 2 ? clBlack : clWhite);
  return BmpBytes(picture);
}

// A card-holder table of its own with these holders, photos and barcodes.
std::string MakeTable(const fs::path& folder, const std::vector<Holder>& holders) {
  fs::create_directories(folder);
  std::vector<TDbfField> columns;
  for (char c = 'A'; c <= 'M'; ++c) columns.push_back({std::string(4, c), 'C', 60, 0, 0});
  for (const char* name : {"PIC", "BACKGROUND", "BARCODE"}) columns.push_back({name, 'B', 10, 0, 0});
  TDbfTable::Create((folder / "data.DBF").string(), dbfLevel4, columns);
  TTable table;
  table.SetDatabaseName(folder.string() + "/");
  table.SetTableName("data.DBF");
  table.Open();
  const std::string barcode = BarcodeBmp();
  for (const Holder& holder : holders) {
    table.Append();
    if (*holder.name) table.FieldByName("AAAA")->SetAsString(holder.name);
    table.FieldByName("BBBB")->SetAsString("技术部");
    table.FieldByName("PIC")->SetAsString(SolidBmp(30, 40, holder.photo));
    table.FieldByName("BARCODE")->SetAsString(barcode);
    table.Post();
  }
  return folder.string() + "/";
}

TColor PixelOf(TBitmap& picture, int x, int y) { return picture.GetCanvas()->GetPixel(x, y); }

class CardOutput : public cardtest::BatchWindowTest {
 protected:
  void SetUp() override {
    BatchWindowTest::SetUp();
    FormDir = MakeForm<TFormDir>(Application);
    program_.Keep(FormDir);
    FormPrintPic = MakeForm<TFormPrintPic>(Application);
    program_.Keep(FormPrintPic);
    DesignCard();
  }

  // The design surface: a grey layout picture, the photo, the barcode and
  // the name text.
  void DesignCard() {
    TBitmap layout;
    layout.SetSize(kCardW, kCardH);
    layout.GetCanvas()->Brush->Color = TColor(0xC0C0C0);
    layout.GetCanvas()->FillRect(Rect(0, 0, kCardW, kCardH));
    main_->Drawor->GetPicture()->SetBitmap(&layout);
    main_->Drawor->SetBounds(0, 0, kCardW, kCardH);
    main_->PicOne->SetBounds(kPhoto.Left, kPhoto.Top, kPhoto.Width(), kPhoto.Height());
    main_->PicOne->SetVisible(true);
    main_->BarcodeSet->SetBounds(kBarcode.Left, kBarcode.Top, kBarcode.Width(), kBarcode.Height());
    main_->BarcodeSet->SetVisible(true);
    main_->DBTexts[0]->SetBounds(70, 10, 100, 16);
    main_->DBTexts[0]->SetVisible(true);
  }

  void Click(TControl* button) { WindowClick(button, {button->GetWidth() / 2, button->GetHeight() / 2}); }

  // The folder-and-format chooser answered with OK on `folder` and `format`;
  // its folder list and format box stand in where the chooser has none yet.
  void ChooseFolder(const fs::path& folder, const std::string& format) {
    fs::create_directories(folder);
    program_.dialogs.AnswerModal(mrOk, [folder, format](TCustomForm* shown) {
      ASSERT_EQ(shown, FormDir);
      auto* list = dynamic_cast<TDirectoryListBox*>(FormDir->FindComponent("DirectoryListBox1"));
      if (list == nullptr) {
        list = new TDirectoryListBox(FormDir);
        list->Name = "DirectoryListBox1";
      }
      auto* box = dynamic_cast<TFilterComboBox*>(FormDir->FindComponent("FilterComboBox1"));
      if (box == nullptr) {
        box = new TFilterComboBox(FormDir);
        box->Name = "FilterComboBox1";
      }
      list->SetDirectory(folder.string());
      box->SetFilter(format + "|*." + LowerCase(format));
      box->SetItemIndex(0);
    });
  }

  static std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(CardOutput, ShowLaysTheLiveCardOutLikeTheDesignAndGridClicksTakeBackThePictures) {
  UseFolder(MakeTable(program_.DataFolder() / "cards", {{"张三", clRed}, {"李四", clBlue}}));
  TBitmap logo;
  logo.SetSize(16, 12);
  main_->SignPic->GetPicture()->SetBitmap(&logo);
  main_->SignPic->SetBounds(150, 70, 32, 24);
  main_->SignPic->SetVisible(true);
  main_->ImageZhang->SetVisible(false);
  form_->Show();
  EXPECT_EQ(form_->Image1->GetBoundsRect(), Rect(150, 70, 182, 94));
  EXPECT_EQ(form_->Image1->GetPicture()->GetWidth(), 16);
  EXPECT_TRUE(form_->Image1->GetVisible());
  EXPECT_FALSE(form_->PicZhang->GetVisible());
  EXPECT_EQ(form_->Panel4->GetWidth(), kCardW);
  EXPECT_EQ(form_->Panel4->GetHeight(), kCardH);
  EXPECT_EQ(form_->Drawor->GetFBitmap()->GetWidth(), kCardW);
  EXPECT_EQ(form_->PixDBView1->GetBoundsRect(), kPhoto);
  EXPECT_TRUE(form_->PixDBView1->GetVisible());
  EXPECT_EQ(form_->BarcodePrint->GetBoundsRect(), kBarcode);
  EXPECT_EQ(form_->Image2->GetPicture()->GetWidth(), kCardW);
  EXPECT_EQ(form_->DBGrid1->Columns()->Items(12)->GetWidth(), 68);
  EXPECT_EQ(form_->PixDBView11->GetPixIO()->GetAttachedTImage(), form_->PixDBView1);
  EXPECT_EQ(form_->PixDBView3->GetPixIO()->GetAttachedTImage(), form_->BarcodePrint);

  // The designer takes the views' I/O for its own pictures; a click on a
  // grid cell gives them back to the live card.
  for (TPixDBView* view : {form_->PixDBView11, form_->PixDBView22, form_->PixDBView3})
    view->GetPixIO()->SetTImage(main_->PicOne);
  QWidget* grid = form_->DBGrid1->Widget();
  ASSERT_NE(grid, nullptr);
  QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(40, 30));
  EXPECT_EQ(form_->PixDBView11->GetPixIO()->GetAttachedTImage(), form_->PixDBView1);
  EXPECT_EQ(form_->PixDBView22->GetPixIO()->GetAttachedTImage(), form_->PixDBView2);
  EXPECT_EQ(form_->PixDBView3->GetPixIO()->GetAttachedTImage(), form_->BarcodePrint);
}

TEST_F(CardOutput, TheLiveCardMovesWhenTheDesignChangedAndNotAtEveryPaint) {
  UseFolder(MakeTable(program_.DataFolder() / "cards", {{"张三", clRed}}));
  form_->Show();
  form_->Repaint();
  TLabel* text = PreviewTexts[2];
  main_->DBTexts[2]->SetBounds(33, 44, 80, 16);
  main_->DBTexts[2]->SetVisible(true);
  form_->Repaint();
  EXPECT_EQ(text->GetBoundsRect(), Rect(33, 44, 113, 60));
  EXPECT_TRUE(text->GetVisible());
  // Nothing changed: a paint leaves the live card as it is, with nothing
  // left to repaint.
  form_->Panel4->Update();
  ASSERT_FALSE(form_->Panel4->UpdatePending());
  form_->Repaint();
  EXPECT_FALSE(form_->Panel4->UpdatePending());
}

TEST_F(CardOutput, PictureEditButtonSwitchesBetweenPictureOneAndTwo) {
  form_->Show();
  EXPECT_EQ(form_->BEditPic->GetCaption(), "修改图二");
  const std::pair<const char*, TPixDBView*> steps[] = {
      {"修改图一", form_->PixDBView11}, {"修改图二", form_->PixDBView22}, {"修改图一", form_->PixDBView11}};
  for (const auto& [caption, view] : steps) {
    Click(form_->BEditPic);
    EXPECT_EQ(form_->BEditPic->GetCaption(), caption);
    EXPECT_EQ(form_->PixIO1->GetAttachedPix(), view);
    EXPECT_EQ(form_->PixProc1->GetAttachedPix(), view);
  }
}

// Four holders: a name, no name, the first name again and a name with a
// separator. Each gets its own picture with its own photo and the barcode.
TEST_F(CardOutput, BatchWritesOneCardPicturePerRecordPlainAndMirrored) {
  const std::vector<Holder> holders = {{"张三", clRed}, {"", clLime}, {"张三", clBlue}, {"李/四", clYellow}};
  const std::string table = MakeTable(program_.DataFolder() / "cards", holders);
  UseFolder(table);
  form_->Show();
  const char* files[] = {"张三.BMP", "无名.BMP", "张三 (2).BMP", "李_四.BMP"};
  const fs::path plain = program_.Home().File("plain"), mirrored = program_.Home().File("mirrored");
  for (const auto& [folder, answer] : {std::pair{plain, IDNO}, std::pair{mirrored, IDYES}}) {
    SCOPED_TRACE(folder.string());
    program_.dialogs.Records.clear();
    ChooseFolder(folder, "BMP");
    program_.dialogs.Answer(answer);
    Click(form_->BBatchSave);
    ASSERT_EQ(program_.dialogs.Records.size(), 2u);
    EXPECT_EQ(program_.dialogs.Records[1].Text, "要生成背面镜像图吗？");
    EXPECT_EQ(program_.dialogs.Records[1].Caption, "任君选择");
    EXPECT_EQ(program_.dialogs.Records[1].Flags, unsigned(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"张三 (2).BMP", "张三.BMP", "无名.BMP", "李_四.BMP"}));
    EXPECT_TRUE(form_->Table1->Eof());
  }
  for (size_t i = 0; i < holders.size(); ++i) {
    SCOPED_TRACE(files[i]);
    TBitmap card, back;
    card.LoadFromFile((plain / files[i]).string());
    back.LoadFromFile((mirrored / files[i]).string());
    ASSERT_EQ(card.GetWidth(), kCardW);
    ASSERT_EQ(card.GetHeight(), kCardH);
    EXPECT_EQ(PixelOf(card, kPhoto.Left + 5, kPhoto.Top + 5), holders[i].photo);
    EXPECT_EQ(PixelOf(card, kPhoto.Right + 2, kPhoto.Bottom + 2), TColor(0xC0C0C0));
    EXPECT_EQ(PixelOf(card, kBarcode.Left + 5, kBarcode.Top + 5), clBlack);
    // The back is the front flipped left to right, pixel for pixel.
    ASSERT_EQ(back.GetWidth(), kCardW);
    ASSERT_EQ(back.GetHeight(), kCardH);
    int wrong = 0;
    for (int y = 0; y < kCardH; ++y)
      for (int x = 0; x < kCardW; ++x) wrong += PixelOf(back, x, y) != PixelOf(card, kCardW - 1 - x, y);
    EXPECT_EQ(wrong, 0);
  }
  // The nameless record stays nameless in the table.
  form_->Table1->First();
  form_->Table1->Next();
  EXPECT_TRUE(form_->Table1->FieldByName("AAAA")->IsNull());
  EXPECT_EQ(form_->Table1->State(), dsBrowse);
  EXPECT_TRUE(program_.Messages().size() == 2u);
}

// 逐张生成卡图 of the main window's file menu runs the batch with this
// window never shown, or shown before the design changed: the cards are
// laid out as the design is now all the same.
TEST_F(CardOutput, FileMenuWritesCardsAsTheDesignIsNowWhetherOrNotTheWindowWasShown) {
  UseFolder(MakeTable(program_.DataFolder() / "cards", {{"张三", clRed}}));
  main_->OnShow = nullptr;
  main_->OnActivate = nullptr;
  main_->Show();
  const TRect moved = Rect(120, 20, 160, 70);
  const struct Step {
    const char* name;
    bool showFirst;
    TRect photo;
  } steps[] = {{"never shown", false, kPhoto}, {"shown, then the photo moved", true, moved}};
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    if (step.showFirst) {
      form_->Show();
      form_->Hide();
      main_->PicOne->SetBounds(moved.Left, moved.Top, moved.Width(), moved.Height());
    }
    const fs::path folder = program_.Home().File(step.showFirst ? "moved" : "hidden");
    ChooseFolder(folder, "BMP");
    program_.dialogs.Answer(IDNO);
    QTest::keyClick(main_->Widget(), Qt::Key_F, Qt::AltModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QTest::keyClick(menu, Qt::Key_X);  // 逐张生成卡图(E&xportPic)
    QCoreApplication::processEvents();
    EXPECT_EQ(program_.dialogs.Pending(), 0u);
    TBitmap card;
    card.LoadFromFile((folder / "张三.BMP").string());
    ASSERT_EQ(card.GetWidth(), kCardW);
    ASSERT_EQ(card.GetHeight(), kCardH);
    EXPECT_EQ(PixelOf(card, step.photo.Left + 5, step.photo.Top + 5), clRed);
    EXPECT_EQ(PixelOf(card, kBarcode.Left + 5, kBarcode.Top + 5), clBlack);
  }
}

TEST_F(CardOutput, BatchWritesNothingForAnEmptyTableOrACancelledChooser) {
  const std::string table = MakeTable(program_.DataFolder() / "empty", {});
  UseFolder(table);
  form_->Show();
  const fs::path folder = program_.Home().File("none");
  for (const int answer : {IDYES, IDNO}) {
    ChooseFolder(folder, "JPG");
    program_.dialogs.Answer(answer);
    Click(form_->BBatchSave);
    EXPECT_EQ(program_.dialogs.Pending(), 0u);
    EXPECT_TRUE(FilesIn(folder).empty());
    EXPECT_EQ(form_->Table1->RecordCount(), 0);
  }
  // Cancel at the chooser: no question, no picture.
  UseFolder(MakeTable(program_.DataFolder() / "one", {{"张三", clRed}}));
  program_.dialogs.Records.clear();
  program_.dialogs.AnswerModal(mrCancel);
  Click(form_->BBatchSave);
  ASSERT_EQ(program_.dialogs.Records.size(), 1u);
  EXPECT_EQ(program_.dialogs.Records[0].Kind, TDialogRecord::Modal);
  EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(CardOutput, FormatBoxNamesTheExtensionInCapitalsAndAnUnwritableFolderStopsTheBatch) {
  UseFolder(MakeTable(program_.DataFolder() / "cards", {{"张三", clRed}, {"李四", clBlue}}));
  form_->Show();
  const fs::path folder = program_.Home().File("jpg");
  ChooseFolder(folder, "JPG");
  program_.dialogs.Answer(IDNO);
  Click(form_->BBatchSave);
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"张三.JPG", "李四.JPG"}));
  TPix reader(nullptr);
  reader.LoadFromFile((folder / "张三.JPG").string());
  EXPECT_EQ(reader.GetFBitmap()->GetWidth(), kCardW);

  // A picture that cannot be written stops the batch at its record with
  // the error shown; what was written stays.
  const fs::path blocked = program_.Home().File("blocked");
  fs::create_directories(blocked / "李四.BMP");  // a folder where the file would go
  ChooseFolder(blocked, "BMP");
  program_.dialogs.Answer(IDNO);
  program_.dialogs.Records.clear();
  Click(form_->BBatchSave);
  ASSERT_EQ(program_.dialogs.Records.size(), 3u);
  EXPECT_NE(program_.dialogs.Records[2].Text.find("李四.BMP"), std::string::npos);
  EXPECT_EQ(program_.dialogs.Records[2].Flags & MB_ICONMASK, unsigned(MB_ICONSTOP));
  EXPECT_EQ(form_->Table1->FieldByName("AAAA")->GetAsString(), "李四");
  EXPECT_TRUE(fs::is_regular_file(blocked / "张三.BMP"));
}

TEST_F(CardOutput, SingleCardPictureGoesToThePrivateFolderAndShowsThePrintWindow) {
  UseFolder(MakeTable(program_.DataFolder() / "cards", {{"张三", clRed}, {"李四", clBlue}}));
  form_->Show();
  form_->Table1->Last();
  for (const int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer);
    program_.dialogs.Records.clear();
    program_.dialogs.Answer(answer);
    Click(form_->SBPrintPic);
    ASSERT_EQ(program_.Messages(), std::vector<std::string>{"是打印背面镜像图吗？"});
    EXPECT_EQ(fs::path(SingleCardPicturePath()).parent_path().string() + "/", PrivateTempFolder());
    TBitmap card;
    card.LoadFromFile(SingleCardPicturePath());
    ASSERT_EQ(card.GetWidth(), kCardW);
    const int x = answer == IDYES ? kCardW - 1 - (kPhoto.Left + 5) : kPhoto.Left + 5;
    EXPECT_EQ(PixelOf(card, x, kPhoto.Top + 5), clBlue);
    EXPECT_TRUE(FormPrintPic->GetVisible());
    FormPrintPic->Hide();
  }
  EXPECT_FALSE(fs::exists(program_.Data("temPic3.bmp")));
}

TEST_F(CardOutput, BatchPrintRunsTheDesignersPrintPreview) {
  form_->Show();
  auto* item = dynamic_cast<TMenuItem*>(main_->FindComponent("NPreview"));
  if (item == nullptr) {
    item = new TMenuItem(main_);
    item->Name = "NPreview";
  }
  int runs = 0;
  item->OnClick = [&](TObject*) { ++runs; };
  Click(form_->SBBatchPrint);
  EXPECT_EQ(runs, 1);
}

}  // namespace

namespace {

// The bundled template over a table of many holders (Chinese names,
// photos, barcodes; one without a name, one name twice): one mirrored card
// picture each, checked against the flipped card of its record. Kept to a
// few hundred records so that the suite stays quick under the sanitizers.
constexpr int kHolders = 40;

TEST_F(CardOutput, BundledTemplateWritesMirroredCardPicturesForEveryHolder) {
  main_->OnShow = nullptr;
  main_->OnActivate = nullptr;
  main_->Show();
  QTest::keyClick(main_->Widget(), Qt::Key_O, Qt::ControlModifier);  // the start-up template, no dialog
  ASSERT_NE(main_->TemplatePath.find("未命名.pmt"), std::string::npos);
  std::vector<Holder> holders;
  std::vector<std::string> names;
  static const char* const kFamily[] = {"张", "李", "王", "赵", "陈", "刘"};
  for (int i = 0; i < kHolders; ++i) {
    names.push_back(std::string(kFamily[i % 6]) + "持卡人" + std::to_string(i));
    holders.push_back({"", TColor(((i * 37) & 0xFF) | ((i * 11) & 0xFF) << 8 | 0x400000)});
  }
  names[10] = "";
  names[20] = names[0];
  for (int i = 0; i < kHolders; ++i) holders[size_t(i)].name = names[size_t(i)].c_str();
  UseFolder(MakeTable(program_.DataFolder() / "thousand", holders));
  ASSERT_EQ(form_->Table1->RecordCount(), kHolders);
  form_->Show();
  const fs::path folder = program_.Home().File("backs");
  ChooseFolder(folder, "PNG");
  program_.dialogs.Answer(IDYES);
  Click(form_->BBatchSave);
  EXPECT_EQ(program_.dialogs.Pending(), 0u);
  EXPECT_EQ(FilesIn(folder).size(), size_t(kHolders));

  const std::pair<int, const char*> samples[] = {{0, nullptr}, {10, "无名.PNG"}, {20, nullptr}, {kHolders - 1, nullptr}};
  for (const auto& [index, given] : samples) {
    SCOPED_TRACE(index);
    const std::string file = given ? given : index == 20 ? names[0] + " (2).PNG" : names[size_t(index)] + ".PNG";
    form_->Table1->First();
    form_->Table1->MoveBy(index);
    TBitmap front;
    form_->RenderCard(&front);
    EXPECT_EQ(PixelOf(front, main_->PicOne->GetLeft() + 3, main_->PicOne->GetTop() + 3), holders[size_t(index)].photo);
    TPix back(nullptr);
    back.LoadFromFile((folder / file).string());
    TBitmap* picture = back.GetFBitmap();
    ASSERT_EQ(picture->GetWidth(), front.GetWidth());
    ASSERT_EQ(picture->GetHeight(), front.GetHeight());
    ASSERT_EQ(picture->GetPixelFormat(), pf24bit);
    // Row by row against the front, flipped here pixel by pixel.
    int wrong = 0;
    const int w = front.GetWidth();
    for (int y = 0; y < front.GetHeight(); ++y) {
      const uint8_t* got = picture->ScanLine(y);
      const uint8_t* row = front.ScanLine(y);
      for (int x = 0; x < w; ++x) wrong += std::memcmp(got + x * 3, row + (w - 1 - x) * 3, 3) != 0;
    }
    EXPECT_EQ(wrong, 0);
  }
}

}  // namespace
