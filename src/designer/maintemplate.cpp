// The template commands of the main window: open, save and save as. The
// file itself is read and written by cardtemplate.h; these commands gather
// the design from the controls and apply a record read back, only after
// the whole file was read and checked, so a bad template changes nothing.
#include "designer/cardtemplate.h"
#include "designer/main.h"
#include "designer/templatepaths.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "records/dbpicsu.h"

namespace {

const char* const kTemplateFilter = "CardwrightFile(*.pmt)|*.pmt";
const char* const kSealMissing = "指定位置的印章图不存在！是否删除或移动了？        ";
const char* const kLogoMissing = "指定位置的标志图不存在！是否删除或移动了？        ";
const char* const kLayoutMissing = "指定位置底图不存在！是否删除或移动了？        ";
const char* const kTableMissing = "该模板的数据库已经不存在！";

// The report's page values and where the template keeps them.
constexpr std::pair<int, int> kPageSlots[] = {
    {63, TQRPage::pvBottomMargin}, {65, TQRPage::pvColumnSpace}, {66, TQRPage::pvLeftMargin},
    {67, TQRPage::pvRightMargin},  {68, TQRPage::pvTopMargin},   {69, TQRPage::pvLength},
};

TemplateFont FontOf(TFont* font, bool shown) {
  TemplateFont f;
  f.charset = 1;
  // A system colour (the texts start with the window text colour) is stored
  // as the colour it stands for: the reader takes plain RGB only.
  f.color = int(ColorToRGB(font->Color));
  f.height = font->Height;
  f.size = font->GetSize();
  f.name = font->Name;
  f.style = font->Style;
  f.shown = shown;
  return f;
}

void ApplyFont(const TemplateFont& f, TFont* font) {
  font->Charset = uint8_t(f.charset);
  font->Color = TColor(f.color);
  font->Height = f.height;
  font->SetSize(f.size);  // after the height, so the size decides
  font->Name = f.name;
  font->Pitch = fpDefault;
  font->Style = f.style;
}

template <class Text>
TemplateText TextOf(Text* design, TControl* twin, TFont* twinFont, const std::string& caption) {
  TemplateText t;
  t.caption = caption;
  t.height = design->GetHeight();
  t.width = design->GetWidth();
  t.left = twin->GetLeft();
  t.top = twin->GetTop();
  t.font = FontOf(twinFont, twin->GetVisible());
  return t;
}

void TitleWindow(TMainForm* f) {
  f->SetCaption(f->ProductName + f->VersionText + "----" + (DataGridHidden ? f->TemplatePath : f->BGFileName));
}

// Loads a picture file into an image; a JPEG goes through the form's
// decoder first as every other picture of the template does.
void LoadPicture(TMainForm* f, TImage* image, const std::string& path) {
  const std::string ext = LowerCase(ExtractFileExt(path));
  if (ext == ".jpg" || ext == ".jpeg") {
    f->JpegLoader->LoadFromFile(path);
    image->GetPicture()->Assign(f->JpegLoader);
  } else {
    image->GetPicture()->LoadFromFile(path);
  }
}

}  // namespace

CardTemplate TMainForm::GatherTemplate() {
  CardTemplate design;
  auto& p = design.pageData;
  p.fill(1);
  auto put = [&p](int index, int value) { p[size_t(index)] = value; };
  put(0, Drawor->GetWidth());
  put(1, Drawor->GetHeight());
  put(2, DetailBand1->GetHeight());
  put(3, QRDBPicTwo->GetWidth());
  put(4, QRDBPicTwo->GetHeight());
  put(5, QRDBPicOne->GetWidth());
  put(6, QRDBPicOne->GetHeight());
  put(7, QRSignPic->GetWidth());
  put(8, QRSignPic->GetHeight());
  put(9, Panel2->GetWidth());
  put(10, Panel2->GetHeight());
  put(11, BarcodeSet->GetWidth());
  put(12, BarcodeSet->GetHeight());
  put(21, QRSignPic->GetTop());
  put(22, QRSignPic->GetLeft());
  put(23, QRDBPicTwo->GetTop());
  put(24, QRDBPicTwo->GetLeft());
  put(25, QRDBPicOne->GetTop());
  put(26, QRDBPicOne->GetLeft());
  put(27, Drawor->GetTop());
  put(28, Drawor->GetLeft());
  put(29, Panel2->GetTop());
  put(30, Panel2->GetLeft());
  put(31, BarcodeSet->GetLeft());
  put(32, BarcodeSet->GetTop());
  put(33, ImageZhang->GetLeft());
  put(34, ImageZhang->GetTop());
  // Reading shows or hides the logo, picture two and the photo by these
  // three, so they are written from those items: the twins' own enabled
  // states are only set when the preview opens, and a template saved before
  // that would come back with other pictures shown.
  put(41, SignPic->GetVisible());
  put(42, PicTwo->GetVisible());
  put(43, PicOne->GetVisible());
  put(44, QRDBPicTwo->Fit);
  put(45, QRDBPicOne->Fit);
  put(46, QRSignPic->Fit);
  put(47, QRSignPic->GetVisible());
  put(48, QRDBPicTwo->GetVisible());
  put(49, QRDBPicOne->GetVisible());
  put(50, BarcodeSet->GetVisible());
  put(51, SignPic->GetTransparent());
  put(52, BarcodeSet->GetTransparent());
  put(53, PicOne->GetTransparent());
  put(54, PicTwo->GetTransparent());
  put(55, SignPic->GetStretch());
  put(56, BarcodeSet->GetStretch());
  put(57, ImageZhang->GetVisible());
  put(58, ImageZhang->GetTransparent());
  put(59, ImageZhang->GetStretch());
  put(60, DetailBand1->Frame.DrawBottom);
  put(61, int(ColorToRGB(QRSignPic->Frame.Color)));
  // The report's page: columns, then its values in whole millimetres.
  const TQRPage& page = QuickRep1->Page;
  put(62, page.Columns);
  put(64, page.Columns);
  for (auto [index, value] : kPageSlots) put(index, int(page.GetValue(value)));
  for (int i = 0; i < kTextSlots; ++i) {
    const size_t k = size_t(i);
    design.dataTexts[k] = TextOf(DBTexts[k], QRDBTexts[k], QRDBTexts[k]->GetFont(), CheckListBox1->GetItems()->Get(i));
    design.titles[k] =
        TextOf(TitleLabels[k], QRTitleLabels[k], QRTitleLabels[k]->GetFont(), CheckListBox2->GetItems()->Get(i));
  }
  design.logoPath = LogoPath;
  design.sealPath = SealPath;
  design.layoutPath = TemplateBGPath;
  if (FormPicEdit && FormPicEdit->Table1) {
    TableFolder = FormPicEdit->Table1->GetDatabaseName();
    TableFile = FormPicEdit->Table1->GetTableName();
  }
  design.tableFolder = TableFolder;
  design.tableFile = TableFile;
  return design;
}

void TMainForm::ApplyTemplate(const CardTemplate& design) {
  const auto& p = design.pageData;
  auto at = [&p](int index) { return p[size_t(index)]; };
  PageData = p;
  DiscardLayoutDrawing();  // the template brings its own layout picture
  Drawor->SetBounds(at(28), at(27), at(0), at(1));
  DetailBand1->SetHeight(at(2));
  QRDBPicTwo->SetBounds(at(24), at(23), at(3), at(4));
  QRDBPicOne->SetBounds(at(26), at(25), at(5), at(6));
  QRSignPic->SetBounds(at(22), at(21), at(7), at(8));
  Panel2->SetBounds(at(30), at(29), at(9), at(10));
  BarcodeSet->SetBounds(at(31), at(32), at(11), at(12));
  ImageZhang->SetBounds(at(33), at(34), ImageZhang->GetWidth(), ImageZhang->GetHeight());
  SignPic->SetBoundsRect(QRSignPic->GetBoundsRect());
  PicTwo->SetBoundsRect(QRDBPicTwo->GetBoundsRect());
  PicOne->SetBoundsRect(QRDBPicOne->GetBoundsRect());
  QRDBBarCode->SetBoundsRect(BarcodeSet->GetBoundsRect());
  QRImageZhang->SetBoundsRect(ImageZhang->GetBoundsRect());
  for (auto [flag, item] : {std::pair{41, SignPic}, std::pair{42, PicTwo}, std::pair{43, PicOne}}) {
    item->SetEnabled(at(flag) != 0);
    item->SetVisible(at(flag) != 0);
  }
  QRDBPicTwo->Fit = at(44) != 0;
  PicTwo->SetStretch(at(44) != 0);
  QRDBPicOne->Fit = at(45) != 0;
  PicOne->SetStretch(at(45) != 0);
  QRSignPic->Fit = at(46) != 0;
  QRSignPic->SetVisible(at(47) != 0);
  QRDBPicTwo->SetVisible(at(48) != 0);
  QRDBPicOne->SetVisible(at(49) != 0);
  BarcodeSet->SetVisible(at(50) != 0);
  SignPic->SetTransparent(at(51) != 0);
  BarcodeSet->SetTransparent(at(52) != 0);
  PicOne->SetTransparent(at(53) != 0);
  PicTwo->SetTransparent(at(54) != 0);
  SignPic->SetStretch(at(55) != 0);
  BarcodeSet->SetStretch(at(56) != 0);
  ImageZhang->SetVisible(at(57) != 0);
  ImageZhang->SetTransparent(at(58) != 0);
  ImageZhang->SetStretch(at(59) != 0);
  QRImageZhang->SetVisible(ImageZhang->GetVisible());
  QRDBBarCode->SetVisible(BarcodeSet->GetVisible());
  TQRFrame& frame = DetailBand1->Frame;
  frame.DrawTop = frame.DrawBottom = frame.DrawLeft = frame.DrawRight = at(60) != 0;
  QRSignPic->Frame.Color = TColor(at(61));
  TQRPage& page = QuickRep1->Page;
  page.Columns = at(62);
  for (auto [index, value] : kPageSlots) page.SetValue(value, at(index));
  page.Columns = at(64);

  for (int i = 0; i < kTextSlots; ++i) {
    const size_t k = size_t(i);
    const TemplateText& data = design.dataTexts[k];
    DBTexts[k]->SetBounds(data.left, data.top, data.width, data.height);
    QRDBTexts[k]->SetBounds(data.left, data.top, data.width, data.height);
    ApplyFont(data.font, QRDBTexts[k]->GetFont());
    DBTexts[k]->GetFont()->Assign(QRDBTexts[k]->GetFont());
    CheckListBox1->GetItems()->Put(i, data.caption);
    if (data.font.shown) CheckListBox1->SetChecked(i, *data.font.shown);

    const TemplateText& title = design.titles[k];
    TitleLabels[k]->SetBounds(title.left, title.top, title.width, title.height);
    QRTitleLabels[k]->SetBounds(title.left, title.top, title.width, title.height);
    ApplyFont(title.font, QRTitleLabels[k]->GetFont());
    TitleLabels[k]->GetFont()->Assign(QRTitleLabels[k]->GetFont());
    CheckListBox2->GetItems()->Put(i, title.caption);
    if (title.font.shown) CheckListBox2->SetChecked(i, *title.font.shown);
  }
  LogoPath = design.logoPath;
  SealPath = design.sealPath;
  TemplateBGPath = design.layoutPath;
  TableFolder = design.tableFolder;
  TableFile = design.tableFile;
}

// Binds the card batch window's table to the template's table folder; the
// candidate folders are tested before the table is touched.
void TMainForm::BindTemplateTable(const std::string& templatePath) {
  if (FormPicEdit == nullptr || FormPicEdit->Table1 == nullptr) return;
  TTable* table = FormPicEdit->Table1;
  std::string folder = FindTableFolder(TableFolder, templatePath, DataDir);
  std::string file = TableFile.empty() ? "data.DBF" : TableFile;
  if (!folder.empty() && !CheckCardTable(IncludeTrailingPathDelimiter(folder), file).empty()) folder.clear();
  if (folder.empty()) {
    ShowMessage(TableFolder + "\\data.MDX" + kTableMissing);
    folder = DataDir + "Mode/DATA";
    file = "data.DBF";
  }
  TableFolder = IncludeTrailingPathDelimiter(folder);
  TableFile = file;
  table->Close();
  table->SetDatabaseName(TableFolder);
  table->SetTableName(TableFile);
  table->Open();
  table->Edit();
}

// The seal, the logo and the layout picture of the template just read; a
// missing one is named and its path falls back to the stock file.
void TMainForm::LoadTemplatePictures(const std::string& templatePath) {
  const std::string here = ExcludeTrailingPathDelimiter(GetCurrentDir());
  // A stored picture found is loaded into `image`; a missing one is named
  // and falls back to the stock file `stock` in the working folder.
  auto resolve = [&](std::string& path, TImage* image, const char* missing, const char* stock) {
    if (path.empty()) return;
    const std::string found = FindTemplateFile(path, templatePath, DataDir);
    if (found.empty()) {
      ShowMessage(missing);
      path = here + "/" + stock;
    } else {
      path = found;
      LoadPicture(this, image, found);
    }
  };
  resolve(SealPath, ImageZhang, kSealMissing, "ZhangPic.bmp");
  resolve(LogoPath, SignPic, kLogoMissing, "SignPic.bmp");
  // The report prints copies of the seal and the logo as they now stand.
  SealToPrint();
  LogoToPrint();
  const std::string untitled = DataDir + "Mode/Untitle.JPG";
  if (TemplateBGPath.empty()) {
    TemplateBGPath = untitled;
  } else {
    const std::string found = FindTemplateFile(TemplateBGPath, templatePath, DataDir);
    if (found.empty()) ShowMessage(kLayoutMissing);
    TemplateBGPath = found.empty() ? untitled : found;
  }
  BGFileName = TemplateBGPath;
  if (FileExists(TemplateBGPath)) LoadLayoutPicture(TemplateBGPath);
}

void TMainForm::NOpenClick(TObject*) {
  SetCurrentDir(DataDir);
  OpenDialog1->Filter = kTemplateFilter;
  if (!OpenNoDialog) {
    OpenCancelled = !OpenDialog1->Execute();
    if (!OpenCancelled) TemplatePath = OpenDialog1->FileName;
    SetCurrentDir(DataDir);
  }
  OpenNoDialog = false;
  if (!OpenCancelled) {
    // Read and checked whole before any control changes.
    const std::string path = MapTemplatePath(TemplatePath, DataDir);
    const CardTemplate design = LoadCardTemplate(path);
    NSave->SetEnabled(true);
    TitleWindow(this);
    ApplyTemplate(design);
    BindTemplateTable(path);
    LoadTemplatePictures(path);
    SelectedItem = 0;
    TitleWindow(this);
    TextsShown = false;
    NShowText->Click();
  }
  OpenCancelled = false;
  SetCurrentDir(DataDir);
  // The card panel refits the layout picture on its resize.
  Panel2->SetWidth(Panel2->GetWidth() + 1);
  Panel2->SetWidth(Panel2->GetWidth() - 1);
  for (int j = 0; j < kTextSlots; ++j) {
    const std::string caption = CheckListBox1->GetItems()->Get(j);
    if (j < DBGrid1->Columns()->Count()) DBGrid1->Columns()->Items(j)->Title()->SetCaption(caption);
    if (FormPicEdit && FormPicEdit->DBGrid1 && j < FormPicEdit->DBGrid1->Columns()->Count())
      FormPicEdit->DBGrid1->Columns()->Items(j)->Title()->SetCaption(caption);
  }
  Shape1->SetVisible(false);
  Shape1->SetEnabled(false);
}

void TMainForm::NSaveClick(TObject*) {
  SetCurrentDir(DataDir);
  if (IsStockTemplatePath(TemplatePath)) {
    // A stock template is never overwritten: the collect-save runs instead.
    if (auto* collect = dynamic_cast<TMenuItem*>(FindComponent("NMoveDB"))) collect->Click();
    return;
  }
  // A drawn-on layout picture is saved first, so the template's picture
  // holds the drawing; an unchanged one is not written again (a JPEG would
  // lose quality at every save).
  if (LayoutDrawnOn()) FileSave->Click();
  const std::string path = MapTemplatePath(TemplatePath, DataDir);
  SaveCardTemplate(path, GatherTemplate());
  // Only a template that reached the disk enters the recent list.
  if (RecentIndex >= 5 || RecentIndex < 0) RecentIndex = 0;
  RecentFiles[size_t(RecentIndex)] = TemplatePath;
  ++RecentIndex;
}

void TMainForm::NSaveAsClick(TObject*) {
  OpenDialog1->Filter = kTemplateFilter;
  TSaveDialog dialog(nullptr);
  dialog.Filter = kTemplateFilter;
  // The collect-save names the template itself.
  if (CollectMode || dialog.Execute()) {
    TemplatePath = CollectMode ? CollectTemplatePath : dialog.FileName;
    NSave->SetEnabled(true);
    NSave->Click();
    TitleWindow(this);
  }
  SetCurrentDir(DataDir);
}
