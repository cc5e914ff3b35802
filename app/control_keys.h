#pragma once
// Window-wide shortcuts take a key before the focused control sees it, unless
// the control claims it. A line edit claims its editing keys by itself; this
// lets a control keep further keys it uses (the page number edit steps with
// Up and Down, a push button is pressed with Space).

#include <QKeyCombination>
#include <QList>

class QWidget;

namespace qrp {

// While control has the focus, these keys go to it instead of to a shortcut.
void KeepKeysFor(QWidget* control, QList<QKeyCombination> keys);

}  // namespace qrp
