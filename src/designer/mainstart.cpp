// The main window's start: FormCreate, FormShow and the first FormActivate.
#include "designer/filelist.h"
#include "designer/main.h"
#include "designer/programfolder.h"
#include "designer/unew.h"
#include "imaging/io/pixio.h"
#include "imaging/view/dbpix.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
#include "platform/dialogs.h"
#include "records/dbpicsu.h"

namespace {

// The start-up failure names its cause; a failure without a text of its
// own keeps the general hint about the printer.
const char* const kStartFailure = "程序启动时产生异常：";
const char* const kUnknownCause = "可能是因为你没有安装打印机或打印机设置有问题！";
const char* const kContact = "\n如果问题依旧，请与Cardwright的开发者联系。";
const char* const kOpenFailure = "打开失败，可能是路径有误，请检查目录名或文件名是否含有连续两个的空格!";
const char* const kStatusText = "提示：请先选取和加入要显示的项目,点击'显示文字'，用前先建立数据库。";

// Changes into the working folder; a folder that cannot be entered fails
// the start as the run time's folder change does.
void EnterFolder(const std::string& folder) {
  if (!SetCurrentDir(folder)) throw EInOutError("无法进入工作文件夹" + folder);
}

// A text item of the design surface: hidden and transparent until a
// template places it, clicked like every other text item.
template <class T>
T* NewDesignText(TMainForm* form, int left, int top, int width, int tag) {
  auto* text = new T(form);
  text->SetAutoSize(false);
  text->SetParent(form->Panel2);
  text->SetBounds(left, top, width, 25);
  text->SetVisible(false);
  text->SetTransparent(true);
  text->Tag = tag;
  text->BringToFront();
  text->OnClick = [form](TObject* s) { form->TextItemClick(s); };
  return text;
}

}  // namespace

void TMainForm::FormCreate(TObject*) {
  // The logo twin is drawn translucent (constant alpha 100) on screen; the
  // control layer has no layered windows, so it stays opaque here.
  RecentIndex = 0;
  LastTextTag = 18;
  PicItem = 0;
  ShowHints = true;
  TextPending = true;
  DrawingMode = false;
  PhotoHintDone = PicTwoHintDone = LayoutHintDone = false;
  OpenCancelled = false;
  LayoutPrintBitmap = new TBitmap();
  LogoPrintBitmap = new TBitmap();
  VersionText = "V3.8";
  AppDir = ExtractFilePath(Application->ExeName());
  try {
    AppDir = ProgramFolder();
    EnterFolder(AppDir + "data/");
    FillFontBox();
    for (const char* name : FontSizeNames) FontSize->GetItems()->Add(name);
    for (const char* size : {"5", "10", "15", "20", "30", "40", "50", "60", "80", "100"})
      FontSize->GetItems()->Add(size);
    CheckDataFiles();
    TextBoxCanvas->SetControl(Edit);
    DataDir = AppDir + "data/";
    EnterFolder(DataDir);
    ReadStartSettings();
    AddCustomTemplateEntries();
    ProductName = "Cardwright";
    SetCaption(ProductName + VersionText);
    TemplatePath = "Mode\\未命名.pmt";
    // (Panel2 needs no double buffering: every window paints into its own
    // image.)
    if (HCURSOR rubber = LoadCursor(HInstance, "RUBBER1")) Screen->SetCursors(30, rubber);
    Application->OnHint = [this](TObject* s) { ApplicationHint(s); };
    BGFileName = "Mode\\Untitle.JPG";
    SetCaption(ProductName + VersionText + "----" + (DataGridHidden ? TemplatePath : BGFileName));
    RangeBitmap = new TBitmap();
    JpegLoader = new TPicture();
    OpenNoDialog = false;
    QuickRep1->SetVisible(false);
    PanelCanvas->SetControl(Panel2);
    Label3->SetTop(DetailBand1->GetHeight() - Label3->GetHeight());
    TextsShown = PhotoShown = PicTwoShown = LayoutShown = true;
    DataGridHidden = false;
    // The launcher starts the program in its data folder, found first.
    CreateDesktopShortcut(Application->ExeName(), AppDir + "data", ProductName, ProductName);
    EnterFolder(AppDir + "data/");
    StartDir = ExcludeTrailingPathDelimiter(GetCurrentDir());
    ScrollBox1->SetHeight(GetHeight() - ScrollBox1->GetTop() - 80);
    ScrollBox1->SetWidth(GetWidth() - ScrollBox1->GetLeft() - 20);
    ToolBarShown = SelectPanelShown = true;
    const std::string folder = ExcludeTrailingPathDelimiter(GetCurrentDir());
    LogoPath = folder + "\\SignPic.bmp";
    SealPath = folder + "\\ZhangPic.bmp";
    TemplateBGPath = folder + "\\Mode\\Untitle.JPG";
    RegisterFileType("", "pmt", "", "");
    RegisterTemplateFileType(this, true);
    QuickRep1->SetParent(this);
    QRDBPicOne->SetEnabled(false);
    QRDBPicOne->SetVisible(false);
    QRDBPicTwo->SetEnabled(false);
    QRDBPicTwo->SetVisible(false);
    CreateTextControls();
    // The stock layout picture; a template read later replaces it.
    if (FileExists(BGFileName) && LoadLayoutPicture(BGFileName)) Panel2Resize(Panel2);
    const char* fields[] = {"AAAA", "BBBB", "CCCC", "DDDD", "EEEE", "FFFF", "GGGG",
                            "HHHH", "IIII", "JJJJ", "KKKK", "LLLL", "MMMM"};
    for (int i = 0; i < kTextSlots; ++i) QRDBTexts[size_t(i)]->DataField = fields[i];
    Label3->SetTop(DetailBand1->GetHeight() - Label3->GetHeight());
    ChooseStartTemplate(ProgramArguments);
    CheckDefaultPrinter();
  } catch (const std::exception& failure) {
    ShowMessage(kStartFailure + std::string(failure.what()) + kContact);
  } catch (...) {
    ShowMessage(kStartFailure + std::string(kUnknownCause) + kContact);
  }
}

void TMainForm::CheckDataFiles() {
  struct TDataFile {
    const char* Name;
    const char* Missing;
    bool MakeWritable;
  };
  // The database engine is linked into the program, so the files a separate
  // engine would need ("usa.btl", the engine's libraries) are not looked for.
  static const TDataFile files[] = {
      {"Mode\\DATA\\data.MDX", "找不到文件Mode\\DATA\\data.MDX您将不能正常使用数据库功能！", true},
      {"Mode\\DATA\\data.DBF", "找不到文件Mode\\DATA\\data.DBF您将不能正常使用数据库功能！", true},
      {"Mode\\DATA\\data.DBT", "找不到文件Mode\\DATA\\data.DBT您将不能正常使用数据库功能！", true},
      {"Mode\\Untitle.JPG", "找不到文件Untitle.JPG，不能正常运行！", false},
      {"Cardwright.html", "找不到帮助文件Cardwright.html您将无法使用帮助功能！", false},
      {"Mode\\ZhangPic.bmp", "找不到文件ZhangPic.bmp，不能示例印章图片！", false},
      {"Mode\\SignPic.bmp", "找不到文件SignPic.bmp，不能示例标志图！", false},
      {"Mode\\未命名.pmt", "找不到文件未命名.pmt，不能正常运行！", false},
      {"PMstart.ini", "找不到文件PMstart.ini，不能正常运行！", true},
  };
  for (const TDataFile& file : files) {
    if (!FileExists(file.Name)) {
      ShowMessage(file.Missing);
      continue;
    }
    int attributes = FileGetAttr(file.Name);
    if (file.MakeWritable && attributes >= 0 && (attributes & faReadOnly) &&
        FileSetAttr(file.Name, attributes & ~faReadOnly) != 0)
      ShowMessage("出错，可能是磁盘的被锁定，或软件在光盘上运行，请去除程序目录内文件的只读属性！");
  }
}

void TMainForm::AddCustomTemplateEntries() {
  auto* line = new TMenuItem(this);
  line->SetCaption(cLineCaption);
  MenuFunction->Insert(MenuFunction->IndexOf(Exitcmd) + 1, line);
  for (int n = 1; n <= CustomTemplateCount; ++n) {
    auto* entry = new TMenuItem(this);
    entry->SetCaption(IntToStr(n));
    entry->Tag = n;
    entry->OnClick = [this](TObject* s) { CustomTemplateClick(s); };
    MenuFunction->Add(entry);
  }
}

void TMainForm::CreateTextControls() {
  for (int i = 0; i < kTextSlots; ++i) {
    const size_t k = size_t(i);
    const int top = 13 * i + 5;

    auto* printed = new TQRDBText(this);
    printed->SetParent(DetailBand1);
    printed->SetBounds(20, top, 30, 30);
    printed->AutoStretch = printed->Transparent = printed->WordWrap = true;
    printed->SetCaption("");
    printed->SetVisible(true);
    printed->BringToFront();
    printed->SetEnabled(false);  // prints only once its text is shown
    QRDBTexts[k] = printed;

    auto* title = NewDesignText<TLabel>(this, 120, top, 30 + i, 100 + i);
    title->SetColor(clWhite);
    title->SetCaption("标题" + IntToStr(i + 1));
    title->OnDblClick = [this](TObject* s) { TitleTextDblClick(s); };
    title->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      TitleTextMouseDown(s, b, sh, x, y);
    };
    title->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { TitleTextMouseMove(s, sh, x, y); };
    title->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      TitleTextMouseUp(s, b, sh, x, y);
    };
    TitleLabels[k] = title;

    auto* data = NewDesignText<TDBText>(this, 20, top, 30 + i, i);
    data->SetCaption("");
    data->OnDblClick = [this](TObject* s) { DataTextDblClick(s); };
    data->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      DataTextMouseDown(s, b, sh, x, y);
    };
    data->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { DataTextMouseMove(s, sh, x, y); };
    data->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
      DataTextMouseUp(s, b, sh, x, y);
    };
    DBTexts[k] = data;

    auto* printedTitle = new TQRLabel(this);
    printedTitle->SetParent(DetailBand1);
    printedTitle->SetLeft(120);
    printedTitle->SetTop(top);
    printedTitle->Transparent = true;
    printedTitle->SetVisible(false);
    printedTitle->SetEnabled(false);
    printedTitle->BringToFront();
    QRTitleLabels[k] = printedTitle;
  }
}

void TMainForm::ChooseStartTemplate(const std::vector<std::string>& arguments) {
  const std::string first = arguments.empty() ? "" : LowerCase(arguments[0]);
  OpenNoDialog = true;
  if (!first.empty() && first != "cardwright.exe") {
    // A path with blanks that came as several arguments is joined again.
    TemplatePath = first;
    for (size_t n = 1; n < arguments.size(); ++n) TemplatePath += " " + LowerCase(arguments[n]);
    TemplatePath = TrimLeft(TemplatePath);
    OpenDialog1->FileName = TemplatePath;
  } else {
    SetCurrentDir(DataDir);
    TemplatePath = DataDir + "Mode\\未命名.pmt";
  }
}

void TMainForm::FormShow(TObject*) {
  for (int i = 0; i < kTextSlots && i < DBGrid1->Columns()->Count(); ++i) DBGrid1->Columns()->Items(i)->SetWidth(68);
  StatusBar1->SetSimpleText(kStatusText);
  if (OpenNoDialog) {
    try {
      NOpen->Click();
    } catch (...) {
      ShowMessage(kOpenFailure);
    }
  }
  const bool textTools = ToolBar2->GetVisible();
  FontBox->SetEnabled(textTools);
  FontSize->SetEnabled(textTools);
  TBEdit->SetVisible(textTools);
  BindRecordPictures();
}

void TMainForm::FormActivate(TObject*) {
  if (activated_) return;
  const int answer =
      Application->MessageBox("要新建模板吗？否则打开旧模板。", "是否新建", MB_YESNO | MB_ICONQUESTION);
  TForm* next = answer == IDYES ? static_cast<TForm*>(FormNew) : static_cast<TForm*>(FormFileList);
  if (next) {
    next->Show();
    next->SetFormStyle(fsStayOnTop);
  }
  activated_ = true;
}
