// The design surface's show commands, click placement, the clamps of every
// repaint, the arrow keys and the position boxes, and the wiring of the
// surface's handlers.
#include "designer/main.h"
#include "imaging/view/qrdbpix.h"
#include "imaging/view/qrpix.h"
#include "imaging/view/rulerbox.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"

bool TextPlacementArmed = false, TextPlacementIsData = false;
int TextPlacementIndex = 0;

namespace {

const char* const kPhotoHint =
    "数据库的图片可以拉伸，这是为了方便设计，但打印实效是不充许拉伸图片的，否则图片会失真！";
const char* const kPicTwoHint =
    "数据库图片可以拉伸，这是为了方便设计，但打印实效是不充许拉伸图片的，否则图片会失真！";
const char* const kLayoutHint =
    "在开始一切的设计之前务必要思考并固定底图（即是版面）的大小。在设计的过程中，特别是在想改变底图大小时，"
    "请先保存您的底图，否则系统视为你要重新设计，会初始化地还原底图，从而删除你的设计成果。在菜单[底图]"
    "中有专门针对底图的功能。你可以用其他专门的平面设计软件（如：PhotoShop等软件）设计好底图后再导入，也可"
    "用扫描仪扫描各种支票、收据、信封、贺卡的样式图作为底图进行套色打印设计。";
const char* const kNothingSelected = "你还没选择要移动的对象！";

// One picture item with everything its show toggle and placement touch.
struct PictureItem {
  TImage* item;
  TControl* twin;
  TMenuItem* menu;
  TToolButton* button;
  bool* shown;
  bool* hintDone;  // none: the toggle has no one-time hint
  const char* hint;
  const char *hideCaption, *hideHint, *showCaption, *showHint;
  bool disableWhenHidden;
  bool twinFollowsPlacement;  // the twin takes the placement point too
};

// The picture items by TPicItemKind (4, the inserted picture, has no toggle).
PictureItem PictureOfKind(TMainForm* f, int kind) {
  switch (kind) {
    case 0:
      return {f->PicOne, f->QRDBPicOne, f->NShowPhoto, f->BPhoto, &PhotoShown, &PhotoHintDone, kPhotoHint,
              "显示图一(&ShowPhoto)", "显示图一", "不显示图一(&ShowPhotoNo)", "不显示图一", false, false};
    case 1:
      return {f->PicTwo, f->QRDBPicTwo, f->NShowBG, f->BBackPic, &PicTwoShown, &PicTwoHintDone, kPicTwoHint,
              "显示图二(&EachBG)", "显示图二", "不显示图二(&EachBGNo)", "不显示图二", false, false};
    case 2:
      return {f->SignPic, f->QRSignPic, f->NShowSignPic, f->TBSignPic, &LogoShown, nullptr, nullptr,
              "显示标志图(&IP)", "显示标志图", "不显示标志图(&IPNo)", "不显示标志图", true, false};
    case 3:
      return {f->BarcodeSet, f->QRDBBarCode, f->NBarcodeS, f->TBBarcode, &BarcodeShown, nullptr, nullptr,
              "显示条码(&IP)", "显示条码", "不显示条码(&IPNo)", "不显示条码", true, true};
    default:
      return {f->ImageZhang, f->QRImageZhang, f->NZhang, f->TBZhang, &SealShown, nullptr, nullptr,
              "显示印章(&ZSYes)", "显示印章", "不显示印章(&ZSNo)", "不显示印章", true, true};
  }
}

bool HasToggle(int kind) { return kind == 0 || kind == 1 || kind == 2 || kind == 3 || kind == 5; }

void GiveHintOnce(TMainForm* f, bool& done, const char* hint) {
  if (done) return;
  if (f->ShowHints) ShowMessage(hint);
  done = true;
}

// Hides a shown item at once; arms a hidden one, which shows only where the
// next release on the layout picture puts it.
void TogglePicture(TMainForm* f, int kind) {
  PictureItem p = PictureOfKind(f, kind);
  if (p.hintDone) GiveHintOnce(f, *p.hintDone, p.hint);
  if (*p.shown) {
    p.menu->SetCaption(p.hideCaption);
    p.button->Hint = p.hideHint;
    p.button->SetDown(false);
    p.twin->SetEnabled(false);
    p.twin->Hide();
    p.item->Hide();
    if (p.disableWhenHidden) p.item->SetEnabled(false);
    *p.shown = false;
  } else {
    p.menu->SetCaption(p.showCaption);
    p.button->Hint = p.showHint;
    p.button->SetDown(true);
    Screen->SetCursor(crDrag);
    f->PicItem = kind;
  }
  f->Repaint();
}

void SetIfChanged(TControl* c, int left, int top, int width, int height) {
  if (c->GetLeft() != left || c->GetTop() != top || c->GetWidth() != width || c->GetHeight() != height)
    c->SetBounds(left, top, width, height);
}

// A position outside 0..limit goes to the fallback.
int InsideOr(int value, int limit, int fallback) { return (value > limit || value < 0) ? fallback : value; }

}  // namespace

void TMainForm::NShowPhotoClick(TObject*) { TogglePicture(this, 0); }
void TMainForm::NShowBGClick(TObject*) { TogglePicture(this, 1); }
void TMainForm::NShowSignPicClick(TObject*) { TogglePicture(this, 2); }
void TMainForm::NBarcodeSClick(TObject*) { TogglePicture(this, 3); }
void TMainForm::NZhangClick(TObject*) { TogglePicture(this, 5); }
void TMainForm::TBSignPicClick(TObject*) { NShowSignPic->Click(); }
void TMainForm::TBBarcodeClick(TObject*) { NBarcodeS->Click(); }
void TMainForm::TBZhangClick(TObject*) { NZhang->Click(); }

void TMainForm::NShowPanelPicClick(TObject*) {
  GiveHintOnce(this, LayoutHintDone, kLayoutHint);
  if (LayoutShown) {
    NShowPanelPic->SetCaption("显示底图(&BG)");
    BWorkShopPic->Hint = "显示底图";
    BWorkShopPic->SetDown(false);
    QRDrawor->SetEnabled(false);
    QRDrawor->Hide();
    Drawor->Hide();
    LayoutShown = false;
  } else {
    NShowPanelPic->SetCaption("不显示底图(&BGNo)");
    BWorkShopPic->Hint = "不显示底图";
    BWorkShopPic->SetDown(true);
    Drawor->Show();
    QRDrawor->Show();
    QRDrawor->SetEnabled(true);
    LayoutShown = true;
  }
  Repaint();
}

void TMainForm::DraworMouseUp(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (DrawingMode) {
    if (Drawing) FinishDrawing(Button, X, Y);
    StatusBar1->GetPanels()->Items(1)->SetText("X:" + std::to_string(X) + "    Y:" + std::to_string(Y));
    RefreshLayoutPrint();
  } else {
    MoveMode = 0;
    QRDrawor->SetBoundsRect(Drawor->GetBoundsRect());
  }
  PlaceArmedItem(X, Y);
}

void TMainForm::PlaceArmedItem(int X, int Y) {
  if (TextPlacementArmed && TextPlacementIndex >= 0 && TextPlacementIndex < kTextSlots) {
    const size_t k = size_t(TextPlacementIndex);
    TControl* twin = TextPlacementIsData ? static_cast<TControl*>(QRDBTexts[k]) : QRTitleLabels[k];
    TControl* text = TextPlacementIsData ? static_cast<TControl*>(DBTexts[k]) : TitleLabels[k];
    for (TControl* c : {twin, text}) {
      if (!c) continue;
      c->SetBounds(X, Y, c->GetWidth(), c->GetHeight());
      c->Show();
      c->SetEnabled(true);
    }
    TextPlacementArmed = false;
    Screen->SetCursor(crDefault);
  }
  if (InsertArmed) StampInsertedPicture();
  if (HasToggle(PicItem)) {
    PictureItem p = PictureOfKind(this, PicItem);
    if (!*p.shown) {
      p.item->SetBounds(X, Y, p.item->GetWidth(), p.item->GetHeight());
      if (p.twinFollowsPlacement) p.twin->SetBounds(X, Y, p.twin->GetWidth(), p.twin->GetHeight());
      p.twin->Show();
      p.twin->SetEnabled(true);
      p.item->Show();
      p.item->SetEnabled(true);
      Screen->SetCursor(crDefault);
      *p.shown = true;
    }
  } else {
    Shape1->Hide();
    Shape1->SetEnabled(false);
  }
  PicItem = 9;
  ClampDesignItems();
  Repaint();
}

void TMainForm::ClampDesignItems() {
  const int pw = Panel2->GetWidth(), ph = Panel2->GetHeight();
  for (int i = 0; i < kTextSlots; ++i) {
    for (TControl* c : {static_cast<TControl*>(QRDBTexts[size_t(i)]), static_cast<TControl*>(TitleLabels[size_t(i)])}) {
      if (!c) continue;
      const int leftFallback = (c == QRDBTexts[size_t(i)] ? pw / 3 : pw / 5) + 5 * i;
      SetIfChanged(c, InsideOr(c->GetLeft(), pw, leftFallback), InsideOr(c->GetTop(), ph, ph / 5 + 5 * i),
                   c->GetWidth(), c->GetHeight());
    }
  }
  for (TImage* item : {SignPic, PicTwo, PicOne, ImageZhang, BarcodeSet, ImageIns})
    SetIfChanged(item, InsideOr(item->GetLeft(), pw, pw / 2), InsideOr(item->GetTop(), ph, ph / 2), item->GetWidth(),
                 item->GetHeight());
  // Pictures stay big enough to grab, texts big enough to read.
  for (TImage* item : {PicOne, PicTwo, SignPic, BarcodeSet, ImageZhang})
    SetIfChanged(item, item->GetLeft(), item->GetTop(), std::max(item->GetWidth(), 18),
                 std::max(item->GetHeight(), 18));
  for (int i = 0; i < kTextSlots; ++i) {
    for (TControl* c : {static_cast<TControl*>(DBTexts[size_t(i)]), static_cast<TControl*>(TitleLabels[size_t(i)])}) {
      if (!c) continue;
      SetIfChanged(c, std::max(c->GetLeft(), 5), std::max(c->GetTop(), 5), std::max(c->GetWidth(), 20),
                   std::max(c->GetHeight(), 20));
    }
  }
}

// A paint only shows the item states on the tool buttons; the clamps run
// after the events that move items, never while the window paints.
void TMainForm::FormPaint(TObject*) {
  BPhoto->SetDown(PicOne->GetVisible());
  BBackPic->SetDown(PicTwo->GetVisible());
  TBSignPic->SetDown(SignPic->GetVisible());
  TBBarcode->SetDown(BarcodeSet->GetVisible());
  TBZhang->SetDown(ImageZhang->GetVisible());
  BWorkShopPic->SetDown(Drawor->GetVisible());
}

void TMainForm::FormKeyDown(TObject*, Word& Key, TShiftState) {
  // The text box's own arrow keys move its caret.
  if (Edit->Focused()) return;
  int dx = 0, dy = 0;
  switch (Key) {
    case VK_LEFT: dx = -1; break;
    case VK_RIGHT: dx = 1; break;
    case VK_UP: dy = -1; break;
    case VK_DOWN: dy = 1; break;
    default: return;
  }
  if (SelectedItem < 0 || SelectedItem > 17) {
    ShowMessage(kNothingSelected);
    return;
  }
  // The twin moves first; the design control takes the twin's place.
  auto nudge = [dx, dy](TControl* twin, TControl* item) {
    if (!twin || !item) return;
    twin->SetBounds(twin->GetLeft() + dx, twin->GetTop() + dy, twin->GetWidth(), twin->GetHeight());
    if (dx)
      item->SetLeft(twin->GetLeft());
    else
      item->SetTop(twin->GetTop());
  };
  const size_t i = size_t(SelectedItem);
  if (SelectedItem < kTextSlots) {
    if (SelectedIsTitle)
      nudge(QRTitleLabels[i], TitleLabels[i]);
    else
      nudge(QRDBTexts[i], DBTexts[i]);
    ClampDesignItems();
    return;
  }
  const int kinds[] = {0, 1, 2, 3, 5};  // photo, picture two, logo, barcode, seal
  PictureItem p = PictureOfKind(this, kinds[SelectedItem - kTextSlots]);
  Shape1->SetBounds(Shape1->GetLeft() + dx, Shape1->GetTop() + dy, Shape1->GetWidth(), Shape1->GetHeight());
  nudge(p.twin, p.item);
  ClampDesignItems();
}

void TMainForm::EditLeftClick(TObject*) {
  TControl* item = nullptr;
  if (PicItem >= 0 && PicItem <= 5) {
    TImage* items[] = {PicOne, PicTwo, SignPic, BarcodeSet, ImageIns, ImageZhang};
    item = items[PicItem];
  } else {
    item = SelectedText();
  }
  // All four values are read before anything moves; a box that holds no
  // number, or a size below one pixel, applies nothing and the boxes show
  // the item's bounds again.
  int left = 0, top = 0, width = 0, height = 0;
  const bool valid = TryStrToInt(Trim(EditLeft->GetText()), left) && TryStrToInt(Trim(EditTop->GetText()), top) &&
                     TryStrToInt(Trim(EditW->GetText()), width) && TryStrToInt(Trim(EditH->GetText()), height) &&
                     width > 0 && height > 0;
  if (!valid) {
    if (item) {
      EditLeft->SetText(std::to_string(item->GetLeft()));
      EditTop->SetText(std::to_string(item->GetTop()));
      EditW->SetText(std::to_string(item->GetWidth()));
      EditH->SetText(std::to_string(item->GetHeight()));
    }
    return;
  }
  Shape1->SetBounds(left, top, width, height);
  if (item) item->SetBoundsRect(Shape1->GetBoundsRect());
  ClampDesignItems();
}

void TMainForm::WireDesignSurface() {
  using namespace std::placeholders;
  auto wire = [this](TControl* c, void (TMainForm::*click)(TObject*),
                     void (TMainForm::*down)(TObject*, TMouseButton, TShiftState, int, int),
                     void (TMainForm::*move)(TObject*, TShiftState, int, int),
                     void (TMainForm::*up)(TObject*, TMouseButton, TShiftState, int, int)) {
    if (click) c->OnClick = std::bind(click, this, _1);
    c->OnMouseDown = std::bind(down, this, _1, _2, _3, _4, _5);
    c->OnMouseMove = std::bind(move, this, _1, _2, _3, _4);
    if (up) c->OnMouseUp = std::bind(up, this, _1, _2, _3, _4, _5);
  };
  wire(PicOne, &TMainForm::PicOneClick, &TMainForm::PicOneMouseDown, &TMainForm::PicOneMouseMove,
       &TMainForm::PicOneMouseUp);
  wire(PicTwo, &TMainForm::PicTwoClick, &TMainForm::PicTwoMouseDown, &TMainForm::PicTwoMouseMove,
       &TMainForm::PicTwoMouseUp);
  wire(SignPic, &TMainForm::SignPicClick, &TMainForm::SignPicMouseDown, &TMainForm::SignPicMouseMove,
       &TMainForm::SignPicMouseUp);
  wire(BarcodeSet, &TMainForm::BarcodeSetClick, &TMainForm::BarcodeSetMouseDown, &TMainForm::BarcodeSetMouseMove,
       &TMainForm::BarcodeSetMouseUp);
  wire(ImageZhang, &TMainForm::ImageZhangClick, &TMainForm::ImageZhangMouseDown, &TMainForm::ImageZhangMouseMove,
       &TMainForm::ImageZhangMouseUp);
  wire(ImageIns, &TMainForm::ImageInsClick, &TMainForm::ImageInsMouseDown, &TMainForm::ImageInsMouseMove, nullptr);
  wire(Shape1, nullptr, &TMainForm::Shape1MouseDown, &TMainForm::Shape1MouseMove, &TMainForm::Shape1MouseUp);
  Drawor->OnMouseUp = std::bind(&TMainForm::DraworMouseUp, this, _1, _2, _3, _4, _5);
  DBGrid1->OnCellClick = [this](TColumn* column) { DBGrid1CellClick(column); };
  BarcodeSet->OnDblClick = [this](TObject* s) { BarcodeSetDblClick(s); };
  ImageZhang->OnDblClick = [this](TObject* s) { ImageZhangDblClick(s); };

  Panel2->OnResize = [this](TObject* s) { Panel2Resize(s); };
  RulerBox1->OnClick = [this](TObject* s) { RulerBox1Click(s); };
  RulerBox2->OnClick = [this](TObject* s) { RulerBox2Click(s); };
  Panel2->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { Panel2MouseDown(s, b, sh, x, y); };
  Panel2->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { Panel2MouseUp(s, b, sh, x, y); };
  OnKeyDown = [this](TObject* s, Word& key, TShiftState shift) { FormKeyDown(s, key, shift); };
  OnPaint = [this](TObject* s) { FormPaint(s); };
  // The boxes apply when editing ends: the box loses the focus or takes Enter.
  for (TEdit* box : {EditLeft, EditTop, EditW, EditH}) {
    box->OnExit = [this](TObject* s) { EditLeftClick(s); };
    box->OnKeyDown = [this](TObject* s, Word& key, TShiftState) {
      if (key == VK_RETURN) EditLeftClick(s);
    };
  }

  NShowPhoto->OnClick = [this](TObject* s) { NShowPhotoClick(s); };
  NShowBG->OnClick = [this](TObject* s) { NShowBGClick(s); };
  NShowPanelPic->OnClick = [this](TObject* s) { NShowPanelPicClick(s); };
  NShowSignPic->OnClick = [this](TObject* s) { NShowSignPicClick(s); };
  NBarcodeS->OnClick = [this](TObject* s) { NBarcodeSClick(s); };
  NZhang->OnClick = [this](TObject* s) { NZhangClick(s); };
  BText->OnClick = [this](TObject*) { NShowText->Click(); };
  BPhoto->OnClick = [this](TObject*) { NShowPhoto->Click(); };
  BBackPic->OnClick = [this](TObject*) { NShowBG->Click(); };
  BWorkShopPic->OnClick = [this](TObject*) { NShowPanelPic->Click(); };
  TBSignPic->OnClick = [this](TObject* s) { TBSignPicClick(s); };
  TBBarcode->OnClick = [this](TObject* s) { TBBarcodeClick(s); };
  TBZhang->OnClick = [this](TObject* s) { TBZhangClick(s); };

  // The frame hands its messages straight to its own handlers.
  OldFrameWindowProc = Shape1->WindowProc;
  Shape1->WindowProc = [frame = Shape1](TMessage& message) { frame->Dispatch(message); };
}

void TMainForm::RestoreFrameWindowProc() {
  if (OldFrameWindowProc) Shape1->WindowProc = OldFrameWindowProc;
}
