#include "app/qrp_prew.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QScopeGuard>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <filesystem>

#include "app/control_keys.h"
#include "app/file_reloader.h"
#include "app/file_type_registration.h"
#include "app/find_bar.h"
#include "app/last_folder.h"
#include "app/print_choices.h"
#include "app/qrp_load.h"
#include "app/report_drop.h"
#include "app/report_export.h"
#include "app/report_file_probe.h"
#include "app/report_file_pages.h"
#include "app/viewer_actions.h"
#include "preview/preview_glyphs.h"
#include "component/qr_report.h"
#include "controls/flat_spin_edit.h"
#include "controls/gauge_status_bar.h"
#include "platform/messages/application.h"
#include "platform/temp_files.h"
#include "preview/qr_preview.h"
#include "preview/qr_preview_image.h"
#include "report/qr_printer.h"

namespace qrp {

using Application::Guarded;

namespace {
constexpr int kToolBarHeight = 26;
constexpr int kTextButtonHeight = 22;

QToolButton* GlyphButton(QWidget* parent, TPreviewGlyph glyph, const char* hint)
{
    auto* button = new QToolButton(parent);
    button->setIcon(PreviewGlyph(glyph));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(QString::fromUtf8(hint));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(25, kToolBarHeight - 4);
    return button;
}

QToolButton* TextButton(QWidget* parent, const char* caption, int width)
{
    auto* button = new QToolButton(parent);
    button->setText(QString::fromUtf8(caption));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(width, kTextButtonHeight);
    return button;
}

void Separator(QHBoxLayout* layout, int width) { layout->addSpacing(width); }

std::string UpperExtension(const std::string& path)
{
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return extension;
}
}  // namespace

TQRPrew::TQRPrew(QWidget* owner, std::vector<std::string> arguments)
    : QWidget(owner, Qt::Window), Arguments(std::move(arguments))
{
    setWindowTitle(QStringLiteral("Náhled tiskové sestavy"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(688, 453);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* toolBar = new QFrame(this);
    toolBar->setFixedHeight(kToolBarHeight);
    toolBar->setFrameShape(QFrame::NoFrame);
    BuildToolBar(toolBar);
    layout->addWidget(toolBar);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    layout->addWidget(line);

    QRPreview1 = new TQRPreview(this);
    QRPreview1->setFrameShape(QFrame::NoFrame);
    QRPreview1->SetPageNumber(1);
    QRPreview1->SetZoom(100);
    QRPreview1->OnPageAvailable = [this](TQRPreview*, std::int32_t page) { Guarded([&] { QRPreview1PageAvailable(page); }); };
    QRPreview1->OnProgressUpdate = [this](TQRPreview*, std::int32_t progress) { Guarded([&] { QRPreview1ProgressUpdate(progress); }); };
    // The wheel and Space turn pages through the page buttons' path, so the counter and the spin edit follow.
    QRPreview1->OnPageTurn = [this](TQRPreview*, std::int32_t step) {
        Guarded([&] { step > 0 ? ToolButton6Click() : ToolButton5Click(); });
    };
    layout->addWidget(QRPreview1, 1);

    // Between the tool bar's line and the page, shown only when called. It
    // searches the shown file through pages of its own and turns pages
    // through the page buttons' path.
    FindBar1 = new TFindBar(
        this, *QRPreview1, [this](std::int32_t page) { Guarded([&] { GoToPage(page); }); },
        [this]() -> TTextFinder::TPageFetch { return ShownPath.empty() ? nullptr : ReportFilePages(ShownPath); });
    layout->insertWidget(layout->indexOf(QRPreview1), FindBar1);
    QRPreview1->OnDocumentChange = [this](TQRPreview*) {
        if (FindBar1)
            FindBar1->DocumentChanged();
    };

    StatusBar1 = new TGaugeStatusBar(this);
    TGaugeStatusPanel& counter = StatusBar1->Panels().Add();
    counter.SetWidth(100);
    TGaugeStatusPanel& gauge = StatusBar1->Panels().Add();
    gauge.SetPanelType(sptGauge);
    gauge.SetWidth(200);
    gauge.SetAlignment(taCenter);
    gauge.GaugeAttrs().SetColor(QColor(0, 0, 255));
    StatusBar1->Panels().Add().SetWidth(50);
    layout->addWidget(StatusBar1);

    Timer1.setInterval(500);
    Timer1.setSingleShot(false);
    QObject::connect(&Timer1, &QTimer::timeout, [this] { Guarded([this] { Timer1Timer(); }); });
    Timer1.start();

    FileReloader = std::make_unique<TFileReloader>([this] { return ShownFileChanged(); });
    ConnectActions();
    setAcceptDrops(true);
}

TQRPrew::~TQRPrew()
{
    FormDestroy();
    // The bar goes before the preview, whose page image asks it for marks.
    QRPreview1->OnDocumentChange = nullptr;
    delete FindBar1;
    FindBar1 = nullptr;
}

void TQRPrew::BuildToolBar(QWidget* toolBar)
{
    auto* row = new QHBoxLayout(toolBar);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(0);
    const auto add = [row](QWidget* widget) { row->addWidget(widget); };
    auto* button1 = GlyphButton(toolBar, TPreviewGlyph::WholePage, "Zobrazit celou stránku");
    auto* button2 = GlyphButton(toolBar, TPreviewGlyph::Zoom100, "Zobrazení velikosti 100%");
    auto* button3 = GlyphButton(toolBar, TPreviewGlyph::PageWidth, "Zobrazit na šířku formuláře");
    auto* button4 = GlyphButton(toolBar, TPreviewGlyph::FirstPage, "První stránka");
    auto* button5 = GlyphButton(toolBar, TPreviewGlyph::PreviousPage, "Předchozí stránka");
    auto* button6 = GlyphButton(toolBar, TPreviewGlyph::NextPage, "Další stránka");
    auto* button7 = GlyphButton(toolBar, TPreviewGlyph::LastPage, "Poslední stránka");
    QObject::connect(button1, &QToolButton::clicked, [this] { Guarded([this] { ToolButton1Click(); }); });
    QObject::connect(button2, &QToolButton::clicked, [this] { Guarded([this] { ToolButton2Click(); }); });
    QObject::connect(button3, &QToolButton::clicked, [this] { Guarded([this] { ToolButton3Click(); }); });
    QObject::connect(button4, &QToolButton::clicked, [this] { Guarded([this] { ToolButton4Click(); }); });
    QObject::connect(button5, &QToolButton::clicked, [this] { Guarded([this] { ToolButton5Click(); }); });
    QObject::connect(button6, &QToolButton::clicked, [this] { Guarded([this] { ToolButton6Click(); }); });
    QObject::connect(button7, &QToolButton::clicked, [this] { Guarded([this] { ToolButton7Click(); }); });
    for (QWidget* w : {button1, button2, button3})
        add(w);
    Separator(row, 11);
    for (QWidget* w : {button4, button5, button6, button7})
        add(w);

    SpinEdit1 = new TFlatSpinEditInteger(toolBar);
    SpinEdit1->MinValue = 1;
    SpinEdit1->MaxValue = 999999;
    SpinEdit1->SetValue(1);
    SpinEdit1->setFixedSize(61, kTextButtonHeight);
    SpinEdit1->OnChange = [this](TFlatSpinEditInteger*) { Guarded([this] { SpinEdit1Change(); }); };
    add(SpinEdit1);
    Separator(row, 11);

    auto* open = TextButton(toolBar, "Načíst soubor", 87);
    SpeedButton2 = open;
    QObject::connect(open, &QToolButton::clicked, [this] { Guarded([this] { SpeedButton2Click(); }); });
    add(open);
    Separator(row, 11);
    auto* print = TextButton(toolBar, "Tisk sestavy", 77);
    SpeedButton3 = print;
    QObject::connect(print, &QToolButton::clicked, [this] { Guarded([this] { SpeedButton3Click(); }); });
    add(print);
    Separator(row, 11);
    auto* associate = new QPushButton(QStringLiteral("Asociace *.QRP"), toolBar);
    Button1 = associate;
    associate->setFixedSize(92, kTextButtonHeight);
    QObject::connect(associate, &QPushButton::clicked, [this] { Guarded([this] { Button1Click(); }); });
    add(associate);
    Separator(row, 8);
    auto* close = TextButton(toolBar, "Zavřít", 54);
    close->setEnabled(false);
    QObject::connect(close, &QToolButton::clicked, [this] { SpeedButton1Click(); });
    add(close);
    SpeedButton1 = close;
    row->addStretch(1);
}

void TQRPrew::ConnectActions()
{
    Actions = std::make_unique<TViewerActions>(*this);
    using THandler = void (TQRPrew::*)();
    const std::pair<QAction*, THandler> commands[] = {
        {Actions->WholePage, &TQRPrew::ToolButton1Click},  {Actions->Zoom100, &TQRPrew::ToolButton2Click},
        {Actions->PageWidth, &TQRPrew::ToolButton3Click},  {Actions->ZoomIn, &TQRPrew::ZoomInClick},
        {Actions->ZoomOut, &TQRPrew::ZoomOutClick},        {Actions->FirstPage, &TQRPrew::ToolButton4Click},
        {Actions->PreviousPage, &TQRPrew::ToolButton5Click}, {Actions->NextPage, &TQRPrew::ToolButton6Click},
        {Actions->LastPage, &TQRPrew::ToolButton7Click},   {Actions->Open, &TQRPrew::SpeedButton2Click},
        {Actions->Print, &TQRPrew::SpeedButton3Click},     {Actions->Reload, &TQRPrew::ReloadClick},
        {Actions->Export, &TQRPrew::ExportClick},          {Actions->Close, &TQRPrew::SpeedButton1Click},
        {Actions->Find, &TQRPrew::FindClick},              {Actions->Copy, &TQRPrew::CopyClick},
    };
    for (const auto& [action, handler] : commands)
        QObject::connect(action, &QAction::triggered, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
    const auto scroll = [this](QAction* action, Qt::Orientation orientation, QAbstractSlider::SliderAction step) {
        QScrollBar* bar = orientation == Qt::Vertical ? QRPreview1->verticalScrollBar() : QRPreview1->horizontalScrollBar();
        QObject::connect(action, &QAction::triggered, bar, [bar, step] { bar->triggerAction(step); });
    };
    scroll(Actions->ScrollUp, Qt::Vertical, QAbstractSlider::SliderSingleStepSub);
    scroll(Actions->ScrollDown, Qt::Vertical, QAbstractSlider::SliderSingleStepAdd);
    scroll(Actions->ScrollLeft, Qt::Horizontal, QAbstractSlider::SliderSingleStepSub);
    scroll(Actions->ScrollRight, Qt::Horizontal, QAbstractSlider::SliderSingleStepAdd);
    QObject::connect(Actions->ScreenDown, &QAction::triggered, this, [this] { Guarded([this] { QRPreview1->ScrollScreen(1); }); });
    QObject::connect(Actions->ScreenUp, &QAction::triggered, this, [this] { Guarded([this] { QRPreview1->ScrollScreen(-1); }); });
    QObject::connect(Actions->FindNext, &QAction::triggered, this, [this] { Guarded([this] { FindBar1->FindNext(); }); });
    QObject::connect(Actions->FindPrevious, &QAction::triggered, this,
                     [this] { Guarded([this] { FindBar1->FindPrevious(); }); });
    QObject::connect(Actions->SelectAll, &QAction::triggered, this,
                     [this] { Guarded([this] { QRPreview1->SelectAll(); }); });
    QObject::connect(Actions->SelectionMode, &QAction::toggled, this,
                     [this](bool on) { QRPreview1->SetSelectionMode(on); });

    // The commands that replace, read or free the document wait where their buttons do (during a print job).
    FollowEnabledState(Actions->Open, SpeedButton2);
    FollowEnabledState(Actions->Reload, SpeedButton2);
    FollowEnabledState(Actions->Export, SpeedButton2);
    FollowEnabledState(Actions->Print, SpeedButton3);
    FollowEnabledState(Actions->Close, SpeedButton1);

    // The page number edit steps with Up and Down; the push button is pressed with Space.
    KeepKeysFor(SpinEdit1, {QKeyCombination(Qt::Key_Up), QKeyCombination(Qt::Key_Down)});
    KeepKeysFor(Button1, {QKeyCombination(Qt::Key_Space)});

    PreviewMenu = Actions->ContextMenu(this);
    QRPreview1->setContextMenuPolicy(Qt::CustomContextMenu);
    // The menu shows "Kopírovat" greyed while nothing is selected; Ctrl+C stays live.
    QObject::connect(QRPreview1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        Actions->Copy->setEnabled(QRPreview1->HasSelection());
        PreviewMenu->popup(QRPreview1->mapToGlobal(at));
    });
    QObject::connect(PreviewMenu, &QMenu::aboutToHide, this, [this] { Actions->Copy->setEnabled(true); });
}

void TQRPrew::ShowPreview()
{
    showMaximized();
    RefreshStatusBar();
}

void TQRPrew::RefreshStatusBar()
{
    TQRPrinter* printer = QRPreview1->ReportPrinter();
    const int total = printer ? printer->PageTotal : 0;
    StatusBar1->Panels()[0].SetText(total <= 0 ? QStringLiteral("Stránka 1 / 1")
                                               : QStringLiteral("Stránka %1 / %2").arg(QRPreview1->PageNumber()).arg(total));
    TGaugeAttrs& gauge = StatusBar1->Panels()[1].GaugeAttrs();
    if (gauge.Position() > 100)
        gauge.SetPosition(100);
}

void TQRPrew::ToolButton1Click()
{
    Application::ProcessMessages();
    QRPreview1->ZoomWholePage();
}

void TQRPrew::ToolButton2Click()
{
    Application::ProcessMessages();
    QRPreview1->SetZoom(100);
}

void TQRPrew::ToolButton3Click()
{
    Application::ProcessMessages();
    QRPreview1->ZoomPageWidth();
}

void TQRPrew::ToolButton4Click()
{
    QRPreview1->SetPageNumber(1);
    SpinEdit1->SetValue(1);
    RefreshStatusBar();
}

void TQRPrew::ToolButton5Click() { GoToPage(QRPreview1->PageNumber() - 1); }

void TQRPrew::ToolButton6Click() { GoToPage(QRPreview1->PageNumber() + 1); }

void TQRPrew::GoToPage(std::int32_t pageNumber)
{
    QRPreview1->SetPageNumber(pageNumber);
    SpinEdit1->SetValue(QRPreview1->PageNumber());
    RefreshStatusBar();
}

void TQRPrew::ToolButton7Click()
{
    TQRPrinter* printer = QRPreview1->ReportPrinter();
    const int total = printer ? printer->PageTotal : 0;
    QRPreview1->SetPageNumber(total);
    SpinEdit1->SetValue(total);
    RefreshStatusBar();
}

void TQRPrew::SpinEdit1Change()
{
    TQRPrinter* printer = QRPreview1->ReportPrinter();
    const int total = printer ? printer->PageTotal : 0;
    if (SpinEdit1->Value() > total)
        SpinEdit1->SetValue(total);
    QRPreview1->SetPageNumber(SpinEdit1->Value());
    RefreshStatusBar();
}

std::string TQRPrew::CommandLinePath(const std::vector<std::string>& arguments)
{
    std::string joined, spaced;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        joined += arguments[i];
        spaced += (i > 0 ? " " : "") + arguments[i];
    }
    // Joined without separators as they always were; a path that only exists
    // with its blanks back is the one a shell or launcher split.
    if (!FileExists(joined) && arguments.size() > 1 && FileExists(spaced))
        return spaced;
    return joined;
}

void TQRPrew::Timer1Timer()
{
    Timer1.stop();
    const std::string path = CommandLinePath(Arguments);
    if (FileExists(path) && UpperExtension(path) == ".QRP") {
        OpenReportFile(path);
    } else if (FirstStart) {
        SpeedButton2Click();
        FirstStart = false;
    }
}

void TQRPrew::OpenReportFile(const std::string& path)
{
    TQRPrinter* printer = QRPreview1->ReportPrinter();
    if (!printer)
        return;
    CheckOpens(path);
    LoadShownFile(*printer, path);
    QRPreview1->SetPageNumber(1);
    QRPreview1->ShowFirstPage();
    RefreshStatusBar();
}

void TQRPrew::LoadShownFile(TQRPrinter& printer, const std::string& path)
{
    try {
        printer.Load(path);
    } catch (...) {
        // The printer holds no document any more: the preview and the counter
        // must not go on showing the previous one, nor is there a file to watch.
        ShownPath.clear();
        FileReloader->Stop();
        QRPreview1->ShowFirstPage();
        RefreshStatusBar();
        throw;
    }
    ShownPath = path;
    FileReloader->Watch(path);
    SetStatusNote({});
    RememberReportFile(path);
}

void TQRPrew::SpeedButton2Click()
{
    if (PrintRunning)
        return;
    FirstStart = false;
    Timer1.stop();
    // The folder of the file opened last, once there is one.
    const QString lastFolder = LastReportFolder();
    QFileDialog dialog(nullptr, QStringLiteral("Vyberte soubor pro načtení"),
                       lastFolder.isEmpty() ? QString::fromStdString(InstallDir) : lastFolder,
                       QStringLiteral("Tiskové sestavy (*.qrp)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("qrp"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const std::string chosen = dialog.selectedFiles().front().toStdString();
    if (FileExists(chosen))
        OpenReportFile(chosen);
}

void TQRPrew::SpeedButton3Click()
{
    TQRPrinter* printer = QRPreview1->ReportPrinter();
    if (PrintRunning || !Report || !printer)
        return;
    OfferDocumentPaper(*printer, *Report);
    Report->Tag = -1;
    Report->PrintSetup();
    if (Report->Tag != 0)
        return;
    if (printer->LoadedFromFile())
        TakePrintChoices(*Report, *printer);
    RunPrint(*printer);
}

void TQRPrew::RunPrint(TQRPrinter& printer)
{
    // The report printer and its document must outlive the job, which lets
    // the windows work between pages: what would replace or free them waits.
    const std::vector<QPointer<QWidget>> heldBack {SpeedButton1, SpeedButton2, SpeedButton3, Button1};
    std::vector<bool> enabled;
    for (const QPointer<QWidget>& button : heldBack)
        enabled.push_back(button->isEnabled());
    for (const QPointer<QWidget>& button : heldBack)
        button->setEnabled(false);
    PrintRunning = true;
    struct TRestore {
        TQRPrew& Window;
        const std::vector<QPointer<QWidget>>& Buttons;
        const std::vector<bool>& Enabled;
        ~TRestore()
        {
            Window.PrintRunning = false;
            for (std::size_t i = 0; i < Buttons.size(); ++i)
                if (Buttons[i])
                    Buttons[i]->setEnabled(Enabled[i]);
            // The job's last progress reports are shown, then the gauge is back at 0.
            Application::ProcessMessages();
            Window.StatusBar1->Panels()[1].GaugeAttrs().SetPosition(0);
            Window.RefreshStatusBar();
        }
    } restore {*this, heldBack, enabled};
    printer.Print();
}

void TQRPrew::QRPreview1PageAvailable(int)
{
    if (StatusBar1->Panels()[1].GaugeAttrs().Position() == 0)
        SpeedButton1->setEnabled(true);
}

void TQRPrew::QRPreview1ProgressUpdate(int progress)
{
    TGaugeAttrs& gauge = StatusBar1->Panels()[1].GaugeAttrs();
    // The gauge holds a byte; a report of more than that is full anyway.
    gauge.SetPosition(static_cast<TPercent>(std::clamp(progress, 0, 255)));
    RefreshStatusBar();
    if (gauge.Position() == 100) {
        gauge.SetPosition(0);
        SpeedButton1->setEnabled(true);
    }
}

void TQRPrew::Button1Click()
{
    if (PrintRunning)
        return;
    // The desktop's helper programs take a moment.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QGuiApplication::restoreOverrideCursor(); });
    RegisterFileType(QCoreApplication::applicationFilePath());
}

void TQRPrew::SpeedButton1Click() { close(); }

void TQRPrew::ZoomInClick() { QRPreview1->ZoomIn(); }

void TQRPrew::ZoomOutClick() { QRPreview1->ZoomOut(); }

void TQRPrew::FindClick() { FindBar1->Open(); }

void TQRPrew::CopyClick()
{
    if (!QRPreview1->HasSelection())
        return;
    QGuiApplication::clipboard()->setText(QRPreview1->SelectedText());
}

void TQRPrew::ExportClick()
{
    if (PrintRunning)
        return;
    if (TQRPrinter* printer = QRPreview1->ReportPrinter())
        ExportReportDialog(this, *printer, ShownPath);
}

void TQRPrew::dragEnterEvent(QDragEnterEvent* event)
{
    // Only a report file is taken, and not while a print job holds the document.
    if (!PrintRunning && DroppedReportFile(*event->mimeData()))
        event->acceptProposedAction();
}

void TQRPrew::dragMoveEvent(QDragMoveEvent* event)
{
    if (!PrintRunning && DroppedReportFile(*event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TQRPrew::dropEvent(QDropEvent* event)
{
    const std::optional<std::string> path = DroppedReportFile(*event->mimeData());
    if (PrintRunning || !path) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Opened as the open command opens a chosen file, with the pre-check and its
    // error box, which also names a dropped file that is not there.
    Guarded([&] { OpenReportFile(*path); });
}

void TQRPrew::keyPressEvent(QKeyEvent* event)
{
    // Escape closes the find bar when it is open, else cancels a running
    // print job, else drops the selection.
    if (event->key() == Qt::Key_Escape) {
        if (!FindBar1->isHidden()) {
            FindBar1->Close();
            return;
        }
        if (PrintRunning) {
            if (TQRPrinter* printer = QRPreview1->ReportPrinter())
                printer->RequestCancel();
            return;
        }
        if (QRPreview1->HasSelection()) {
            QRPreview1->ClearSelection();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void TQRPrew::closeEvent(QCloseEvent* event)
{
    if (PrintRunning) {
        event->ignore();
        return;
    }
    // The window is released: destroyed once the message being handled is done.
    event->accept();
    deleteLater();
}

void TQRPrew::FormDestroy()
{
    if (Destroyed)
        return;
    Destroyed = true;
    Timer1.stop();
    FileReloader->Stop();
    TQRPrinter* printer = QRPreview1->ReportPrinter();
    QRPreview1->SetReportPrinter(nullptr);
    // The component owns the printer and drops it on this request, which also ends its modal loop.
    if (printer)
        printer->SignalPreviewClosed();
}

}  // namespace qrp
