#pragma once
// Runs a test's action on a modal dialog once it is up: the code under test
// opens it with exec(), which only returns when the action has answered it.

#include <gtest/gtest.h>

#include <functional>

#include <QApplication>
#include <QTimer>

namespace qrp::test {

// Runs action on the active modal widget of type Dialog as soon as there is
// one; fails the test when none comes within about two seconds.
template <typename Dialog>
void WhenDialogActive(std::function<void(Dialog&)> action, int attemptsLeft = 200)
{
    QTimer::singleShot(attemptsLeft == 200 ? 0 : 10, [action, attemptsLeft] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            action(*dialog);
            return;
        }
        if (attemptsLeft == 0) {
            ADD_FAILURE() << "no dialog opened";
            return;
        }
        WhenDialogActive(action, attemptsLeft - 1);
    });
}

}  // namespace qrp::test
