#include "app/find_bar.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "preview/qr_preview.h"
#include "report/qr_printer.h"

namespace qrp {

namespace {
QToolButton* BarButton(QWidget* parent, QStyle::StandardPixmap icon, const char* hint)
{
    auto* button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setIconSize(QSize(14, 14));
    button->setToolTip(QString::fromUtf8(hint));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}
}  // namespace

TFindBar::TFindBar(QWidget* parent, TQRPreview& preview, TGoToPage goToPage, TDocumentPages documentPages)
    : QWidget(parent),
      Preview(preview),
      PreviewAlive(&preview),
      GoToPage(std::move(goToPage)),
      DocumentPages(std::move(documentPages)),
      Search(std::make_unique<TTextFinder>(preview.PageTexts())),
      Query(new QLineEdit(this)),
      Count(new QLabel(this))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    column->addLayout(row);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    column->addWidget(line);

    row->addWidget(new QLabel(QStringLiteral("Najít:"), this));
    Query->setFixedWidth(240);
    Query->setClearButtonEnabled(true);
    Query->installEventFilter(this);
    row->addWidget(Query);
    auto* previous = BarButton(this, QStyle::SP_ArrowUp, "Předchozí výskyt (Shift+F3)");
    auto* next = BarButton(this, QStyle::SP_ArrowDown, "Další výskyt (F3)");
    row->addWidget(previous);
    row->addWidget(next);
    Count->setMinimumWidth(100);
    row->addWidget(Count);
    row->addStretch(1);
    auto* close = BarButton(this, QStyle::SP_TitleBarCloseButton, "Zavřít hledání (Esc)");
    row->addWidget(close);

    QObject::connect(Query, &QLineEdit::textChanged, this, [this] { StartSearch(); });
    QObject::connect(previous, &QToolButton::clicked, this, [this] { FindPrevious(); });
    QObject::connect(next, &QToolButton::clicked, this, [this] { FindNext(); });
    QObject::connect(close, &QToolButton::clicked, this, [this] { Close(); });

    Search->OnChanged = [this] {
        ShowCount();
        Preview.PageImage()->update();
    };
    Search->OnCurrentMoved = [this](const TTextHit& hit) { ShowHit(hit); };
    Preview.PageImage()->SetMarkSource([this](std::int32_t page) { return MarksOn(page); });
    hide();
}

TFindBar::~TFindBar()
{
    // The preview, when it outlives the bar, must not ask it for marks any more.
    if (PreviewAlive)
        Preview.PageImage()->SetMarkSource(nullptr);
    Search->OnChanged = nullptr;
    Search->OnCurrentMoved = nullptr;
}

void TFindBar::Open()
{
    show();
    Query->setFocus(Qt::ShortcutFocusReason);
    Query->selectAll();
    // Closing forgot the search; the query kept is searched again.
    if (Search->Query().isEmpty() && !FoldedQuery(Query->text()).isEmpty())
        StartSearch();
}

void TFindBar::Close()
{
    const bool hadFocus = Query->hasFocus();
    hide();
    Search->Stop();
    ShowCount();
    Preview.PageImage()->update();
    if (hadFocus)
        Preview.setFocus(Qt::OtherFocusReason);
}

void TFindBar::FindNext() { Step(1); }

void TFindBar::FindPrevious() { Step(-1); }

void TFindBar::Step(int direction)
{
    if (isHidden())
        Open();
    if (Search->Query().isEmpty())
        return;
    Search->Step(direction, Preview.PageNumber());
}

void TFindBar::DocumentChanged()
{
    if (!isHidden() && !FoldedQuery(Query->text()).isEmpty())
        StartSearch(false);
    else
        Search->Stop();
    ShowCount();
}

void TFindBar::StartSearch(bool goToFirstHit)
{
    TQRPrinter* printer = Preview.ReportPrinter();
    const std::int32_t pages = printer ? printer->PageTotal : 0;
    Search->Start(Query->text(), pages, Preview.PageNumber(), pages > 0 && DocumentPages ? DocumentPages() : nullptr,
                  goToFirstHit);
    ShowCount();
}

QString TFindBar::CountText() const
{
    if (Search->Query().isEmpty())
        return {};
    if (Search->HitCount() == 0)
        return Search->Running() ? QStringLiteral("Hledám…") : QStringLiteral("Nenalezeno");
    return QStringLiteral("%1 / %2%3")
        .arg(Search->CurrentNumber())
        .arg(Search->HitCount())
        .arg(Search->Capped() ? QStringLiteral("+") : QString());
}

void TFindBar::ShowCount() { Count->setText(CountText()); }

void TFindBar::ShowHit(const TTextHit& hit)
{
    if (hit.Page != Preview.PageNumber() && GoToPage)
        GoToPage(hit.Page);
    if (hit.Page != Preview.PageNumber())
        return;
    QRectF area;
    for (const QRectF& box : hit.Boxes)
        area = area.united(box);
    Preview.RevealPageArea(area);
    Preview.PageImage()->update();
}

std::vector<TTextMark> TFindBar::MarksOn(std::int32_t pageNumber) const
{
    std::vector<TTextMark> marks;
    const std::vector<TTextHit>* hits = Search->HitsOn(pageNumber);
    if (!hits)
        return marks;
    const auto current = Search->Current();
    for (std::size_t i = 0; i < hits->size(); ++i) {
        const bool isCurrent = current && current->Page == pageNumber && current->Index == i;
        for (const QRectF& box : (*hits)[i].Boxes)
            marks.push_back({box, isCurrent ? TTextMarkKind::CurrentHit : TTextMarkKind::Hit});
    }
    return marks;
}

bool TFindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Query && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            Close();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Step(key->modifiers() & Qt::ShiftModifier ? -1 : 1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace qrp
