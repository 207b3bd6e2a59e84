#include "designer/editbox.h"

#include "designer/main.h"
#include "records/dbpicsu.h"

TFormEditBox* FormEditBox = nullptr;

namespace {

template <class T>
T* Make(TFormEditBox* form, const char* name, int left, int top, int width, int height) {
  T* control = new T(form);
  control->Name = name;
  control->SetParent(form);
  control->SetBounds(left, top, width, height);
  return control;
}

}  // namespace

TFormEditBox::TFormEditBox(TComponent* owner) : TForm(owner) {
  Name = "FormEditBox";
  SetCaption("文本");
  Position = poMainFormCenter;
  SetClientWidth(400);
  SetClientHeight(260);
  Edit1 = Make<TEdit>(this, "Edit1", 8, 8, 384, 28);
  AAAA = Make<TDBRichEdit>(this, "AAAA", 8, 44, 384, 140);
  Label1 = Make<TLabel>(this, "Label1", 8, 190, 384, 28);
  Label1->GetFont()->Color = clRed;
  Label1->WordWrap = true;
  Button1 = Make<TButton>(this, "Button1", 228, 226, 75, 25);
  Button1->SetCaption("字体");
  Button2 = Make<TButton>(this, "Button2", 316, 226, 75, 25);
  Button2->SetCaption("确定");
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  Button2->OnClick = [this](TObject* s) { Button2Click(s); };
}

TFormEditBox::~TFormEditBox() {
  if (FormEditBox == this) FormEditBox = nullptr;
}

void TFormEditBox::OpenFor(int index, bool isTitle, const std::string& caption, TFont* font, const std::string& field,
                           TDataSource* source) {
  BoundIndex = index;
  BoundIsTitle = isTitle;
  Edit1->SetText(caption);
  Edit1->GetFont()->Assign(font);
  if (isTitle) {
    AAAA->Hide();
    Label1->SetCaption("这是静态文本");
  } else {
    AAAA->SetDataSource(source);
    AAAA->SetDataField(field);
    AAAA->GetFont()->Assign(font);
    AAAA->Show();
    Label1->SetCaption("这是数据库字段文本,上面是字段名，下面是该字段当前记录的数据");
  }
  Show();
}

void TFormEditBox::Button1Click(TObject*) {
  TFontDialog* dialog = MainForm->FontDialog1;
  dialog->Font.Assign(Edit1->GetFont());
  if (dialog->Execute()) {
    Edit1->GetFont()->Assign(&dialog->Font);
    AAAA->GetFont()->Assign(&dialog->Font);
    Edit1->Repaint();
  }
}

void TFormEditBox::Button2Click(TObject*) {
  TMainForm* f = MainForm;
  const int k = BoundIndex;
  if (f && k >= 0 && k < kTextSlots) {
    const size_t i = size_t(k);
    const std::string text = Edit1->GetText();
    if (BoundIsTitle) {
      f->QRTitleLabels[i]->GetFont()->Assign(Edit1->GetFont());
      f->QRTitleLabels[i]->SetCaption(text);
      f->CheckListBox2->GetItems()->Put(k, text);
      f->TitleLabels[i]->GetFont()->Assign(Edit1->GetFont());
    } else {
      f->CheckListBox1->GetItems()->Put(k, text);
      if (k < f->DBGrid1->Columns()->Count()) f->DBGrid1->Columns()->Items(k)->Title()->SetCaption(text);
      if (FormPicEdit && FormPicEdit->DBGrid1 && k < FormPicEdit->DBGrid1->Columns()->Count())
        FormPicEdit->DBGrid1->Columns()->Items(k)->Title()->SetCaption(text);
      f->QRDBTexts[i]->GetFont()->Assign(Edit1->GetFont());
      f->DBTexts[i]->GetFont()->Assign(Edit1->GetFont());
    }
  }
  Close();
}
