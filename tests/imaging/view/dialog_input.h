// Real input for the imaging dialogs' tests: clicks, typing and list
// choices sent to the widgets the control layer made.
#pragma once

#include <QApplication>
#include <QTest>

#include <algorithm>
#include <string>

#include "platform/stdctrls.h"
#include "../../platform/qt_input.h"

namespace dialoginput {

inline void Settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}
// A click in the middle of the control.
inline void Click(TControl* c) {
  WindowClick(c, {c->GetWidth() / 2, c->GetHeight() / 2});
  Settle();
}
// Replaces an edit's text by typing, as the user does.
inline void Type(TEdit* edit, const std::string& text) {
  QWidget* w = edit->Widget();
  QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(w, Qt::Key_Delete);
  QTest::keyClicks(w, QString::fromStdString(text));
  Settle();
}
// Picks entry `index` of a drop-down list with the arrow keys.
inline void Pick(TComboBox* combo, int index) {
  QWidget* w = combo->Widget();
  w->setFocus();
  const int from = std::max(combo->GetItemIndex(), 0);
  for (int i = from; i < index; ++i) QTest::keyClick(w, Qt::Key_Down);
  for (int i = from; i > index; --i) QTest::keyClick(w, Qt::Key_Up);
  Settle();
}

}  // namespace dialoginput
