// TApplication: form creation, the message loop, the exception display and
// the hint.
#include <QCoreApplication>
#include <QTimer>
#include <filesystem>
#include <thread>

#include "platform/dialogs.h"
#include "platform/forms.h"
#include "platform/timers.h"

TApplication* Application = new TApplication(nullptr);

std::string GetShortHint(const std::string& hint) {
  size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(0, bar);
}

std::string GetLongHint(const std::string& hint) {
  size_t bar = hint.find('|');
  return bar == std::string::npos ? hint : hint.substr(bar + 1);
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) {}

void TApplication::FormCreated(TCustomForm* form) {
  if (!MainForm) MainForm = form;
  form->AfterConstruction();
}

void TApplication::Run() {
  if (MainForm && ShowMainForm) MainForm->Show();
  while (!terminated_) HandleMessage();
}

bool TApplication::DispatchWaiting() {
  bool any = false;
  if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
  try {
    any = ProcessTimers() || any;
  } catch (...) {
    HandleException(this);
    any = true;
  }
  std::vector<TCustomForm*> released;
  released.swap(released_);
  for (TCustomForm* form : released) {
    Guarded(form, [form] { form->Free(); });
    any = true;
  }
  return UpdatePendingWindows() || any;
}

void TApplication::ProcessMessages() { DispatchWaiting(); }

void TApplication::HandleMessage() {
  if (DispatchWaiting() || terminated_) return;
  // Nothing waiting: sleep until an event comes or the next timer is due,
  // looking again at least every 50 ms (the tick source may be a test's).
  int64_t wait = MillisecondsToNextTimer();
  wait = wait < 0 ? 50 : std::clamp<int64_t>(wait, 1, 50);
  if (!QCoreApplication::instance()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return;
  }
  QTimer wake;
  wake.setSingleShot(true);
  wake.start(int(wait));
  QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void TApplication::HandleException(TObject* sender) {
  if (!std::current_exception()) return;
  auto report = [&](const Exception& e) {
    if (OnException)
      OnException(sender, e);
    else
      ShowException(e);
  };
  try {
    throw;
  } catch (const EAbort&) {
  } catch (const Exception& e) {
    report(e);
  } catch (const std::exception& e) {
    report(Exception(e.what()));
  } catch (...) {
    report(Exception(""));
  }
}

void TApplication::ShowException(const Exception& e) { MessageBox(e.Message, Title, MB_OK | MB_ICONSTOP); }

void TApplication::Guarded(TObject* sender, const std::function<void()>& action) {
  try {
    action();
  } catch (...) {
    HandleException(sender);
  }
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return Dialogs().MessageBox(text, caption, flags);
}

void TApplication::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (OnHint) OnHint(this);
}

void TApplication::MouseControlChanged(TControl* control) {
  std::string hint;
  for (TControl* c = control; c; c = c->GetParent())
    if (!c->Hint.empty()) {
      hint = c->Hint;
      break;
    }
  SetHint(GetLongHint(hint));
}

std::string TApplication::ExeName() const {
  std::error_code error;
  auto path = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : path.string();
}

void TApplication::QueueRelease(TCustomForm* form) {
  if (std::find(released_.begin(), released_.end(), form) == released_.end()) released_.push_back(form);
}

void TApplication::FormDestroyed(TCustomForm* form) {
  released_.erase(std::remove(released_.begin(), released_.end(), form), released_.end());
  if (MainForm == form) MainForm = nullptr;
}
