// The Qt widget that mirrors a windowed control in the running program:
// it presents the control's client image, shows the window scroll bars and
// turns Qt's input events into the control's messages. Only the control
// layer uses it; the model never reads state back from it.
#pragma once

#include <optional>

#include <QWidget>

#include "platform/controls.h"

class QScrollBar;

class TControlWidget : public QWidget {
 public:
  TControlWidget(TWinControl* control, QWidget* parent);
  ~TControlWidget() override;

  TWinControl* Control() const { return control_; }
  // Takes geometry, visibility, title and scroll bars from the model.
  void Sync();
  void SyncScrollBar(int bar);
  // Where the client area starts inside the widget.
  QPoint ClientOffset() const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void TakeGeometry();
  void changeEvent(QEvent* event) override;
  bool focusNextPrevChild(bool next) override { return false; }

 private:
  void MouseButton(QMouseEvent* event, bool down, bool dbl);
  void ScrollAction(int bar, int action);
  void SendScroll(int bar, int code, int pos);

  TWinControl* control_;
  QScrollBar* bars_[2];
  bool syncing_ = false;
  // The window flags the form's styles asked for last. Qt adds hints of its
  // own once a window is shown, and setting flags again hides the window
  // (closing any open menu), so they are set only when the styles change.
  std::optional<Qt::WindowFlags> styleFlags_;
  int wheelRemainder_ = 0;
};
