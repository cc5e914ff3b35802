// The viewer reading its shown file again: at once on F5, or when the file
// changed on disk and settled. The page, the zoom rule and the scroll position
// are kept as far as the new document allows. A change that cannot be read
// leaves the shown document in place with a note in the status bar.

#include <algorithm>

#include <QScrollBar>

#include "app/file_reloader.h"
#include "app/qrp_prew.h"
#include "app/report_file_probe.h"
#include "controls/flat_spin_edit.h"
#include "controls/gauge_status_bar.h"
#include "platform/temp_files.h"
#include "preview/qr_preview.h"
#include "report/qr_printer.h"

namespace qrp {

namespace {
// The status bar's last panel, which runs to the bar's right end.
constexpr int kNotePanel = 2;

struct TViewState {
    std::int32_t Page;
    std::int32_t Zoom;
    TQRPreviewZoomMode Mode;
    int ScrollX;
    int ScrollY;
};
}  // namespace

void TQRPrew::ReloadClick()
{
    if (PrintRunning || ShownPath.empty())
        return;
    ReloadShownFile();
}

bool TQRPrew::ShownFileChanged()
{
    // The document must outlive a running print job; the change is taken after it.
    if (PrintRunning)
        return false;
    const std::string path = ShownPath;
    if (path.empty())
        return true;
    if (!FileExists(path)) {
        SetStatusNote(QStringLiteral("Soubor %1 byl odstraněn nebo přejmenován, zobrazen zůstává jeho dřívější obsah")
                          .arg(QString::fromStdString(path)));
        return true;
    }
    if (const std::string problem = OpenProblem(path); !problem.empty()) {
        SetStatusNote(QStringLiteral("Soubor %1 se změnil a nelze ho načíst: %2")
                          .arg(QString::fromStdString(path), QString::fromUtf8(problem.c_str())));
        return true;
    }
    try {
        ReloadShownFile();
    } catch (const std::exception& error) {
        // The file changed again between the check and the load.
        SetStatusNote(QString::fromUtf8(error.what()));
    }
    return true;
}

void TQRPrew::ReloadShownFile()
{
    TQRPrinter* printer = QRPreview1->ReportPrinter();
    if (!printer)
        return;
    const std::string path = ShownPath;
    CheckOpens(path);
    const TViewState kept {QRPreview1->PageNumber(), QRPreview1->Zoom(), QRPreview1->ZoomMode(),
                           QRPreview1->horizontalScrollBar()->value(), QRPreview1->verticalScrollBar()->value()};
    LoadShownFile(*printer, path);
    QRPreview1->ShowFirstPage();
    if (kept.Mode == zmWholePage)
        QRPreview1->ZoomWholePage();
    else if (kept.Mode == zmPageWidth)
        QRPreview1->ZoomPageWidth();
    else
        QRPreview1->SetZoom(kept.Zoom);
    GoToPage(std::clamp(kept.Page, 1, std::max(1, printer->PageTotal)));
    QRPreview1->horizontalScrollBar()->setValue(kept.ScrollX);
    QRPreview1->verticalScrollBar()->setValue(kept.ScrollY);
}

void TQRPrew::SetStatusNote(const QString& note)
{
    StatusBar1->Panels()[kNotePanel].SetText(note);
    StatusBar1->setToolTip(note);
}

QString TQRPrew::StatusNote() const { return StatusBar1->Panels()[kNotePanel].Text(); }

}  // namespace qrp
