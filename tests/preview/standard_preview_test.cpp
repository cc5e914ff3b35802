// The default preview window: how a report printer without a preview handler
// opens it, its status bar (page counter, progress), tool bar states, keys,
// saving in every format, loading, printing and closing.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include "controls/gauge_status_bar.h"
#include "export/export_filters.h"
#include "platform/canvas/canvas.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "preview/qr_preview.h"
#include "preview/qr_preview_image.h"
#include "preview/qr_preview_interface.h"
#include "preview/qr_standard_preview.h"
#include "report/qr_page_list.h"
#include "report/qr_printer.h"
#include "tests/support/commands.h"
#include "tests/support/scripted_printers.h"
#include "tests/support/test_files.h"
#include "tests/support/when_dialog_active.h"

namespace qrp {
namespace {

// Receives what the report printer sends its master window.
class Master : public TMessageTarget {
public:
    void WndProc(TMessage& message) override
    {
        if (message.Msg != RPM_PREVIEWCLOSED)
            return;
        ++Closed;
        if (OnClosed)
            OnClosed(reinterpret_cast<TQRPrinter*>(message.LParam));
    }
    int Closed = 0;
    std::function<void(TQRPrinter*)> OnClosed;
};


void Produce(TQRPrinter& printer, int pages)
{
    printer.StartDocument();
    for (int i = 0; i < pages; ++i) {
        printer.NewPage();
        printer.PageCanvas()->TextOut(100, 100, QStringLiteral("Strana %1").arg(i + 1));
    }
    printer.FinishDocument();
}

void Key(QWidget& target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(&target, &press);
}

class StandardPreview : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetPrinterBackend(test::OneScriptedPrinter({600, 600, {4800, 6800}, {}, {}, {1, 9}}));
        Application::ResetTerminated();
        UseStandardPreview();
        Application::SetExceptionHandler([this](const std::exception& error) { Errors.push_back(error.what()); });
    }
    void TearDown() override
    {
        Application::SetExceptionHandler({});
        DefaultPreviewInterface = [] { return std::make_unique<TQRPreviewInterface>(); };
        Printer.reset();
        Application::ProcessMessages();
        SetPrinterBackend(nullptr);
    }

    // A printer holding a generated document of this many pages, previewed without a handler.
    TQRStandardPreview& Open(int pages, const std::string& title = {})
    {
        Printer = std::make_unique<TQRPrinter>();
        Printer->JobTitle = title;
        Printer->MasterWindow = &Owner;
        Produce(*Printer, pages);
        Printer->Preview();
        Application::ProcessMessages();
        auto* window = dynamic_cast<TQRStandardPreview*>(Printer->DefaultPreviewWindow.data());
        EXPECT_NE(window, nullptr);
        return *window;
    }

    std::string Document(const std::string& name, int pages)
    {
        test::WriteWholeFile(Dir.File(name), test::MakeDocument(pages, true));
        return Dir.File(name);
    }

    static QString Panel(TQRStandardPreview& window, int index) { return window.StatusBar->Panels()[index].Text(); }

    Master Owner;
    std::unique_ptr<TQRPrinter> Printer;
    std::vector<std::string> Errors;
    test::ScratchDir Dir;
};

TEST_F(StandardPreview, APrinterWithoutAHandlerOpensTheWindowAsDescribed)
{
    TQRStandardPreview& window = Open(3);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Print Preview"));
    EXPECT_TRUE(window.testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(window.QRPreview->ReportPrinter(), Printer.get());
    EXPECT_EQ(Printer->ClientWindow, window.QRPreview);

    const TGaugeStatusPanel& progress = window.StatusBar->Panels()[0];
    EXPECT_EQ(progress.Text(), QStringLiteral("0%"));
    EXPECT_EQ(progress.Width(), 40);
    EXPECT_EQ(progress.Alignment(), taRightJustify);
    EXPECT_EQ(window.StatusBar->Panels()[1].Width(), 50);
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 1 of 3"));

    const std::vector<std::pair<QToolButton*, const char*>> hints = {
        {window.ZoomFit, "Zoom to fit"},       {window.Zoom100, "100%"},          {window.ZoomToWidth, "Zoom to width"},
        {window.FirstPage, "First page"},     {window.PreviousPage, "Previous page"}, {window.ToolButton2, "Next page"},
        {window.LastPage, "Last page"},       {window.PrintSetup, "Printer setup"},  {window.Print, "Print"},
        {window.SaveReport, "Save Report"},   {window.LoadReport, "Load Report"}};
    for (const auto& [button, hint] : hints)
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(hint));
    EXPECT_EQ(window.ExitButton->text(), QStringLiteral("&Close"));
    EXPECT_TRUE(window.ZoomToWidth->isChecked());
    EXPECT_FALSE(window.PrintSetup->isEnabled());
    EXPECT_TRUE(window.Print->isEnabled()) << "the document is finished";

    // The job title, when there is one, is the caption.
    TQRPrinter titled;
    titled.JobTitle = "Faktury za březen";
    titled.Preview();
    ASSERT_FALSE(titled.DefaultPreviewWindow.isNull());
    EXPECT_EQ(static_cast<QWidget*>(titled.DefaultPreviewWindow.data())->windowTitle(),
              QStringLiteral("Faktury za březen"));
}

TEST_F(StandardPreview, ADocumentInProductionEnablesPrintingWhenItIsFinished)
{
    Printer = std::make_unique<TQRPrinter>();
    Printer->StartDocument();
    Printer->NewPage();
    void* setupSender = nullptr;
    Printer->PrintSetupHandler = [&](void* sender) { setupSender = sender; };
    Printer->Preview();
    auto& window = *dynamic_cast<TQRStandardPreview*>(Printer->DefaultPreviewWindow.data());
    EXPECT_FALSE(window.Print->isEnabled());
    EXPECT_FALSE(window.PrintSetup->isEnabled());
    Printer->NewPage();
    Printer->FinishDocument();
    Application::ProcessMessages();
    EXPECT_TRUE(window.Print->isEnabled());
    EXPECT_TRUE(window.PrintSetup->isEnabled());
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 1 of 2"));
    window.PrintSetup->click();
    EXPECT_EQ(setupSender, window.PrintSetup) << "the button is the sender";
}

TEST_F(StandardPreview, PageButtonsZoomGroupAndPageCounter)
{
    TQRStandardPreview& window = Open(3);
    window.ToolButton2->click();
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 2 of 3"));
    window.LastPage->click();
    window.ToolButton2->click();
    EXPECT_EQ(window.QRPreview->PageNumber(), 3) << "no page after the last";
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 3 of 3"));
    window.PreviousPage->click();
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 2 of 3"));
    window.FirstPage->click();
    window.PreviousPage->click();
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 1 of 3"));

    window.ZoomFit->click();
    EXPECT_EQ(window.QRPreview->ZoomMode(), zmWholePage);
    EXPECT_TRUE(window.ZoomFit->isChecked());
    EXPECT_FALSE(window.ZoomToWidth->isChecked()) << "one zoom button is down at a time";
    window.Zoom100->click();
    EXPECT_EQ(window.QRPreview->Zoom(), 100);
    EXPECT_EQ(window.QRPreview->ZoomMode(), zmFixed);
    EXPECT_FALSE(window.ZoomFit->isChecked());
    window.ZoomToWidth->click();
    EXPECT_EQ(window.QRPreview->ZoomMode(), zmPageWidth);
}

TEST_F(StandardPreview, KeysReachTheWindowBeforeTheControlWithTheFocus)
{
    TQRStandardPreview& window = Open(5);
    QWidget& focused = *window.QRPreview->viewport();
    Key(focused, Qt::Key_PageDown);
    EXPECT_EQ(window.QRPreview->PageNumber(), 2);
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 2 of 5"));
    Key(focused, Qt::Key_PageDown, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(window.QRPreview->PageNumber(), 3) << "Ctrl with Shift is not Ctrl alone";
    Key(focused, Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(window.QRPreview->PageNumber(), 5);
    Key(focused, Qt::Key_PageUp);
    EXPECT_EQ(window.QRPreview->PageNumber(), 4);
    Key(focused, Qt::Key_PageUp, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(window.QRPreview->PageNumber(), 3);
    Key(focused, Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(window.QRPreview->PageNumber(), 1);
    Key(focused, Qt::Key_End);
    EXPECT_EQ(window.QRPreview->PageNumber(), 5);
    Key(focused, Qt::Key_Home);
    EXPECT_EQ(window.QRPreview->PageNumber(), 1);
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 1 of 5"));

    // Escape closes: the printer is detached and its master told, then the window goes.
    QPointer<TQRStandardPreview> alive(&window);
    Key(focused, Qt::Key_Escape);
    EXPECT_EQ(Owner.Closed, 1);
    EXPECT_FALSE(Printer->PreviewOpen());
    EXPECT_EQ(Printer->ClientWindow, nullptr);
    Application::ProcessMessages();
    EXPECT_TRUE(alive.isNull());
    EXPECT_TRUE(Printer->DefaultPreviewWindow.isNull());
}

TEST_F(StandardPreview, CtrlASelectsThePageAndCtrlCCopiesIt)
{
    TQRStandardPreview& window = Open(3);
    QWidget& focused = *window.QRPreview->viewport();
    QApplication::clipboard()->setText(QStringLiteral("before"));
    Key(focused, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before")) << "nothing is selected";
    Key(focused, Qt::Key_PageDown);
    Key(focused, Qt::Key_A, Qt::ControlModifier);
    Key(focused, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Strana 2"));
}

TEST_F(StandardPreview, ProgressShowsInStepsOfFiveAndClearsAtTheEnds)
{
    TQRStandardPreview& window = Open(1);
    const auto progress = [&](int percent) {
        Printer->SetProgress(percent);
        Application::ProcessMessages();
        return Panel(window, 0);
    };
    EXPECT_EQ(progress(3), QStringLiteral("0%"));
    EXPECT_EQ(progress(5), QStringLiteral("5%"));
    EXPECT_EQ(progress(9), QStringLiteral("5%"));
    EXPECT_EQ(progress(10), QStringLiteral("10%"));
    EXPECT_EQ(progress(100), QString());
    // The next job shows its progress from its start again.
    EXPECT_EQ(progress(5), QStringLiteral("5%"));
    EXPECT_EQ(progress(0), QString());
}

TEST_F(StandardPreview, LoadingAMissingFileSaysSoAndChangesNothing)
{
    TQRStandardPreview& window = Open(3);
    window.LastPage->click();
    QString message;
    test::WhenDialogActive<QMessageBox>([&](QMessageBox& box) {
        message = box.text();
        box.accept();
    });
    window.LoadReportFile(Dir.File("missing.qrp"));
    EXPECT_EQ(message, QStringLiteral("File does not exist"));
    EXPECT_EQ(Printer->PageTotal, 3);
    EXPECT_EQ(Printer->DocState, rpsFinished);
    EXPECT_EQ(window.QRPreview->PageNumber(), 3);
    EXPECT_TRUE(window.QRPreview->PageImage()->PageLoaded());
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 3 of 3"));
    EXPECT_TRUE(Errors.empty());
}

TEST_F(StandardPreview, LoadingThroughTheDialogShowsTheFileFromPageOne)
{
    TQRStandardPreview& window = Open(2);
    Printer->PrintSetupHandler = [](void*) {};
    Application::ProcessMessages();
    window.ToolButton2->click();
    const std::string file = Document("four.qrp", 4);
    test::WhenDialogActive<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Load report"));
        EXPECT_EQ(dialog.nameFilters(), QStringList {QStringLiteral("Report files (*.QRP)")});
        dialog.selectFile(QString::fromStdString(file));
        static_cast<QDialog&>(dialog).accept();
    });
    window.LoadReport->click();
    EXPECT_EQ(Printer->PageTotal, 4);
    EXPECT_TRUE(Printer->LoadedFromFile());
    EXPECT_EQ(window.QRPreview->PageNumber(), 1);
    EXPECT_TRUE(window.QRPreview->PageImage()->PageLoaded());
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 1 of 4"));
    EXPECT_FALSE(window.PrintSetup->isEnabled());
    EXPECT_TRUE(window.Print->isEnabled());

    // A file that is no report: the error names it, the window goes on without a document.
    test::WriteWholeFile(Dir.File("junk.qrp"), test::Bytes(300, 0x41));
    EXPECT_THROW(window.LoadReportFile(Dir.File("junk.qrp")), Exception);
    try {
        window.LoadReportFile(Dir.File("junk.qrp"));
    } catch (const Exception& error) {
        EXPECT_NE(std::string(error.what()).find(Dir.File("junk.qrp")), std::string::npos) << error.what();
    }
    EXPECT_FALSE(window.Print->isEnabled());
    EXPECT_FALSE(window.QRPreview->PageImage()->PageLoaded());
    window.LoadReportFile(file);
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 1 of 4"));
}

TEST_F(StandardPreview, SavingWritesAReportFileOrExportsThroughTheChosenFilter)
{
    TQRStandardPreview& window = Open(3, "Měsíční přehled");
    // Report file: the same pages, recording for recording.
    window.SaveReportAs(Dir.File("copy.qrp"), 0);
    TQRPageList copy;
    copy.AttachFile(Dir.File("copy.qrp"));
    ASSERT_EQ(copy.PageTotal(), 3);
    for (int page = 1; page <= 3; ++page)
        EXPECT_EQ(copy.GetPage(page)->Bytes(), Printer->GetPage(page)->Bytes()) << "page " << page;

    window.SaveReportAs(Dir.File("pictures.png"), 2);
    window.SaveReportAs(Dir.File("vector.svg"), 3);
    for (const char* name : {"pictures-0001.png", "pictures-0003.png", "vector-0001.svg", "vector-0003.svg"})
        EXPECT_TRUE(std::filesystem::is_regular_file(Dir.File(name))) << name;

    // Through the dialog: report files first, then every export filter; a
    // name typed without extension gets the chosen format's.
    QStringList filters;
    QString suffix;
    test::WhenDialogActive<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save report"));
        filters = dialog.nameFilters();
        suffix = dialog.defaultSuffix();
        dialog.setDirectory(QString::fromStdString(Dir.Root().string()));
        // As a user picks the file type: the list's choice is activated.
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(types, nullptr);
        types->setCurrentIndex(1);
        emit types->activated(1);
        emit types->textActivated(types->currentText());
        dialog.selectFile(QStringLiteral("chosen"));
        static_cast<QDialog&>(dialog).accept();
    });
    window.SaveReport->click();
    EXPECT_EQ(filters, (QStringList {QStringLiteral("Report files (*.QRP)"), QStringLiteral("PDF document (*.pdf)"),
                                     QStringLiteral("PNG pictures (*.png)"), QStringLiteral("SVG pictures (*.svg)")}));
    EXPECT_EQ(suffix, QStringLiteral("QRP"));
    ASSERT_TRUE(std::filesystem::is_regular_file(Dir.File("chosen.pdf"))) << (Errors.empty() ? "" : Errors.front());
    const test::Bytes pdf = test::ReadWholeFile(Dir.File("chosen.pdf"));
    EXPECT_EQ(std::string(pdf.begin(), pdf.begin() + 5), "%PDF-");
    if (test::RunCommand("command -v pdfinfo").Status == 0) {
        EXPECT_EQ(test::PdfPageCount(Dir.File("chosen.pdf")), 3);
        EXPECT_NE(test::RunCommand("pdfinfo '" + Dir.File("chosen.pdf") + "'").Output.find("Měsíční přehled"),
                  std::string::npos);
    }
}

TEST_F(StandardPreview, SaveErrorsNameTheFileAndTheWindowGoesOn)
{
    TQRStandardPreview& window = Open(2);
    for (int filter : {0, 1, 2}) {
        const std::string target = Dir.File("no/such/folder/out") + (filter == 0 ? ".qrp" : filter == 1 ? ".pdf" : ".png");
        try {
            window.SaveReportAs(target, filter);
            ADD_FAILURE() << "no error for " << target;
        } catch (const Exception& error) {
            EXPECT_NE(std::string(error.what()).find(target), std::string::npos) << error.what();
        }
    }
    window.ToolButton2->click();
    EXPECT_EQ(Panel(window, 1), QStringLiteral("Page 2 of 2"));

    // A document still in production writes nothing: that is said, not passed over.
    TQRPrinter busy;
    busy.StartDocument();
    busy.NewPage();
    busy.Preview();
    auto& busyWindow = *dynamic_cast<TQRStandardPreview*>(busy.DefaultPreviewWindow.data());
    EXPECT_THROW(busyWindow.SaveReportAs(Dir.File("busy.qrp"), 0), Exception);
    EXPECT_FALSE(std::filesystem::exists(Dir.File("busy.qrp")));
}

TEST_F(StandardPreview, PrintingALoadedFileKeepsTheWindowUntilTheJobEnds)
{
    auto backend = test::OneScriptedPrinter({600, 600, {4800, 6800}, {}, {}, {1, 9}});
    SetPrinterBackend(backend);
    TQRStandardPreview& window = Open(1);
    window.LoadReportFile(Document("five.qrp", 5));
    QPointer<TQRStandardPreview> alive(&window);

    // A close asked for while the job runs is refused; the job ends whole.
    const TQRProgressUpdateEvent shown = window.QRPreview->OnProgressUpdate;
    bool closeRefused = false;
    window.QRPreview->OnProgressUpdate = [&](TQRPreview* sender, std::int32_t percent) {
        shown(sender, percent);
        if (window.Printing()) {
            window.close();
            closeRefused = window.isVisible();
        }
    };
    window.Print->click();
    ASSERT_EQ(backend->Documents().size(), 1u);
    EXPECT_EQ(backend->Documents()[0]->Pages.size(), 5u);
    EXPECT_TRUE(backend->Documents()[0]->Ended);
    EXPECT_TRUE(closeRefused);
    Application::ProcessMessages();
    EXPECT_FALSE(alive.isNull());
    EXPECT_EQ(Panel(window, 0), QString()) << "the last progress report cleared the panel";

    // Escape while printing cancels the job and leaves the window open.
    window.QRPreview->OnProgressUpdate = [&](TQRPreview* sender, std::int32_t percent) {
        shown(sender, percent);
        if (window.Printing())
            Key(*window.QRPreview->viewport(), Qt::Key_Escape);
    };
    window.Print->click();
    ASSERT_EQ(backend->Documents().size(), 2u);
    EXPECT_TRUE(backend->Documents()[1]->Aborted);
    Application::ProcessMessages();
    EXPECT_FALSE(alive.isNull());
    EXPECT_EQ(Owner.Closed, 0);
}

TEST_F(StandardPreview, PrintingWithoutAPrinterIsAnError)
{
    SetPrinterBackend(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {}));
    TQRStandardPreview& window = Open(1);
    window.LoadReportFile(Document("one.qrp", 1));
    EXPECT_THROW(window.PrintClick(), Exception);
    window.Print->click();
    ASSERT_EQ(Errors.size(), 1u) << "the button's handler shows the error";
    EXPECT_EQ(Errors[0], "No printer is installed");
}

TEST_F(StandardPreview, ClosingTellsTheMasterWhichMayFreeThePrinter)
{
    TQRStandardPreview& window = Open(2);
    QPointer<TQRStandardPreview> alive(&window);
    int afterPreview = 0;
    Printer->AfterPreviewHandler = [&](TQRPrinter*) { ++afterPreview; };
    Owner.OnClosed = [&](TQRPrinter* printer) {
        EXPECT_EQ(printer, Printer.get());
        Printer.reset();
    };
    window.ExitButton->click();
    EXPECT_EQ(Owner.Closed, 1);
    EXPECT_EQ(afterPreview, 1);
    EXPECT_EQ(Printer, nullptr);
    Application::ProcessMessages();
    EXPECT_TRUE(alive.isNull()) << "the window is freed, not hidden";

    // A printer freed while its window is open takes the window with it.
    TQRStandardPreview& other = Open(1);
    QPointer<TQRStandardPreview> otherAlive(&other);
    Printer.reset();
    EXPECT_TRUE(otherAlive.isNull());
}

TEST_F(StandardPreview, TheModalPreviewReturnsWhenItsWindowHasClosed)
{
    TQRPrinter printer;
    Produce(printer, 2);
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        auto* window = dynamic_cast<TQRStandardPreview*>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        wasModal = window->isModal();
        EXPECT_EQ(Panel(*window, 1), QStringLiteral("Page 1 of 2"));
        window->close();
    });
    EXPECT_EQ(TQRStandardPreviewInterface().OpenPreviewModal(printer), nullptr);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(printer.PreviewOpen());
}

}  // namespace
}  // namespace qrp
