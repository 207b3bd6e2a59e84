#include "imaging/view/ievect.h"

TPixVect::TPixVect(TComponent* Owner) : TPixView(Owner) {}

void TPixVect::RemoveAllObjects() { Update(); }

bool TPixVect::LoadFromStreamIEV(TStream*) { return false; }

void TPixVect::CopyObjectsToBack() { Update(); }
