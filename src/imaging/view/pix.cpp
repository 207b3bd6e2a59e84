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
