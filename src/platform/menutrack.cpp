// The menus on the screen: a menu item's sub-items shown as a Qt menu that
// drops down from a bar or pops up at the pointer, the keyboard inside it,
// and the chosen entry's click once the menu has closed.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <set>

#include "platform/forms.h"
#include "platform/menus.h"

namespace {

class TTrackedMenu;

// One open menu: the Qt menus, the items they show and the choice. It
// watches the items, so one freed while the menu is open is never run.
class TMenuSession : public TComponent {
 public:
  TMenuSession() : TComponent(nullptr) {}
  std::unique_ptr<TTrackedMenu> top;
  TMenuTrack track;
  // Held as components: a freed item is forgotten while it is no longer a
  // menu item.
  std::set<TComponent*> items;
  TMenuItem* chosen = nullptr;

  void Watch(TMenuItem* item) {
    if (items.insert(item).second) item->FreeNotification(this);
  }
  ~TMenuSession() override {
    for (TComponent* item : items) item->RemoveFreeNotification(this);
  }

 protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove) items.erase(component);
  }
};

TMenuSession* gOpen = nullptr;

// Runs once the closing menu's event is handled and the window system has
// taken its focus back; a late focus change would close a menu opened
// before.
void AfterClose(std::function<void()> action) {
  QTimer::singleShot(0, [action] {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    action();
  });
}

// Left and Right at the edges of a menu dropped from a bar go on to the
// bar's neighbouring menus, as on a menu bar.
class TTrackedMenu : public QMenu {
 public:
  TTrackedMenu(TMenuSession* session, QWidget* parent) : QMenu(parent), session_(session) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    int step = 0;
    if (event->key() == Qt::Key_Right && !(activeAction() && activeAction()->menu())) step = 1;
    if (event->key() == Qt::Key_Left && !qobject_cast<QMenu*>(parentWidget())) step = -1;
    if (step != 0 && session_->track.OnStep) {
      std::function<void(int)> onStep = session_->track.OnStep;
      CloseTrackedMenu();
      AfterClose([onStep, step] { onStep(step); });
      return;
    }
    QMenu::keyPressEvent(event);
  }

  void mousePressEvent(QMouseEvent* event) override {
    QPoint at = event->globalPosition().toPoint();
    bool inside = false;
    for (QWidget* m = this; qobject_cast<QMenu*>(m); m = m->parentWidget())
      inside |= m->isVisible() && m->geometry().contains(at);
    std::function<void(TPoint)> onPress = session_->track.OnPressOutside;
    QMenu::mousePressEvent(event);  // a press outside closes the menus
    if (!inside && onPress) AfterClose([onPress, at] { onPress({at.x(), at.y()}); });
  }

 private:
  TMenuSession* session_;
};

int QtKey(Word vk) {
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return vk;
  if (vk >= VK_F1 && vk <= VK_F12) return Qt::Key_F1 + (vk - VK_F1);
  switch (vk) {
    case VK_DELETE: return Qt::Key_Delete;
    case VK_INSERT: return Qt::Key_Insert;
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    case VK_SPACE: return Qt::Key_Space;
    case VK_BACK: return Qt::Key_Backspace;
    case VK_TAB: return Qt::Key_Tab;
    default: return 0;
  }
}

void Fill(TMenuSession* session, QMenu* menu, TMenuItem* root) {
  for (int i = 0; i < root->Count(); ++i) {
    TMenuItem* item = root->Items(i);
    if (!item->GetVisible()) continue;
    if (item->IsLine()) {
      menu->addSeparator();
      continue;
    }
    // Qt marks accelerators with & as well; a tab sets off the shortcut.
    QString caption = QString::fromStdString(item->GetCaption());
    if (item->ShortCut != 0) caption += '\t' + QString::fromStdString(ShortCutToText(item->ShortCut));
    if (item->Count() > 0) {
      auto* sub = new TTrackedMenu(session, menu);
      sub->setTitle(caption);
      sub->setEnabled(item->GetEnabled());
      menu->addMenu(sub);
      Fill(session, sub, item);
      continue;
    }
    QAction* action = menu->addAction(caption);
    action->setEnabled(item->GetEnabled());
    action->setCheckable(item->GetChecked());
    action->setChecked(item->GetChecked());
    session->Watch(item);
    QObject::connect(action, &QAction::triggered, [session, item] {
      if (session->items.count(item)) session->chosen = item;
    });
  }
}

// After the menu has closed: the chosen entry's click, then the session
// goes.
void Finish(TMenuSession* session) {
  session->top.reset();
  TMenuItem* chosen = session->items.count(session->chosen) ? session->chosen : nullptr;
  if (chosen) {
    // The session watches the item until its click is over.
    if (Application)
      Application->Guarded(chosen, [chosen] { chosen->Click(); });
    else
      chosen->Click();
  }
  delete session;
}

}  // namespace

std::string ShortCutToText(TShortCut shortCut) {
  int key = QtKey(Word(shortCut & 0xFF));
  if (key == 0) return "";
  int mods = 0;
  if (shortCut & scCtrl) mods |= Qt::ControlModifier;
  if (shortCut & scShift) mods |= Qt::ShiftModifier;
  if (shortCut & scAlt) mods |= Qt::AltModifier;
  return QKeySequence(key | mods).toString(QKeySequence::PortableText).toStdString();
}

bool TrackMenu(TMenuItem* root, TPoint screen, TMenuTrack track) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance()) || root == nullptr) return false;
  CloseTrackedMenu();
  auto* session = new TMenuSession;
  session->track = std::move(track);
  session->top = std::make_unique<TTrackedMenu>(session, nullptr);
  QMenu* menu = session->top.get();
  Fill(session, menu, root);
  if (menu->actions().isEmpty()) {
    delete session;
    return false;
  }
  QObject::connect(menu, &QMenu::aboutToHide, [session] {
    if (gOpen == session) gOpen = nullptr;
    if (session->track.OnClose) session->track.OnClose();
    // The choice is known once Qt's handling of the key or click is over.
    QTimer::singleShot(0, [session] { Finish(session); });
  });
  gOpen = session;
  menu->popup(QPoint(screen.x, screen.y));
  if (session->track.SelectFirst) {
    // As the Down key does: the first entry lights up and a sub-menu of it
    // stays shut.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &down);
  }
  return true;
}

void CloseTrackedMenu() {
  if (!gOpen) return;
  // Open sub-menus go with their menu.
  while (QWidget* popup = QApplication::activePopupWidget()) {
    if (!qobject_cast<QMenu*>(popup)) break;
    popup->close();
  }
  if (gOpen && gOpen->top) gOpen->top->hide();
}

TPoint ScreenPointOf(const TControl* control, TPoint client) {
  // Graphic controls are drawn on the widget of their windowed parent.
  TPoint p = client;
  const TControl* c = control;
  while (c && !(dynamic_cast<const TWinControl*>(c) && static_cast<const TWinControl*>(c)->Widget())) {
    p.x += c->GetLeft();
    p.y += c->GetTop();
    c = c->GetParent();
  }
  if (!c) return control->ClientToScreen(client);
  auto* host = static_cast<const TWinControl*>(c);
  TRect f = host->GetParent() ? host->FrameInsets() : TRect{0, 0, 0, 0};
  QPoint g = host->Widget()->mapToGlobal(QPoint(p.x + f.Left, p.y + f.Top));
  return {g.x(), g.y()};
}
