#include "preview/qr_standard_preview.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMessageBox>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include "controls/gauge_status_bar.h"
#include "export/export_filters.h"
#include "platform/exceptions.h"
#include "platform/messages/application.h"
#include "platform/temp_files.h"
#include "preview/preview_glyphs.h"
#include "preview/qr_preview.h"
#include "report/qr_printer.h"

namespace qrp {

using Application::Guarded;

namespace {
constexpr int kButtonWidth = 23;
constexpr int kButtonHeight = 22;
const QString kReportFilesFilter = QStringLiteral("Report files (*.QRP)");

// An error of a file operation, with the file's name.
Exception FileFailure(const char* what, const std::string& fileName, const std::exception& error)
{
    return Exception(QStringLiteral("%1 %2:\n%3")
                         .arg(QString::fromUtf8(what), QString::fromStdString(fileName), QString::fromUtf8(error.what()))
                         .toStdString());
}

void AddDivider(QWidget* toolBar, QHBoxLayout* row)
{
    auto* divider = new QFrame(toolBar);
    divider->setFrameShape(QFrame::VLine);
    divider->setFrameShadow(QFrame::Sunken);
    divider->setFixedSize(8, kButtonHeight);
    row->addWidget(divider);
}
}  // namespace

TQRStandardPreview::TQRStandardPreview(TQRPrinter& printer) : QWidget(nullptr, Qt::Window), Printer(&printer)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(printer.JobTitle.empty() ? QStringLiteral("Print Preview") : QString::fromStdString(printer.JobTitle));
    resize(652, 579);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildToolBar();
    layout->addWidget(ToolBar1);
    QRPreview = new TQRPreview(this);
    QRPreview->SetPageNumber(1);
    QRPreview->SetZoom(100);
    QRPreview->OnPageAvailable = [this](TQRPreview*, std::int32_t page) { Guarded([&] { QRPreviewPageAvailable(page); }); };
    QRPreview->OnProgressUpdate = [this](TQRPreview*, std::int32_t progress) {
        Guarded([&] { QRPreviewProgressUpdate(progress); });
    };
    // Wheel page turns go through the page buttons' path, so the counter follows.
    QRPreview->OnPageTurn = [this](TQRPreview*, std::int32_t step) {
        Guarded([&] { step > 0 ? ToolButton2Click() : PreviousPageClick(); });
    };
    layout->addWidget(QRPreview, 1);
    BuildStatusBar();
    layout->addWidget(StatusBar);

    // Key preview: the window sees key presses before the control that has the focus.
    qApp->installEventFilter(this);

    setWindowState(Qt::WindowMaximized);
    QRPreview->SetReportPrinter(&printer);
    ZoomToWidth->setChecked(true);
    LastProgress = 0;
    Print->setEnabled(printer.DocState == rpsFinished);
}

// The preview control detaches a printer it still shows as it goes; after
// closing it shows none.
TQRStandardPreview::~TQRStandardPreview() = default;

void TQRStandardPreview::BuildToolBar()
{
    ToolBar1 = new QWidget(this);
    auto* row = new QHBoxLayout(ToolBar1);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(0);
    const auto button = [&](TPreviewGlyph glyph, const char* hint, void (TQRStandardPreview::*click)()) {
        auto* added = new QToolButton(ToolBar1);
        added->setIcon(PreviewGlyph(glyph));
        added->setIconSize(QSize(16, 16));
        added->setToolTip(QString::fromUtf8(hint));
        added->setAutoRaise(true);
        added->setFocusPolicy(Qt::NoFocus);
        added->setFixedSize(kButtonWidth, kButtonHeight);
        QObject::connect(added, &QToolButton::clicked, this, [this, click] { Guarded([&] { (this->*click)(); }); });
        row->addWidget(added);
        return added;
    };
    AddDivider(ToolBar1, row);
    ZoomFit = button(TPreviewGlyph::WholePage, "Zoom to fit", &TQRStandardPreview::ZoomFitClick);
    Zoom100 = button(TPreviewGlyph::Zoom100, "100%", &TQRStandardPreview::Zoom100Click);
    ZoomToWidth = button(TPreviewGlyph::PageWidth, "Zoom to width", &TQRStandardPreview::ZoomToWidthClick);
    auto* zoomGroup = new QButtonGroup(ToolBar1);
    for (QToolButton* zoom : {ZoomFit, Zoom100, ZoomToWidth}) {
        zoom->setCheckable(true);
        zoomGroup->addButton(zoom);
    }
    AddDivider(ToolBar1, row);
    FirstPage = button(TPreviewGlyph::FirstPage, "First page", &TQRStandardPreview::FirstPageClick);
    PreviousPage = button(TPreviewGlyph::PreviousPage, "Previous page", &TQRStandardPreview::PreviousPageClick);
    ToolButton2 = button(TPreviewGlyph::NextPage, "Next page", &TQRStandardPreview::ToolButton2Click);
    LastPage = button(TPreviewGlyph::LastPage, "Last page", &TQRStandardPreview::LastPageClick);
    AddDivider(ToolBar1, row);
    PrintSetup = button(TPreviewGlyph::PrinterSetup, "Printer setup", &TQRStandardPreview::PrintSetupClick);
    PrintSetup->setEnabled(false);
    Print = button(TPreviewGlyph::Print, "Print", &TQRStandardPreview::PrintClick);
    Print->setEnabled(false);
    AddDivider(ToolBar1, row);
    SaveReport = button(TPreviewGlyph::Save, "Save Report", &TQRStandardPreview::SaveReportClick);
    LoadReport = button(TPreviewGlyph::Load, "Load Report", &TQRStandardPreview::LoadReportClick);
    AddDivider(ToolBar1, row);
    ExitButton = new QToolButton(ToolBar1);
    ExitButton->setText(QStringLiteral("&Close"));
    ExitButton->setAutoRaise(true);
    ExitButton->setFocusPolicy(Qt::NoFocus);
    ExitButton->setFixedHeight(kButtonHeight);
    QObject::connect(ExitButton, &QToolButton::clicked, this, [this] { close(); });
    row->addWidget(ExitButton);
    row->addStretch(1);
    ToolBar1->setFixedHeight(ToolBar1->sizeHint().height());
}

void TQRStandardPreview::BuildStatusBar()
{
    StatusBar = new TGaugeStatusBar(this);
    TGaugeStatusPanel& progress = StatusBar->Panels().Add();
    progress.SetAlignment(taRightJustify);
    progress.SetWidth(40);
    progress.SetText(QStringLiteral("0%"));
    TGaugeStatusPanel& counter = StatusBar->Panels().Add();
    counter.SetWidth(50);
    counter.SetText(QStringLiteral("Page"));
}

void TQRStandardPreview::UpdatePageCounter()
{
    if (!Printer)
        return;
    StatusBar->Panels()[1].SetText(
        QStringLiteral("Page %1 of %2").arg(QRPreview->PageNumber()).arg(Printer->PageTotal));
}

void TQRStandardPreview::ZoomFitClick()
{
    Application::ProcessMessages();
    QRPreview->ZoomWholePage();
}

void TQRStandardPreview::Zoom100Click()
{
    Application::ProcessMessages();
    QRPreview->SetZoom(100);
}

void TQRStandardPreview::ZoomToWidthClick()
{
    Application::ProcessMessages();
    QRPreview->ZoomPageWidth();
}

void TQRStandardPreview::ShowPage(std::int32_t pageNumber)
{
    QRPreview->SetPageNumber(pageNumber);
    UpdatePageCounter();
}

void TQRStandardPreview::FirstPageClick() { ShowPage(1); }
void TQRStandardPreview::PreviousPageClick() { ShowPage(QRPreview->PageNumber() - 1); }
void TQRStandardPreview::ToolButton2Click() { ShowPage(QRPreview->PageNumber() + 1); }
void TQRStandardPreview::LastPageClick()
{
    if (Printer)
        ShowPage(Printer->PageTotal);
}

void TQRStandardPreview::PrintSetupClick()
{
    if (Printer && !PrintRunning)
        Printer->PrintSetup(PrintSetup);
}

void TQRStandardPreview::PrintClick()
{
    if (!Printer || PrintRunning)
        return;
    if (!Printer->HasPrinter)
        throw Exception("No printer is installed");
    // The job lets the windows work between pages: until it ends the window
    // neither closes nor gives up the document (see closeEvent, LoadReportFile).
    PrintRunning = true;
    struct TEndOfJob {
        bool& Running;
        ~TEndOfJob() { Running = false; }
    } endOfJob {PrintRunning};
    Printer->Print();
}

void TQRStandardPreview::SaveReportClick()
{
    if (!Printer || PrintRunning)
        return;
    QStringList filters {kReportFilesFilter};
    for (const TQRExportFilterEntry& entry : ExportFilters())
        filters << QString::fromStdString(entry.DialogFilter());
    QFileDialog dialog(this, QStringLiteral("Save report"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("QRP"));
    // A name typed without extension gets the one of the format chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &filters](const QString& chosen) {
        const auto index = filters.indexOf(chosen);
        dialog.setDefaultSuffix(index <= 0 ? QStringLiteral("QRP")
                                           : QString::fromStdString(ExportFilters()[static_cast<std::size_t>(index - 1)].Extension));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SaveReportAs(dialog.selectedFiles().front().toStdString(),
                 static_cast<int>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()))));
}

void TQRStandardPreview::SaveReportAs(const std::string& fileName, int filterIndex)
{
    if (!Printer || PrintRunning)
        return;
    try {
        // Saving writes nothing unless the document is finished; saying nothing would pass for success.
        if (Printer->DocState != rpsFinished)
            throw Exception("The report is not finished yet");
        if (filterIndex <= 0) {
            Printer->Save(fileName);
        } else {
            const std::unique_ptr<TQRExportFilter> filter =
                ExportFilters().at(static_cast<std::size_t>(filterIndex - 1)).Create(fileName);
            Printer->ExportToFilter(*filter);
        }
    } catch (const std::exception& error) {
        throw FileFailure("The report could not be saved to", fileName, error);
    }
}

void TQRStandardPreview::LoadReportClick()
{
    if (!Printer || PrintRunning)
        return;
    QFileDialog dialog(this, QStringLiteral("Load report"), QString(), kReportFilesFilter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    LoadReportFile(dialog.selectedFiles().front().toStdString());
}

void TQRStandardPreview::LoadReportFile(const std::string& fileName)
{
    if (!Printer || PrintRunning)
        return;
    if (!FileExists(fileName)) {
        QMessageBox::warning(this, windowTitle(), QStringLiteral("File does not exist"));
        return;
    }
    try {
        Printer->Load(fileName);
    } catch (const std::exception& error) {
        // The printer holds no document any more: the window must not go on showing the previous one.
        QRPreview->ShowFirstPage();
        UpdatePageCounter();
        Print->setEnabled(false);
        throw FileFailure("The report could not be loaded from", fileName, error);
    }
    QRPreview->SetPageNumber(1);
    QRPreview->ShowFirstPage();
    UpdatePageCounter();
    PrintSetup->setEnabled(false);
    Print->setEnabled(true);
}

void TQRStandardPreview::QRPreviewPageAvailable(std::int32_t)
{
    UpdatePageCounter();
    if (Printer && Printer->DocState == rpsFinished) {
        PrintSetup->setEnabled(true);
        Print->setEnabled(true);
    }
}

void TQRStandardPreview::QRPreviewProgressUpdate(std::int32_t progress)
{
    TGaugeStatusPanel& panel = StatusBar->Panels()[0];
    if (progress >= LastProgress + 5) {
        panel.SetText(QStringLiteral("%1%").arg(progress));
        LastProgress = progress;
    }
    if (progress == 0 || progress == 100) {
        panel.SetText(QString());
        // A job is over: the next one shows its progress from the start again.
        LastProgress = 0;
    }
}

bool TQRStandardPreview::PreviewKey(int key, Qt::KeyboardModifiers modifiers)
{
    const bool ctrlAlone = (modifiers & ~Qt::KeypadModifier) == Qt::ControlModifier;
    switch (key) {
    case Qt::Key_Escape:
        // During a print job Escape cancels the job; the window stays.
        if (PrintRunning && Printer)
            Printer->RequestCancel();
        else
            close();
        return true;
    case Qt::Key_PageUp:
        ctrlAlone ? FirstPageClick() : PreviousPageClick();
        return true;
    case Qt::Key_PageDown:
        ctrlAlone ? LastPageClick() : ToolButton2Click();
        return true;
    case Qt::Key_Home:
        FirstPageClick();
        return true;
    case Qt::Key_End:
        LastPageClick();
        return true;
    case Qt::Key_A:
        if (!ctrlAlone)
            return false;
        QRPreview->SelectAll();
        return true;
    case Qt::Key_C:
        if (!ctrlAlone)
            return false;
        if (QRPreview->HasSelection())
            QGuiApplication::clipboard()->setText(QRPreview->SelectedText());
        return true;
    default:
        return false;
    }
}

bool TQRStandardPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this) {
        const auto* key = static_cast<QKeyEvent*>(event);
        bool handled = false;
        Guarded([&] { handled = PreviewKey(key->key(), key->modifiers()); });
        return handled;
    }
    return QWidget::eventFilter(watched, event);
}

void TQRStandardPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    QRPreview->ApplyZoom();
}

void TQRStandardPreview::closeEvent(QCloseEvent* event)
{
    // The job's printer and document must outlive it.
    if (PrintRunning) {
        event->ignore();
        return;
    }
    event->accept();
    TQRPrinter* printer = std::exchange(Printer, nullptr);
    if (!printer)
        return;
    // Detached first: the master may free the printer while it handles the signal.
    QRPreview->SetReportPrinter(nullptr);
    printer->SignalPreviewClosed();
}

}  // namespace qrp
