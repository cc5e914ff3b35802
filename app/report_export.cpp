#include "app/report_export.h"

#include <QFileDialog>
#include <QFileInfo>

#include "export/export_filters.h"
#include "platform/exceptions.h"
#include "report/qr_printer.h"

namespace qrp {

namespace {
QString DialogFilter(const TQRExportFilterEntry& entry)
{
    const QString extension = QString::fromStdString(entry.Extension);
    return QStringLiteral("Soubory %1 (*.%2)").arg(extension.toUpper(), extension);
}
}  // namespace

void ExportReportDialog(QWidget* parent, TQRPrinter& printer, const std::string& shownFile)
{
    QStringList filters;
    for (const TQRExportFilterEntry& entry : ExportFilters())
        filters << DialogFilter(entry);
    const TQRExportFilterEntry& first = ExportFilters().front();
    QFileDialog dialog(parent, QStringLiteral("Exportovat sestavu"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromStdString(first.Extension));
    if (!shownFile.empty()) {
        const QFileInfo shown(QString::fromStdString(shownFile));
        dialog.setDirectory(shown.absolutePath());
        dialog.selectFile(shown.completeBaseName() + QLatin1Char('.') + QString::fromStdString(first.Extension));
    }
    // A name typed without extension gets the one of the format chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &filters](const QString& chosen) {
        const auto index = std::max<qsizetype>(0, filters.indexOf(chosen));
        dialog.setDefaultSuffix(QString::fromStdString(ExportFilters()[static_cast<std::size_t>(index)].Extension));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString fileName = dialog.selectedFiles().front();
    // The file's own extension names the format; without a known one the chosen filter does.
    const TQRExportFilterEntry* entry = FindExportFilter(QFileInfo(fileName).suffix().toStdString());
    if (!entry)
        entry = &ExportFilters()[static_cast<std::size_t>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())))];
    ExportReport(printer, fileName.toStdString(), *entry);
}

void ExportReport(TQRPrinter& printer, const std::string& fileName, const TQRExportFilterEntry& filter)
{
    try {
        const std::unique_ptr<TQRExportFilter> writer = filter.Create(fileName);
        printer.ExportToFilter(*writer);
    } catch (const std::exception& error) {
        throw Exception(QStringLiteral("Soubor %1 nelze uložit: %2")
                            .arg(QString::fromStdString(fileName), QString::fromUtf8(error.what()))
                            .toStdString());
    }
}

}  // namespace qrp
