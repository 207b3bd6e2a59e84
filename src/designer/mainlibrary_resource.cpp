// The template library's entries in the main window's resource: 新建模板 and
// 最近保存的模板 in the file menu with the 新建 tool button, the library's
// categories, and 保存为自定义模板 above 删除自定义模板.
#include "designer/main.h"
#include "designer/mainlibrary.h"
#include "designer/mainresource.h"

namespace {

struct LibraryEntry {
  const char* category;
  bool categoryShown;
  const char* caption;
  int number;
  bool shown;
};

// Hidden categories and entries wait in the menu for templates of their own.
constexpr LibraryEntry kLibrary[] = {
    {"工作证", true, "竖", 1, true},        {"工作证", true, "横", 2, true},
    {"学生出入证", true, "竖", 1, true},    {"学生出入证", true, "横", 2, true},
    {"准考证", true, "竖", 1, true},        {"准考证", true, "横", 2, true},
    {"打卡机模板", true, "竖卡", 1, true},  {"打卡机模板", true, "横卡", 2, true},
    {"名片", true, "竖", 1, true},          {"名片", true, "横", 2, true},
    {"信封", false, "普通信封", 1, false},  {"信封", false, "大信封", 2, false},
    {"收据", true, "1", 1, true},           {"贺卡", true, "生日快乐", 1, true},
    {"贺卡", true, "新年", 2, false},       {"贺卡", true, "中秋", 3, false},
    {"贺卡", true, "情人节", 4, false},     {"请柬", false, "结婚", 1, false},
    {"请柬", false, "开张", 2, false},      {"请柬", false, "活动", 3, false},
    {"证件", false, "毕业证", 1, false},    {"证件", false, "资格证", 2, false},
    {"奖状", false, "1", 1, false},         {"支票", false, "1", 1, false},
};

TMenuItem* NewItem(TMainForm* f, const char* name, const char* caption) {
  auto* item = new TMenuItem(f);
  item->Name = name;
  item->SetCaption(caption);
  return item;
}

}  // namespace

void BuildTemplateLibrary(TMainForm* f) {
  TMenuItem* file = f->NFile;
  f->Nnew = NewItem(f, "Nnew", "新建模板(&New)");
  file->Insert(file->IndexOf(f->NOpen), f->Nnew);
  f->NFileList = NewItem(f, "NFileList", "最近保存的模板(fileL&ist)");
  file->Insert(file->IndexOf(f->NOpen) + 1, f->NFileList);

  // 新建 leads the main tool bar: every other button is put after it.
  f->Bnew = new TToolButton(f);
  f->Bnew->Name = "Bnew";
  f->Bnew->SetCaption("新建");
  f->Bnew->Hint = "新建";
  std::vector<TToolButton*> others;
  for (int i = 0; i < f->ToolBar1->ButtonCount(); ++i) others.push_back(f->ToolBar1->Buttons(i));
  f->Bnew->SetParent(f->ToolBar1);
  for (TToolButton* button : others) {
    button->SetParent(nullptr);
    button->SetParent(f->ToolBar1);
  }
  f->ToolBar1->ArrangeButtons();

  TMenuItem* library = f->NLibrary;
  TMenuItem* category = nullptr;
  for (const LibraryEntry& e : kLibrary) {
    if (category == nullptr || category->GetCaption() != e.category) {
      category = new TMenuItem(f);
      category->SetCaption(e.category);
      category->SetVisible(e.categoryShown);
      library->Insert(library->IndexOf(f->MenuFunction), category);
    }
    auto* entry = new TLibraryEntry(f);
    entry->SetCaption(e.caption);
    entry->Category = e.category;
    entry->Tag = e.number;
    entry->SetVisible(e.shown);
    entry->OnClick = [f](TObject* s) { f->NGongZHUO1Click(s); };
    category->Add(entry);
  }
  f->NAddMenu = NewItem(f, "NAddMenu", "保存为自定义模板");
  f->MenuFunction->Insert(f->MenuFunction->IndexOf(f->Exitcmd), f->NAddMenu);
}
