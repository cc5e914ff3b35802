#pragma once
// The viewer's commands as window-wide actions: their keys, and the preview's
// context menu built from the same actions, so that a key and a menu item run
// the same code. The window connects each action to its handler.

#include <QAction>

class QMenu;
class QWidget;

namespace qrp {

struct TViewerActions {
    // Creates the actions with their keys on window.
    explicit TViewerActions(QWidget& window);

    QAction* WholePage;
    QAction* Zoom100;
    QAction* PageWidth;
    QAction* ZoomIn;
    QAction* ZoomOut;
    QAction* FirstPage;
    QAction* PreviousPage;
    QAction* NextPage;
    QAction* LastPage;
    QAction* ScrollUp;
    QAction* ScrollDown;
    QAction* ScrollLeft;
    QAction* ScrollRight;
    QAction* ScreenDown;
    QAction* ScreenUp;
    QAction* Open;
    QAction* Print;
    QAction* Reload;
    QAction* Export;
    QAction* Close;
    QAction* Find;
    QAction* FindNext;
    QAction* FindPrevious;
    QAction* Copy;
    QAction* SelectAll;
    // Checkable: plain left-button dragging on the page selects words instead of panning.
    QAction* SelectionMode;

    // The context menu: the zoom commands, the page commands, open, print,
    // reload and export, then find, copy, select all and the selection mode.
    QMenu* ContextMenu(QWidget* parent) const;
};

// The action is enabled exactly while the button is: it follows every change of the button's state.
void FollowEnabledState(QAction* action, QWidget* button);

}  // namespace qrp
