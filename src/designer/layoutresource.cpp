// The drawing panel under the card: ten tools and the select button, the
// pen and fill colours, the line width, the pen and fill styles; the text
// tool bar's buttons; the text box's pop-up; the editor's dialogs.
#include "designer/layouttools.h"
#include "designer/main.h"

namespace {

// A control of the window, named, on its parent at its place.
template <class T>
T* Place(TMainForm* form, TWinControl* parent, const char* name, int left, int top, int width, int height) {
  T* control = new T(form);
  control->Name = name;
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// The buttons that share the tools' exclusive group (with the insert
// buttons and the fill styles); the pen styles have a group of their own.
constexpr int kToolGroup = 1;
constexpr int kPenGroup = 2;

TSpeedButton* GroupButton(TMainForm* f, const char* name, int group, int left, int top, int width) {
  auto* button = Place<TSpeedButton>(f, f->Panel9, name, left, top, width, 24);
  button->GroupIndex = group;
  return button;
}

// A 16 x 16 glyph on `background`, painted by `paint`.
template <class Paint>
void Glyph(TSpeedButton* button, TColor background, Paint paint) {
  TBitmap glyph;
  glyph.SetSize(16, 16);
  TCanvas* c = glyph.GetCanvas();
  c->Brush->Color = background;
  c->FillRect(Rect(0, 0, 16, 16));
  c->Pen->Color = clBlack;
  paint(c);
  button->SetGlyph(&glyph);
}

// A line of the pen style (a grey frame for no pen).
void PenGlyph(TSpeedButton* button, TPenStyle style) {
  Glyph(button, clSilver, [style](TCanvas* c) {
    c->Pen->Style = style;
    c->MoveTo(0, 8);
    c->LineTo(16, 8);
    if (style != psClear) return;
    c->Pen->Style = psSolid;
    c->Pen->Color = clGray;
    c->Rectangle(2, 2, 14, 14);
  });
}

// A square of the fill style.
void BrushGlyph(TSpeedButton* button, TBrushStyle style) {
  Glyph(button, clWhite, [style](TCanvas* c) {
    c->Brush->Color = clBlack;
    c->Brush->Style = style;
    c->Rectangle(1, 1, 15, 15);
  });
}

void BuildDrawingPanel(TMainForm* f) {
  // First row (beside the insert buttons): colours and the line width.
  auto colourPanel = [f](const char* name, const char* hint, TColor colour, int left) {
    auto* panel = Place<TPanel>(f, f->Panel9, name, left, 3, 24, 24);
    panel->SetColor(colour);
    panel->BevelOuter = bvLowered;
    panel->Hint = hint;
    panel->ShowHint = true;
    return panel;
  };
  f->PenColor = colourPanel("PenColor", "画笔颜色|单击更改画笔的颜色", clBlack, 232);
  f->BrushColor = colourPanel("BrushColor", "填充颜色|单击更改填充图案的颜色", clWhite, 260);
  f->PenWidth = Place<TEdit>(f, f->Panel9, "PenWidth", 292, 4, 36, 21);
  f->PenWidth->SetText("0");
  f->PenWidth->Hint = "线宽/字号|用上下箭头调整数字，当选择文字工具时更改字号，否则更改当前要画的线宽";
  f->PenWidth->ShowHint = true;
  f->UpDown1 = Place<TUpDown>(f, f->Panel9, "UpDown1", 328, 4, 16, 21);
  f->UpDown1->SetMin(0);
  f->UpDown1->SetMax(100);
  f->UpDown1->SetAssociate(f->PenWidth);
  f->FontRotate = Place<TEdit>(f, f->Panel9, "FontRotate", 352, 4, 36, 21);
  f->FontRotate->SetText("0");
  f->UpDown2 = Place<TUpDown>(f, f->Panel9, "UpDown2", 388, 4, 16, 21);
  f->UpDown2->SetMin(0);
  f->UpDown2->SetMax(360);
  f->UpDown2->Hint = "设文字任意角度";
  f->BChangeBG = Place<TSpeedButton>(f, f->Panel9, "BChangeBG", 412, 3, 72, 24);
  f->BChangeBG->SetCaption("换底图...");
  f->BChangeAB = Place<TSpeedButton>(f, f->Panel9, "BChangeAB", 488, 3, 80, 24);
  f->BChangeAB->SetCaption("换标志图...");
  // The rotation takes no part in drawing: always hidden and disabled.
  for (TControl* c : {static_cast<TControl*>(f->FontRotate), static_cast<TControl*>(f->UpDown2)}) {
    c->SetVisible(false);
    c->SetEnabled(false);
  }

  // Second row: the tools by their Tag, then the select button.
  struct Tool {
    TSpeedButton** button;
    const char *name, *caption, *hint;
  } tools[] = {{&f->LineButton, "LineButton", "直线", "直线|画直线"},
               {&f->PlineButton, "PlineButton", "折线", "折线|画连续直线"},
               {&f->EllipseButton, "EllipseButton", "椭圆", "椭圆|画椭圆"},
               {&f->RectangleButton, "RectangleButton", "矩形", "矩形|画矩形"},
               {&f->RoundRctButton, "RoundRctButton", "圆角", "圆角矩形|画圆角矩形"},
               {&f->TextButton, "TextButton", "文字", "文字|在图象文件中输入文字"},
               {&f->PenButton, "PenButton", "铅笔", "铅笔|可以象使用铅笔一样随手画"},
               {&f->PicRangButton, "PicRangButton", "范围", ""},
               {&f->BezierButton, "BezierButton", "曲线", "曲线|拖三次画一条贝塞尔曲线：先拉出两端，再拉两个控制点"},
               {&f->RubberButton, "RubberButton", "橡皮", "橡皮|用填充颜色擦除图象"}};
  int left = 4;
  for (int tag = 0; tag < 10; ++tag) {
    TSpeedButton* b = GroupButton(f, tools[tag].name, kToolGroup, left, 30, 40);
    b->SetCaption(tools[tag].caption);
    b->Hint = tools[tag].hint;
    b->ShowHint = true;
    b->Tag = tag;
    *tools[tag].button = b;
    left += 42;
  }
  f->SelectButton = GroupButton(f, "SelectButton", kToolGroup, left, 30, 40);
  f->SelectButton->SetCaption("选择");
  f->SelectButton->Hint = "选择|拉出一个虚框选择图形区域";
  f->SelectButton->ShowHint = true;

  // Third row: the pen styles (solid down at start), then the fill styles.
  struct Style {
    TSpeedButton** button;
    const char* name;
    int style;
  } pens[] = {{&f->SolidPen, "SolidPen", psSolid},       {&f->DashPen, "DashPen", psDash},
              {&f->DotPen, "DotPen", psDot},             {&f->DashDotPen, "DashDotPen", psDashDot},
              {&f->DashDotDotPen, "DashDotDotPen", psDashDotDot}, {&f->ClearPen, "ClearPen", psClear}},
    brushes[] = {{&f->SolidBrush, "SolidBrush", bsSolid},
                 {&f->ClearBrush, "ClearBrush", bsClear},
                 {&f->HorizontalBrush, "HorizontalBrush", bsHorizontal},
                 {&f->VerticalBrush, "VerticalBrush", bsVertical},
                 {&f->FDiagonalBrush, "FDiagonalBrush", bsFDiagonal},
                 {&f->BDiagonalBrush, "BDiagonalBrush", bsBDiagonal},
                 {&f->CrossBrush, "CrossBrush", bsCross},
                 {&f->DiagCrossBrush, "DiagCrossBrush", bsDiagCross}};
  left = 4;
  for (const Style& s : pens) {
    *s.button = GroupButton(f, s.name, kPenGroup, left, 57, 26);
    (*s.button)->Tag = s.style;
    PenGlyph(*s.button, TPenStyle(s.style));
    left += 28;
  }
  f->SolidPen->SetDown(true);
  left += 8;
  for (const Style& s : brushes) {
    *s.button = GroupButton(f, s.name, kToolGroup, left, 57, 26);
    (*s.button)->Tag = s.style;
    BrushGlyph(*s.button, TBrushStyle(s.style));
    left += 28;
  }

  f->ColorDialog = new TColorDialog(f);
  f->ColorDialog->Name = "ColorDialog";
  f->ColorDialog1 = new TColorDialog(f);
  f->ColorDialog1->Name = "ColorDialog1";
  f->SaveDialog1 = new TSaveDialog(f);
  f->SaveDialog1->Name = "SaveDialog1";
  f->SaveDialog1->Filter =
      "JPEG Image File (*.jpg)|*.jpg|JPEG Image File (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp|WMF Image File "
      "(*.wmf)|*.wmf";
  f->SaveDialog1->DefaultExt = "jpg";
}

// The text tool bar: undo, clipboard, the four style toggles, the colour
// and the alignments, after the font face and size.
void BuildTextToolBar(TMainForm* f) {
  struct Entry {
    TToolButton** button;
    const char *name, *caption, *hint;
    bool check;
  } entries[] = {{&f->TBUndo, "TBUndo", "撤消", "撤消", false},
                 {&f->TBClearUndo, "TBClearUndo", "重写", "重写", false},
                 {&f->TBCut, "TBCut", "剪切", "剪切", false},
                 {&f->TBCopy, "TBCopy", "复制", "复制", false},
                 {&f->TBPaste, "TBPaste", "粘贴", "粘贴", false},
                 {&f->SBBold, "SBBold", "粗", "粗体", true},
                 {&f->SBItalic, "SBItalic", "斜", "斜体", true},
                 {&f->SBUnderline, "SBUnderline", "下", "下划线", true},
                 {&f->SBStrikeOut, "SBStrikeOut", "删", "删除线", true},
                 {&f->SBTColor, "SBTColor", "颜色", "字体颜色", false},
                 {&f->SBAlignL, "SBAlignL", "左", "左对齐", false},
                 {&f->SBAlignM, "SBAlignM", "中", "居中", false},
                 {&f->SBAlignR, "SBAlignR", "右", "右对齐", false}};
  for (const Entry& e : entries) {
    *e.button = Place<TToolButton>(f, f->ToolBar2, e.name, 0, 0, 23, 22);
    (*e.button)->SetCaption(e.caption);
    (*e.button)->Hint = e.hint;
    if (e.check) (*e.button)->Style = tbsCheck;
  }
  f->ToolBar2->ShowCaptions = true;
  f->ToolBar2->ShowHint = true;
  f->ToolBar2->ArrangeButtons();
}

void BuildTextBoxMenu(TMainForm* f) {
  f->PopupMenu1 = new TPopupMenu(f);
  f->PopupMenu1->Name = "PopupMenu1";
  TMenuItem* root = f->PopupMenu1->GetItems();
  auto item = [f, root](const char* name, const char* caption) {
    auto* entry = new TMenuItem(f);
    entry->Name = name;
    entry->SetCaption(caption);
    root->Add(entry);
    return entry;
  };
  f->NCopy = item("NCopy", "复制");
  f->NCut = item("NCut", "剪切");
  f->NPaste = item("NPaste", "粘贴");
  f->NDelete = item("NDelete", "删除");
  f->NSelectAll = item("NSelectAll", "全选");
  item("NPopupLine", cLineCaption);
  f->NSetTemp = item("NSetTemp", "保存版图");
  f->Edit->SetPopupMenu(f->PopupMenu1);
  f->Edit->GetFont()->Name = "宋体";
  f->Edit->GetFont()->Charset = GB2312_CHARSET;
  f->Edit->GetFont()->Height = -21;
  f->Edit->SetColor(clWhite);
}

}  // namespace

void BuildLayoutTools(TMainForm* f) {
  BuildDrawingPanel(f);
  BuildTextToolBar(f);
  BuildTextBoxMenu(f);
  // The layout picture's file, clipboard and logo entries work now.
  for (TMenuItem* item : {f->FileNew, f->FileOpen, f->FileSave, f->FileSaveAs, f->EditCut, f->EditCopy,
                          f->EditPaste, f->EditClear, f->FilePrint, f->NChangeAB})
    item->SetEnabled(true);
}
