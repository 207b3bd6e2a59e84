#include <gtest/gtest.h>

#include <QWidget>

#include "control_log.h"
#include "platform/dialogs.h"
#include "platform/extctrls.h"
#include "platform/forms.h"
#include "platform/kernel.h"
#include "platform/timers.h"

namespace {

// A form that logs its life into `log`.
class TLifeForm : public TForm {
 public:
  TLifeForm(TComponent* owner, TEventLog& log) : TForm(owner), log_(log) {
    OnCreate = [this](TObject*) { log_.Add("create"); };
    OnShow = [this](TObject*) { log_.Add("show"); };
    OnActivate = [this](TObject*) { log_.Add("activate"); };
    OnDeactivate = [this](TObject*) { log_.Add("deactivate"); };
    OnHide = [this](TObject*) { log_.Add("hide"); };
    OnCloseQuery = [this](TObject*, bool& can) {
      log_.Add("closequery");
      can = Refusals-- <= 0;
    };
    OnClose = [this](TObject*, TCloseAction& action) {
      log_.Add("close");
      action = Action;
    };
    OnDestroy = [this](TObject*) { log_.Add("destroy"); };
  }
  int Refusals = 0;
  TCloseAction Action = caHide;

 private:
  TEventLog& log_;
};

// A tick source that moves on by 1 ms at every reading, so a modal loop's
// timers come due while it waits.
struct TRunningClock {
  uint32_t now = 5000;
  TRunningClock() {
    SetTickCountSource([this] { return ++now; });
  }
  ~TRunningClock() { SetTickCountSource({}); }
};

TEST(FormTest, ModalLifeRunsThroughTheLoopUntilTheFormMayClose) {
  TScriptedDialogs dialogs;
  TRunningClock clock;
  TEventLog log;
  auto* owner = MakeForm<TForm>(nullptr);
  owner->Show();
  auto* form = new TLifeForm(owner, log);
  form->SetCaption("页面设置");
  form->Refusals = 1;
  // A timer plays the user: it presses OK twice; the first press is refused.
  auto* ok = new TTimer(form);  // owned, so freed with the form
  ok->SetInterval(10);
  ok->OnTimer = [&](TObject*) { form->ModalResult = mrOk; };
  dialogs.AnswerModalByLoop();
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(log.lines, (std::vector<std::string>{"create", "show", "activate", "closequery", "closequery", "close",
                                                  "hide", "deactivate"}));
  EXPECT_FALSE(form->GetVisible());
  EXPECT_FALSE(form->Modal());
  EXPECT_TRUE(owner->Active());  // the window under it is active again
  EXPECT_EQ(dialogs.Records.at(0).Caption, "页面设置");
  EXPECT_THROW(owner->ShowModal(), EInvalidOperation);  // visible forms cannot go modal
  owner->Free();
  EXPECT_EQ(log.lines.back(), "destroy");
}

TEST(FormTest, ScriptedModalAnswersPrepareTheFormAndStillAskItToClose) {
  TScriptedDialogs dialogs;
  TEventLog log;
  auto* form = new TLifeForm(nullptr, log);
  std::string chosen;
  dialogs.AnswerModal(mrOk, [&](TCustomForm* f) { f->SetCaption("D:\\cards"); });
  dialogs.AnswerModal(mrCancel);
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(form->GetCaption(), "D:\\cards");
  form->Refusals = 1;
  EXPECT_EQ(form->ShowModal(), mrNone);  // it refused to close
  EXPECT_THROW(form->ShowModal(), EInvalidOperation);  // no answer queued
  EXPECT_FALSE(form->GetVisible());
  form->Free();
}

TEST(FormTest, CloseActionsDecideWhatHappensToTheForm) {
  TEventLog log;
  struct Case {
    TCloseAction action;
    int refusals;
    bool visibleAfter;
    bool freedAfterMessages;
  } cases[] = {
      {caHide, 0, false, false},
      {caNone, 0, true, false},
      {caHide, 1, true, false},
      {caFree, 0, true, true},
  };
  for (const Case& k : cases) {
    auto* form = new TLifeForm(Application, log);
    form->Show();
    form->Action = k.action;
    form->Refusals = k.refusals;
    bool freed = false;
    form->OnDestroy = [&](TObject*) { freed = true; };
    form->Close();
    EXPECT_EQ(form->GetVisible(), k.visibleAfter) << int(k.action);
    Application->ProcessMessages();
    EXPECT_EQ(freed, k.freedAfterMessages) << int(k.action);
    if (!freed) form->Free();
  }
}

class TFormForGlobal;
TFormForGlobal* gGlobalForm = nullptr;

// A form whose constructor reads the global pointer it is created into.
class TFormForGlobal : public TForm {
 public:
  explicit TFormForGlobal(TComponent* owner) : TForm(owner) {
    SawItself = gGlobalForm == this;
    OnCreate = [this](TObject*) { Created = true; };
  }
  bool SawItself = false;
  bool Created = false;
};

TEST(ApplicationTest, CreateFormSetsTheReferenceFirstAndTheFirstFormIsMain) {
  TApplication app(nullptr);
  TApplication* saved = Application;
  Application = &app;
  app.CreateForm(gGlobalForm);
  EXPECT_TRUE(gGlobalForm->SawItself);
  EXPECT_TRUE(gGlobalForm->Created);
  EXPECT_EQ(app.MainForm, gGlobalForm);
  TForm* second = nullptr;
  app.CreateForm(second);
  EXPECT_EQ(app.MainForm, gGlobalForm);
  EXPECT_EQ(second->GetOwner(), &app);

  // Run shows the main form and ends when the main form closes.
  gGlobalForm->OnActivate = [](TObject*) { gGlobalForm->Close(); };
  app.Run();
  EXPECT_TRUE(app.Terminated());
  EXPECT_TRUE(gGlobalForm->GetVisible());
  Application = saved;
}

TEST(ApplicationTest, EscapingExceptionsAreShownThroughTheDialogService) {
  TScriptedDialogs dialogs;
  Application->Title = "Cardwright";
  struct Case {
    std::function<void()> thrower;
    int records;
    std::string text;
  } cases[] = {
      {[] { throw EConvertError("'abc' is not a valid integer value"); }, 1, "'abc' is not a valid integer value"},
      {[] { Abort(); }, 0, ""},
      {[] { throw std::runtime_error("disk full"); }, 1, "disk full"},
      {[] { throw 42; }, 1, ""},
  };
  for (const Case& k : cases) {
    dialogs.Records.clear();
    Application->Guarded(nullptr, k.thrower);
    ASSERT_EQ(int(dialogs.Records.size()), k.records);
    if (k.records) {
      EXPECT_EQ(dialogs.Records[0].Text, k.text);
      EXPECT_EQ(dialogs.Records[0].Caption, "Cardwright");
      EXPECT_EQ(dialogs.Records[0].Flags, MB_OK | MB_ICONSTOP);
    }
  }
}

TEST(FormTest, PositionCentresAndPaintRunsOnPaintOnTheFormCanvas) {
  TEventLog log;
  auto* form = MakeForm<TForm>(nullptr);
  form->SetBounds(0, 0, 200, 100);
  form->Position = poScreenCenter;
  form->SetColor(clWhite);
  form->OnPaint = [&](TObject*) {
    form->GetCanvas()->Brush->Color = clNavy;
    form->GetCanvas()->FillRect(Rect(0, 0, 3, 3));
  };
  form->Show();
  EXPECT_EQ(form->GetLeft(), (Screen->GetWidth() - 200) / 2);
  EXPECT_EQ(form->GetTop(), (Screen->GetHeight() - 100) / 2);
  form->Update();
  EXPECT_EQ(PixelAt(form->ClientImage(), 1, 1), clNavy);
  EXPECT_EQ(PixelAt(form->ClientImage(), 5, 5), clWhite);
  // The caption and frame are outside the client area.
  EXPECT_EQ(form->GetClientHeight(), 100 - form->FrameInsets().Top - form->FrameInsets().Bottom);
  form->SetBorderStyle(bsNone);
  EXPECT_EQ(form->GetClientHeight(), 100);
  form->Free();
}

// A form opens as a window of its designed client size: the window
// manager's frame and caption are outside the widget, and a child at the
// client origin sits at the widget's origin.
TEST(FormTest, OpensAtItsDesignedClientSizeWithItsCaption) {
  struct Case {
    TBorderStyle border;
    int clientWidth, clientHeight;  // 0: the size the form has unset
    bool modal;
    Qt::WindowType kind;
  };
  const Case cases[] = {
      {bsSizeable, 500, 260, false, Qt::Window},
      {bsDialog, 560, 230, true, Qt::Dialog},
      {bsSingle, 0, 0, true, Qt::Window},
      {bsNone, 533, 414, false, Qt::Window},
  };
  for (const Case& k : cases) {
    TScriptedDialogs dialogs;
    auto* form = MakeForm<TForm>(nullptr);
    form->SetCaption("最近保存的模板");
    form->SetBorderStyle(k.border);
    if (k.clientWidth) {
      form->SetClientWidth(k.clientWidth);
      form->SetClientHeight(k.clientHeight);
    }
    auto* child = new TPanel(form);
    child->SetParent(form);
    child->SetBounds(0, 0, 40, 20);
    QSize shown, childAt, least, most;
    QString title;
    Qt::WindowType kind = Qt::Widget;
    auto look = [&](TCustomForm* f) {
      shown = f->Widget()->size();
      title = f->Widget()->windowTitle();
      kind = f->Widget()->windowType();
      least = f->Widget()->minimumSize();
      most = f->Widget()->maximumSize();
      childAt = QSize(child->Widget()->x(), child->Widget()->y());
    };
    if (k.modal) {
      dialogs.AnswerModal(mrOk, look);
      form->ShowModal();
    } else {
      form->Show();
      look(form);
    }
    SCOPED_TRACE(k.clientWidth);
    const TRect frame = form->FrameInsets();
    EXPECT_EQ(shown, QSize(form->GetClientWidth(), form->GetClientHeight()));
    EXPECT_EQ(form->GetWidth(), form->GetClientWidth() + frame.Left + frame.Right);
    if (k.clientWidth)
      EXPECT_EQ(shown, QSize(k.clientWidth, k.clientHeight));
    else
      EXPECT_GT(shown.width() * shown.height(), 100 * 100);  // not a dot
    EXPECT_EQ(title, QString("最近保存的模板"));
    EXPECT_EQ(kind, k.kind);
    EXPECT_EQ(childAt, QSize(0, 0));
    // Only a sizing border lets the user change the size.
    EXPECT_EQ(least == most, k.border != bsSizeable);
    form->Free();
  }
}

// The window manager moves and sizes the client area; the form's bounds
// are that area grown by the frame, and they come back unchanged.
TEST(FormTest, WindowMovedAndSizedOnScreenMovesAndSizesTheForm) {
  auto* form = MakeForm<TForm>(nullptr);
  form->SetBounds(50, 40, 300, 200);
  form->Show();
  const TRect f = form->FrameInsets();
  form->Widget()->setGeometry(220, 160, 400, 250);
  EXPECT_EQ(form->GetBoundsRect(), Bounds(220 - f.Left, 160 - f.Top, 400 + f.Left + f.Right, 250 + f.Top + f.Bottom));
  EXPECT_EQ(form->Widget()->geometry(), QRect(220, 160, 400, 250));
  // A caption set while it shows reaches the title bar; the window stays.
  form->SetCaption("批量导入文本/data/一班.xls");
  EXPECT_EQ(form->Widget()->windowTitle(), QString("批量导入文本/data/一班.xls"));
  EXPECT_EQ(form->Widget()->geometry(), QRect(220, 160, 400, 250));
  form->Free();
}

TEST(ScreenTest, CursorTableAndTheApplicationWideCursor) {
  RegisterCursorResource("CROCE3", QImage(32, 32, QImage::Format_ARGB32), {15, 15});
  HCURSOR croce = LoadCursor(HInstance, "CROCE3");
  ASSERT_NE(croce, nullptr);
  EXPECT_EQ(LoadCursor(HInstance, "NOSUCH"), nullptr);
  Screen->SetCursors(1785, croce);
  EXPECT_EQ(Screen->GetCursors(1785), croce);
  EXPECT_EQ(Screen->GetCursors(1786), Screen->GetCursors(crDefault));  // unknown numbers give the default

  TEventLog log;
  TLogControl c(nullptr, log);
  c.SetCursor(1785);
  EXPECT_EQ(Screen->ShownCursor(&c), 1785);
  Screen->SetCursor(crDrag);
  EXPECT_EQ(Screen->ShownCursor(&c), crDrag);
  Screen->SetCursor(crDefault);
  EXPECT_EQ(Screen->ShownCursor(&c), 1785);
}

}  // namespace

// A shown window takes a new caption as its title at once, as the designer
// names the template it opened.
TEST(FormTitle, ACaptionChangedWhileShownIsTheTitle) {
  auto* form = MakeForm<TForm>(nullptr);
  form->SetCaption("一");
  form->Show();
  EXPECT_EQ(form->Widget()->windowTitle().toStdString(), "一");
  for (const char* caption : {"CardwrightV3.8----Mode/工作证/1.JPG", "二"}) {
    form->SetCaption(caption);
    EXPECT_EQ(form->Widget()->windowTitle().toStdString(), caption);
  }
  form->Free();
}
