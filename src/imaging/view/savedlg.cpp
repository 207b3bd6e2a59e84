// The save dialog: the open dialog over the writable formats, the name's
// extension following the type, "Advanced..." for the save parameters,
// and the attached component's parameters put back on Cancel.
#include <memory>

#include "imaging/io/ieformats.h"
#include "imaging/io/ioparams.h"
#include "imaging/io/pixio.h"
#include "imaging/view/opendlg.h"
#include "imaging/view/opendlg_form.h"
#include "platform/buttons.h"
#include "platform/stdctrls.h"
#include "platform/sysutils.h"

TSavePixDialog::TSavePixDialog(TComponent* owner)
    : TOpenPixDialog(owner), backup_(std::make_unique<TIOParamsVals>(nullptr)) {
  saveDialog_ = true;
  previewEnabled_ = true;
  PIEFileFormatInfo gif = IEFileFormatGetInfo(ieftGIF);
  Filter = std::string("JPEG Bitmap (JPG)|*.jpg") + (gif && gif->WriteFunction ? "|CompuServe Bitmap (GIF)|*.gif" : "") +
           "|TIFF Bitmap (TIF)|*.tif|PaintBrush (PCX)|*.pcx|Portable Network Graphics (PNG)|*.png"
           "|Windows Bitmap (BMP)|*.bmp|OS/2 Bitmap (BMP)|*.bmp|Targa Bitmap (TGA)|*.tga"
           "|Portable PixMap (PXM)|*.pxm|Portable PixMap (PPM)|*.ppm|Portable GreyMap (PGM)|*.pgm"
           "|Portable Bitmap (PBM)|*.pbm|JPEG2000 (JP2)|*.jp2|JPEG2000 Code Stream (J2K)|*.j2k";
}

TSavePixDialog::~TSavePixDialog() {
  if (attached_) attached_->RemoveFreeNotification(this);
}

std::string TSavePixDialog::DialogCaption() const { return Title.empty() ? "另存为" : Title; }

void TSavePixDialog::SetAttachedPixIO(TComponent* component) {
  auto* io = dynamic_cast<TPixIO*>(component);
  if (!io) return;
  if (attached_) attached_->RemoveFreeNotification(this);
  attached_ = io;
  attached_->FreeNotification(this);
}

void TSavePixDialog::Notification(TComponent* component, TOperation operation) {
  TOpenPixDialog::Notification(component, operation);
  if (operation == opRemove && component == attached_) attached_ = nullptr;
}

std::string TSavePixDialog::ReplaceExtension(const std::string& name, const std::string& ext) {
  // Only the last extension goes: "card.front.jpg" keeps "card.front".
  const size_t slash = name.find_last_of("/\\");
  const size_t dot = name.rfind('.');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
                      dot > (slash == std::string::npos ? 0 : slash + 1);
  return (hasExt ? name.substr(0, dot) : name) + ext;
}

void TSavePixDialog::SetFileNameExt() {
  if (!Form()) return;
  const std::string name = GetFileName2();
  const std::string ext = FirstExtension(Form()->CurrentPatterns());
  if (name.empty() || ext.empty() || ext == ".*") return;
  Form()->NameEdit->SetText(ReplaceExtension(name, ext));
}

void TSavePixDialog::DoTypeChange() {
  SetFileNameExt();
  TOpenPixDialog::DoTypeChange();
}

bool TSavePixDialog::Execute() {
  previewEnabled_ = (ExOptions & sdShowPreview) != 0;
  templateName_ = previewEnabled_ ? "IDD_IETEMPLATE" : "IDD_IETEMPLATE1";
  if (AutoSetFilter) Filter = BuildStrFilter();
  AdvancedButton->OnClick = [this](TObject*) { DoAdvanced(); };
  AdvancedButton->SetVisible((ExOptions & sdShowAdvanced) != 0);
  AdvancedButton->SetCaption(iemsg(IEMSG_ADVANCED, MsgLanguage) + "...");
  PreviewCheck->SetCaption(iemsg(IEMSG_PREVIEW, MsgLanguage));
  PreviewCheck->SetVisible(previewEnabled_);
  if (attached_) backup_->Assign(attached_->IOParams);
  const bool ok = DoExecute();
  // Cancel undoes what "Advanced..." changed.
  if (!ok && attached_) attached_->IOParams->Assign(backup_.get());
  const std::string name = GetFileName();
  if (!name.empty() && ExtractFileExt(ExtractFileName(name)).empty()) {
    const std::vector<TFileFilter> filters = ParseFileFilter(Filter);
    const int index = GetFilterIndex();
    if (index >= 1 && index <= int(filters.size()) && !filters[size_t(index - 1)].Patterns.empty()) {
      std::string patterns;
      for (const std::string& p : filters[size_t(index - 1)].Patterns) patterns += (patterns.empty() ? "" : ";") + p;
      SetFileName(name + FirstExtension(patterns));
    }
  }
  return ok;
}

void TSavePixDialog::DoAdvanced() {
  std::string ext = ExtractFileExt(ExtractFileName(GetFileName()));
  if (ext.empty()) ext = DefaultExt;
  ext = LowerCase(ext);
  if (!ext.empty() && ext.front() == '.') ext.erase(0, 1);
  PIEFileFormatInfo gif = IEFileFormatGetInfo(ieftGIF);
  TPreviewParams pages = 0;
  if (ext == "jpg" || ext == "jpeg" || ext == "jpe") pages = ppJPEG;
  else if (ext == "jp2" || ext == "j2k" || ext == "jpc" || ext == "j2c") pages = ppJ2000;
  else if (ext == "tif" || ext == "tiff" || ext == "fax" || ext == "g3f" || ext == "g3n") pages = ppTIFF;
  else if (ext == "gif" && gif && gif->WriteFunction) pages = ppGIF;
  else if (ext == "bmp" || ext == "dib" || ext == "rle") pages = ppBMP;
  else if (ext == "pcx") pages = ppPCX;
  else if (ext == "png") pages = ppPNG;
  else if (ext == "tga" || ext == "targa" || ext == "vda" || ext == "icb" || ext == "vst" || ext == "win") pages = ppTGA;
  if (!pages || !attached_) return;
  attached_->DoIOPreviews(pages);
}
