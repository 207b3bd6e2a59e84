// The card batch window's repaint: the live card follows the design surface
// and the record tool buttons follow the hidden navigator.
#include "designer/main.h"
#include "records/dbpicsu.h"

namespace {

void CopyLook(TLabel* to, TLabel* from) {
  to->SetBounds(from->GetLeft(), from->GetTop(), from->GetWidth(), from->GetHeight());
  to->SetFont(from->GetFont());
  to->SetVisible(from->GetVisible());
  to->SetEnabled(from->GetEnabled());
}

}  // namespace

void TFormPicEdit::FormPaint(TObject*) {
  if (MainForm) {
    for (int i = 0; i < kTextSlots; ++i) {
      TLabel* text = PreviewTexts[size_t(i)];
      TLabel* title = PreviewTexts[size_t(kTextSlots + i)];
      if (text && MainForm->DBTexts[size_t(i)]) {
        text->BringToFront();
        CopyLook(text, MainForm->DBTexts[size_t(i)]);
      }
      if (title && MainForm->TitleLabels[size_t(i)]) {
        title->BringToFront();
        CopyLook(title, MainForm->TitleLabels[size_t(i)]);
        title->SetCaption(MainForm->TitleLabels[size_t(i)]->GetCaption());
        title->SetTransparent(true);
      }
    }
  }
  // Save follows the navigator's edit button and edit its post button, as
  // the window has always paired them.
  const std::pair<TToolButton*, TNavigateBtn> pairs[] = {
      {TBFirst, nbFirst}, {TBPrior, nbPrior}, {TBNext, nbNext},     {TBEnd, nbLast},       {TBAdd, nbInsert},
      {TBReduce, nbDelete}, {TBSave, nbEdit}, {TBEdit, nbPost}, {TBCancel, nbCancel}, {TBRefresh, nbRefresh}};
  for (const auto& [button, nav] : pairs) button->SetEnabled(DBNavigator->Buttons(nav)->GetEnabled());
}
