// The image view's side of a transition: its display before and after the
// change painted into the effect's two shots.
#include "imaging/view/pixview.h"
#include "imaging/view/transition.h"

void TPixView::PrepareTransition() {
  const int w = GetClientWidth(), h = GetClientHeight();
  if (w == 0 || h == 0) return;
  transition_->SetSizes(w, h);
  PaintToEx(transition_->SourceShot(), nullptr, nullptr);
}

void TPixView::RunTransition(TIETransitionType Effect, int Duration) {
  const int w = GetClientWidth(), h = GetClientHeight();
  if (w == 0 || h == 0) return;
  transition_->Transition = Effect;
  transition_->Duration = Duration;
  // The shots keep the size of the preparation: the new display is painted
  // at that size.
  PaintToEx(transition_->TargetShot(), nullptr, nullptr);
  transition_->Run(true);
}

bool TPixView::GetTransitionRunning() const { return transition_->Running(); }
