// The collect-save: the card-holder table, the logo, the seal, the layout
// picture and the template gathered into one folder the user chooses, the
// table then used from there.
#include <optional>
#include <utility>
#include <vector>

#include "designer/collectsave.h"
#include "designer/dirunit.h"
#include "designer/main.h"
#include "platform/dialogs.h"
#include "platform/jpegimage.h"
#include "platform/sysutils.h"
#include "records/dbpicsu.h"
#include "records/tableguard.h"

namespace {

// A change of the stock table that was under way when the collect-save
// began: it may not be written there, so it goes into the copy.
struct PendingChange {
  bool inserting = false;
  int recNo = 0;
  std::vector<std::pair<std::string, std::optional<std::string>>> values;
};

// Posts a pending change of a table that may change; takes one of the
// stock table off it. Either way the table is left without a change.
std::optional<PendingChange> TakePendingChange(TTable* table, const std::string& startDir) {
  if (!table->GetActive() || (table->State() != dsEdit && table->State() != dsInsert)) return std::nullopt;
  if (!IsStockTable(table, startDir)) {
    table->CheckBrowseMode();
    return std::nullopt;
  }
  table->UpdateRecord();
  std::optional<PendingChange> change;
  if (table->Modified()) {
    change.emplace();
    change->inserting = table->State() == dsInsert;
    change->recNo = table->GetRecNo();
    for (int i = 0; i < table->FieldCount(); ++i) {
      TField* field = table->Fields(i);
      change->values.emplace_back(field->FieldName,
                                  field->IsNull() ? std::nullopt : std::optional<std::string>(field->GetAsString()));
    }
  }
  table->Cancel();
  return change;
}

// Makes the change again in the moved table, which is left in edit state.
void PutPendingChange(TTable* table, const PendingChange& change) {
  if (change.inserting) {
    table->Append();
  } else {
    if (change.recNo >= 1 && change.recNo <= table->RecordCount()) table->SetRecNo(change.recNo);
    table->Edit();
  }
  for (const auto& [name, value] : change.values)
    if (TField* field = table->FindField(name)) {
      if (value)
        field->SetAsString(*value);
      else
        field->Clear();
    }
}

// Saves a picture under `path` in the kind its extension names: JPEG for
// .jpg and .jpeg, else a bitmap.
void SavePictureAs(TPicture* picture, const std::string& path) {
  TGraphic* graphic = picture->GetGraphic();
  if (graphic == nullptr || graphic->GetEmpty()) return;
  const std::string ext = LowerCase(ExtractFileExt(path));
  TBitmap bitmap;
  bitmap.Assign(graphic);
  if (ext == ".jpg" || ext == ".jpeg") {
    TJPEGImage jpeg;
    jpeg.Assign(&bitmap);
    jpeg.SaveToFile(path);
  } else {
    bitmap.SaveToFile(path);
  }
}

}  // namespace

void TMainForm::NMoveDBClick(TObject*) {
  // The template save inside a collect-save never starts another.
  if (CollectMode || FormDir == nullptr || FormPicEdit == nullptr) return;
  CollectMode = true;
  FormDir->Label1->Hide();
  FormDir->FilterComboBox1->Hide();
  // Whatever happens below, the chooser and the mode are as before.
  struct Restore {
    ~Restore() {
      if (FormDir) {
        FormDir->Label1->Show();
        FormDir->FilterComboBox1->Show();
      }
      CollectMode = false;
      SetCurrentDir(DataDir);
    }
  } restore;
  // A change under way is settled before the chooser takes the focus from
  // the control that edits it (which would post it again).
  TTable* table = FormPicEdit->Table1;
  const std::optional<PendingChange> pending = TakePendingChange(table, StartDir);
  if (FormDir->ShowModal() != mrOk) return;
  const CollectTarget target = CollectTargetOf(FormDir->DirectoryListBox1->GetDirectory());
  if (const std::string refusal = CollectRefusal(target); !refusal.empty()) {
    ShowMessage(refusal);
    return;
  }
  CollectPicturePath = target.PicturePath;
  CollectTemplatePath = target.TemplatePath;

  const std::string oldFolder = table->GetDatabaseName();
  const std::string source = table->FileName();
  if (!TableFilesExist(source)) {
    ShowMessage(" 无法备份! 目录不存在.");
  } else {
    // The table is closed before its files are read.
    const bool wasOpen = table->GetActive();
    table->Close();
    MoveDBResult = CopyTableFiles(source, target.Folder);
    if (MoveDBResult != 0) {
      ShowMessage("备份数据库失败！");
      ShowMessage("  失败于备份第" + IntToStr(MoveDBResult) + "个文件!");
      // The table stays where it was; nothing more is collected.
      if (wasOpen) table->Open();
      return;
    }
    ShowMessage("  成功! 数据库文件从：\n'" + oldFolder + "'  \n备份到：\n'" + target.Folder + "'");
    table->SetDatabaseName(target.Folder);
    table->SetTableName("data.DBF");
    table->Open();
    if (pending)
      PutPendingChange(table, *pending);
    else
      table->Edit();
  }

  if (!LogoPath.empty()) {
    LogoPath = target.Folder + ExtractFileName(LogoPath);
    SavePictureAs(SignPic->GetPicture(), LogoPath);
  }
  if (!SealPath.empty()) {
    SealPath = target.Folder + ExtractFileName(SealPath);
    SavePictureAs(ImageZhang->GetPicture(), SealPath);
  }
  // The layout picture as its Save As does in collect mode, then the
  // template, which takes the collected paths.
  BGFileName = TemplateBGPath = CollectPicturePath;
  SavePictureAs(Drawor->GetPicture(), CollectPicturePath);
  NSaveAs->Click();
}
