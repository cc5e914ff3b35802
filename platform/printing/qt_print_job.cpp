#include "platform/printing/qt_print_job.h"

#include <sys/stat.h>

#include <filesystem>
#include <utility>
#include <vector>

#include <cups/cups.h>

#include <QDir>
#include <QFileInfo>
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
// The PDF's pages already have the paper's size with the drawing inside the
// printable area, so the queue must not fit them to the page once more.
TJobOptions JobOptions(const QPageLayout& layout, const std::optional<TDeviceMode>& mode)
{
    TJobOptions options {{"media", layout.pageSize().key().toStdString()}, {"print-scaling", "none"}};
    // The pages are already turned; the queue learns that they are meant across.
    if (layout.orientation() == QPageLayout::Landscape)
        options.emplace_back("orientation-requested", "4");
    if (mode && mode->Declares(DM_COPIES) && mode->Copies > 1) {
        options.emplace_back("copies", std::to_string(mode->Copies));
        const bool collate = !mode->Declares(DM_COLLATE) || mode->Collate != DMCOLLATE_FALSE;
        options.emplace_back("Collate", collate ? "True" : "False");
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

// Paints the document as PDF into a temporary file with the layout the device
// mode gives printer; a subclass delivers the file when the document ends.
class TPdfJob : public TPrintJob {
public:
    TPdfJob(std::unique_ptr<QPrinter> printer, const std::optional<TDeviceMode>& mode, const std::string& title,
            const QString& temporaryTemplate)
        : Owned(std::move(printer)), Printer(*Owned), Output(temporaryTemplate)
    {
        // The printer's own engine works out paper and margins; the PDF
        // engine then paints with that layout into our file.
        if (mode)
            ApplyDeviceMode(Printer, *mode);
        Layout = Printer.pageLayout();
        if (!Output.open())
            throw EPrinter(kInvalidPrinter);
        Printer.setOutputFormat(QPrinter::PdfFormat);
        Printer.setOutputFileName(Output.fileName());
        Printer.setPageLayout(Layout);
        // Every page is painted once; copies are made by whoever receives the file.
        Printer.setCopyCount(1);
        Printer.setDocName(QString::fromStdString(title));
        if (!Painter.begin(&Printer))
            throw EPrinter(kInvalidPrinter);
    }
    ~TPdfJob() override
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
        Deliver(Output);
    }
    void Abort() override { Painter.end(); }

protected:
    virtual void Deliver(QTemporaryFile& pdf) = 0;
    const QPageLayout& PageLayout() const { return Layout; }

private:
    std::unique_ptr<QPrinter> Owned;
    QPrinter& Printer;
    QTemporaryFile Output;  // removed with the job unless delivered by renaming
    QPageLayout Layout;
    QPainter Painter;
};

class TCupsJob : public TPdfJob {
public:
    TCupsJob(std::unique_ptr<QPrinter> printer, const QString& queue, const std::optional<TDeviceMode>& mode,
             const std::string& title)
        : TPdfJob(std::move(printer), mode, title, QDir::tempPath() + QStringLiteral("/qrp-print-XXXXXX.pdf")), Queue(queue), Title(title),
          Options(JobOptions(PageLayout(), mode))
    {
    }

protected:
    void Deliver(QTemporaryFile& pdf) override { SendToQueue(Queue, pdf.fileName(), Title, Options); }

private:
    QString Queue;
    std::string Title;
    TJobOptions Options;
};

// The permissions a newly created file gets under the process's umask.
QFileDevice::Permissions NewFilePermissions()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QFileDevice::Permissions permissions;
    const std::pair<mode_t, QFileDevice::Permission> bits[] = {
        {S_IRUSR, QFileDevice::ReadOwner}, {S_IWUSR, QFileDevice::WriteOwner}, {S_IRGRP, QFileDevice::ReadGroup},
        {S_IWGRP, QFileDevice::WriteGroup}, {S_IROTH, QFileDevice::ReadOther}, {S_IWOTH, QFileDevice::WriteOther}};
    for (const auto& [bit, permission] : bits)
        if ((0666 & ~mask) & bit)
            permissions |= permission;
    return permissions;
}

class TPdfFileJob : public TPdfJob {
public:
    TPdfFileJob(std::unique_ptr<QPrinter> printer, const QString& target, const std::optional<TDeviceMode>& mode,
                const std::string& title)
        // The temporary file lies beside the target, so that renaming puts it in place whole.
        : TPdfJob(std::move(printer), mode, title,
                  QFileInfo(target).absolutePath() + QStringLiteral("/.qrp-print-XXXXXX.pdf")),
          Target(target)
    {
    }

protected:
    void Deliver(QTemporaryFile& pdf) override
    {
        pdf.setPermissions(NewFilePermissions());
        std::error_code error;
        std::filesystem::rename(pdf.fileName().toStdString(), Target.toStdString(), error);
        if (error)
            throw EPrinter("Cannot create file " + Target.toStdString());
        pdf.setAutoRemove(false);
    }

private:
    QString Target;
};
}  // namespace

std::unique_ptr<TPrintJob> StartCupsJob(const QPrinterInfo& printer, const std::optional<TDeviceMode>& mode,
                                        const std::string& title)
{
    return std::make_unique<TCupsJob>(std::make_unique<QPrinter>(printer, QPrinter::HighResolution),
                                      printer.printerName(), mode, title);
}

std::unique_ptr<TPrintJob> StartPdfFileJob(const std::string& outputFile, const std::optional<TDeviceMode>& mode,
                                           const std::string& title)
{
    if (outputFile.empty())
        throw EPrinter(kNoOutputFile);
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    return std::make_unique<TPdfFileJob>(std::move(printer), QString::fromStdString(outputFile), mode, title);
}

}  // namespace qrp
