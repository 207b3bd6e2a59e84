#include "designer/unew.h"

#include "designer/main.h"

TFormNew* FormNew = nullptr;

namespace {

// Entry 0 is the blank template; entry i > 0 opens the library template of
// kChoices[i].
struct Choice {
  const char* caption;
  const char* category;
  int number;
};
constexpr Choice kChoices[] = {
    {"空白模板", nullptr, 0},
    {"工作证（竖）", "工作证", 1},           {"工作证（横）", "工作证", 2},
    {"学生出入证（竖）", "学生出入证", 1},   {"学生出入证（横）", "学生出入证", 2},
    {"准考证（竖）", "准考证", 1},           {"准考证（横）", "准考证", 2},
    {"打卡机模板（竖卡）", "打卡机模板", 1}, {"打卡机模板（横卡）", "打卡机模板", 2},
    {"名片（竖）", "名片", 1},               {"名片（横）", "名片", 2},
    {"收据", "收据", 1},                     {"贺卡", "贺卡", 1},
};

}  // namespace

TFormNew::TFormNew(TComponent* owner) : TForm(owner) {
  Name = "FormNew";
  SetCaption("新建模板:请向作者提供您设计的优秀模板。");
  Position = poMainFormCenter;
  SetClientWidth(500);
  SetClientHeight(260);
  RGselect = new TRadioGroup(this);
  RGselect->Name = "RGselect";
  RGselect->SetParent(this);
  RGselect->SetCaption("向导");
  RGselect->SetBounds(8, 8, 484, 200);
  RGselect->SetColumns(3);
  for (const Choice& c : kChoices) RGselect->GetItems()->Add(c.caption);
  ButtonOK = new TButton(this);
  ButtonOK->Name = "ButtonOK";
  ButtonOK->SetParent(this);
  ButtonOK->SetCaption("确定");
  ButtonOK->SetBounds(316, 222, 80, 28);
  ButtonOK->OnClick = [this](TObject* s) { ButtonOKClick(s); };
  ButtonNO = new TButton(this);
  ButtonNO->Name = "ButtonNO";
  ButtonNO->SetParent(this);
  ButtonNO->SetCaption("取消");
  ButtonNO->SetBounds(408, 222, 80, 28);
  ButtonNO->OnClick = [this](TObject*) { Hide(); };
}

TFormNew::~TFormNew() {
  if (FormNew == this) FormNew = nullptr;
}

// The wizard goes first, so the opened card is not left behind it.
void TFormNew::ButtonOKClick(TObject*) {
  Hide();
  const int index = RGselect->GetItemIndex();
  if (index < 0 || index >= int(std::size(kChoices)) || MainForm == nullptr) return;
  if (index == 0)
    MainForm->NewBlankTemplate();
  else
    MainForm->OpenLibraryTemplate(kChoices[index].category, kChoices[index].number);
}
