// The report printer's two ways out besides printing: the export through a
// filter, page by page, and the preview through the program's preview
// interface when no preview handler is set.

#include <gtest/gtest.h>

#include <QObject>
#include <QPointer>

#include "platform/emf/metafile.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "report/qr_export_filter.h"
#include "report/qr_preview_interface.h"
#include "report/qr_printer.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

// Remembers what the printer asked of it.
class RecordingFilter : public TQRExportFilter {
public:
    RecordingFilter() : TQRExportFilter("unused") {}
    void Start(const std::string& title, std::int32_t pageCount) override
    {
        Calls.push_back("start " + title + " " + std::to_string(pageCount));
    }
    void WritePage(const TMetafile& page, std::int32_t pageNumber) override
    {
        Calls.push_back("page " + std::to_string(pageNumber));
        Pages.push_back(page.Bytes());
    }
    void Finish() override { Calls.push_back("finish"); }

    std::vector<std::string> Calls;
    std::vector<std::vector<std::uint8_t>> Pages;
};

class PrinterOutputs : public ::testing::Test {
protected:
    void SetUp() override { SetPrinterBackend(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {})); }
    void TearDown() override
    {
        DefaultPreviewInterface = [] { return std::make_unique<TQRPreviewInterface>(); };
        SetPrinterBackend(nullptr);
    }
    test::ScratchDir Dir;
};

TEST_F(PrinterOutputs, ALoadedReportIsExportedPageByPageAfterLoadClearedTheHandler)
{
    const std::vector<TMetafile> pages = {test::MakePage(1), test::MakePage(2), test::MakePage(3)};
    test::WriteWholeFile(Dir.File("three.qrp"), test::MakeDocument(pages, true));
    TQRPrinter printer;
    int handled = 0;
    printer.ExportHandler = [&](TQRExportFilter&) { ++handled; };
    printer.Load(Dir.File("three.qrp"));
    printer.JobTitle = "Faktury";

    RecordingFilter filter;
    printer.ExportToFilter(filter);
    EXPECT_EQ(handled, 0);
    EXPECT_EQ(filter.Calls, (std::vector<std::string> {"start Faktury 3", "page 1", "page 2", "page 3", "finish"}));
    ASSERT_EQ(filter.Pages.size(), 3u);
    for (std::size_t i = 0; i < pages.size(); ++i)
        EXPECT_EQ(filter.Pages[i], pages[i].Bytes()) << "page " << i + 1;
}

TEST_F(PrinterOutputs, AHandlerTakesTheExportAndWithoutADocumentItIsAnError)
{
    TQRPrinter printer;
    RecordingFilter filter;
    EXPECT_THROW(printer.ExportToFilter(filter), EQRError) << "nothing to export is no success";
    printer.StartDocument();
    printer.NewPage();
    EXPECT_THROW(printer.ExportToFilter(filter), EQRError) << "a document still in production";
    EXPECT_TRUE(filter.Calls.empty());

    TQRExportFilter* handed = nullptr;
    printer.ExportHandler = [&](TQRExportFilter& given) { handed = &given; };
    printer.ExportToFilter(filter);
    EXPECT_EQ(handed, &filter);
    EXPECT_TRUE(filter.Calls.empty()) << "the handler does the export";
}

// Opens a plain QObject as its "window" and counts the objects alive.
class CountingInterface : public TQRPreviewInterface {
public:
    CountingInterface() { ++Alive; }
    ~CountingInterface() override { --Alive; }
    QObject* OpenPreview(TQRPrinter& printer) override
    {
        Opened = &printer;
        return new QObject;
    }
    static inline int Alive = 0;
    static inline TQRPrinter* Opened = nullptr;
};

TEST_F(PrinterOutputs, WithoutAHandlerThePreviewInterfaceOpensTheWindowAndIsFreed)
{
    DefaultPreviewInterface = [] { return std::make_unique<CountingInterface>(); };
    QPointer<QObject> window;
    {
        TQRPrinter printer;
        printer.Preview();
        EXPECT_EQ(CountingInterface::Opened, &printer);
        EXPECT_EQ(CountingInterface::Alive, 0) << "the interface lives only for the call";
        window = printer.DefaultPreviewWindow;
        ASSERT_FALSE(window.isNull());

        // With a handler the handler alone runs.
        CountingInterface::Opened = nullptr;
        int handled = 0;
        printer.PreviewHandler = [&](TQRPrinter*) { ++handled; };
        printer.Preview();
        EXPECT_EQ(handled, 1);
        EXPECT_EQ(CountingInterface::Opened, nullptr);
        EXPECT_EQ(printer.DefaultPreviewWindow, window);
    }
    EXPECT_TRUE(window.isNull()) << "the window showing a printer goes with it";

    // The base interface opens nothing.
    DefaultPreviewInterface = [] { return std::make_unique<TQRPreviewInterface>(); };
    TQRPrinter printer;
    printer.Preview();
    EXPECT_TRUE(printer.DefaultPreviewWindow.isNull());
    EXPECT_EQ(TQRPreviewInterface().OpenPreviewModal(printer), nullptr);
}

}  // namespace
}  // namespace qrp
