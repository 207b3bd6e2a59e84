// The main window's components, as its form resource declares them. Only
// the skeleton that start-up and the close sequence touch is laid here;
// each command and item fills its own part of the window.
#include "designer/mainresource.h"

#include "designer/layouttools.h"
#include "designer/main.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/pix.h"
#include "imaging/view/qrpix.h"
#include "imaging/view/rulerbox.h"
#include "platform/buttons.h"

namespace {

constexpr TColor kSkyBlue = 0xF0CAA6;
constexpr TColor kMoneyGreen = 0xC0DCC0;

template <class T>
T* Make(TMainForm* form, TWinControl* parent, const char* name) {
  T* control = new T(form);
  control->Name = name;
  if (parent) control->SetParent(parent);
  return control;
}

TMenuItem* MenuItem(TMainForm* form, TMenuItem* parent, const char* name, const char* caption) {
  auto* item = new TMenuItem(form);
  item->Name = name;
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

void BuildMenus(TMainForm* f) {
  f->MainMenu1 = new TMainMenu(f);
  f->MainMenu1->Name = "MainMenu1";
  TMenuItem* root = f->MainMenu1->GetItems();
  f->NFile = MenuItem(f, root, "NFile", "文件(&F)");
  f->NOpen = MenuItem(f, f->NFile, "NOpen", "打开模板(&Open)");
  f->NOpen->ShortCut = ShortCut('O', ssCtrl);
  f->NSave = MenuItem(f, f->NFile, "NSave", "保存模板(&Save)");
  f->NSave->ShortCut = ShortCut('S', ssCtrl);
  f->NSave->SetVisible(false);
  f->NSaveAs = MenuItem(f, f->NFile, "NSaveAs", "模板另存为(Save&As)");
  f->NSaveAs->SetVisible(false);
  f->NPicEdit = MenuItem(f, f->NFile, "NPicEdit", "卡片批量生成(&PicEdit)");
  MenuItem(f, f->NFile, "NFileLine", cLineCaption);
  f->NExit = MenuItem(f, f->NFile, "NExit", "退出(&Close)");
  MenuItem(f, root, "NEditMenu", "编辑(&E)");
  TMenuItem* dataMenu = MenuItem(f, root, "NDataMenu", "数据库(&D)");
  f->NOpenDB = MenuItem(f, dataMenu, "NOpenDB", "选用数据库(Open&DB)...");
  MenuItem(f, root, "NLayoutMenu", "底图(&B)");
  f->NLibrary = MenuItem(f, root, "NLibrary", "模板库(&M)");
  f->MenuFunction = MenuItem(f, f->NLibrary, "MenuFunction", "自定义模板");
  f->Exitcmd = MenuItem(f, f->MenuFunction, "Exitcmd", "删除自定义模板");
  MenuItem(f, root, "NShowMenu", "显示(&S)");
  MenuItem(f, root, "NOptionMenu", "设置(&O)");
  TMenuItem* help = MenuItem(f, root, "NHelpMenu", "帮助(&H)");
  f->Nhelp1 = MenuItem(f, help, "Nhelp1", "帮助(&Help)");
  f->Nhelp1->ShortCut = ShortCut(VK_F1, 0);
}

void BuildToolBars(TMainForm* f) {
  f->ControlBar1 = Make<TControlBar>(f, f, "ControlBar1");
  f->ControlBar1->SetBounds(0, 0, f->GetClientWidth(), 26);
  f->ControlBar1->SetAlign(alTop);
  f->ControlBar1->SetColor(kSkyBlue);

  // The menu bar: one flat button per top-level menu, dropping it down.
  f->ToolBar3 = Make<TToolBar>(f, f->ControlBar1, "ToolBar3");
  f->ToolBar3->Flat = true;
  f->ToolBar3->ShowCaptions = true;
  f->ToolBar3->ButtonWidth = 64;
  TMenuItem* root = f->MainMenu1->GetItems();
  f->ToolBar3->SetBounds(0, 0, 64 * root->Count(), 22);
  for (int i = 0; i < root->Count(); ++i) {
    auto* button = Make<TToolButton>(f, f->ToolBar3, "");
    button->SetMenuItem(root->Items(i));
  }
  f->ToolBar3->ArrangeButtons();
  f->ControlBar1->ArrangeBands();

  f->ToolBar1 = Make<TToolBar>(f, f, "ToolBar1");
  f->ToolBar1->SetBounds(0, 26, f->GetClientWidth(), 49);
  f->ToolBar1->SetAlign(alTop);
  f->ToolBar1->Flat = true;
  f->ToolBar1->ShowCaptions = true;

  f->ToolBar2 = Make<TToolBar>(f, f, "ToolBar2");
  f->ToolBar2->SetBounds(0, 75, f->GetClientWidth(), 26);
  f->ToolBar2->SetAlign(alTop);
  f->ToolBar2->SetVisible(false);
  f->FontBox = Make<TComboBox>(f, f->ToolBar2, "FontBox");
  f->FontBox->SetBounds(0, 0, 145, 22);
  f->FontSize = Make<TComboBox>(f, f->ToolBar2, "FontSize");
  f->FontSize->SetBounds(147, 0, 60, 22);
  f->TBEdit = Make<TToolButton>(f, f->ToolBar2, "TBEdit");
  f->TBEdit->SetBounds(209, 0, 23, 22);
}

void BuildPanels(TMainForm* f) {
  f->StatusBar1 = Make<TStatusBar>(f, f, "StatusBar1");
  f->StatusBar1->SetBounds(0, f->GetClientHeight() - 19, f->GetClientWidth(), 19);
  f->StatusBar1->SetAlign(alBottom);
  const int widths[] = {250, 150, 372};
  for (int width : widths) f->StatusBar1->GetPanels()->Add()->SetWidth(width);
  f->StatusBar1->GetPanels()->Items(1)->Alignment = taCenter;

  f->Panel1 = Make<TPanel>(f, f, "Panel1");
  f->Panel1->SetBounds(0, 0, 157, 400);
  f->Panel1->SetAlign(alLeft);
  f->Panel1->SetColor(kSkyBlue);

  f->PanTools = Make<TPanel>(f, f, "PanTools");
  f->PanTools->SetBounds(f->GetClientWidth() - 108, 0, 108, 400);
  f->PanTools->SetAlign(alRight);
  f->DBGrid1 = Make<TDBGrid>(f, f->PanTools, "DBGrid1");
  f->DBGrid1->SetAlign(alClient);
  const char* fields[] = {"AAAA", "BBBB", "CCCC", "DDDD", "EEEE", "FFFF", "GGGG",
                          "HHHH", "IIII", "JJJJ", "KKKK", "LLLL", "MMMM"};
  for (const char* field : fields) f->DBGrid1->Columns()->Add()->SetFieldName(field);
}

// The rulers along the card panel: three pixels a unit, a tick every unit,
// a label every ten.
TRulerBox* MakeCardRuler(TMainForm* f, const char* name, TRulerDir dir) {
  auto* ruler = Make<TRulerBox>(f, f->ScrollBox1, name);
  TFont* font = ruler->GetFont();
  font->Name = "MS Sans Serif";
  font->Height = -11;
  font->Color = clPurple;
  font->Pitch = fpFixed;
  ruler->SetRulerDir(dir);
  ruler->SetBackground(clInactiveCaptionText);
  ruler->SetRulerColor(clInactiveCaptionText);
  ruler->SetGripBaseDim(0);
  ruler->SetDPU(3);
  ruler->SetFrequency(1);
  ruler->SetLabelFreq(10);
  return ruler;
}

void BuildSurface(TMainForm* f) {
  // The centre between the edge panels: it follows the window's size, so
  // it never covers the data panel or the status bar.
  f->ScrollBox1 = Make<TScrollBox>(f, f, "ScrollBox1");
  f->ScrollBox1->SetBounds(f->Panel1->GetWidth(), 101, 600, 400);
  f->ScrollBox1->SetAlign(alClient);
  f->ScrollBox1->SetColor(kMoneyGreen);

  f->Panel2 = Make<TPanel>(f, f->ScrollBox1, "Panel2");
  f->Panel2->SetBounds(24, 26, 337, 223);
  f->Panel2->SetColor(kMoneyGreen);
  f->Panel2->BevelOuter = bvNone;

  f->Drawor = Make<TImage>(f, f->Panel2, "Drawor");
  f->Drawor->SetBounds(5, 5, 327, 213);
  f->Drawor->SetCursor(crCross);
  f->PicOne = Make<TImage>(f, f->Panel2, "PicOne");
  f->PicOne->SetBounds(230, 40, 80, 100);
  f->PicTwo = Make<TImage>(f, f->Panel2, "PicTwo");
  f->PicTwo->SetBounds(230, 150, 80, 60);
  f->SignPic = Make<TImage>(f, f->Panel2, "SignPic");
  f->SignPic->SetBounds(10, 10, 40, 40);
  f->BarcodeSet = Make<TImage>(f, f->Panel2, "BarcodeSet");
  f->BarcodeSet->SetBounds(10, 180, 120, 30);
  f->ImageZhang = Make<TImage>(f, f->Panel2, "ImageZhang");
  f->ImageZhang->SetBounds(150, 120, 70, 70);
  f->ImageZhang->SetVisible(false);
  f->Shape1 = Make<TShape>(f, f->Panel2, "Shape1");
  f->Shape1->SetVisible(false);
  f->Edit = Make<TRichEdit>(f, f->Panel2, "Edit");
  f->Edit->SetVisible(false);
  f->ImageTemp = Make<TImage>(f, f->ScrollBox1, "ImageTemp");
  f->ImageTemp->SetAutoSize(true);
  f->ImageTemp->SetVisible(false);
  f->Pix1 = Make<TPix>(f, f->ScrollBox1, "Pix1");
  f->Pix1->SetVisible(false);
  f->RulerBox1 = MakeCardRuler(f, "RulerBox1", rdHorizontal);
  f->RulerBox1->SetBounds(24, 0, 20000, 25);
  f->RulerBox2 = MakeCardRuler(f, "RulerBox2", rdVertical);
  f->RulerBox2->SetBounds(0, 24, 25, 20000);
}

void BuildReport(TMainForm* f) {
  f->QuickRep1 = Make<TQuickRep>(f, f, "QuickRep1");
  f->QuickRep1->SetBounds(0, 0, 794, 1123);
  f->DetailBand1 = Make<TQRBand>(f, f->QuickRep1, "DetailBand1");
  f->DetailBand1->BandType = rbDetail;
  f->DetailBand1->SetBounds(0, 0, 794, 223);
  f->PageFooterBand1 = Make<TQRBand>(f, f->QuickRep1, "PageFooterBand1");
  f->PageFooterBand1->BandType = rbPageFooter;
  f->PageFooterBand1->SetBounds(0, 223, 794, 24);
  f->QRSysData1 = Make<TQRSysData>(f, f->PageFooterBand1, "QRSysData1");
  f->QRSysData1->SetBounds(360, 4, 80, 16);

  f->QRSignPic = Make<TQRPix>(f, f->DetailBand1, "QRSignPic");
  f->QRSignPic->SetBounds(10, 10, 40, 40);
  f->QRDBPicOne = Make<TQRDBPix>(f, f->DetailBand1, "QRDBPicOne");
  f->QRDBPicOne->SetBounds(230, 40, 80, 100);
  f->QRDBPicOne->SetDataField("PIC");
  f->QRDBPicTwo = Make<TQRDBPix>(f, f->DetailBand1, "QRDBPicTwo");
  f->QRDBPicTwo->SetBounds(230, 150, 80, 60);
  f->QRDBPicTwo->SetDataField("BACKGROUND");
  f->QRDBBarCode = Make<TQRDBPix>(f, f->DetailBand1, "QRDBBarCode");
  f->QRDBBarCode->SetBounds(10, 180, 120, 30);
  f->QRDBBarCode->SetDataField("BARCODE");
  f->QRImageZhang = Make<TQRImage>(f, f->DetailBand1, "QRImageZhang");
  f->QRImageZhang->SetBounds(150, 120, 70, 70);
  f->QRImageZhang->Stretch = true;
  f->Label3 = Make<TQRLabel>(f, f->DetailBand1, "Label3");
  f->Label3->SetBounds(0, 0, 8, 13);

  f->OpenDialog1 = new TOpenDialog(f);
  f->OpenDialog1->Name = "OpenDialog1";
  f->OpenDialog1->Filter = "CardwrightFile(*.pmt)|*.pmt";
}


// The design surface's show commands, position boxes and the parts of its
// items the skeleton above leaves out.
void BuildDesignItems(TMainForm* f) {
  f->ImageIns = Make<TImage>(f, f->Panel2, "ImageIns");
  f->ImageIns->SetTransparent(true);
  f->ImageIns->SetVisible(false);
  // Back to front: the layout picture, the inserted picture, the frame.
  f->Shape1->SendToBack();
  f->ImageIns->SendToBack();
  f->Drawor->SendToBack();
  f->Shape1->GetBrush()->Style = bsClear;
  f->Shape1->GetPen()->Color = clRed;
  f->Shape1->GetPen()->Style = psDot;
  f->Shape1->SetEnabled(false);
  for (TImage* item : {f->PicOne, f->PicTwo, f->SignPic, f->BarcodeSet, f->ImageZhang}) item->SetStretch(true);
  f->ImageZhang->SetAutoSize(true);
  f->ImageZhang->SetCenter(true);

  f->QRDrawor = Make<TQRPix>(f, f->DetailBand1, "QRDrawor");
  f->QRDrawor->SetBounds(0, 0, 337, 223);
  f->QRDrawor->SendToBack();

  // The two text lists above the position boxes, each under its edit box.
  f->Edit2 = Make<TEdit>(f, f->Panel1, "Edit2");
  f->Edit2->SetBounds(8, 8, 141, 21);
  f->CheckListBox1 = Make<TCheckListBox>(f, f->Panel1, "CheckListBox1");
  f->CheckListBox1->SetBounds(8, 31, 141, 136);
  f->Edit1 = Make<TEdit>(f, f->Panel1, "Edit1");
  f->Edit1->SetBounds(8, 172, 141, 21);
  f->CheckListBox2 = Make<TCheckListBox>(f, f->Panel1, "CheckListBox2");
  f->CheckListBox2->SetBounds(8, 195, 141, 136);
  const char* captions13[] = {"姓名", "单位", "地址", "电话", "职务", "办公室", "编号",
                              "部门", "Oicq", "Icq", "手机", "Email", "备注"};
  for (const char* caption : captions13) {
    f->CheckListBox1->GetItems()->Add(caption);
    f->CheckListBox2->GetItems()->Add(caption);
  }
  f->FontDialog1 = new TFontDialog(f);
  f->FontDialog1->Name = "FontDialog1";

  TEdit** boxes[] = {&f->EditLeft, &f->EditTop, &f->EditW, &f->EditH};
  const char* boxNames[] = {"EditLeft", "EditTop", "EditW", "EditH"};
  const char* boxLabels[] = {"X", "Y", "W", "H"};
  for (int i = 0; i < 4; ++i) {
    auto* label = Make<TLabel>(f, f->Panel1, "");
    label->SetCaption(boxLabels[i]);
    label->SetTransparent(true);
    label->SetBounds(8 + 36 * i, 344, 34, 14);
    *boxes[i] = Make<TEdit>(f, f->Panel1, boxNames[i]);
    (*boxes[i])->SetBounds(8 + 36 * i, 360, 34, 21);
  }

  auto* showMenu = static_cast<TMenuItem*>(f->FindComponent("NShowMenu"));
  f->NShowText = MenuItem(f, showMenu, "NShowText", "显示文字(&Text)");
  f->NFont1 = MenuItem(f, showMenu, "NFont1", "字体(&Font)...");
  f->NShowPhoto = MenuItem(f, showMenu, "NShowPhoto", "显示图一(&ShowPhoto)");
  f->NShowBG = MenuItem(f, showMenu, "NShowBG", "显示图二(&EachBG)");
  f->NShowPanelPic = MenuItem(f, showMenu, "NShowPanelPic", "不显示底图(&BG)");
  f->NShowSignPic = MenuItem(f, showMenu, "NShowSignPic", "显示标志图(Sig&n)");
  f->NBarcodeS = MenuItem(f, showMenu, "NBarcodeS", "显示条码(Ba&rcodeS)");
  f->NZhang = MenuItem(f, showMenu, "NZhang", "显示印章(&Zhang)");

  TToolButton** buttons[] = {&f->BText, &f->BPhoto, &f->BBackPic, &f->BWorkShopPic,
                             &f->TBSignPic, &f->TBBarcode, &f->TBZhang};
  const char* buttonNames[] = {"BText", "BPhoto", "BBackPic", "BWorkShopPic", "TBSignPic", "TBBarcode", "TBZhang"};
  const char* captions[] = {"文字", "图一", "图二", "底图", "标志", "条码", "印章"};
  for (int i = 0; i < 7; ++i) {
    *buttons[i] = Make<TToolButton>(f, f->ToolBar1, buttonNames[i]);
    (*buttons[i])->SetCaption(captions[i]);
    (*buttons[i])->Style = tbsCheck;
  }
  f->BFont = Make<TToolButton>(f, f->ToolBar1, "BFont");
  f->BFont->SetCaption("字体");
  f->BFont->Hint = "字体";
  f->BHelp = Make<TToolButton>(f, f->ToolBar1, "BHelp");
  f->BHelp->SetCaption("帮助");
  f->BHelp->Hint = "帮助";
  f->ToolBar1->ArrangeButtons();
}

TMenuItem* InsertItem(TMainForm* form, TMenuItem* parent, TMenuItem* before, const char* name, const char* caption) {
  auto* item = new TMenuItem(form);
  item->Name = name;
  item->SetCaption(caption);
  parent->Insert(parent->IndexOf(before), item);
  return item;
}

TToolButton* Button(TMainForm* f, const char* name, const char* caption, const char* hint) {
  auto* button = Make<TToolButton>(f, f->ToolBar1, name);
  button->SetCaption(caption);
  button->Hint = hint;
  return button;
}

// An edge panel: a narrow strip whose arrow shows or hides its neighbour.
TPanel* EdgePanel(TMainForm* f, TWinControl* parent, const char* name, TAlign align, int size, const char* caption,
                  const char* hint) {
  auto* panel = Make<TPanel>(f, parent, name);
  panel->SetBounds(0, 0, size, size);
  panel->SetAlign(align);
  panel->SetCaption(caption);
  panel->Hint = hint;
  panel->ShowHint = true;
  panel->SetColor(kSkyBlue);
  return panel;
}

// The command layer's menu entries, tool buttons, pop-up menu and edge
// panels. Entries whose work other parts of the window do are made here
// disabled until those parts hook them.
void BuildCommands(TMainForm* f) {
  TMenuItem* file = f->NFile;
  f->NMoveDB = InsertItem(f, file, f->NSave, "NMoveDB", "集中保存(Al&lSave)");
  f->ExportPic = InsertItem(f, file, f->NPicEdit, "ExportPic", "逐张生成卡图(E&xportPic)");
  f->SavePagePic = InsertItem(f, file, f->NPicEdit, "SavePagePic", "按页保存为图(Page&ToPic)");
  TMenuItem* fileLine = file->Items(file->IndexOf(f->NExit) - 1);
  f->NSetPaper = InsertItem(f, file, fileLine, "NSetPaper", "页面设置(S&etPaper)");
  f->NPrint = InsertItem(f, file, fileLine, "NPrint", "打印(&Print)");
  f->FilePrintSetup = InsertItem(f, file, fileLine, "FilePrintSetup", "打印机设置");

  auto* edit = static_cast<TMenuItem*>(f->FindComponent("NEditMenu"));
  f->NCancel = MenuItem(f, edit, "NCancel", "撤消");
  f->NRedo = MenuItem(f, edit, "NRedo", "重写");
  MenuItem(f, edit, "NEditLine1", cLineCaption);
  f->NCopy1 = MenuItem(f, edit, "NCopy1", "复制(&Copy)");
  f->NCut1 = MenuItem(f, edit, "NCut1", "剪切(&Cut)");
  f->NPaste1 = MenuItem(f, edit, "NPaste1", "粘贴(&Paste)");
  f->NDelete1 = MenuItem(f, edit, "NDelete1", "删除(&Del)");
  f->NSelectAll1 = MenuItem(f, edit, "NSelectAll1", "全选(&SelectAll)");
  MenuItem(f, edit, "NEditLine2", cLineCaption);
  // The font command belongs to the edit menu.
  f->NFont1->GetParent()->Remove(f->NFont1);
  edit->Add(f->NFont1);
  f->NFont1->SetCaption("字体(&Font)");
  f->NWordWrap = MenuItem(f, edit, "NWordWrap", "自动换行(&WordWrap)");
  f->NWordWrap->SetVisible(false);
  f->NWordWrap->SetEnabled(false);

  TMenuItem* data = f->NOpenDB->GetParent();
  f->NCreateDB = InsertItem(f, data, f->NOpenDB, "NCreateDB", "批量建立数据库(&CreatDB)");
  f->NModifyDB = InsertItem(f, data, f->NOpenDB, "NModifyDB", "整理数据库(&ModifyDB)");
  f->NCBarCode = MenuItem(f, data, "NCBarCode", "生成条形码");

  auto* layout = static_cast<TMenuItem*>(f->FindComponent("NLayoutMenu"));
  TMenuItem** layoutItems[] = {&f->FileNew,   &f->FileOpen,  &f->FileSave,   &f->FileSaveAs, &f->EditCut,
                               &f->EditCopy,  &f->EditPaste, &f->EditClear,  &f->FilePrint,  &f->NInsertPic,
                               &f->NInPrint};
  const char* layoutNames[] = {"FileNew",  "FileOpen",  "FileSave",  "FileSaveAs", "EditCut",   "EditCopy",
                               "EditPaste", "EditClear", "FilePrint", "NInsertPic", "NInPrint"};
  const char* layoutCaptions[] = {"新建", "打开", "保存", "另存为", "剪切", "复制",
                                  "粘贴", "清空", "打印", "插入图像", "插入公章"};
  for (size_t i = 0; i < std::size(layoutNames); ++i) {
    if (i == 4 || i == 8) MenuItem(f, layout, i == 4 ? "NLayoutLine1" : "NLayoutLine2", cLineCaption);
    *layoutItems[i] = MenuItem(f, layout, layoutNames[i], layoutCaptions[i]);
    (*layoutItems[i])->SetEnabled(false);
  }

  auto* show = static_cast<TMenuItem*>(f->FindComponent("NShowMenu"));
  MenuItem(f, show, "NShowLine", cLineCaption);
  f->NPreview = MenuItem(f, show, "NPreview", "打印预览(&PrintPreview)");

  auto* options = static_cast<TMenuItem*>(f->FindComponent("NOptionMenu"));
  f->NSetWH = MenuItem(f, options, "NSetWH", "版面设置(&SetWorks)");
  f->NChangeAB = MenuItem(f, options, "NChangeAB", "更换标志图(&ABG)");
  f->NChangeAB->SetEnabled(false);
  f->NChangeZhang = MenuItem(f, options, "NChangeZhang", "更换印章(&CZhang)");
  f->NChangeZhang->SetEnabled(false);
  MenuItem(f, options, "NOptionLine", cLineCaption);
  f->NShowBar1 = MenuItem(f, options, "NShowBar1", "隐藏常用工具栏");
  f->NShowTools = MenuItem(f, options, "NShowTools", "隐藏数据格");
  f->NShowSelectT = MenuItem(f, options, "NShowSelectT", "收起选择框");
  f->NShowData = MenuItem(f, options, "NShowData", "隐藏画板");
  f->NShowData->SetChecked(true);

  f->PopupMenuTS = new TPopupMenu(f);
  f->PopupMenuTS->Name = "PopupMenuTS";
  TMenuItem* popup = f->PopupMenuTS->GetItems();
  f->NTool = MenuItem(f, popup, "NTool", "常用工具栏");
  f->NDataP = MenuItem(f, popup, "NDataP", "数据面板");
  f->NSelectP = MenuItem(f, popup, "NSelectP", "选择框");
  f->NDrawP = MenuItem(f, popup, "NDrawP", "画板");
  for (TMenuItem* item : {f->NTool, f->NDataP, f->NSelectP, f->NDrawP}) item->SetChecked(true);
  f->ToolBar1->SetPopupMenu(f->PopupMenuTS);
  f->ToolBar3->SetPopupMenu(f->PopupMenuTS);

  auto* bOpen = Button(f, "BOpen", "打开", "打开");
  auto* bSave = Button(f, "BSave", "保存", "保存");
  bOpen->OnClick = [f](TObject*) { f->NOpen->Click(); };
  bSave->OnClick = [f](TObject*) { f->NSave->Click(); };
  f->BPrev = Button(f, "BPrev", "预览", "打印预览");
  f->BDataCreat = Button(f, "BDataCreat", "批量", "批量读入数据");
  f->BDataEdit = Button(f, "BDataEdit", "数据", "修改数据库");
  f->TBCatchPic = Button(f, "TBCatchPic", "摄像", "");
  f->TBScan = Button(f, "TBScan", "扫描", "");
  f->BPicOut = Button(f, "BPicOut", "出卡", "批量生成效果图");
  f->BSet = Button(f, "BSet", "设置", "设置");
  auto* line = Make<TToolButton>(f, f->ToolBar1, "ToolButtonLine");
  line->Style = tbsSeparator;
  // Left to right as the tool bar shows them: re-parenting puts each last.
  TToolButton* order[] = {bOpen,      bSave,     f->BPrev,  f->BDataCreat, f->BDataEdit,     f->TBCatchPic,
                          f->TBScan,  f->BPicOut, f->BSet,  f->BFont,      line,             f->BText,
                          f->BPhoto,  f->BBackPic, f->TBSignPic, f->TBBarcode, f->TBZhang, f->BWorkShopPic,
                          f->BHelp};
  for (TToolButton* button : order) {
    button->SetParent(nullptr);
    button->SetParent(f->ToolBar1);
  }
  f->ToolBar1->ShowHint = true;
  f->ToolBar1->ArrangeButtons();
  f->TBShow = Make<TToolButton>(f, f->ToolBar2, "TBShow");
  f->TBShow->SetCaption("工具栏");
  f->TBShow->Hint = "隐藏常用工具栏";
  f->ToolBar2->ArrangeButtons();

  f->Panel7 = EdgePanel(f, f, "Panel7", alLeft, 12, "≮", "");
  f->Panel6 = EdgePanel(f, f, "Panel6", alRight, 12, "≯", "隐藏数据格");
  // The centre between the edge panels: the surface above the drawing
  // panel (the drawing tools' place) and its edge panel.
  auto* centre = Make<TPanel>(f, f, "PanCentre");
  centre->BevelOuter = bvNone;
  centre->SetAlign(alClient);
  f->ScrollBox1->SetParent(centre);
  f->Panel9 = Make<TPanel>(f, centre, "Panel9");
  f->Panel9->SetBounds(0, 0, centre->GetClientWidth(), 106);
  f->Panel9->SetAlign(alBottom);
  f->Panel9->SetColor(kSkyBlue);
  f->Panel10 = EdgePanel(f, centre, "Panel10", alBottom, 15, "∨", "隐藏画板");
  f->PrinterSetupDialog1 = new TPrinterSetupDialog(f);
  f->PrinterSetupDialog1->Name = "PrinterSetupDialog1";
}

// The seal and inserted-picture commands: their menu entries, the picture
// open dialog and the drawing panel's buttons that run them.
void BuildSealAndInsert(TMainForm* f) {
  f->OpenPictureDialog1 = new TOpenDialog(f);
  f->OpenPictureDialog1->Name = "OpenPictureDialog1";
  f->OpenPictureDialog1->Filter =
      "All (*.jpg;*.jpeg;*.bmp;*.ico;*.wmf;*.emf)|*.jpg;*.jpeg;*.bmp;*.ico;*.wmf;*.emf|JPEG Image File "
      "(*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|ICO  Image File (*.ico)|*.ico|WMF Image "
      "File (*.wmf)|*.wmf|EMF Image File (*.emf)|*.emf";
  // The command layer made the entries and the drawing panel; these
  // commands are built, so their entries work.
  for (TMenuItem* item : {f->NInsertPic, f->NInPrint, f->NChangeZhang}) item->SetEnabled(true);
  struct Button {
    TSpeedButton** button;
    const char *name, *caption, *hint;
    int width;
    bool grouped;  // with the drawing tools, staying down
  } buttons[] = {{&f->SBInsPic, "SBInsPic", "插入图像", "插入图像", 64, true},
                 {&f->SBPrintP, "SBPrintP", "插入公章", "插入公章", 64, true},
                 {&f->SpeedButton2, "SpeedButton2", "更换章图...", "", 80, false}};
  int left = 4;
  for (const Button& b : buttons) {
    *b.button = Make<TSpeedButton>(f, f->Panel9, b.name);
    (*b.button)->SetCaption(b.caption);
    (*b.button)->Hint = b.hint;
    (*b.button)->GroupIndex = b.grouped ? 1 : 0;
    (*b.button)->SetBounds(left, 3, b.width, 24);
    left += b.width + 4;
  }
}
}  // namespace

void BuildMainWindowResource(TMainForm* f) {
  f->Name = "MainForm";
  f->SetBounds(0, 0, 1024, 720);
  f->Position = poScreenCenter;
  f->SetColor(kSkyBlue);
  f->GetFont()->Name = "宋体";
  f->GetFont()->Charset = GB2312_CHARSET;
  BuildMenus(f);
  BuildToolBars(f);
  BuildPanels(f);
  BuildSurface(f);
  BuildReport(f);
  BuildDesignItems(f);
  BuildCommands(f);
  BuildSealAndInsert(f);
  BuildLayoutTools(f);
  BuildTemplateLibrary(f);
}
