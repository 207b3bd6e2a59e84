// The size dialog of a new layout picture: its width and height in
// millimetres. Created once at start-up, owned by the application, shown
// and hidden.
#pragma once

#include "platform/comctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

class Tnewimageform : public TForm {
 public:
  explicit Tnewimageform(TComponent* owner);
  ~Tnewimageform() override;

  TGroupBox* GroupBox1;
  TEdit *ImageWidth, *ImageHeight;
  TUpDown *WidthJustfy, *HeighJustfy;
  TButton *OkButton, *CancelButton1;

  // The sizes as the user left them: the typed number, else the up-down's.
  int WidthMm() const;
  int HeightMm() const;
};

extern Tnewimageform* newimageform;
