// The card batch window's repaint: the live card follows the design surface
// and the record tool buttons follow the hidden navigator.
#include "designer/main.h"
#include "records/dbpicsu.h"

namespace {

bool SameFont(const TFont& a, const TFont& b) {
  return a.Name == b.Name && a.Height == b.Height && a.Color == b.Color && a.Charset == b.Charset &&
         a.Style == b.Style && a.Pitch == b.Pitch && a.Orientation == b.Orientation;
}

// Sets only what differs: every set repaints the card, and this runs at
// every paint.
void FollowLook(TLabel* to, TLabel* from) {
  if (to->GetBoundsRect() != from->GetBoundsRect())
    to->SetBounds(from->GetLeft(), from->GetTop(), from->GetWidth(), from->GetHeight());
  if (!SameFont(*to->GetFont(), *from->GetFont())) to->SetFont(from->GetFont());
  if (to->GetVisible() != from->GetVisible()) to->SetVisible(from->GetVisible());
  if (to->GetEnabled() != from->GetEnabled()) to->SetEnabled(from->GetEnabled());
}

}  // namespace

void TFormPicEdit::FollowDesign() {
  if (MainForm == nullptr) return;
  for (int i = 0; i < kTextSlots; ++i) {
    TLabel* text = PreviewTexts[size_t(i)];
    TLabel* title = PreviewTexts[size_t(kTextSlots + i)];
    if (text && MainForm->DBTexts[size_t(i)]) FollowLook(text, MainForm->DBTexts[size_t(i)]);
    if (title && MainForm->TitleLabels[size_t(i)]) {
      FollowLook(title, MainForm->TitleLabels[size_t(i)]);
      const std::string caption = MainForm->TitleLabels[size_t(i)]->GetCaption();
      if (title->GetCaption() != caption) title->SetCaption(caption);
      if (!title->GetTransparent()) title->SetTransparent(true);
    }
  }
}

void TFormPicEdit::FormPaint(TObject*) {
  FollowDesign();
  // Save follows the navigator's edit button and edit its post button, as
  // the window has always paired them.
  const std::pair<TToolButton*, TNavigateBtn> pairs[] = {
      {TBFirst, nbFirst}, {TBPrior, nbPrior}, {TBNext, nbNext},     {TBEnd, nbLast},       {TBAdd, nbInsert},
      {TBReduce, nbDelete}, {TBSave, nbEdit}, {TBEdit, nbPost}, {TBCancel, nbCancel}, {TBRefresh, nbRefresh}};
  for (const auto& [button, nav] : pairs)
    if (button->GetEnabled() != DBNavigator->Buttons(nav)->GetEnabled())
      button->SetEnabled(DBNavigator->Buttons(nav)->GetEnabled());
}
