#include "designer/newimage.h"

#include "platform/sysutils.h"

Tnewimageform* newimageform = nullptr;

namespace {

template <class T>
T* Make(Tnewimageform* form, TWinControl* parent, int left, int top, int width, int height) {
  T* control = new T(form);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

void Label(Tnewimageform* form, TWinControl* parent, const char* caption, int left, int top) {
  auto* label = Make<TLabel>(form, parent, left, top, 30, 16);
  label->SetCaption(caption);
}

int SizeOf(TEdit* edit, TUpDown* upDown) {
  int value = 0;
  return TryStrToInt(Trim(edit->GetText()), value) ? value : upDown->GetPosition();
}

}  // namespace

Tnewimageform::Tnewimageform(TComponent* owner) : TForm(owner) {
  Name = "newimageform";
  SetCaption("新建版图");
  Position = poScreenCenter;
  SetBorderStyle(bsDialog);
  SetClientWidth(300);
  SetClientHeight(180);
  GroupBox1 = Make<TGroupBox>(this, this, 12, 8, 236, 90);
  GroupBox1->SetCaption("长宽");
  auto row = [this](const char* caption, int top, TEdit*& edit, TUpDown*& upDown, const char* name,
                    const char* upName) {
    Label(this, GroupBox1, caption, 16, top + 3);
    edit = Make<TEdit>(this, GroupBox1, 52, top, 100, 21);
    edit->Name = name;
    upDown = Make<TUpDown>(this, GroupBox1, 152, top, 16, 21);
    upDown->Name = upName;
    upDown->SetMin(0);
    upDown->SetMax(10000);
    upDown->Thousands = false;
    upDown->SetAssociate(edit);
    Label(this, GroupBox1, "毫米", 176, top + 3);
  };
  row("宽:", 22, ImageWidth, WidthJustfy, "ImageWidth", "WidthJustfy");
  row("高：", 54, ImageHeight, HeighJustfy, "ImageHeight", "HeighJustfy");
  OkButton = Make<TButton>(this, this, 56, 112, 75, 25);
  OkButton->Name = "OkButton";
  OkButton->SetCaption("确定");
  OkButton->ModalResult = mrOk;
  OkButton->Default = true;
  CancelButton1 = Make<TButton>(this, this, 140, 112, 75, 25);
  CancelButton1->Name = "CancelButton1";
  CancelButton1->SetCaption("取消");
  CancelButton1->ModalResult = mrCancel;
  CancelButton1->Cancel = true;
}

Tnewimageform::~Tnewimageform() {
  if (newimageform == this) newimageform = nullptr;
}

int Tnewimageform::WidthMm() const { return SizeOf(ImageWidth, WidthJustfy); }
int Tnewimageform::HeightMm() const { return SizeOf(ImageHeight, HeighJustfy); }
