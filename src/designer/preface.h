// The splash window shown while the program creates its forms: borderless,
// dragged by any point, its status line a link to the maker's page.
#pragma once

#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/stdctrls.h"

class TStarForm : public TForm {
 public:
  explicit TStarForm(TComponent* owner);
  ~TStarForm() override;

  TImage* Image1;
  TLabel* Label1;

  void WMNCHitTest(TMessage& message);
  void Label1Click(TObject* Sender);

 protected:
  void Dispatch(TMessage& message) override;

 private:
  void DrawArtwork();
};

extern TStarForm* StarForm;

// The page the status line opens.
extern const char* const kMakerWebPage;
