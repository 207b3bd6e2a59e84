#include "records/uscanner.h"

TFormScanner* FormScanner = nullptr;

TFormScanner::TFormScanner(TComponent* owner) : TForm(owner) {
  Name = "FormScanner";
  SetCaption("扫描");
  Position = poMainFormCenter;
}

TFormScanner::~TFormScanner() {
  if (FormScanner == this) FormScanner = nullptr;
}
