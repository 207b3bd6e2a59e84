// The main window: the card designer. This unit holds the window's
// components, its start (FormCreate, FormShow, FormActivate), its close
// sequence and the members other forms reach through MainForm; the
// template file, the design surface, the texts, the drawing tools and the
// commands fill in the handlers declared here.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/buttons.h"
#include "platform/checklst.h"
#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/dbctrls.h"
#include "platform/dbgrids.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/menus.h"
#include "platform/picture.h"
#include "platform/qreport.h"
#include "platform/qreportctrls.h"
#include "platform/richedit.h"
#include "platform/stdctrls.h"
#include "platform/toolbars.h"

class TQRPix;
class TQRDBPix;
class TRulerBox;
class TPix;
struct CardTemplate;

// The character set of an installed font, the object of each entry of the
// font box.
class TCharsetObject : public TObject {
 public:
  explicit TCharsetObject(uint8_t charset) : Charset(charset) {}
  uint8_t Charset;
};

// The size in points of entry `index` of the font size list whose box shows
// `text`: the Chinese size names by table, any other entry by its number.
// False when the text is no size a font can take (nothing to apply).
bool FontSizeOfEntry(int index, const std::string& text, int& points);

// Number of text slots on a card (data-field texts and static titles).
constexpr int kTextSlots = 13;
// Most custom templates the template library keeps.
constexpr int kMaxCustomTemplates = 22;
// The help pages in the working folder, opened in the desktop's browser.
constexpr const char* kHelpFile = "Cardwright.html";

class TMainForm : public TForm {
 public:
  explicit TMainForm(TComponent* owner);
  ~TMainForm() override;

  // Components of the form resource ------------------------------------------
  TMainMenu* MainMenu1;
  TMenuItem* NFile;      // "文件(&F)"
  TMenuItem* NOpen;      // template open
  TMenuItem* NSave;      // template save (not shown in the menu)
  TMenuItem* NSaveAs;    // template save as (not shown in the menu)
  TMenuItem* NPicEdit;   // "卡片批量生成(&PicEdit)"
  TMenuItem* NExit;      // "退出(&Close)"
  TMenuItem* NOpenDB;    // "选用数据库(Open&DB)..."
  TMenuItem* NLibrary;   // "模板库(&M)"
  TMenuItem* MenuFunction;  // "自定义模板"
  TMenuItem* Exitcmd;       // "删除自定义模板"
  TControlBar* ControlBar1;
  TToolBar* ToolBar3;  // the menu bar's buttons
  TToolBar* ToolBar1;  // main tool bar
  TToolBar* ToolBar2;  // text tool bar, hidden until the text tool is chosen
  TToolButton* TBEdit;
  TComboBox* FontBox;
  TComboBox* FontSize;
  TFontDialog* FontDialog1 = nullptr;
  TMenuItem* NFont1 = nullptr;    // the font command
  TToolButton* BFont = nullptr;   // clicks NFont1
  // The field captions (CheckListBox1, edited in Edit2) and the title texts
  // (CheckListBox2, edited in Edit1); a check mark shows the text.
  TCheckListBox *CheckListBox1 = nullptr, *CheckListBox2 = nullptr;
  TEdit *Edit1 = nullptr, *Edit2 = nullptr;
  TPanel* Panel1;    // selection panel (left)
  TPanel* PanTools;  // data panel (right)
  TDBGrid* DBGrid1;
  TScrollBox* ScrollBox1;
  TPanel* Panel2;  // design surface
  TImage* Drawor;  // layout picture
  TShape* Shape1;  // selection frame
  TImage* PicOne;
  TImage* PicTwo;
  TImage* SignPic;
  TImage* BarcodeSet;
  TImage* ImageZhang;
  TRichEdit* Edit;  // the text box of the layout picture
  TStatusBar* StatusBar1;
  TOpenDialog* OpenDialog1;
  TQuickRep* QuickRep1;
  TQRBand* DetailBand1;
  TQRBand* PageFooterBand1;
  TQRPix* QRSignPic;
  TQRDBPix* QRDBPicOne;
  TQRDBPix* QRDBPicTwo;
  TQRDBPix* QRDBBarCode;
  TQRImage* QRImageZhang;
  TQRLabel* Label3;  // blank label that keeps the band's bottom edge
  TQRSysData* QRSysData1;

  // Members other forms read and write -------------------------------------------
  std::string AppDir;    // folder of the program file, with trailing separator
  std::string StartDir;  // the working folder as read back after start-up
  std::string TemplatePath;
  bool OpenNoDialog = false;
  bool OpenCancelled = false;
  std::string BGFileName;
  std::string TemplateBGPath;
  std::string LogoPath;
  std::string SealPath;
  std::string TableFolder, TableFile;
  std::string ProductName;
  std::string VersionText;
  std::array<std::string, 5> RecentFiles;
  int RecentIndex = 0;
  int CustomTemplateCount = 0;
  std::array<int, 2> PMstartValues{};
  std::array<int, 80> PageData{};
  // Staging tables between the template file and the text controls.
  std::vector<int> TextSizes, TextPositions, DataFontValues, TitleFontValues;
  std::vector<std::string> TitleTexts, FieldCaptions;

  std::array<TDBText*, kTextSlots> DBTexts{};
  std::array<TLabel*, kTextSlots> TitleLabels{};
  std::array<TQRDBText*, kTextSlots> QRDBTexts{};
  std::array<TQRLabel*, kTextSlots> QRTitleLabels{};
  std::array<bool, kTextSlots> DataShown{}, TitleShown{};

  // Selection and drag state of the design surface.
  int SelectedItem = 0;
  bool SelectedIsTitle = false;
  int LastTextTag = 0;
  int PicItem = 0;
  int MoveMode = 0;
  int DragStartX = 0, DragStartY = 0;
  int DragStartLeft = 0, DragStartTop = 0, DragStartWidth = 0, DragStartHeight = 0;

  bool ShowHints = false;
  int MoveDBResult = 0;
  // Decodes the JPEG seal, logo and layout pictures for the template reader.
  TPicture* JpegLoader = nullptr;

  // Drawing state of the layout picture's tools.
  TBitmap* RangeBitmap = nullptr;
  bool RangeShown = false;
  TRect RangeRect;
  bool TextPending = false;

  // The layout picture's drawing tools, files, clipboard and text box
  // (layouttools*.cpp, layoutfiles.cpp, layouttext.cpp) ----------------------------------
  TSpeedButton *LineButton = nullptr, *PlineButton = nullptr, *EllipseButton = nullptr;
  TSpeedButton *RectangleButton = nullptr, *RoundRctButton = nullptr, *TextButton = nullptr;
  TSpeedButton *PenButton = nullptr, *PicRangButton = nullptr, *BezierButton = nullptr;
  TSpeedButton *RubberButton = nullptr, *SelectButton = nullptr;
  TSpeedButton *SolidPen = nullptr, *DashPen = nullptr, *DotPen = nullptr, *DashDotPen = nullptr;
  TSpeedButton *DashDotDotPen = nullptr, *ClearPen = nullptr;
  TSpeedButton *SolidBrush = nullptr, *ClearBrush = nullptr, *HorizontalBrush = nullptr, *VerticalBrush = nullptr;
  TSpeedButton *FDiagonalBrush = nullptr, *BDiagonalBrush = nullptr, *CrossBrush = nullptr;
  TSpeedButton* DiagCrossBrush = nullptr;
  TPanel *PenColor = nullptr, *BrushColor = nullptr;
  TSpeedButton *BChangeBG = nullptr, *BChangeAB = nullptr;  // "换底图...", "换标志图..."
  TEdit *PenWidth = nullptr, *FontRotate = nullptr;
  TUpDown *UpDown1 = nullptr, *UpDown2 = nullptr;
  TColorDialog *ColorDialog = nullptr, *ColorDialog1 = nullptr;
  TSaveDialog* SaveDialog1 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;  // the text box's pop-up
  TMenuItem *NCopy = nullptr, *NCut = nullptr, *NPaste = nullptr, *NDelete = nullptr, *NSelectAll = nullptr;
  TMenuItem* NSetTemp = nullptr;  // "保存版图"
  TToolButton *TBUndo = nullptr, *TBClearUndo = nullptr, *TBCut = nullptr, *TBCopy = nullptr, *TBPaste = nullptr;
  TToolButton *SBBold = nullptr, *SBItalic = nullptr, *SBUnderline = nullptr, *SBStrikeOut = nullptr;
  TToolButton *SBTColor = nullptr, *SBAlignL = nullptr, *SBAlignM = nullptr, *SBAlignR = nullptr;
  int Tool = 0;                 // the chosen tool, the Tag of its button
  bool Drawing = false;         // a press on the layout picture is in progress
  TPoint Origin, MovePt;        // the press point and the last point seen
  std::array<TPoint, 100> PolyPoints{};
  int PolyCount = 0;
  std::array<TPoint, 4> BezierPoints{};  // start, control 1, control 2, end
  int BezierCount = 0;
  int SavedBrushStyle = 0;  // the fill style the eraser gives back
  void ButtonClick(TObject* Sender);
  void SelectButtonClick(TObject* Sender);
  void DraworMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void DraworMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void DraworClick(TObject* Sender);
  void PenColorClick(TObject* Sender);
  void BrushColorClick(TObject* Sender);
  void PenWidthChange(TObject* Sender);
  void UpDown1Click(TObject* Sender, TUDBtnType Button);
  void SetPenStyle(TObject* Sender);
  void SetBrushStyle(TObject* Sender);
  TRect NormRect(TPoint a, TPoint b);
  void CopyRangeToBitmap(const TRect& r);
  void EraseAt(int x, int y);
  // The layout picture's canvas with the drawing panel's pen, fill and font.
  TCanvas* LayoutCanvas();
  // The drawing half of the release: the tool finishes its shape.
  void FinishDrawing(TMouseButton Button, int X, int Y);
  void EraseRangeMark();
  void FileNewClick(TObject* Sender);
  bool NewLayoutPicture();
  void FileOpenClick(TObject* Sender);
  void FileSaveClick(TObject* Sender);
  void FileSaveAsClick(TObject* Sender);
  bool SaveLayoutPicture(const std::string& path);
  bool SaveLogoPicture(const std::string& path);
  bool SaveSealPicture(const std::string& path);
  void FilePrintClick(TObject* Sender);
  void EditCopyClick(TObject* Sender);
  void EditCutClick(TObject* Sender);
  void EditPasteClick(TObject* Sender);
  void EditClearClick(TObject* Sender);
  void NChangeABClick(TObject* Sender);
  void EditMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void EditChange(TObject* Sender);
  // Renders the text box's text into the layout picture.
  void StampTextBox();
  void WireLayoutTools();
  void WireLayoutFiles();
  void WireTextBox();

  // Window events -------------------------------------------------------------------
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormActivate(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void FormDestroy(TObject* Sender);
  void NExitClick(TObject* Sender);
  void NPicEditClick(TObject* Sender);
  void NOpenDBClick(TObject* Sender);
  // The template commands: open, save, save as.
  void NOpenClick(TObject* Sender);
  void NSaveClick(TObject* Sender);
  void NSaveAsClick(TObject* Sender);
  // The design as a template record, and a checked record applied to the
  // controls; the table binding and the pictures of an opened template.
  CardTemplate GatherTemplate();
  void ApplyTemplate(const CardTemplate& design);
  void BindTemplateTable(const std::string& templatePath);
  void LoadTemplatePictures(const std::string& templatePath);
  void BHelpClick(TObject* Sender);
  void Nhelp1Click(TObject* Sender);

  // Handlers of the text items, the custom templates and the hint line; the
  // window wires them, their behaviour belongs to the design surface, the
  // template library and the command layer.
  void TextItemClick(TObject* Sender);
  void DataTextDblClick(TObject* Sender);
  void DataTextMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void DataTextMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void DataTextMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void TitleTextDblClick(TObject* Sender);
  void TitleTextMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void TitleTextMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void TitleTextMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void CustomTemplateClick(TObject* Sender);
  void ApplicationHint(TObject* Sender);
  void FillFontBox();

  // The text lists, the show toggle and the fonts.
  void CheckListBox1Click(TObject* Sender);
  void CheckListBox2Click(TObject* Sender);
  void Edit1KeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void Edit2KeyUp(TObject* Sender, Word& Key, TShiftState Shift);
  void NShowTextClick(TObject* Sender);
  void NFont1Click(TObject* Sender);
  void FontBoxChange(TObject* Sender);
  void FontSizeChange(TObject* Sender);
  std::string FontToString(TFont* font);
  bool StringToCtrlFont(const std::string& line, TFont* font);
  void WireTexts();
  std::vector<std::unique_ptr<TCharsetObject>> CharsetObjects;  // the font box's entries' objects
  // The entry of each list that its edit box rewrites: each list keeps its
  // own, so a click in one list never retargets the other's box.
  int FieldEditIndex = 0, TitleEditIndex = 0;
  // The selected text's design control, or none while no text is selected
  // (the last text clicked is not the current selection).
  TControl* SelectedText() const;

  // Start-up pieces, each one step of FormCreate.
  void CheckDataFiles();
  void ReadStartSettings();
  void WriteStartSettings();
  void AddCustomTemplateEntries();
  void CreateTextControls();
  void FreeTextControls();
  // The start-up template from the program's arguments (the first is the
  // first argument after the program's name).
  void ChooseStartTemplate(const std::vector<std::string>& arguments);

  // The release on the layout picture, the record grid's click, the seal
  // commands and the inserted picture -----------------------------------------------
  TOpenDialog* OpenPictureDialog1 = nullptr;  // picture files of the design items
  TMenuItem* NInPrint = nullptr;              // "插入公章"
  TMenuItem* NChangeZhang = nullptr;          // "更换印章(&CZhang)"
  TMenuItem* NInsertPic = nullptr;            // "插入图像"
  TPanel* Panel9 = nullptr;                   // the drawing panel under the card
  TSpeedButton *SBPrintP = nullptr, *SBInsPic = nullptr, *SpeedButton2 = nullptr;
  // Select mode ends a drag; the drawing tools' release joins here. Then
  // a pending inserted picture is stamped and an armed item placed.
  void DraworMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  // The card batch window's picture views write into the design pictures.
  void DBGrid1CellClick(TColumn* Column);
  void BindRecordPictures();
  void NInPrintClick(TObject* Sender);
  void SBPrintPClick(TObject* Sender);
  void NChangeZhangClick(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
  // The seal's and the logo's print twins take their design item's picture.
  void SealToPrint();
  void LogoToPrint();
  void NInsertPicClick(TObject* Sender);
  void SBInsPicClick(TObject* Sender);
  bool LoadInsertPicture();
  // Copies the inserted picture onto the layout picture under its box.
  void StampInsertedPicture();
  void WireSealAndInsert();

  // Design surface: its items' controls, handlers and shared drag rules ----------------
  TImage* ImageIns = nullptr;  // the inserted picture, floating until pasted
  TQRPix* QRDrawor = nullptr;  // print twin of the layout picture
  TEdit *EditLeft = nullptr, *EditTop = nullptr, *EditW = nullptr, *EditH = nullptr;
  TMenuItem *NShowText = nullptr, *NShowPhoto = nullptr, *NShowBG = nullptr, *NShowPanelPic = nullptr;
  TMenuItem *NShowSignPic = nullptr, *NBarcodeS = nullptr, *NZhang = nullptr;
  TToolButton *BText = nullptr, *BPhoto = nullptr, *BBackPic = nullptr, *BWorkShopPic = nullptr;
  TToolButton *TBSignPic = nullptr, *TBBarcode = nullptr, *TBZhang = nullptr;
  TMenuItem* Nhelp1 = nullptr;   // "帮助(&Help)", F1
  TToolButton* BHelp = nullptr;  // "帮助"

  void PicOneClick(TObject* Sender);
  void PicOneMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void PicOneMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void PicOneMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void PicTwoClick(TObject* Sender);
  void PicTwoMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void PicTwoMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void PicTwoMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SignPicClick(TObject* Sender);
  void SignPicMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void SignPicMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void SignPicMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void BarcodeSetClick(TObject* Sender);
  void BarcodeSetMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void BarcodeSetMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void BarcodeSetMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void BarcodeSetDblClick(TObject* Sender);
  void ImageZhangClick(TObject* Sender);
  void ImageZhangMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ImageZhangMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void ImageZhangMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ImageZhangDblClick(TObject* Sender);
  void ImageInsClick(TObject* Sender);
  void ImageInsMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void ImageInsMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void Shape1MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Shape1MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void Shape1MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormKeyDown(TObject* Sender, Word& Key, TShiftState Shift);
  void FormPaint(TObject* Sender);
  // Brings items that left the card panel back onto it and keeps them big
  // enough to grab; run after every event that moves or sizes items.
  void ClampDesignItems();
  void EditLeftClick(TObject* Sender);
  void NShowPhotoClick(TObject* Sender);
  void NShowBGClick(TObject* Sender);
  void NShowPanelPicClick(TObject* Sender);
  void NShowSignPicClick(TObject* Sender);
  void NBarcodeSClick(TObject* Sender);
  void NZhangClick(TObject* Sender);
  void TBSignPicClick(TObject* Sender);
  void TBBarcodeClick(TObject* Sender);
  void TBZhangClick(TObject* Sender);
  // The drag rules every item, text and the frame share: the cursor of the
  // hit zone under the pointer, the drag start at a left press, and the
  // move or edge resize while a drag is on.
  void SetHitZoneCursor(TControl* control, int X, int Y);
  void StartDrag(TControl* control, TShiftState Shift, int X, int Y);
  void DragControl(TControl* control, int X, int Y);
  // The click-placement half of the release on the layout picture: a text
  // or picture item armed by its show command goes to (X, Y).
  void PlaceArmedItem(int X, int Y);
  // Hooks the design surface's handlers to its controls; the frame's window
  // procedure is replaced here and put back by RestoreFrameWindowProc.
  void WireDesignSurface();
  void RestoreFrameWindowProc();
  TWndMethod OldFrameWindowProc;

  // The card panel and its layout picture ---------------------------------------------
  TImage* ImageTemp = nullptr;  // the unscaled layout picture, hidden
  TPix* Pix1 = nullptr;         // hidden converter of the layout picture's print copy
  TRulerBox* RulerBox1 = nullptr;  // along the panel's top
  TRulerBox* RulerBox2 = nullptr;  // along the panel's left side
  // A click on a ruler asks for its dots per unit and its label spacing.
  void RulerBox1Click(TObject* Sender);
  void RulerBox2Click(TObject* Sender);
  // Loads a picture file as the unscaled and the shown layout picture and
  // its print copy; the next refit fits it to the panel. A file that cannot
  // be read is reported and changes nothing.
  bool LoadLayoutPicture(const std::string& path);
  // Places the layout picture in the panel's 5-pixel band, rebuilt from the
  // unscaled picture, then clamps the design items into the new panel.
  void Panel2Resize(TObject* Sender);
  // A press on the panel's band draws its handles and hands the panel to
  // the window manager's size or move loop by the zone pressed.
  void Panel2MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void Panel2MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  // The print twin takes the shown layout picture's place and a copy of it.
  void RefreshLayoutPrint();
  // True when the shown layout picture differs from what its last refit or
  // load left.
  bool LayoutDrawnOn();
  // The shown layout picture is about to be replaced whole: a resize before
  // that has nothing to keep.
  void DiscardLayoutDrawing();
  TBitmap LayoutFitted;  // the layout picture as the last refit or load left it
  bool InPanelResize = false;

  // The command layer: menus, tool bar buttons, edge panels ----------------------------
  TMenuItem *NMoveDB = nullptr, *ExportPic = nullptr, *SavePagePic = nullptr, *NSetPaper = nullptr;
  TMenuItem *NPrint = nullptr, *FilePrintSetup = nullptr;
  TMenuItem *NCancel = nullptr, *NRedo = nullptr, *NCopy1 = nullptr, *NCut1 = nullptr, *NPaste1 = nullptr;
  TMenuItem *NDelete1 = nullptr, *NSelectAll1 = nullptr, *NWordWrap = nullptr;
  TMenuItem *NCreateDB = nullptr, *NModifyDB = nullptr, *NCBarCode = nullptr;
  TMenuItem *FileNew = nullptr, *FileOpen = nullptr, *FileSave = nullptr, *FileSaveAs = nullptr;
  TMenuItem *EditCut = nullptr, *EditCopy = nullptr, *EditPaste = nullptr, *EditClear = nullptr;
  TMenuItem* FilePrint = nullptr;
  TMenuItem* NPreview = nullptr;
  TMenuItem *NSetWH = nullptr, *NChangeAB = nullptr;
  TMenuItem *NShowBar1 = nullptr, *NShowTools = nullptr, *NShowSelectT = nullptr, *NShowData = nullptr;
  TPopupMenu* PopupMenuTS = nullptr;  // on the tool bars: which panels are shown
  TMenuItem *NTool = nullptr, *NDataP = nullptr, *NSelectP = nullptr, *NDrawP = nullptr;
  TToolButton *BPrev = nullptr, *BDataCreat = nullptr, *BDataEdit = nullptr, *TBCatchPic = nullptr;
  TToolButton *TBScan = nullptr, *BPicOut = nullptr, *BSet = nullptr;
  TToolButton* TBShow = nullptr;  // on the text tool bar: the main tool bar's toggle
  TPanel *Panel6 = nullptr, *Panel7 = nullptr, *Panel10 = nullptr;  // edge panels
  TPrinterSetupDialog* PrinterSetupDialog1 = nullptr;

  void NPreviewClick(TObject* Sender);
  void NPrintClick(TObject* Sender);
  void NSetPaperClick(TObject* Sender);
  void FilePrintSetupClick(TObject* Sender);
  void ExportPicClick(TObject* Sender);
  void SavePagePicClick(TObject* Sender);
  void NCreateDBClick(TObject* Sender);
  void NModifyDBClick(TObject* Sender);
  void NCBarCodeClick(TObject* Sender);
  void NSetWHClick(TObject* Sender);
  void TBCatchPicClick(TObject* Sender);
  void TBScanClick(TObject* Sender);
  void DBGrid1DblClick(TObject* Sender);
  void NShowBar1Click(TObject* Sender);
  void NShowToolsClick(TObject* Sender);
  void NShowSelectTClick(TObject* Sender);
  void NShowDataClick(TObject* Sender);
  // The collect-save: the table, the pictures and the template gathered
  // into one folder the user chooses.
  void NMoveDBClick(TObject* Sender);
  // Hooks the command layer's handlers to its menus, buttons and panels.
  void WireCommands();

  // The template library: a blank, a library, a custom or a recent template,
  // each opened through the template Open command ------------------------------------
  TMenuItem *Nnew = nullptr, *NFileList = nullptr, *NAddMenu = nullptr;
  TToolButton* Bnew = nullptr;
  void NnewClick(TObject* Sender);
  void NFileListClick(TObject* Sender);
  void NewBlankTemplate();
  void OpenLibraryTemplate(const std::string& category, int number);
  void NGongZHUO1Click(TObject* Sender);
  void NAddMenuClick(TObject* Sender);
  void ExitcmdClick(TObject* Sender);
  void WireTemplateLibrary();

 private:
  void FreeLongLivedPictures();
  // Only the first activation asks for a new or recent template.
  bool activated_ = false;
};

extern TMainForm* MainForm;

// Module-level state of the main window's unit --------------------------------------------
extern std::string DataDir;  // AppDir + "data\", the working folder
extern const std::array<const char*, 16> FontSizeNames;
extern TControlCanvas* TextBoxCanvas;
extern TControlCanvas* PanelCanvas;
extern TControlCanvas* PictureCanvas;
extern TBitmap* LayoutPrintBitmap;
extern TBitmap* LogoPrintBitmap;
// Show and placement flags of the design surface.
extern bool TextsShown, PhotoShown, PicTwoShown, LayoutShown, LogoShown, BarcodeShown, SealShown;
extern bool PhotoHintDone, PicTwoHintDone, LayoutHintDone;
// A text waiting for its placement click on the layout picture.
extern bool TextPlacementArmed, TextPlacementIsData;
extern int TextPlacementIndex;
// An inserted picture waits to be stamped onto the layout picture.
extern bool InsertArmed;
// Panel show states of the command layer.
extern bool ToolBarShown, SelectPanelShown, DataGridHidden, DrawPanelHidden;
extern bool DrawingMode;
// The program's arguments, kept by the entry point for the start-up template.
extern std::vector<std::string> ProgramArguments;
// True only while the collect-save runs: the layout picture and the
// template are then saved to these paths without a dialog.
extern bool CollectMode;
extern std::string CollectPicturePath, CollectTemplatePath;

// A copy of `text` without its blanks (0x20), the other characters in order.
std::string RemoveBlanks(const std::string& text);

// Empty when the file opens as a card-holder table, else what is wrong.
std::string CheckCardTable(const std::string& folder, const std::string& file);

// Desktop services of the start.
void CreateDesktopShortcut(const std::string& target, const std::string& workingFolder, const std::string& linkName,
                           const std::string& description);
void RegisterTemplateFileType(TMainForm* window, bool doRegister);
bool RegisterFileType(const std::string& extension, const std::string& description, const std::string& iconPath,
                      const std::string& programPath);
bool CheckDefaultPrinter();
