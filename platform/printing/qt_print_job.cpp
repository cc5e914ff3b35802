#include "platform/printing/qt_print_job.h"

#include <utility>
#include <vector>

#include <cups/cups.h>

#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>

#include "platform/printing/printer_error.h"
#include "platform/printing/qt_device_mode.h"

namespace qrp {

namespace {
using TJobOptions = std::vector<std::pair<std::string, std::string>>;

// What the queue needs to know beside the PDF, named as CUPS names job options.
TJobOptions JobOptions(const QPageLayout& layout, const std::optional<TDeviceMode>& mode)
{
    TJobOptions options {{"media", layout.pageSize().key().toStdString()}};
    if (layout.orientation() == QPageLayout::Landscape)
        options.emplace_back("landscape", "");
    if (mode && mode->Declares(DM_COPIES) && mode->Copies > 1) {
        options.emplace_back("copies", std::to_string(mode->Copies));
        options.emplace_back("Collate", "True");
    }
    if (mode && mode->Declares(DM_DUPLEX)) {
        const char* sides = mode->Duplex == DMDUP_VERTICAL     ? "two-sided-long-edge"
                            : mode->Duplex == DMDUP_HORIZONTAL ? "two-sided-short-edge"
                                                               : "one-sided";
        options.emplace_back("sides", sides);
    }
    return options;
}

// Hands the file to the queue; raises EPrinter with the service's reason when it refuses.
void SendToQueue(const QString& queue, const QString& file, const std::string& title, const TJobOptions& options)
{
    cups_option_t* cupsOptions = nullptr;
    int count = 0;
    for (const auto& [name, value] : options)
        count = cupsAddOption(name.c_str(), value.c_str(), count, &cupsOptions);
    // An instance ("queue/instance") prints on its queue.
    const QByteArray queueName = queue.section(u'/', 0, 0).toLocal8Bit();
    const int job =
        cupsPrintFile(queueName.constData(), file.toLocal8Bit().constData(), title.c_str(), count, cupsOptions);
    cupsFreeOptions(count, cupsOptions);
    if (job == 0)
        throw EPrinter(cupsLastErrorString());
}

class TCupsJob : public TPrintJob {
public:
    TCupsJob(const QPrinterInfo& info, const std::optional<TDeviceMode>& mode, const std::string& title)
        : Queue(info.printerName()), Title(title), Printer(info, QPrinter::HighResolution)
    {
        // The printer's own engine works out paper and margins; the PDF
        // engine then paints with that layout into our file.
        if (mode)
            ApplyDeviceMode(Printer, *mode);
        const QPageLayout layout = Printer.pageLayout();
        Options = JobOptions(layout, mode);
        if (!Output.open())
            throw EPrinter(kInvalidPrinter);
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(Output.fileName());
        Printer.setPageLayout(layout);
        Printer.setDocName(QString::fromStdString(title));
        if (!Painter.begin(&Printer))
            throw EPrinter(kInvalidPrinter);
    }
    ~TCupsJob() override
    {
        if (Painter.isActive())
            Painter.end();
    }

    QPainter& PagePainter() override { return Painter; }
    void NewPage() override
    {
        if (!Printer.newPage())
            throw EPrinter(kInvalidPrinter);
    }
    void End() override
    {
        if (!Painter.end())
            throw EPrinter(kInvalidPrinter);
        SendToQueue(Queue, Output.fileName(), Title, Options);
    }
    void Abort() override { Painter.end(); }

private:
    QString Queue;
    std::string Title;
    TJobOptions Options;
    QTemporaryFile Output;  // removed with the job
    QPrinter Printer;
    QPainter Painter;
};
}  // namespace

std::unique_ptr<TPrintJob> StartCupsJob(const QPrinterInfo& printer, const std::optional<TDeviceMode>& mode,
                                        const std::string& title)
{
    return std::make_unique<TCupsJob>(printer, mode, title);
}

}  // namespace qrp
