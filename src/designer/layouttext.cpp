// The text tool's box on the layout picture: its placement and its stamp
// into the picture, its size handles, its look, and the text tool bar.
#include <algorithm>

#include "designer/cardpanel.h"
#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/messages.h"

namespace {

constexpr int kText = 5;

// The text tool bar's style toggles, kept for the program's life.
bool BoldOn = false, ItalicOn = false, UnderlineOn = false, StrikeOutOn = false;

// UTF-16 units of one UTF-8 sequence starting with `lead`, and its bytes.
int Utf8Bytes(unsigned char lead) { return lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4; }

void ApplyStyleTogglesToSelection(TRichEdit* edit) {
  TFontStyles style = 0;
  if (BoldOn) style |= fsBold;
  if (ItalicOn) style |= fsItalic;
  if (UnderlineOn) style |= fsUnderline;
  if (StrikeOutOn) style |= fsStrikeOut;
  edit->GetSelAttributes()->SetStyle(style);
}

void UseFormat(TFont* font, const TRichEdit::TCharFormat& format) {
  font->Name = format.Name;
  font->Height = format.Height;
  font->Style = format.Style;
  font->Color = format.Color;
  font->Charset = format.Charset;
}

// One run of characters of the same look on a line.
struct Run {
  std::string text;
  TRichEdit::TCharFormat format;
};

}  // namespace

void TMainForm::DraworClick(TObject*) {
  if (!DrawingMode || Tool != kText) return;
  if (TextPending) {
    // Picture coordinates are taken as design-surface coordinates.
    Edit->SetBounds(Origin.x, Origin.y, Edit->GetWidth(), Edit->GetHeight());
    Edit->GetDefAttributes()->Assign(LayoutCanvas()->Font);
    Edit->Show();
    Edit->BringToFront();
    Edit->SetFocus();
    TextPending = false;
  } else {
    StampTextBox();
  }
}

// The box's text is drawn as text into the picture, each run in its own
// look, where the box's client area lies when its design-surface position
// is read as picture coordinates; the box's background never reaches the
// picture.
void TMainForm::StampTextBox() {
  Panel2->SetFocus();
  Edit->HideSelection = true;
  TCanvas* c = LayoutCanvas();
  c->BkMode = TRANSPARENT;
  c->Brush->Style = bsClear;
  const int clientWidth = Edit->GetClientWidth();
  int y = Edit->GetTop();
  int pos = 0;  // UTF-16 position of the line's start in the box's text
  TStrings* lines = Edit->GetLines();
  for (int i = 0; i < lines->Count(); ++i) {
    const std::string line = lines->Get(i);
    std::vector<Run> runs;
    for (size_t b = 0; b < line.size();) {
      const int bytes = Utf8Bytes(static_cast<unsigned char>(line[b]));
      const TRichEdit::TCharFormat format = Edit->FormatAt(pos);
      if (runs.empty() || !(runs.back().format == format)) runs.push_back({"", format});
      runs.back().text += line.substr(b, size_t(bytes));
      pos += bytes == 4 ? 2 : 1;
      b += size_t(bytes);
    }
    int width = 0, height = 0;
    for (const Run& run : runs) {
      UseFormat(c->Font, run.format);
      const TSize size = c->TextExtent(run.text);
      width += size.cx;
      height = std::max(height, size.cy);
    }
    if (runs.empty()) {
      c->Font->Assign(Edit->GetFont());
      height = c->TextHeight("0");
    }
    int x = 2;
    const TAlignment alignment = Edit->AlignmentOfLine(i);
    if (alignment == taCenter) x = (clientWidth - width) / 2;
    if (alignment == taRightJustify) x = clientWidth - 2 - width;
    // Client point (x, 1) of the box lands at its position less one pixel.
    x += Edit->GetLeft() - 1;
    for (const Run& run : runs) {
      UseFormat(c->Font, run.format);
      c->TextOut(x, y, run.text);
      x += c->TextWidth(run.text);
    }
    y += height;
    pos += 2;  // the line break
  }
  c->BkMode = OPAQUE;
  Drawor->GetPicture()->GetBitmap()->Changed();
  Drawor->Invalidate();
  Edit->Hide();
  Edit->SetText("");
  TextPending = true;
}

// The box's corners and edge middles size it as the card panel's do; a
// press anywhere else edits text (the box never moves with the mouse).
// Only the left button sizes: a right press opens the pop-up menu.
void TMainForm::EditMouseDown(TObject*, TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbLeft) return;
  const TPanelCommand zone = CardPanelCommand(X, Y, Edit->GetWidth(), Edit->GetHeight());
  if (zone.Command == SC_MOVE + 1) return;
  const TCursor saved = Screen->GetCursor();
  Screen->SetCursor(zone.Cursor);
  ReleaseCapture();
  Edit->Perform(WM_SYSCOMMAND, zone.Command, 0);
  Screen->SetCursor(saved);
}

void TMainForm::EditChange(TObject*) {
  Edit->SetColor(BrushColor->GetColor());
  Edit->GetFont()->Assign(LayoutCanvas()->Font);
  Edit->SetCursor(crIBeam);
}

void TMainForm::WireTextBox() {
  Edit->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) { EditMouseDown(s, b, sh, x, y); };
  Edit->OnChange = [this](TObject* s) { EditChange(s); };
  NCopy->OnClick = [this](TObject*) { Edit->CopyToClipboard(); };
  NCut->OnClick = [this](TObject*) { Edit->CutToClipboard(); };
  NPaste->OnClick = [this](TObject*) { Edit->PasteFromClipboard(); };
  NDelete->OnClick = [this](TObject*) { Edit->ClearSelection(); };
  NSelectAll->OnClick = [this](TObject*) { Edit->SelectAll(); };
  NSetTemp->OnClick = [this](TObject*) { FileSaveAs->Click(); };
  TBUndo->OnClick = [this](TObject*) { Edit->Undo(); };
  TBClearUndo->OnClick = [this](TObject*) { Edit->Undo(); };
  TBCut->OnClick = [this](TObject*) { NCut->Click(); };
  TBCopy->OnClick = [this](TObject*) { NCopy->Click(); };
  TBPaste->OnClick = [this](TObject*) { NPaste->Click(); };
  auto toggle = [this](TToolButton* button, bool& on) {
    button->OnClick = [this, button, &on](TObject*) {
      on = !on;
      button->SetDown(on);
      ApplyStyleTogglesToSelection(Edit);
    };
  };
  toggle(SBBold, BoldOn);
  toggle(SBItalic, ItalicOn);
  toggle(SBUnderline, UnderlineOn);
  toggle(SBStrikeOut, StrikeOutOn);
  // After a cancelled dialog the colour it showed: the last one chosen.
  SBTColor->OnClick = [this](TObject*) {
    ColorDialog1->Execute();
    Edit->GetSelAttributes()->SetColor(ColorDialog1->Color);
  };
  SBAlignL->OnClick = [this](TObject*) { Edit->GetParagraph()->SetAlignment(taLeftJustify); };
  SBAlignM->OnClick = [this](TObject*) { Edit->GetParagraph()->SetAlignment(taCenter); };
  SBAlignR->OnClick = [this](TObject*) { Edit->GetParagraph()->SetAlignment(taRightJustify); };
}
