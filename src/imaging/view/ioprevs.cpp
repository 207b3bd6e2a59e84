// The save-parameters dialog's pages and values: which pages show, the
// working values and how they fill a page, the preview of the encoded
// picture, and what OK writes back.
#include "imaging/view/ioprevs.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>
#include <vector>

#include "imaging/core/iestreams.h"
#include "imaging/core/ievalues.h"
#include "imaging/io/pixio.h"
#include "imaging/proc/pixproc.h"
#include "imaging/view/ioprevs_depth.h"
#include "imaging/view/pixview.h"
#include "platform/buttons.h"
#include "platform/comctrls.h"
#include "platform/extctrls.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

TfIOPreviews::TfIOPreviews(TComponent* owner) : TForm(owner) {
  BuildForm();
  WireHandlers();
  Button4->SetEnabled(false);
  OnShow = [this](TObject*) { firstActivation_ = true; };
  OnActivate = [this](TObject*) { FormActivate(); };
  Pix1->OnViewChange = [this](TObject*, int) {
    Pix2->LockPaint();
    Pix2->SetZoom(Pix1->GetZoom());
    Pix2->SetViewXY(Pix1->GetViewX(), Pix1->GetViewY());
    Pix2->UnLockPaint();
  };
  PreviewIO->OnProgress = [this](TObject*, int percent) { Progress(percent); };
}

TfIOPreviews::~TfIOPreviews() = default;

bool TfIOPreviews::SetPreviewParams(TPreviewParams pages) {
  pages_ = pages;
  if ((pages & ppAUTO) && IOParams) {
    switch (IOParams->FileType) {
      case ieftTIFF: pages_ |= ppTIFF; break;
      case ieftGIF: pages_ |= ppGIF; break;
      case ieftJPEG: pages_ |= ppJPEG; break;
      case ieftPCX: pages_ |= ppPCX; break;
      case ieftBMP: pages_ |= ppBMP; break;
      case ieftPNG: pages_ |= ppPNG; break;
      case ieftTGA: pages_ |= ppTGA; break;
      case ieftJP2:
      case ieftJ2K: pages_ |= ppJ2000; break;
      default: break;
    }
  }
  return pages_ != ppAUTO;
}

int TfIOPreviews::ActivePageTag() const {
  TTabSheet* page = PageControl1->GetActivePage();
  return page && page->GetTabVisible() ? page->Tag : 0;
}

void TfIOPreviews::FormActivate() {
  // The colour dialogs of the panels reactivate this one: the working
  // values stay as the user left them.
  if (!firstActivation_) return;
  firstActivation_ = false;
  PageControl1->TabPosition = tpTop;
  ready_ = true;
  SpeedButton1->SetDown(DefaultLockPreview);
  Button3->SetEnabled(!SpeedButton1->GetDown());
  PageControl1->SetVisible(false);
  const bool all = pages_ & ppALL;
  auto shows = [&](TPreviewParams own) { return all || (pages_ & own); };
  bool shown[kIOPreviewPageCount + 1] = {};
  if (SimplifiedParamsDialogs) {
    PageControl1->SetHeight(122);
    SetClientHeight(PageControl1->GetTop() + 122 + 8);
    shown[iopJPEG2] = shows(ppJPEG);
    shown[iopTIFF2] = pages_ & ppTIFF;
    shown[iopGIF2] = pages_ & ppGIF;
    shown[iopBMP1] = pages_ & ppBMP;
    shown[iopPCX1] = pages_ & ppPCX;
    shown[iopPNG1] = pages_ & ppPNG;
    shown[iopTGA1] = pages_ & ppTGA;
    shown[iopJ20001] = pages_ & ppJ2000;
  } else {
    shown[iopJPEG1] = shows(ppJPEG);
    shown[iopTIFF1] = shows(ppTIFF);
    shown[iopGIF1] = shows(ppGIF);
    shown[iopBMP1] = shows(ppBMP);
    shown[iopPCX1] = shows(ppPCX);
    shown[iopPNG1] = shows(ppPNG);
    shown[iopTGA1] = shows(ppTGA);
    shown[iopJ20001] = shows(ppJ2000);
  }
  // The short forms of the shared pages hide their extra controls.
  const bool full = !SimplifiedParamsDialogs;
  for (TControl* c : std::initializer_list<TControl*>{Label54, Panel1, GroupBox5, Label63, Panel5, Label64, Edit13,
                                                      Label65, Edit14, Label71, ComboBox15})
    c->SetVisible(full);
  TTabSheet* first = nullptr;
  for (int i = 1; i <= kIOPreviewPageCount; ++i) {
    TabSheets[size_t(i)]->SetTabVisible(shown[i]);
    if (shown[i] && !first) first = TabSheets[size_t(i)];
  }
  if (first) PageControl1->SetActivePage(first);
  PageControl1->SetVisible(true);
  ResetParameters();
  ApplyParameters();
  Pix1->Fit();
  if (Application) Application->ProcessMessages();
  PageControl1Change();
}

void TfIOPreviews::PageControl1Change() {
  ready_ = true;
  ResetParameters();
  ApplyParameters();
  if (ActivePageTag()) ApplyAct(Pix2);
  Button4->SetEnabled(false);
}

void TfIOPreviews::ResetParameters() {
  if (!IOParams) return;
  const TIOParamsVals& p = *IOParams;
  v_.JpegQuality = p.JPEG_Quality;
  v_.JpegColorspace = p.JPEG_Colorspace;
  if (p.JPEG_DctMethod <= ioJPEG_FLOAT) v_.JpegDct = p.JPEG_DctMethod;
  v_.JpegOptimal = p.JPEG_OptimalHuffman;
  v_.JpegSmoothing = p.JPEG_Smoothing;
  v_.JpegProgressive = p.JPEG_Progressive;
  v_.J2kRate = p.J2000_Rate;
  v_.J2kColorSpace = p.J2000_ColorSpace;
  v_.TiffCompression = p.TIFF_Compression;
  v_.TiffImageIndex = p.TIFF_ImageIndex;
  v_.TiffPhotometric = p.TIFF_PhotometInterpret;
  v_.TiffX = p.TIFF_XPosition;
  v_.TiffY = p.TIFF_YPosition;
  v_.TiffDocument = p.TIFF_DocumentName;
  v_.TiffDescription = p.TIFF_ImageDescription;
  v_.TiffPageName = p.TIFF_PageName;
  v_.TiffPageNumber = p.TIFF_PageNumber;
  v_.TiffPageCount = p.TIFF_PageCount;
  v_.TiffLzwDecompress = p.TIFF_LZWDecompress;
  v_.TiffLzwCompress = p.TIFF_LZWCompress;
  v_.GifImageIndex = p.GIF_ImageIndex;
  v_.GifLeft = p.GIF_Left;
  v_.GifTop = p.GIF_Top;
  v_.GifDelay = p.GIF_DelayTime;
  v_.GifTransparent = p.GIF_TransparentFlag;
  v_.GifTransparentColor = p.GIF_TransparentColor;
  v_.GifInterlaced = p.GIF_Interlaced;
  v_.GifBackground = p.GIF_Background;
  v_.GifLzwDecompress = p.GIF_LZWDecompress;
  v_.GifLzwCompress = p.GIF_LZWCompress;
  v_.Bits = p.BitsPerSample;
  v_.Samples = p.SamplesPerPixel;
  v_.BmpCompression = p.BMP_Compression;
  v_.BmpChoice = BmpChoiceOfDepth(v_.Bits, v_.Samples, v_.BmpChoice);
  v_.PcxCompression = p.PCX_Compression;
  v_.PcxChoice = PcxChoiceOfDepth(v_.Bits, v_.Samples);
  v_.PngChoice = ThreeChoiceOfDepth(v_.Bits, v_.Samples);
  v_.PngInterlaced = p.PNG_Interlaced;
  v_.PngBackground = p.PNG_Background;
  v_.PngFilter = p.PNG_Filter;
  v_.PngCompression = p.PNG_Compression;
  v_.TgaChoice = ThreeChoiceOfDepth(v_.Bits, v_.Samples);
  v_.TgaBackground = p.TGA_Background;
  v_.TgaCompressed = p.TGA_Compressed;
  v_.TgaName = p.TGA_JobName;
  v_.TgaDescription = p.TGA_ImageID;
}

TLabel* TfIOPreviews::RawLabel(int tag) const {
  switch (tag) {
    case iopJPEG1: return Label4;
    case iopJPEG2: return Label74;
    case iopTIFF1: return Label11;
    case iopTIFF2: return Label78;
    case iopGIF1: return Label28;
    case iopGIF2: return Label84;
    case iopBMP1: return Label40;
    case iopPCX1: return Label46;
    case iopPNG1: return Label51;
    case iopTGA1: return Label59;
    case iopJ20001: return Label68;
    default: return nullptr;
  }
}

TLabel* TfIOPreviews::CompressedLabel(int tag) const {
  switch (tag) {
    case iopJPEG1: return Label25;
    case iopJPEG2: return Label76;
    case iopTIFF1: return Label18;
    case iopTIFF2: return Label80;
    case iopGIF1: return Label30;
    case iopGIF2: return Label86;
    case iopBMP1: return Label42;
    case iopPCX1: return Label48;
    case iopPNG1: return Label53;
    case iopTGA1: return Label61;
    case iopJ20001: return Label70;
    default: return nullptr;
  }
}

void TfIOPreviews::ShowRawSize(TLabel* label) {
  if (!label) return;
  TBitmap* source = Pix1->GetFBitmap();
  const int64_t bits = source->GetPixelFormat() == pf1bit ? 1 : 24;
  const int64_t row = (bits * source->GetWidth() + 31) / 32 * 4;
  label->SetCaption(IntToStr(row * source->GetHeight()) + " bytes");
}

void TfIOPreviews::FillTiffColours() {
  int colours = TiffChoiceOfDepth(v_.Bits, v_.Samples, false);
  switch (v_.TiffPhotometric) {
    case ioTIFF_CMYK:
    case ioTIFF_YCBCR:
    case ioTIFF_CIELAB: colours = 4; break;
    case ioTIFF_RGB:
    case ioTIFF_RGBPALETTE:
    case ioTIFF_TRANSPMASK:
      if (colours == 0) colours = 4;
      break;
    default: colours = v_.Bits == 1 ? 0 : 2; break;
  }
  ComboBox4->SetItemIndex(colours);
  ComboBox3->SetItemIndex(int(v_.TiffPhotometric));
  lastTiffPhotometric_ = int(v_.TiffPhotometric);
  lastTiffColours_ = colours;
}

void TfIOPreviews::ApplyParameters() {
  const bool wasReady = ready_;
  ready_ = false;
  const int tag = ActivePageTag();
  switch (tag) {
    case iopJPEG1:
      TrackBar13->SetPosition(v_.JpegQuality);
      Edit22->SetText(IntToStr(v_.JpegQuality));
      ComboBox1->SetItemIndex(int(v_.JpegDct));
      Edit23->SetText(IntToStr(v_.JpegSmoothing));
      CheckBox2->SetChecked(v_.JpegOptimal);
      CheckBox3->SetChecked(v_.JpegProgressive);
      ComboBox13->SetItemIndex(int(v_.JpegColorspace));
      break;
    case iopJPEG2:
      TrackBar2->SetPosition(v_.JpegQuality);
      Edit16->SetText(IntToStr(v_.JpegQuality));
      break;
    case iopTIFF1:
      ComboBox2->SetItemIndex(int(v_.TiffCompression));
      Edit1->SetText(IntToStr(v_.TiffImageIndex));
      FillTiffColours();
      Edit4->SetText(v_.TiffDocument);
      Edit5->SetText(v_.TiffDescription);
      Edit6->SetText(v_.TiffPageName);
      Edit7->SetText(IntToStr(v_.TiffPageNumber));
      Edit8->SetText(IntToStr(v_.TiffPageCount));
      Edit2->SetText(IntToStr(v_.TiffX));
      Edit3->SetText(IntToStr(v_.TiffY));
      break;
    case iopTIFF2: {
      int item = 0;
      switch (v_.TiffCompression) {
        case ioTIFF_CCITT1D:
        case ioTIFF_G3FAX1D:
        case ioTIFF_G3FAX2D:
        case ioTIFF_G4FAX:
          item = int(v_.TiffCompression);
          v_.Bits = 1;
          v_.Samples = 1;
          break;
        case ioTIFF_LZW: item = 5; break;
        case ioTIFF_PACKBITS: item = 6; break;
        default: item = 0; break;
      }
      ComboBox16->SetItemIndex(item);
      ComboBox17->SetItemIndex(TiffChoiceOfDepth(v_.Bits, v_.Samples, true));
      break;
    }
    case iopGIF1:
      ComboBox5->SetItemIndex(std::clamp(v_.Bits - 1, 0, 7));
      Edit9->SetText(IntToStr(v_.GifImageIndex));
      CheckBox4->SetChecked(v_.GifTransparent);
      Label34->SetEnabled(v_.GifTransparent);
      Panel3->SetEnabled(v_.GifTransparent);
      Panel3->SetColor(TRGB2TColor(v_.GifTransparentColor));
      CheckBox5->SetChecked(v_.GifInterlaced);
      Panel4->SetColor(TRGB2TColor(v_.GifBackground));
      Edit10->SetText(IntToStr(v_.GifLeft));
      Edit11->SetText(IntToStr(v_.GifTop));
      Edit12->SetText(IntToStr(v_.GifDelay));
      break;
    case iopGIF2: ComboBox18->SetItemIndex(std::clamp(v_.Bits - 1, 0, 7)); break;
    case iopBMP1:
      ComboBox6->SetItemIndex(int(v_.BmpCompression));
      ComboBox7->SetItemIndex(v_.BmpChoice);
      break;
    case iopPCX1:
      ComboBox8->SetItemIndex(int(v_.PcxCompression));
      ComboBox9->SetItemIndex(v_.PcxChoice);
      break;
    case iopPNG1:
      ComboBox10->SetItemIndex(v_.PngChoice);
      Panel1->SetColor(TRGB2TColor(v_.PngBackground));
      ComboBox11->SetItemIndex(int(v_.PngFilter));
      CheckBox6->SetChecked(v_.PngInterlaced);
      ComboBox12->SetItemIndex(std::clamp(v_.PngCompression, 0, 9));
      break;
    case iopTGA1:
      ComboBox14->SetItemIndex(v_.TgaChoice);
      Panel5->SetColor(TRGB2TColor(v_.TgaBackground));
      CheckBox1->SetChecked(v_.TgaCompressed);
      Edit13->SetText(v_.TgaName);
      Edit14->SetText(v_.TgaDescription);
      break;
    case iopJ20001:
      TrackBar1->SetPosition(int(std::trunc(v_.J2kRate * 1000)));
      Edit15->SetText(IntToStr(int64_t(std::trunc(v_.J2kRate * 1000))));
      ComboBox15->SetItemIndex(int(v_.J2kColorSpace));
      break;
    default: break;
  }
  ShowRawSize(RawLabel(tag));
  ready_ = wasReady;
}

void TfIOPreviews::Progress(int percent) {
  ProgressBar1->SetPosition(percent / progressDivisor_ + progressOffset_);
}

namespace {

// The number of colours of a depth, (2^bits)^samples, saturated.
int64_t ColoursOf(int bits, int samples) {
  const int64_t total = int64_t(std::max(bits, 0)) * std::max(samples, 0);
  return total >= 31 ? (int64_t(1) << 31) : (int64_t(1) << total);
}

}  // namespace

void TfIOPreviews::ApplyAct(TPixView* view) {
  const int tag = ActivePageTag();
  if (!tag || !view) return;
  TBitmap* source = Pix1->GetFBitmap();
  TBitmap* result = view->GetFBitmap();
  TIOParamsVals& pp = *PreviewIO->IOParams;
  TLabel* sizes[2] = {CompressedLabel(tag), nullptr};
  if (tag == iopJPEG1 || tag == iopJPEG2) sizes[1] = tag == iopJPEG1 ? Label76 : Label25;
  if (tag == iopTIFF1 || tag == iopTIFF2) sizes[1] = tag == iopTIFF1 ? Label80 : Label18;
  if (tag == iopGIF1 || tag == iopGIF2) sizes[1] = tag == iopGIF1 ? Label86 : Label30;
  previewError_.clear();
  progressDivisor_ = 1;
  progressOffset_ = 0;
  int64_t written = 0;

  // Reduces the result to the depth's colours through a palette.
  auto reduceByPalette = [&](int bits, int samples) {
    const int64_t n = ColoursOf(bits, samples);
    if (n >= 257) {
      pp.SetColorMap(nullptr, 0);
      return;
    }
    PreviewProc->SetAttachedBitmap(result);
    std::vector<TRGB> palette(static_cast<size_t>(n));
    PreviewProc->ConvertToPalette(int(n), palette);
    pp.SetColorMap(palette.data(), int(n));
  };
  auto copySource = [&] {
    result->Assign(source);
    if (result->GetPixelFormat() != pf24bit) result->SetPixelFormat(pf24bit);
  };

  try {
    PreviewIO->SetAttachedBitmap(source);
    if (tag == iopJPEG1 || tag == iopJPEG2 || tag == iopJ20001) {
      auto stream = std::make_unique<TMemoryStream>();
      progressDivisor_ = 2;
      if (tag == iopJ20001) {
        pp.J2000_Rate = v_.J2kRate;
        pp.J2000_ColorSpace = v_.J2kColorSpace;
        PreviewIO->SaveToStreamJ2K(stream.get());
      } else {
        pp.JPEG_Quality = v_.JpegQuality;
        pp.JPEG_Colorspace = v_.JpegColorspace;
        pp.JPEG_DctMethod = v_.JpegDct;
        pp.JPEG_OptimalHuffman = v_.JpegOptimal;
        pp.JPEG_Smoothing = v_.JpegSmoothing;
        pp.JPEG_Progressive = v_.JpegProgressive;
        PreviewIO->SaveToStreamJpeg(stream.get());
      }
      if (PreviewIO->Aborting) throw Exception("the encoder stopped");
      written = stream->GetSize();
      stream->SetPosition(0);
      progressOffset_ = 50;
      PreviewIO->SetAttachedBitmap(result);
      if (tag == iopJ20001)
        PreviewIO->LoadFromStreamJ2K(stream.get());
      else
        PreviewIO->LoadFromStreamJpeg(stream.get());
      if (PreviewIO->Aborting) throw Exception("the decoder stopped");
    } else {
      TNulStream null;
      int bits = v_.Bits, samples = v_.Samples;
      switch (tag) {
        case iopTIFF1:
        case iopTIFF2:
          pp.TIFF_LZWDecompress = v_.TiffLzwDecompress;
          pp.TIFF_LZWCompress = v_.TiffLzwCompress;
          pp.TIFF_Compression = v_.TiffCompression;
          pp.TIFF_PhotometInterpret = v_.TiffPhotometric;
          break;
        case iopGIF1:
        case iopGIF2:
          pp.GIF_LZWDecompress = v_.GifLzwDecompress;
          pp.GIF_LZWCompress = v_.GifLzwCompress;
          samples = 1;
          pp.GIF_Interlaced = v_.GifInterlaced;
          break;
        case iopBMP1:
          pp.BMP_Compression = v_.BmpCompression;
          BmpDepthOfChoice(v_.BmpChoice, bits, samples);
          break;
        case iopPCX1:
          pp.PCX_Compression = v_.PcxCompression;
          PcxDepthOfChoice(v_.PcxChoice, bits, samples);
          break;
        case iopPNG1:
          ThreeDepthOfChoice(v_.PngChoice, bits, samples);
          pp.PNG_Interlaced = v_.PngInterlaced;
          pp.PNG_Filter = v_.PngFilter;
          pp.PNG_Compression = v_.PngCompression;
          break;
        case iopTGA1:
          ThreeDepthOfChoice(v_.TgaChoice, bits, samples);
          pp.TGA_Compressed = v_.TgaCompressed;
          break;
        default: break;
      }
      pp.BitsPerSample = bits;
      pp.SamplesPerPixel = samples;
      switch (tag) {
        case iopTIFF1:
        case iopTIFF2: PreviewIO->SaveToStreamTIFF(&null); break;
        case iopGIF1:
        case iopGIF2: PreviewIO->SaveToStreamGif(&null); break;
        case iopBMP1: PreviewIO->SaveToStreamBMP(&null); break;
        case iopPCX1: PreviewIO->SaveToStreamPCX(&null); break;
        case iopPNG1: PreviewIO->SaveToStreamPNG(&null); break;
        default: PreviewIO->SaveToStreamTGA(&null); break;
      }
      if (PreviewIO->Aborting) throw Exception("the encoder stopped");
      written = null.GetSize();
      copySource();
      if (tag == iopTIFF1 || tag == iopTIFF2) {
        const bool gray = v_.TiffPhotometric == ioTIFF_WHITEISZERO || v_.TiffPhotometric == ioTIFF_BLACKISZERO;
        if (gray && bits == 8 && samples == 1) {
          PreviewProc->SetAttachedBitmap(result);
          PreviewProc->ConvertToGray();
          pp.SetColorMap(nullptr, 0);
        } else if (v_.TiffPhotometric < ioTIFF_CMYK) {
          reduceByPalette(bits, samples);
        }
      } else if (tag == iopBMP1 || tag == iopPCX1) {
        const int64_t n = ColoursOf(bits, samples);
        if (n <= 256) {
          PreviewProc->SetAttachedBitmap(result);
          PreviewProc->ConvertTo(int(n));
        }
      } else {
        reduceByPalette(bits, samples);
      }
    }
    for (TLabel* l : sizes)
      if (l) l->SetCaption(IntToStr(written) + " bytes");
  } catch (const std::exception& e) {
    // The result shows the source unchanged and the size label the reason.
    previewError_ = e.what();
    if (previewError_.empty()) previewError_ = "error";
    copySource();
    for (TLabel* l : sizes)
      if (l) l->SetCaption("! " + previewError_);
  }
  PreviewIO->SetAttachedBitmap(nullptr);
  ProgressBar1->SetPosition(0);
  view->Update();
  if (view == Pix2) {
    Pix2->LockPaint();
    Pix2->SetZoom(Pix1->GetZoom());
    Pix2->SetViewXY(Pix1->GetViewX(), Pix1->GetViewY());
    Pix2->UnLockPaint();
  }
}

void TfIOPreviews::ReApply() {
  Button4->SetEnabled(true);
  if (!SpeedButton1->GetDown()) return;
  ApplyAct(Pix2);
}

void TfIOPreviews::OkClick() {
  if (!IOParams) return;
  TIOParamsVals& p = *IOParams;
  switch (ActivePageTag()) {
    case iopJPEG1:
    case iopJPEG2:
      p.JPEG_Quality = v_.JpegQuality;
      p.JPEG_Colorspace = v_.JpegColorspace;
      if (v_.JpegDct <= ioJPEG_FLOAT) p.JPEG_DctMethod = v_.JpegDct;
      p.JPEG_OptimalHuffman = v_.JpegOptimal;
      p.JPEG_Smoothing = v_.JpegSmoothing;
      p.JPEG_Progressive = v_.JpegProgressive;
      break;
    case iopTIFF1:
    case iopTIFF2:
      p.TIFF_Compression = v_.TiffCompression;
      p.TIFF_ImageIndex = v_.TiffImageIndex;
      p.TIFF_PhotometInterpret = v_.TiffPhotometric;
      p.TIFF_XPosition = v_.TiffX;
      p.TIFF_YPosition = v_.TiffY;
      p.TIFF_DocumentName = v_.TiffDocument;
      p.TIFF_ImageDescription = v_.TiffDescription;
      p.TIFF_PageName = v_.TiffPageName;
      p.TIFF_PageNumber = v_.TiffPageNumber;
      p.TIFF_PageCount = v_.TiffPageCount;
      p.SamplesPerPixel = v_.Samples;
      p.BitsPerSample = v_.Bits;
      break;
    case iopGIF1:
    case iopGIF2:
      p.GIF_ImageIndex = v_.GifImageIndex;
      p.GIF_Left = v_.GifLeft;
      p.GIF_Top = v_.GifTop;
      p.GIF_DelayTime = v_.GifDelay;
      p.GIF_TransparentFlag = v_.GifTransparent;
      p.GIF_TransparentColor = v_.GifTransparentColor;
      p.GIF_Interlaced = v_.GifInterlaced;
      p.GIF_Background = v_.GifBackground;
      p.BitsPerSample = v_.Bits;
      break;
    case iopBMP1:
      p.BMP_Compression = v_.BmpCompression;
      BmpDepthOfChoice(v_.BmpChoice, p.BitsPerSample, p.SamplesPerPixel);
      break;
    case iopPCX1:
      p.PCX_Compression = v_.PcxCompression;
      PcxDepthOfChoice(v_.PcxChoice, p.BitsPerSample, p.SamplesPerPixel);
      break;
    case iopPNG1:
      ThreeDepthOfChoice(v_.PngChoice, p.BitsPerSample, p.SamplesPerPixel);
      p.PNG_Background = v_.PngBackground;
      p.PNG_Interlaced = v_.PngInterlaced;
      p.PNG_Filter = v_.PngFilter;
      p.PNG_Compression = v_.PngCompression;
      break;
    case iopTGA1:
      ThreeDepthOfChoice(v_.TgaChoice, p.BitsPerSample, p.SamplesPerPixel);
      p.TGA_Background = v_.TgaBackground;
      p.TGA_Compressed = v_.TgaCompressed;
      p.TGA_JobName = v_.TgaName;
      p.TGA_ImageID = v_.TgaDescription;
      break;
    case iopJ20001:
      p.BitsPerSample = 8;
      p.SamplesPerPixel = v_.J2kColorSpace == ioJ2000_GRAYLEV ? 1 : 3;
      p.J2000_ColorSpace = v_.J2kColorSpace;
      p.J2000_Rate = v_.J2kRate;
      break;
    default: break;
  }
}

void TfIOPreviews::ApplyClick() {
  OkClick();
  Button4->SetEnabled(false);
}
