#pragma once
// The viewer's find bar, below the tool bar and hidden until called (Ctrl+F):
// the query field, previous and next, the hit count "n / m" (or a note when
// nothing is found) and a close button. Typing searches the document from the
// page shown on (TTextFinder, in the background) and goes to the first hit;
// Enter and F3 go to the next hit, Shift+Enter and Shift+F3 to the previous
// one, turning pages through the viewer's page path; Escape closes the bar
// and its marks go from the page.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "preview/qr_preview_image.h"
#include "preview/text_finder.h"

class QLabel;
class QLineEdit;
class QToolButton;

namespace qrp {

class TQRPreview;

class TFindBar : public QWidget {
public:
    // The pages of the document shown, for the search's worker; none without a document.
    using TDocumentPages = std::function<TTextFinder::TPageFetch()>;
    // Turns the viewer to a page the way its page buttons do.
    using TGoToPage = std::function<void(std::int32_t pageNumber)>;

    TFindBar(QWidget* parent, TQRPreview& preview, TGoToPage goToPage, TDocumentPages documentPages);
    ~TFindBar() override;

    // Shows the bar with the query field focused and its text selected; a
    // query kept from before is searched again.
    void Open();
    // Hides the bar, ends the search and takes its marks from the page.
    void Close();
    // The next or previous hit; the bar opens first when closed.
    void FindNext();
    void FindPrevious();
    // The document shown changed: a search open starts over on it, leaving
    // the view where it is (a file read again keeps its page).
    void DocumentChanged();

    QLineEdit* QueryField() const { return Query; }
    // "n / m", "Hledám…" while nothing is found yet, "Nenalezeno", or nothing without a query.
    QString CountText() const;
    TTextFinder& Finder() { return *Search; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void StartSearch(bool goToFirstHit = true);
    void Step(int direction);
    void ShowCount();
    void ShowHit(const TTextHit& hit);
    std::vector<TTextMark> MarksOn(std::int32_t pageNumber) const;

    TQRPreview& Preview;
    QPointer<TQRPreview> PreviewAlive;
    TGoToPage GoToPage;
    TDocumentPages DocumentPages;
    std::unique_ptr<TTextFinder> Search;
    QLineEdit* Query;
    QLabel* Count;
};

}  // namespace qrp
