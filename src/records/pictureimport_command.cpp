// The picture import command: one file into the current record, or a
// folder's pictures into the records, matched by name or in folder order.
#include <map>
#include <memory>

#include "imaging/view/pix.h"
#include "platform/classes.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/sysutils.h"
#include "records/dbpicsu.h"
#include "records/pictureimport.h"
#include "records/tableguard.h"
#include "records/uselectfield.h"

namespace {

const char* const kNoName = "无名";
const char* const kImportDone = "图片导入结束       ";

bool Ask(const char* question, const char* caption) {
  return Application->MessageBox(question, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

const char* AskTargetField() {
  return Ask("是否当作图片一读入？否则当作图片二读入！ ", "选取图片字段") ? "PIC" : "BACKGROUND";
}

TTable* CardTable() {
  TTable* table = FormPicEdit->Table1;
  if (!table->GetActive()) table->Open();
  return table;
}

int CountRecords(TTable* table) {
  table->First();
  return table->RecordCount();
}

// The names of the files a batch passed over, for one message; a long list
// is cut after its first names.
std::string NamesOf(const std::vector<std::string>& files) {
  constexpr size_t kShown = 20;
  std::string names;
  for (size_t i = 0; i < files.size() && i < kShown; ++i) names += (i ? "、" : "") + ExtractFileName(files[i]);
  if (files.size() > kShown) names += " 等" + std::to_string(files.size()) + "个文件";
  return names;
}

// What a batch could not use, then its closing message.
struct TBatchReport {
  std::vector<std::string> Unsupported, Unreadable;

  void Show(TProgressBar* progress) const {
    progress->SetPosition(progress->GetMax());
    if (!Unsupported.empty()) ShowMessage("请清除不支持的文件：" + NamesOf(Unsupported));
    if (!Unreadable.empty()) ShowMessage("无法装入图像文件：" + NamesOf(Unreadable));
    ShowMessage(kImportDone);
    progress->SetPosition(0);
  }
};

// Stores the picture now in `loader` into the current record's field.
void StoreLoaded(TTable* table, TPix* loader, const std::string& file, const char* field, TMemoryStream* stream) {
  table->Edit();
  StorePictureStream(loader, PictureTypeOfFile(file), table->FieldByName(field), stream);
}

// The key field of a by-name import: AAAA unless the chooser picks another.
std::string ChooseKeyField() {
  if (FormSelectField && FormSelectField->ShowModal() == mrOk) return FormSelectField->ChosenField();
  return "AAAA";
}

// What a batch asks before it starts: nothing on an empty table, the key
// field for a by-name import, the folder, the target field.
struct TBatchChoice {
  int Records = 0;
  std::string KeyField = "AAAA", Folder;
  const char* Target = nullptr;

  bool Ask(const TPictureImportPlace& place, const char* emptyNote, bool byName) {
    Records = CountRecords(CardTable());
    if (Records == 0) {
      ShowMessage(emptyNote);
      return false;
    }
    if (byName) KeyField = ChooseKeyField();
    if (!place.ChooseFolder(Folder)) return false;
    Target = AskTargetField();
    place.Progress->SetMax(Records);
    return true;
  }
};

void ImportByName(const TPictureImportPlace& place) {
  TBatchChoice choice;
  if (!choice.Ask(place, "数据库的记录还是空的，未能读入图片，请先添加记录或做批量数据入库。", true)) return;
  TTableBatch batch;
  if (!batch.Ok()) return;

  // The folder is read once; each name keeps its matches in folder order,
  // the last of which a record receives (an earlier one when it cannot be
  // read).
  TBatchReport report;
  std::map<std::string, std::vector<std::string>> matches;
  for (const std::string& file : PictureFolderListing(choice.Folder)) {
    if (PictureTypeOfFile(file) == ieftUnknown) continue;
    const std::string name = ExtractFileName(file);
    const std::string stem = PictureNameKey(name.substr(0, name.size() - ExtractFileExt(name).size()));
    if (!stem.empty()) matches[stem].push_back(file);
  }
  TTable* table = CardTable();
  const auto paused = PauseTableViews(table);
  TMemoryStream stream;
  int done = 0;
  for (table->First(); !table->Eof() && batch.Ok(); table->Next()) {
    TField* key = table->FieldByName(choice.KeyField);
    if (PictureNameKey(key->GetAsString()).empty()) {
      table->Edit();
      key->SetAsString(kNoName);
    }
    const auto found = matches.find(PictureNameKey(key->GetAsString()));
    if (found != matches.end())
      for (auto file = found->second.rbegin(); file != found->second.rend(); ++file) {
        if (LoadPictureFile(place.Loader, *file)) {
          StoreLoaded(table, place.Loader, *file, choice.Target, &stream);
          break;
        }
        report.Unreadable.push_back(*file);
      }
    place.Progress->SetPosition(done++);
  }
  report.Show(place.Progress);
}

void ImportInOrder(const TPictureImportPlace& place) {
  TBatchChoice choice;
  if (!choice.Ask(place, "数据库姓名栏还没有记录，未能读入图片，请先添加记录并做批量数据入库。", false)) return;
  TTableBatch batch;
  if (!batch.Ok()) return;

  // Files it cannot use take no record: the n-th usable picture goes into
  // record n.
  TBatchReport report;
  TTable* table = CardTable();
  const auto paused = PauseTableViews(table);
  TMemoryStream stream;
  int done = 0;
  table->First();
  for (const std::string& file : PictureFolderListing(choice.Folder)) {
    if (table->Eof() || !batch.Ok()) break;
    if (PictureTypeOfFile(file) == ieftUnknown) {
      report.Unsupported.push_back(file);
      continue;
    }
    if (!LoadPictureFile(place.Loader, file)) {
      report.Unreadable.push_back(file);
      continue;
    }
    StoreLoaded(table, place.Loader, file, choice.Target, &stream);
    table->Next();
    place.Progress->SetPosition(++done);
  }
  report.Show(place.Progress);
}

void ImportOne(const TPictureImportPlace& place) {
  std::string file;
  if (!place.ChooseFile(file)) return;
  const char* target = AskTargetField();
  TTable* table = CardTable();
  if (PictureTypeOfFile(file) == ieftUnknown) {
    ShowMessage("是不支持的文件：" + LowerCase(ExtractFileExt(file)));
    return;
  }
  if (!LoadPictureFile(place.SingleLoader, file)) {
    Application->MessageBox("无法装入图像文件", "装入错误", MB_OK | MB_ICONERROR);
    return;
  }
  // The record stays in edit state; its post passes the table's guard.
  TMemoryStream stream;
  StoreLoaded(table, place.SingleLoader, file, target, &stream);
}

}  // namespace

std::shared_ptr<void> PauseTableViews(TTable* table) {
  table->DisableControls();
  return std::shared_ptr<void>(nullptr, [table](void*) { table->EnableControls(); });
}

void ImportPictures(const TPictureImportPlace& place) {
  if (!Ask("点击是批量导入图片？点击否逐个设置图片！ ", "选择")) return ImportOne(place);
  if (Ask("是否按对应图片名读入？否则按时间顺序读入！ ", "决定之前先看看图片名是否就是姓名"))
    ImportByName(place);
  else
    ImportInOrder(place);
}
