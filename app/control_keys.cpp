#include "app/control_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QWidget>

namespace qrp {

namespace {
class TKeptKeys : public QObject {
public:
    TKeptKeys(QWidget* control, QList<QKeyCombination> keys) : QObject(control), Keys(std::move(keys))
    {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        // The keypad's keys count as the same keys.
        auto* key = static_cast<QKeyEvent*>(event);
        const QKeyCombination pressed(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key()));
        if (!Keys.contains(pressed))
            return false;
        event->accept();
        return true;
    }

private:
    QList<QKeyCombination> Keys;
};
}  // namespace

void KeepKeysFor(QWidget* control, QList<QKeyCombination> keys) { new TKeptKeys(control, std::move(keys)); }

}  // namespace qrp
