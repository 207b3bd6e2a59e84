#include "imaging/view/pix.h"

TPix::TPix(TComponent* Owner) : TPixView(Owner) {
  // Both components exist from the start, attached to the view.
  GetPixIO();
  GetPixProc();
}

void TPix::Assign(TPersistent* Source) {
  AssignIOParams(Source);
  TPixView::Assign(Source);
}

void TPix::AssignIOParams(TPersistent* Source) {
  if (auto* pix = dynamic_cast<TPix*>(Source))
    GetPixIO()->AssignParams(pix->GetPixIO());
  else if (auto* io = dynamic_cast<TPixIO*>(Source))
    GetPixIO()->AssignParams(io);
}

void TPix::SetMsgLanguage(TMsgLanguage l) {
  GetPixIO()->MsgLanguage = l;
  GetPixProc()->MsgLanguage = l;
}

void TPix::SetPreviewFont(TFont* Font) {
  GetPixIO()->SetPreviewFont(Font);
  GetPixProc()->SetPreviewFont(Font);
}

void TPix::PointPasteFromClip(int x, int y) {
  // The processing component itself turns client points into picture
  // points when the view selects in client pixels: converting here too
  // would halve the position twice at 200 percent.
  if (SelectionBase == iesbClientArea) return GetPixProc()->PointPasteFromClip(x, y);
  GetPixProc()->PointPasteFromClip(XScr2Bmp(x), YScr2Bmp(y));
}
