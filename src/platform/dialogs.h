// The dialog service: every message box, input box and modal form run of
// the program goes through it. The program uses real Qt dialogs; tests
// install a TScriptedDialogs, which answers from a queue and records every
// text and caption it was shown.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms.h"

class TCommonDialog;  // commdlg.h

// Message box buttons, icons and answers.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_RETRYCANCEL = 0x5;
constexpr unsigned MB_TYPEMASK = 0xF;
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONWARNING = 0x30;
constexpr unsigned MB_ICONASTERISK = 0x40;
constexpr unsigned MB_ICONINFORMATION = 0x40;
constexpr unsigned MB_ICONMASK = 0xF0;
constexpr unsigned MB_DEFBUTTON1 = 0x000;
constexpr unsigned MB_DEFBUTTON2 = 0x100;
constexpr unsigned MB_DEFBUTTON3 = 0x200;
constexpr unsigned MB_DEFMASK = 0xF00;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// The answers a message box of these flags offers, in button order.
std::vector<int> MessageBoxButtons(unsigned flags);
// The answer of its default button.
int DefaultAnswer(unsigned flags);

class TDialogService {
 public:
  virtual ~TDialogService() = default;
  virtual int MessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
  // False when the user cancels; `value` holds the default on entry.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
  // Runs a shown modal form until its run ends (RunModalLoop), leaving
  // its ModalResult set.
  virtual void RunModal(TCustomForm* form) = 0;
  // Runs a common dialog (file, colour, font, printer, page setup,
  // folder); true when the user confirmed, with the dialog holding what
  // was chosen.
  virtual bool ExecuteDialog(TCommonDialog* dialog) = 0;
};

// The service in use: the Qt one unless a test installed another.
TDialogService& Dialogs();
// Installs a service (not owned); nullptr restores the Qt one.
void SetDialogService(TDialogService* service);

// A note with an OK button, captioned with the application's title.
void ShowMessage(const std::string& text);
enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum : unsigned {
  mbYes = 1u << 0,
  mbNo = 1u << 1,
  mbOK = 1u << 2,
  mbCancel = 1u << 3,
  mbAbort = 1u << 4,
  mbRetry = 1u << 5,
  mbIgnore = 1u << 6,
};
using TMsgDlgButtons = unsigned;
// A message box of the type's icon and caption; returns the modal result.
int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
// The text typed, or `defaultValue` when cancelled.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);

// What the scripted responder was shown.
struct TDialogRecord {
  enum Kind { Message, Input, Modal, Common } Kind;
  std::string Caption;
  std::string Text;  // message text, input prompt, or empty for a form
  unsigned Flags = 0;
  TCustomForm* Form = nullptr;
  TCommonDialog* Dialog = nullptr;
};

// Answers dialogs from a queue, in the order they come, and records each
// one. Boxes with only an OK button take no answer. A question with the
// queue empty gets its default button, an input box is cancelled, and a
// modal form with no answer raises EInvalidOperation (a test that
// forgot it fails instead of hanging). A common dialog with the queue
// empty is cancelled. Installs itself for its lifetime.
class TScriptedDialogs : public TDialogService {
 public:
  TScriptedDialogs();
  ~TScriptedDialogs() override;

  // The next question is answered with `result` (IDYES, IDOK ...).
  void Answer(int result);
  // The next input box returns `value` (or is cancelled).
  void AnswerInput(const std::string& value, bool ok = true);
  // The next modal form: `prepare` runs with the form shown (to set what
  // the user would have set), then the run ends with `result`.
  void AnswerModal(TModalResult result, std::function<void(TCustomForm*)> prepare = {});
  // The next modal form runs its real modal loop (its own handlers end it).
  void AnswerModalByLoop();
  // The next common dialog: `user` acts as the user (sets what is chosen,
  // through the dialog's own choice calls) and returns true for OK, false
  // for Cancel. A plain Answer(IDOK) confirms a dialog as it stands.
  void AnswerDialog(std::function<bool(TCommonDialog*)> user);

  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
  void RunModal(TCustomForm* form) override;
  bool ExecuteDialog(TCommonDialog* dialog) override;

  std::vector<TDialogRecord> Records;
  // Answers not used yet.
  size_t Pending() const { return answers_.size(); }

 private:
  struct TAnswer {
    int Result = 0;
    std::string Value;
    bool Ok = true;
    bool Loop = false;
    std::function<void(TCustomForm*)> Prepare;
    std::function<bool(TCommonDialog*)> User;
  };
  bool Take(TAnswer& answer);
  std::deque<TAnswer> answers_;
  TDialogService* previous_;
};
