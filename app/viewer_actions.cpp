#include "app/viewer_actions.h"

#include <QEvent>
#include <QMenu>
#include <QWidget>

namespace qrp {

namespace {
QAction* Command(QWidget& window, const char* text, const QList<QKeySequence>& keys)
{
    auto* action = new QAction(QString::fromUtf8(text), &window);
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    window.addAction(action);
    return action;
}

// Mirrors a button's enabled state onto an action.
class TEnabledFollower : public QObject {
public:
    TEnabledFollower(QAction* action, QWidget* button) : QObject(action), Action(action)
    {
        button->installEventFilter(this);
        Action->setEnabled(button->isEnabled());
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::EnabledChange)
            Action->setEnabled(static_cast<QWidget*>(watched)->isEnabled());
        return false;
    }

private:
    QAction* Action;
};
}  // namespace

TViewerActions::TViewerActions(QWidget& window)
    : WholePage(Command(window, "Zobrazit celou stránku", {})),
      Zoom100(Command(window, "Zobrazení velikosti 100%", {Qt::CTRL | Qt::Key_0})),
      PageWidth(Command(window, "Zobrazit na šířku formuláře", {})),
      ZoomIn(Command(window, "Zvětšit", {Qt::Key_Plus, Qt::CTRL | Qt::Key_Equal, Qt::CTRL | Qt::Key_Plus})),
      ZoomOut(Command(window, "Zmenšit", {Qt::Key_Minus, Qt::CTRL | Qt::Key_Minus})),
      FirstPage(Command(window, "První stránka", {Qt::Key_Home, Qt::CTRL | Qt::Key_PageUp})),
      PreviousPage(Command(window, "Předchozí stránka", {Qt::Key_PageUp})),
      NextPage(Command(window, "Další stránka", {Qt::Key_PageDown})),
      LastPage(Command(window, "Poslední stránka", {Qt::Key_End, Qt::CTRL | Qt::Key_PageDown})),
      ScrollUp(Command(window, "Posunout nahoru", {Qt::Key_Up})),
      ScrollDown(Command(window, "Posunout dolů", {Qt::Key_Down})),
      ScrollLeft(Command(window, "Posunout doleva", {Qt::Key_Left})),
      ScrollRight(Command(window, "Posunout doprava", {Qt::Key_Right})),
      ScreenDown(Command(window, "O obrazovku dál", {Qt::Key_Space})),
      ScreenUp(Command(window, "O obrazovku zpět", {Qt::SHIFT | Qt::Key_Space})),
      Open(Command(window, "Načíst soubor", {Qt::CTRL | Qt::Key_O})),
      Print(Command(window, "Tisk sestavy", {Qt::CTRL | Qt::Key_P})),
      Reload(Command(window, "Znovu načíst soubor", {Qt::Key_F5})),
      Export(Command(window, "Exportovat do PDF, PNG nebo SVG…", {})),
      Close(Command(window, "Zavřít", {Qt::CTRL | Qt::Key_W, Qt::CTRL | Qt::Key_Q})),
      Find(Command(window, "Najít…", {Qt::CTRL | Qt::Key_F})),
      FindNext(Command(window, "Najít další", {Qt::Key_F3})),
      FindPrevious(Command(window, "Najít předchozí", {Qt::SHIFT | Qt::Key_F3})),
      Copy(Command(window, "Kopírovat", {Qt::CTRL | Qt::Key_C})),
      SelectAll(Command(window, "Vybrat vše", {Qt::CTRL | Qt::Key_A})),
      SelectionMode(Command(window, "Režim výběru textu", {}))
{
    SelectionMode->setCheckable(true);
}

QMenu* TViewerActions::ContextMenu(QWidget* parent) const
{
    auto* menu = new QMenu(parent);
    menu->addActions({WholePage, Zoom100, PageWidth, ZoomIn, ZoomOut});
    menu->addSeparator();
    menu->addActions({FirstPage, PreviousPage, NextPage, LastPage});
    menu->addSeparator();
    menu->addActions({Open, Print, Reload, Export});
    menu->addSeparator();
    menu->addActions({Find, Copy, SelectAll, SelectionMode});
    return menu;
}

void FollowEnabledState(QAction* action, QWidget* button) { new TEnabledFollower(action, button); }

}  // namespace qrp
