// The dialog service, the message and input boxes over it, and the
// scripted responder of tests.
#include "platform/dialogs.h"

#include "platform/commdlg.h"

TDialogService& QtDialogService();

namespace {
TDialogService* gService = nullptr;
}

TDialogService& Dialogs() { return gService ? *gService : QtDialogService(); }

void SetDialogService(TDialogService* service) { gService = service; }

std::vector<int> MessageBoxButtons(unsigned flags) {
  switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO: return {IDYES, IDNO};
    case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
    default: return {IDOK};
  }
}

int DefaultAnswer(unsigned flags) {
  std::vector<int> buttons = MessageBoxButtons(flags);
  size_t index = (flags & MB_DEFMASK) >> 8;
  return buttons[index < buttons.size() ? index : 0];
}

void ShowMessage(const std::string& text) {
  Dialogs().MessageBox(text, Application ? Application->Title : std::string(), MB_OK);
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
  static const char* const captions[] = {"警告", "错误", "信息", "确认", ""};
  static const unsigned icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
  unsigned kind = MB_OK;
  if ((buttons & mbYes) && (buttons & mbNo))
    kind = (buttons & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if (buttons & mbAbort)
    kind = MB_ABORTRETRYIGNORE;
  else if ((buttons & mbRetry) && (buttons & mbCancel))
    kind = MB_RETRYCANCEL;
  else if ((buttons & mbOK) && (buttons & mbCancel))
    kind = MB_OKCANCEL;
  std::string caption = type == mtCustom && Application ? Application->Title : captions[type];
  // The answers share their numbers with the modal results.
  return Dialogs().MessageBox(text, caption, kind | icons[type]);
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  return Dialogs().InputQuery(caption, prompt, value);
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue) {
  std::string value = defaultValue;
  return InputQuery(caption, prompt, value) ? value : defaultValue;
}

// Scripted responder -------------------------------------------------------------------

TScriptedDialogs::TScriptedDialogs() : previous_(gService) { gService = this; }

TScriptedDialogs::~TScriptedDialogs() { gService = previous_; }

void TScriptedDialogs::Answer(int result) { answers_.push_back({result, "", true, false, {}, {}}); }

void TScriptedDialogs::AnswerInput(const std::string& value, bool ok) { answers_.push_back({0, value, ok, false, {}, {}}); }

void TScriptedDialogs::AnswerModal(TModalResult result, std::function<void(TCustomForm*)> prepare) {
  answers_.push_back({result, "", true, false, std::move(prepare), {}});
}

void TScriptedDialogs::AnswerModalByLoop() { answers_.push_back({0, "", true, true, {}, {}}); }

void TScriptedDialogs::AnswerDialog(std::function<bool(TCommonDialog*)> user) {
  TAnswer answer;
  answer.User = std::move(user);
  answers_.push_back(std::move(answer));
}

bool TScriptedDialogs::Take(TAnswer& answer) {
  if (answers_.empty()) return false;
  answer = std::move(answers_.front());
  answers_.pop_front();
  return true;
}

int TScriptedDialogs::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  Records.push_back({TDialogRecord::Message, caption, text, flags, nullptr});
  if (MessageBoxButtons(flags).size() == 1) return IDOK;
  TAnswer answer;
  return Take(answer) ? answer.Result : DefaultAnswer(flags);
}

bool TScriptedDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  Records.push_back({TDialogRecord::Input, caption, prompt, 0, nullptr});
  TAnswer answer;
  if (!Take(answer) || !answer.Ok) return false;
  value = answer.Value;
  return true;
}

void TScriptedDialogs::RunModal(TCustomForm* form) {
  Records.push_back({TDialogRecord::Modal, form->GetCaption(), "", 0, form});
  TAnswer answer;
  if (!Take(answer))
    throw EInvalidOperation("No scripted answer for the modal form \"" + form->GetCaption() + "\"");
  if (answer.Loop) {
    form->RunModalLoop();
    return;
  }
  if (answer.Prepare) answer.Prepare(form);
  form->ModalResult = answer.Result;
  form->CloseModal();
}

bool TScriptedDialogs::ExecuteDialog(TCommonDialog* dialog) {
  TDialogRecord record{TDialogRecord::Common, dialog->DialogCaption(), "", 0, nullptr};
  record.Dialog = dialog;
  Records.push_back(record);
  TAnswer answer;
  if (!Take(answer)) return false;
  if (answer.User) return answer.User(dialog);
  return answer.Result == IDOK;
}
