// The save-parameters dialog's handlers: each reads its page's controls
// into the working values (typed numbers limited to their legal ranges),
// re-applies the preview when something changed, and enables Apply.
#include <algorithm>
#include <cmath>

#include "imaging/core/ievalues.h"
#include "imaging/core/iepalettedialog.h"
#include "imaging/io/pixio.h"
#include "imaging/view/ioprevs.h"
#include "imaging/view/ioprevs_depth.h"
#include "imaging/view/pixview.h"
#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/commdlg.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

namespace {

// The integer typed in an edit, `none` when there is none, limited to
// lo..hi.
int ReadInt(TEdit* edit, int none, int lo, int hi) {
  int v;
  if (!TryStrToInt(Trim(edit->GetText()), v)) v = none;
  return std::clamp(v, lo, hi);
}

}  // namespace

void TfIOPreviews::WireHandlers() {
  PageControl1->OnChanging = [this](TObject*, bool&) { ready_ = false; };
  PageControl1->OnChange = [this](TObject*) { PageControl1Change(); };
  TrackBar13->OnChange = [this](TObject*) { TrackBar13Change(); };
  for (TComboBox* c : {ComboBox1, ComboBox13}) c->OnChange = [this](TObject*) { TrackBar13Change(); };
  for (TCheckBox* c : {CheckBox2, CheckBox3}) c->OnClick = [this](TObject*) { TrackBar13Change(); };
  for (TEdit* e : {Edit22, Edit23}) e->OnChange = [this](TObject*) { Edit22Change(); };
  TrackBar2->OnChange = [this](TObject*) { TrackBar2Change(); };
  Edit16->OnChange = [this](TObject*) { Edit16Change(); };
  TrackBar1->OnChange = [this](TObject*) { TrackBar1Change(); };
  ComboBox15->OnChange = [this](TObject*) { TrackBar1Change(); };
  Edit15->OnChange = [this](TObject*) { Edit15Change(); };
  for (TComboBox* c : {ComboBox2, ComboBox3, ComboBox4}) c->OnChange = [this](TObject* s) { ComboBox2Click(s); };
  for (TEdit* e : {Edit1, Edit4, Edit5, Edit6, Edit7, Edit8, Edit2, Edit3})
    e->OnChange = [this](TObject* s) { ComboBox2Click(s); };
  for (TComboBox* c : {ComboBox16, ComboBox17}) c->OnChange = [this](TObject*) { ComboBox16Change(); };
  ComboBox5->OnChange = [this](TObject*) { ComboBox5Click(); };
  for (TCheckBox* c : {CheckBox4, CheckBox5}) c->OnClick = [this](TObject*) { ComboBox5Click(); };
  for (TEdit* e : {Edit9, Edit10, Edit11, Edit12}) e->OnChange = [this](TObject*) { ComboBox5Click(); };
  ComboBox18->OnChange = [this](TObject*) { ComboBox18Change(); };
  for (TComboBox* c : {ComboBox6, ComboBox7}) c->OnChange = [this](TObject*) { ComboBox6Change(); };
  for (TComboBox* c : {ComboBox8, ComboBox9}) c->OnChange = [this](TObject*) { ComboBox8Change(); };
  for (TComboBox* c : {ComboBox10, ComboBox11, ComboBox12}) c->OnChange = [this](TObject*) { ComboBox10Change(); };
  CheckBox6->OnClick = [this](TObject*) { ComboBox10Change(); };
  ComboBox14->OnChange = [this](TObject*) { ComboBox14Click(); };
  CheckBox1->OnClick = [this](TObject*) { ComboBox14Click(); };
  for (TEdit* e : {Edit13, Edit14}) e->OnChange = [this](TObject*) { ComboBox14Click(); };
  for (TPanel* p : {Panel1, Panel3, Panel4, Panel5}) p->OnClick = [this, p](TObject*) { ColourPanelClick(p); };
  Button1->OnClick = [this](TObject*) { OkClick(); };
  Button4->OnClick = [this](TObject*) { ApplyClick(); };
  Button3->OnClick = [this](TObject*) {
    ApplyAct(Pix2);
  };
  SpeedButton1->OnClick = [this](TObject*) {
    if (SpeedButton1->GetDown()) ApplyAct(Pix2);
    Button3->SetEnabled(!SpeedButton1->GetDown());
  };
}

void TfIOPreviews::TrackBar13Change() {
  if (!ready_) return;
  const int quality = TrackBar13->GetPosition();
  const auto dct = TIOJPEGDctMethod(std::clamp(ComboBox1->GetItemIndex(), 0, 2));
  const bool optimal = CheckBox2->GetChecked(), progressive = CheckBox3->GetChecked();
  const auto space = TIOJPEGColorspace(std::clamp(ComboBox13->GetItemIndex(), 0, 4));
  const int smoothing = ReadInt(Edit23, 0, 0, 100);
  if (quality != v_.JpegQuality || dct != v_.JpegDct || optimal != v_.JpegOptimal ||
      progressive != v_.JpegProgressive || space != v_.JpegColorspace || smoothing != v_.JpegSmoothing) {
    v_.JpegQuality = quality;
    v_.JpegDct = dct;
    v_.JpegOptimal = optimal;
    v_.JpegProgressive = progressive;
    v_.JpegColorspace = space;
    v_.JpegSmoothing = smoothing;
    ready_ = false;
    // What the user is typing stays as typed while it reads as the value.
    if (ReadInt(Edit22, 50, 0, 100) != quality) Edit22->SetText(IntToStr(quality));
    ready_ = true;
    ReApply();
  }
  Button4->SetEnabled(true);
}

void TfIOPreviews::Edit22Change() {
  if (!ready_) return;
  const int quality = ReadInt(Edit22, 50, 0, 100);
  const int smoothing = ReadInt(Edit23, 0, 0, 100);
  if (quality == v_.JpegQuality && smoothing == v_.JpegSmoothing) return;
  ready_ = false;
  TrackBar13->SetPosition(quality);
  ready_ = true;
  TrackBar13Change();
}

void TfIOPreviews::TrackBar2Change() {
  if (!ready_) return;
  const int quality = TrackBar2->GetPosition();
  if (quality != v_.JpegQuality) {
    v_.JpegQuality = quality;
    ready_ = false;
    if (ReadInt(Edit16, 50, 0, 100) != quality) Edit16->SetText(IntToStr(quality));
    ready_ = true;
    ReApply();
  }
  Button4->SetEnabled(true);
}

void TfIOPreviews::Edit16Change() {
  if (!ready_) return;
  const int quality = ReadInt(Edit16, 50, 0, 100);
  if (quality == v_.JpegQuality) return;
  ready_ = false;
  TrackBar2->SetPosition(quality);
  ready_ = true;
  TrackBar2Change();
}

void TfIOPreviews::TrackBar1Change() {
  if (!ready_) return;
  const double rate = TrackBar1->GetPosition() / 1000.0;
  const auto space = TIOJ2000ColorSpace(std::clamp(ComboBox15->GetItemIndex(), 0, 2));
  if (rate != v_.J2kRate || space != v_.J2kColorSpace) {
    v_.J2kRate = rate;
    v_.J2kColorSpace = space;
    ready_ = false;
    if (ReadInt(Edit15, 1000, 0, 1000) != TrackBar1->GetPosition()) Edit15->SetText(IntToStr(int64_t(std::trunc(rate * 1000))));
    ready_ = true;
    ReApply();
  }
  Button4->SetEnabled(true);
}

void TfIOPreviews::Edit15Change() {
  if (!ready_) return;
  // The rate is a share of the raw size: 0.001 .. 1 in thousandths.
  const double rate = ReadInt(Edit15, 1000, 0, 1000) / 1000.0;
  if (rate == v_.J2kRate) return;
  ready_ = false;
  TrackBar1->SetPosition(int(std::trunc(rate * 1000)));
  ready_ = true;
  TrackBar1Change();
}

void TfIOPreviews::ComboBox2Click(TObject* sender) {
  if (!ready_) return;
  int photometric = std::max(ComboBox3->GetItemIndex(), 0);
  int colours = std::max(ComboBox4->GetItemIndex(), 0);
  ready_ = false;
  if (sender == ComboBox3 && photometric != lastTiffPhotometric_) {
    if (photometric <= ioTIFF_BLACKISZERO && colours != 0) colours = 2;
    else if (photometric == ioTIFF_RGB || photometric >= ioTIFF_CMYK) colours = 4;
    else if (photometric == ioTIFF_RGBPALETTE) colours = 2;
  } else if (sender == ComboBox4 && colours != lastTiffColours_) {
    if (colours == 0 && photometric > ioTIFF_BLACKISZERO) photometric = ioTIFF_BLACKISZERO;
    else if (colours == 1) photometric = ioTIFF_RGBPALETTE;
    else if (colours == 2) photometric = photometric == ioTIFF_RGB ? ioTIFF_RGBPALETTE : std::min(photometric, int(ioTIFF_RGBPALETTE));
  }
  ComboBox3->SetItemIndex(photometric);
  ComboBox4->SetItemIndex(colours);
  lastTiffPhotometric_ = photometric;
  lastTiffColours_ = colours;
  int bits, samples;
  TiffDepthOfChoice(colours, false, bits, samples);
  if (photometric == ioTIFF_CMYK) {
    bits = 8;
    samples = 4;
  }
  const auto compression = TIOTIFFCompression(std::max(ComboBox2->GetItemIndex(), 0));
  const bool changed = compression != v_.TiffCompression || photometric != int(v_.TiffPhotometric) ||
                       bits != v_.Bits || samples != v_.Samples;
  v_.TiffCompression = compression;
  v_.TiffPhotometric = TIOTIFFPhotometInterpret(photometric);
  v_.Bits = bits;
  v_.Samples = samples;
  v_.TiffImageIndex = ReadInt(Edit1, 0, 0, kMaxImageIndex);
  v_.TiffX = ReadInt(Edit2, 0, 0, 1000000);
  v_.TiffY = ReadInt(Edit3, 0, 0, 1000000);
  v_.TiffDocument = Edit4->GetText();
  v_.TiffDescription = Edit5->GetText();
  v_.TiffPageName = Edit6->GetText();
  // A page number past the page count makes no sense in the file.
  v_.TiffPageCount = ReadInt(Edit8, 0, 0, kMaxTiffPage);
  v_.TiffPageNumber = ReadInt(Edit7, 0, 0, std::max(v_.TiffPageCount, 0) ? v_.TiffPageCount : kMaxTiffPage);
  ready_ = true;
  if (changed) ReApply();
  Button4->SetEnabled(true);
}

void TfIOPreviews::ComboBox16Change() {
  if (!ready_) return;
  static const TIOTIFFCompression kCompression[] = {ioTIFF_UNCOMPRESSED, ioTIFF_CCITT1D, ioTIFF_G3FAX1D, ioTIFF_G3FAX2D,
                                                    ioTIFF_G4FAX,        ioTIFF_LZW,     ioTIFF_PACKBITS};
  int item = std::clamp(ComboBox16->GetItemIndex(), 0, 6);
  int colours = std::clamp(ComboBox17->GetItemIndex(), 0, 3);
  const bool fax = item >= 1 && item <= 4;
  auto photometric = v_.TiffPhotometric;
  ready_ = false;
  if (fax && kCompression[item] != v_.TiffCompression) {
    colours = 0;
    photometric = ioTIFF_BLACKISZERO;
  } else if (fax && colours > 0) {
    // More than two colours cannot be fax coded.
    item = 0;
  }
  ComboBox16->SetItemIndex(item);
  ComboBox17->SetItemIndex(colours);
  ready_ = true;
  int bits, samples;
  TiffDepthOfChoice(colours, true, bits, samples);
  if (kCompression[item] != v_.TiffCompression || bits != v_.Bits || samples != v_.Samples ||
      photometric != v_.TiffPhotometric) {
    v_.TiffCompression = kCompression[item];
    v_.Bits = bits;
    v_.Samples = samples;
    v_.TiffPhotometric = photometric;
    ReApply();
  }
  Button4->SetEnabled(true);
}

void TfIOPreviews::ComboBox5Click() {
  if (!ready_) return;
  const int bits = std::clamp(ComboBox5->GetItemIndex(), 0, 7) + 1;
  const bool interlaced = CheckBox5->GetChecked();
  if (bits != v_.Bits || interlaced != v_.GifInterlaced) {
    v_.Bits = bits;
    v_.Samples = 1;
    v_.GifInterlaced = interlaced;
    ReApply();
  }
  v_.GifImageIndex = ReadInt(Edit9, 0, 0, kMaxImageIndex);
  v_.GifLeft = ReadInt(Edit10, 0, 0, 65535);
  v_.GifTop = ReadInt(Edit11, 0, 0, 65535);
  v_.GifDelay = ReadInt(Edit12, 0, 0, 65535);
  v_.GifTransparent = CheckBox4->GetChecked();
  Label34->SetEnabled(v_.GifTransparent);
  Panel3->SetEnabled(v_.GifTransparent);
  Button4->SetEnabled(true);
}

void TfIOPreviews::ComboBox18Change() {
  if (!ready_) return;
  const int bits = std::clamp(ComboBox18->GetItemIndex(), 0, 7) + 1;
  if (bits != v_.Bits) {
    v_.Bits = bits;
    v_.Samples = 1;
    ReApply();
  }
  Button4->SetEnabled(true);
}

void TfIOPreviews::ComboBox6Change() {
  if (!ready_) return;
  const int choice = std::max(ComboBox7->GetItemIndex(), 0);
  const auto compression = ComboBox6->GetItemIndex() > 0 ? ioBMP_RLE : ioBMP_UNCOMPRESSED;
  if (choice != v_.BmpChoice || compression != v_.BmpCompression) {
    v_.BmpChoice = choice;
    v_.BmpCompression = compression;
    ReApply();
  }
  Button4->SetEnabled(true);
}

void TfIOPreviews::ComboBox8Change() {
  if (!ready_) return;
  const int choice = std::max(ComboBox9->GetItemIndex(), 0);
  const auto compression = ComboBox8->GetItemIndex() > 0 ? ioPCX_RLE : ioPCX_UNCOMPRESSED;
  if (choice != v_.PcxChoice || compression != v_.PcxCompression) {
    v_.PcxChoice = choice;
    v_.PcxCompression = compression;
    ReApply();
  }
  Button4->SetEnabled(true);
}

void TfIOPreviews::ComboBox10Change() {
  if (!ready_) return;
  const int choice = std::max(ComboBox10->GetItemIndex(), 0);
  const bool interlaced = CheckBox6->GetChecked();
  const auto filter = TIOPNGFilter(std::clamp(ComboBox11->GetItemIndex(), 0, 2));
  const int compression = std::clamp(ComboBox12->GetItemIndex(), 0, 9);
  if (choice != v_.PngChoice || interlaced != v_.PngInterlaced || filter != v_.PngFilter ||
      compression != v_.PngCompression) {
    v_.PngChoice = choice;
    v_.PngInterlaced = interlaced;
    v_.PngFilter = filter;
    v_.PngCompression = compression;
    ReApply();
  }
  Button4->SetEnabled(true);
}

void TfIOPreviews::ComboBox14Click() {
  if (!ready_) return;
  const int choice = std::max(ComboBox14->GetItemIndex(), 0);
  const bool compressed = CheckBox1->GetChecked();
  if (choice != v_.TgaChoice || compressed != v_.TgaCompressed) {
    v_.TgaChoice = choice;
    v_.TgaCompressed = compressed;
    ReApply();
  }
  v_.TgaName = Edit13->GetText();
  v_.TgaDescription = Edit14->GetText();
  Button4->SetEnabled(true);
}

void TfIOPreviews::ColourPanelClick(TPanel* panel) {
  if (!ready_ || !panel->GetEnabled()) return;
  const TIOParamsVals& pp = *PreviewIO->IOParams;
  const bool gif = panel == Panel3 || panel == Panel4;
  TColor chosen;
  bool ok;
  if (gif || pp.ColorMapCount > 0) {
    // The colours the preview's palette holds (a GIF has at most 2^bits).
    int count = pp.ColorMapCount;
    if (gif) count = std::min(count, 1 << std::clamp(v_.Bits, 1, 8));
    TPixPaletteDialog dialog(this);
    dialog.CancelButton->SetCaption(paletteCancel_);
    dialog.SetPalette(pp.ColorMap, count);
    ok = dialog.Execute();
    chosen = dialog.SelectedColor;
  } else {
    ColorDialog1->Color = panel->GetColor();
    ok = ColorDialog1->Execute();
    chosen = ColorDialog1->Color;
  }
  if (!ok) return;
  panel->SetColor(chosen);
  const TRGB rgb = TColor2TRGB(chosen);
  if (panel == Panel3) v_.GifTransparentColor = rgb;
  if (panel == Panel4) v_.GifBackground = rgb;
  if (panel == Panel1) v_.PngBackground = rgb;
  if (panel == Panel5) v_.TgaBackground = rgb;
  Button4->SetEnabled(true);
}
