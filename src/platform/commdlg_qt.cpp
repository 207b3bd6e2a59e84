// The Qt dialogs behind the common dialogs. Each shows its dialog, then
// hands what the user picked to the dialog's own choice call, so that the
// program and the tests complete a choice the same way.
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>

#include "platform/commdlg.h"
#include "platform/sysutils.h"

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// "Description (*.a *.b)" as Qt's file dialog reads a name filter; a
// pattern list the description already ends with is not shown twice.
QString QtNameFilter(const TFileFilter& filter) {
  QStringList patterns;
  for (const std::string& pattern : filter.Patterns) patterns << (pattern == "*.*" ? QString("*") : Q(pattern));
  QString description = Q(filter.Description).trimmed();
  qsizetype open = description.lastIndexOf('(');
  if (description.endsWith(')') && open >= 0 && description.indexOf('*', open) > open)
    description = description.left(open).trimmed();
  return description + " (" + patterns.join(' ') + ")";
}

}  // namespace

bool TOpenDialog::RunPlatformDialog() {
  QFileDialog dialog(nullptr, Q(DialogCaption()), Q(StartFolder()));
  dialog.setAcceptMode(IsSaveDialog() ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  if (Options & ofAllowMultiSelect)
    dialog.setFileMode(QFileDialog::ExistingFiles);
  else if (!IsSaveDialog() && (Options & ofFileMustExist))
    dialog.setFileMode(QFileDialog::ExistingFile);
  else
    dialog.setFileMode(QFileDialog::AnyFile);
  // The overwrite question is asked by ChooseFiles, through the dialog service.
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (Options & ofForceShowHidden) dialog.setFilter(dialog.filter() | QDir::Hidden);
  QStringList nameFilters;
  for (const TFileFilter& filter : ParseFileFilter(Filter)) nameFilters << QtNameFilter(filter);
  if (!nameFilters.isEmpty()) {
    dialog.setNameFilters(nameFilters);
    if (FilterIndex >= 1 && FilterIndex <= nameFilters.size()) dialog.selectNameFilter(nameFilters[FilterIndex - 1]);
  }
  if (!FileName.empty()) dialog.selectFile(Q(ExtractFileName(FileName)));
  for (;;) {
    if (dialog.exec() != QDialog::Accepted) return false;
    std::vector<std::string> names;
    for (const QString& name : dialog.selectedFiles()) names.push_back(name.toStdString());
    int index = int(nameFilters.indexOf(dialog.selectedNameFilter())) + 1;
    if (ChooseFiles(names, index)) return true;
  }
}

bool TColorDialog::RunPlatformDialog() {
  QColor chosen = QColorDialog::getColor(ToQColor(Color), nullptr, Q(DialogCaption()));
  if (!chosen.isValid()) return false;
  Color = RGB(uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue()));
  return true;
}

bool TFontDialog::RunPlatformDialog() {
  QFont shown(Q(Font.Name));
  shown.setPointSize(std::max(1, Font.GetSize()));
  shown.setBold(Font.Style & fsBold);
  shown.setItalic(Font.Style & fsItalic);
  shown.setUnderline(Font.Style & fsUnderline);
  shown.setStrikeOut(Font.Style & fsStrikeOut);
  bool ok = false;
  QFont chosen = QFontDialog::getFont(&ok, shown, nullptr, Q(DialogCaption()));
  if (!ok) return false;
  Font.Name = chosen.family().toStdString();
  if (chosen.pointSize() > 0) Font.SetSize(chosen.pointSize());
  Font.Style = 0;
  if (chosen.bold()) Font.Style |= fsBold;
  if (chosen.italic()) Font.Style |= fsItalic;
  if (chosen.underline()) Font.Style |= fsUnderline;
  if (chosen.strikeOut()) Font.Style |= fsStrikeOut;
  return true;
}

bool TFolderDialog::RunPlatformDialog() {
  QString start = Q(Directory.empty() ? Root : Directory);
  for (;;) {
    QString chosen = QFileDialog::getExistingDirectory(nullptr, Q(DialogCaption()), start);
    if (chosen.isEmpty()) return false;
    if (ChooseFolder(chosen.toStdString())) return true;
    start = chosen;
  }
}
