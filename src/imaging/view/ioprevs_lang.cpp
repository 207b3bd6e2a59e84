// The save-parameters dialog's captions from the message table. Tab
// captions, list items and the value labels keep the form's own texts.
#include <initializer_list>

#include "imaging/view/ioprevs.h"
#include "platform/buttons.h"
#include "platform/stdctrls.h"

void TfIOPreviews::SetLanguage(TMsgLanguage language) { SetCaptions(language); }

void TfIOPreviews::SetCaptions(TMsgLanguage language) {
  auto word = [language](TMsgLanguageWords w) { return iemsg(w, language); };
  auto colon = [&](TMsgLanguageWords w) { return word(w) + ":"; };
  auto label = [&](std::initializer_list<TLabel*> labels, TMsgLanguageWords w) {
    for (TLabel* l : labels) l->SetCaption(colon(w));
  };
  SetCaption(word(IEMSG_PARAMETERSPREVIEW));
  Label1->SetCaption(colon(IEMSG_SOURCE));
  Label2->SetCaption(colon(IEMSG_RESULT));
  Button2->SetCaption(word(IEMSG_CANCEL));
  Button1->SetCaption(word(IEMSG_OK));
  Button3->SetCaption(word(IEMSG_PREVIEW));
  Button4->SetCaption(word(IEMSG_APPLY));
  SpeedButton1->Hint = word(IEMSG_LOCKPREVIEW);
  label({Label23, Label72}, IEMSG_QUALITY);
  label({Label26}, IEMSG_DCTMETHOD);
  label({Label27}, IEMSG_SMOOTHINGFACTOR);
  label({Label57, Label71, Label7}, IEMSG_PHOTOMETRIC);
  CheckBox2->SetCaption(word(IEMSG_OPTIMALHUFFMAN));
  CheckBox3->SetCaption(word(IEMSG_PROGRESSIVE));
  label({Label3, Label73, Label67, Label9, Label77, Label22, Label83, Label39, Label45, Label50, Label58},
        IEMSG_ORIGINALSIZE);
  label({Label24, Label75, Label69, Label17, Label79, Label29, Label85, Label41, Label47, Label52, Label60},
        IEMSG_COMPRESSEDSIZE);
  GroupBox5->SetCaption(" " + word(IEMSG_ADVANCED) + " ");
  label({Label66}, IEMSG_RATE);
  label({Label5, Label81, Label37, Label43, Label56}, IEMSG_COMPRESSION);
  CheckBox1->SetCaption(colon(IEMSG_COMPRESSION));
  label({Label6, Label20}, IEMSG_IMAGEINDEX);
  GroupBox1->SetCaption(" " + word(IEMSG_SCANNDEDDOCUMENTINFO) + " ");
  label({Label12, Label64}, IEMSG_NAME);
  label({Label13, Label65}, IEMSG_DESCRIPTION);
  label({Label14}, IEMSG_PAGENAME);
  label({Label15}, IEMSG_PAGENUMBER);
  Label16->SetCaption(word(IEMSG_OF));
  label({Label8}, IEMSG_HORIZPOSITIONINCH);
  label({Label10}, IEMSG_VERTPOSITIONINCH);
  label({Label19, Label82, Label21, Label87, Label38, Label44, Label49, Label62}, IEMSG_COLORS);
  CheckBox4->SetCaption(colon(IEMSG_TRANSPARENT));
  label({Label34}, IEMSG_TRANSPARENTCOLOR);
  CheckBox5->SetCaption(colon(IEMSG_INTERLACED));
  CheckBox6->SetCaption(word(IEMSG_INTERLACED));
  label({Label35, Label54, Label63}, IEMSG_BACKGROUND);
  label({Label31}, IEMSG_HORIZPOSITION);
  label({Label32}, IEMSG_VERTPOSITION);
  label({Label33}, IEMSG_DELAYTIME);
  label({Label55}, IEMSG_FILTER);
  paletteCancel_ = "&" + word(IEMSG_CANCEL);
}
