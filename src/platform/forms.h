// Forms, the screen and the application: a form's life (create, show,
// activate, modal runs, close, destroy), the screen's cursor and cursor
// table, and the application's message loop, exception display and hint.
#pragma once

#include <QImage>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/controls.h"

// Modal results (the same numbers as the message box answers).
using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;
constexpr TModalResult mrAbort = 3;
constexpr TModalResult mrRetry = 4;
constexpr TModalResult mrIgnore = 5;
constexpr TModalResult mrYes = 6;
constexpr TModalResult mrNo = 7;
constexpr TModalResult mrAll = 8;
constexpr TModalResult mrNoToAll = 9;
constexpr TModalResult mrYesToAll = 10;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter
};
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
 public:
  explicit TCustomForm(TComponent* owner);
  ~TCustomForm() override;

  // Runs OnCreate once: after the constructor of the form class (the
  // application's CreateForm and MakeForm call it; Show and ShowModal do
  // when nobody did).
  void AfterConstruction();
  // Runs OnDestroy once, while the form is still whole.
  void BeforeDestruction() override;

  void Show();
  void Hide();
  // Shows the form modally and returns its ModalResult; the dialog
  // service runs the modal loop.
  TModalResult ShowModal();
  // Asks OnCloseQuery, then OnClose decides: hide, free, or nothing. The
  // main form's close ends the application; a modal form's ends its run.
  void Close();
  bool CloseQuery();
  // Frees the form once the current message is done.
  void Release();
  bool Modal() const { return modal_; }
  bool Active() const;

  // The modal loop: handles messages until ModalResult is set, then lets
  // CloseQuery and OnClose decide whether the run ends.
  void RunModalLoop();
  // One close attempt of a modal run; ModalResult returns to 0 when the
  // form refuses to close.
  void CloseModal();

  TCanvas* GetCanvas() { return canvas_; }
  TBorderStyle GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);
  TFormStyle GetFormStyle() const { return formStyle_; }
  void SetFormStyle(TFormStyle style);
  TWinControl* GetActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  TRect FrameInsets() const override;

  TPosition Position = poDesigned;
  bool KeyPreview = false;
  TModalResult ModalResult = mrNone;

  TNotifyEvent OnCreate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseQueryEvent OnCloseQuery;
  TCloseEvent OnClose;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnPaint;

  // Focus moved to a control of this form.
  void FocusChanged(TWinControl* control);
  // Activation as the window manager reports it (the model's and Qt's).
  void Activate();
  void Deactivate();
  // Runs the item of a shortcut in the menus the form owns; true when one
  // took the key.
  bool IsShortCut(Word key, TShiftState shift);
  // Moves the focus to the next (or previous) tab stop; false when none.
  bool SelectNext(TWinControl* current, bool forward);

 protected:
  virtual void Paint();
  void PaintWindow() override;
  void Dispatch(TMessage& message) override;
  void DoClose(TCloseAction& action);
  void VisibleChanging() override;
  bool IsTopLevelWindow() const override { return true; }

 private:
  void ApplyPosition();
  TCanvas* canvas_;
  TBorderStyle borderStyle_ = bsSizeable;
  TFormStyle formStyle_ = fsNormal;
  TWinControl* activeControl_ = nullptr;
  bool modal_ = false;
  bool created_ = false;
};

class TForm : public TCustomForm {
 public:
  using TCustomForm::TCustomForm;
};

// Makes a form of class T with its owner and runs its OnCreate.
template <class T>
T* MakeForm(TComponent* owner) {
  T* form = new T(owner);
  form->AfterConstruction();
  return form;
}

// Cursors --------------------------------------------------------------------------------

// A cursor picture (or a standard shape) with its hot spot.
struct TCursorImage {
  int Shape = 0;  // a standard TCursor, or 0 for a picture
  QImage Picture;
  TPoint HotSpot;
  std::string Name;
};
using HCURSOR = TCursorImage*;
using HINSTANCE = uintptr_t;
extern HINSTANCE HInstance;

// Registers a cursor picture among the program's resources under a name.
void RegisterCursorResource(const std::string& name, const QImage& picture, TPoint hotSpot);
// The resource cursor of that name; nullptr when there is none.
HCURSOR LoadCursor(HINSTANCE instance, const std::string& name);
// Shows on a window the cursor the screen and the control under the mouse
// ask for.
void UpdateWidgetCursor(TWinControl* window);

class TScreen : public TComponent {
 public:
  explicit TScreen(TComponent* owner);

  // The application-wide cursor; crDefault lets each control show its own.
  TCursor GetCursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  // The cursor table: standard cursors below 0, custom ones above. An
  // unknown number gives the default cursor.
  HCURSOR GetCursors(TCursor index);
  void SetCursors(TCursor index, HCURSOR cursor);
  // The cursor a control shows now.
  TCursor ShownCursor(const TControl* control) const;

  int GetWidth() const;
  int GetHeight() const;
  int FormCount() const { return int(forms_.size()); }
  TCustomForm* Forms(int index) const { return forms_.at(size_t(index)); }
  TCustomForm* GetActiveForm() const { return activeForm_; }
  TWinControl* GetActiveControl() const { return GetFocusedControl(); }

 private:
  friend class TCustomForm;
  TCursor cursor_ = crDefault;
  std::map<TCursor, HCURSOR> cursors_;
  std::vector<TCustomForm*> forms_;
  // Activation order, latest last.
  std::vector<TCustomForm*> activation_;
  TCustomForm* activeForm_ = nullptr;
};

extern TScreen* Screen;

// Application ------------------------------------------------------------------------------

using TExceptionEvent = std::function<void(TObject* Sender, const Exception& E)>;

// "short|long" hints.
std::string GetShortHint(const std::string& hint);
std::string GetLongHint(const std::string& hint);

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* owner);

  void Initialize() {}
  // Creates a form owned by the application. The reference is set before
  // the form's constructor runs, so its start may use it; the first form
  // becomes the main form; OnCreate runs after the constructor.
  template <class T>
  void CreateForm(T*& reference) {
    void* memory = ::operator new(sizeof(T));
    reference = static_cast<T*>(memory);
    try {
      new (memory) T(this);
    } catch (...) {
      reference = nullptr;
      ::operator delete(memory);
      throw;
    }
    FormCreated(reference);
  }
  // Shows the main form and handles messages until Terminate.
  void Run();
  // Handles every waiting message: input, timers that came due, forms
  // released, pending paints.
  void ProcessMessages();
  // Handles messages, waiting for one when none is there.
  void HandleMessage();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  // Called inside a catch: shows the exception (EAbort stays silent) or
  // hands it to OnException. Anything thrown that is not an Exception is
  // shown as one with its text (an empty one when it has none).
  void HandleException(TObject* sender);
  void ShowException(const Exception& e);
  // Runs `action`, handing whatever it throws to HandleException.
  void Guarded(TObject* sender, const std::function<void()>& action);
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

  std::string GetHint() const { return hint_; }
  void SetHint(const std::string& hint);
  // The hover moved to `control` (nullptr: off every control).
  void MouseControlChanged(TControl* control);
  std::string ExeName() const;

  std::string Title = "Cardwright";
  TCustomForm* MainForm = nullptr;
  bool ShowMainForm = true;
  TNotifyEvent OnHint;
  TExceptionEvent OnException;

  // Forms released by Release, freed by the next ProcessMessages.
  void QueueRelease(TCustomForm* form);
  void FormDestroyed(TCustomForm* form);

 private:
  void FormCreated(TCustomForm* form);
  bool DispatchWaiting();
  std::string hint_;
  bool terminated_ = false;
  std::vector<TCustomForm*> released_;
};

extern TApplication* Application;
