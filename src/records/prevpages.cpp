// Pages of the preview saved as picture files, every page into a folder of
// their own or one chosen page, optionally mirrored for printing on the
// back of transparent film.
#include "imaging/proc/ierotate.h"
#include "imaging/view/pix.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "records/prev.h"

namespace {

const char kChoiceCaption[] = "任君选择";

// Extensions of the save dialog's formats, in the order of its filter; the
// first of each is the one a saved page gets.
const std::vector<std::vector<const char*>> kFormatExtensions = {
    {".jpg", ".jpeg"}, {".jpg", ".jpeg"}, {".bmp"}, {".PNG"}, {".Gif"},
    {".TIFF", ".tif"}, {".PCX"},          {".TGA"}, {".PXM"}};

// The format of a filter index; anything outside the filter is JPEG.
size_t FormatOf(int filterIndex) {
  return filterIndex >= 1 && filterIndex <= int(kFormatExtensions.size()) ? size_t(filterIndex - 1) : 0;
}

void SaveInFormat(TPix* pix, int filterIndex, const std::string& name) {
  switch (FormatOf(filterIndex)) {
    case 2: pix->SaveToFileBMP(name); break;
    case 3: pix->SaveToFilePNG(name); break;
    case 4: pix->SaveToFileGif(name); break;
    case 5: pix->SaveToFileTIFF(name); break;
    case 6: pix->SaveToFilePCX(name); break;
    case 7: pix->SaveToFileTGA(name); break;
    case 8: pix->SaveToFilePXM(name); break;
    default: pix->SaveToFileJpeg(name); break;
  }
}

bool AskYes(const std::string& question) {
  return Dialogs().MessageBox(question, kChoiceCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

}  // namespace

std::string PagePictureExtension(int filterIndex) { return kFormatExtensions[FormatOf(filterIndex)].front(); }

bool HasPagePictureExtension(const std::string& name, int filterIndex) {
  const std::string extension = ExtractFileExt(name);
  for (const char* known : kFormatExtensions[FormatOf(filterIndex)])
    if (SameText(extension, known)) return true;
  return false;
}

std::string PagePictureName(const std::string& chosen, int page, const std::string& extension) {
  const std::string file = ExtractFileName(chosen);
  std::string stem = ChangeFileExt(file, "");
  if (stem.empty()) stem = file;  // ".jpg": a name that is all extension
  return ExtractFilePath(chosen) + stem + "/第" + std::to_string(page) + "页" + extension;
}

bool TPrevForm::RenderPage(int page, bool mirror) {
  TQuickRep* report = Report();
  TBitmap bitmap;
  if (!report || !report->QRPrinter->PageToBitmap(page, &bitmap)) return false;
  Pix1->Assign(&bitmap);
  if (mirror) Pix1->Flip(fdHorizontal);
  return true;
}

void TPrevForm::BSaveAsPicClick(TObject*) {
  TQuickRep* report = Report();
  if (!report) return;
  const bool mirror = AskYes("保存为背面镜像图吗？");
  if (AskYes("所有页都保存为图吗？否则将只让您保存特定的页。 ")) {
    if (!SavePictureDialog1->Execute()) return;
    const int format = SavePictureDialog1->FilterIndex;
    const std::string chosen = Trim(SavePictureDialog1->FileName);
    const std::string extension = PagePictureExtension(format);
    const std::string folder = ExtractFilePath(PagePictureName(chosen, 1, extension));
    if (!ForceDirectories(folder)) {
      ShowMessage("不能建立文件夹 " + folder);
      return;
    }
    for (int page = 1; page <= PageCount(); ++page)
      if (RenderPage(page, mirror)) SaveInFormat(Pix1, format, PagePictureName(chosen, page, extension));
    return;
  }
  std::string answer = "1";
  if (!InputQuery("页码", "您要保存第几页？                  ", answer)) return;
  int page = 0;
  if (!TryStrToInt(Trim(answer), page)) {
    ShowMessage("你的输入有误，这不是有效的数字，应该输入阿拉伯数字！");
    return;
  }
  if (!SavePictureDialog1->Execute()) return;
  if (page < 1 || page > PageCount()) {
    ShowMessage("您所选的页码超出范围！");
    return;
  }
  const int format = SavePictureDialog1->FilterIndex;
  std::string name = Trim(SavePictureDialog1->FileName);
  if (!HasPagePictureExtension(name, format)) name += PagePictureExtension(format);
  if (RenderPage(page, mirror)) SaveInFormat(Pix1, format, name);
}
