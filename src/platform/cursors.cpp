// The screen: the application-wide cursor, the cursor table and the forms.
#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QWidget>
#include <memory>

#include "platform/fonts.h"
#include "platform/forms.h"

TScreen* Screen = new TScreen(nullptr);
HINSTANCE HInstance = 0;

namespace {

std::map<std::string, std::unique_ptr<TCursorImage>>& Resources() {
  static std::map<std::string, std::unique_ptr<TCursorImage>> resources;
  return resources;
}

HCURSOR StandardCursor(TCursor shape) {
  static std::map<TCursor, std::unique_ptr<TCursorImage>> standard;
  auto& slot = standard[shape];
  if (!slot) {
    slot = std::make_unique<TCursorImage>();
    slot->Shape = shape;
  }
  return slot.get();
}

Qt::CursorShape QtShape(TCursor shape) {
  switch (shape) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
  }
}

QCursor MakeQCursor(HCURSOR cursor) {
  if (cursor && !cursor->Picture.isNull())
    return QCursor(QPixmap::fromImage(cursor->Picture), cursor->HotSpot.x, cursor->HotSpot.y);
  return QCursor(QtShape(cursor ? cursor->Shape : crDefault));
}

bool gOverride = false;

}  // namespace

void RegisterCursorResource(const std::string& name, const QImage& picture, TPoint hotSpot) {
  auto image = std::make_unique<TCursorImage>();
  image->Picture = picture;
  image->HotSpot = hotSpot;
  image->Name = name;
  Resources()[UpperCase(name)] = std::move(image);
}

HCURSOR LoadCursor(HINSTANCE instance, const std::string& name) {
  auto it = Resources().find(UpperCase(name));
  return it == Resources().end() ? nullptr : it->second.get();
}

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
  if (cursor == crDefault) {
    if (gOverride) QGuiApplication::restoreOverrideCursor();
    gOverride = false;
  } else if (gOverride) {
    QGuiApplication::changeOverrideCursor(MakeQCursor(GetCursors(cursor)));
  } else {
    QGuiApplication::setOverrideCursor(MakeQCursor(GetCursors(cursor)));
    gOverride = true;
  }
}

HCURSOR TScreen::GetCursors(TCursor index) {
  if (index > 0) {
    auto it = cursors_.find(index);
    return it != cursors_.end() && it->second ? it->second : StandardCursor(crDefault);
  }
  return StandardCursor(index);
}

void TScreen::SetCursors(TCursor index, HCURSOR cursor) { cursors_[index] = cursor; }

TCursor TScreen::ShownCursor(const TControl* control) const {
  if (cursor_ != crDefault || !control) return cursor_;
  return control->GetCursor();
}

int TScreen::GetWidth() const { return ScreenWidth(); }
int TScreen::GetHeight() const { return ScreenHeight(); }

void UpdateWidgetCursor(TWinControl* window) {
  if (!window || !window->Widget()) return;
  const TControl* shown = window;
  TControl* hover = GetMouseControl();
  if (hover && hover->GetParent() == window && !dynamic_cast<TWinControl*>(hover)) shown = hover;
  window->Widget()->setCursor(MakeQCursor(Screen->GetCursors(shown->GetCursor())));
}
