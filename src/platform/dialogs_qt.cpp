// The dialog service of the running program: Qt's message and input
// dialogs, and the forms' own modal loop.
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include "platform/commdlg.h"
#include "platform/dialogs.h"

namespace {

const char* ButtonText(int answer) {
  switch (answer) {
    case IDOK: return "确定";
    case IDCANCEL: return "取消";
    case IDABORT: return "中止(&A)";
    case IDRETRY: return "重试(&R)";
    case IDIGNORE: return "忽略(&I)";
    case IDYES: return "是(&Y)";
    default: return "否(&N)";
  }
}

QMessageBox::Icon IconOf(unsigned flags) {
  switch (flags & MB_ICONMASK) {
    case MB_ICONSTOP: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

class TQtDialogs : public TDialogService {
 public:
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return DefaultAnswer(flags);
    QMessageBox box(IconOf(flags), QString::fromStdString(caption), QString::fromStdString(text));
    std::vector<int> answers = MessageBoxButtons(flags);
    std::vector<QPushButton*> buttons;
    for (int answer : answers) buttons.push_back(box.addButton(QString::fromUtf8(ButtonText(answer)), QMessageBox::AcceptRole));
    int def = DefaultAnswer(flags);
    for (size_t i = 0; i < answers.size(); ++i)
      if (answers[i] == def) box.setDefaultButton(buttons[i]);
    box.exec();
    for (size_t i = 0; i < answers.size(); ++i)
      if (box.clickedButton() == buttons[i]) return answers[i];
    // Closed without a button: the cancel answer when there is one.
    for (int answer : answers)
      if (answer == IDCANCEL) return answer;
    return answers.size() == 1 ? answers[0] : def;
  }

  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    bool ok = false;
    QString text = QInputDialog::getText(nullptr, QString::fromStdString(caption), QString::fromStdString(prompt),
                                         QLineEdit::Normal, QString::fromStdString(value), &ok);
    if (ok) value = text.toStdString();
    return ok;
  }

  void RunModal(TCustomForm* form) override { form->RunModalLoop(); }

  bool ExecuteDialog(TCommonDialog* dialog) override {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    return dialog->RunPlatformDialog();
  }
};

}  // namespace

TDialogService& QtDialogService() {
  static TQtDialogs service;
  return service;
}
