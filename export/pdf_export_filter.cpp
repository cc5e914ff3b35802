#include "export/pdf_export_filter.h"

#include <algorithm>

#include <QCoreApplication>
#include <QPageLayout>

#include "platform/emf/metafile.h"

namespace qrp {

namespace {
// The picture frame, in 0.01 mm, as a page size in millimetres; at least 1 mm each way.
QPageLayout FrameLayout(const TMetafile& page)
{
    const auto& frame = page.Header().Frame;
    const QSizeF millimetres(std::max(1.0, (static_cast<double>(frame.Right) - frame.Left) / 100),
                             std::max(1.0, (static_cast<double>(frame.Bottom) - frame.Top) / 100));
    return QPageLayout(QPageSize(millimetres, QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF());
}
}  // namespace

void TQRPdfExportFilter::Start(const std::string& title, std::int32_t)
{
    const QString name = QString::fromStdString(FileName());
    File = std::make_unique<QSaveFile>(name);
    if (!File->open(QIODevice::WriteOnly))
        throw EFCreateError(FileName());
    Writer = std::make_unique<QPdfWriter>(File.get());
    Writer->setResolution(kResolution);
    Writer->setCreator(QCoreApplication::applicationName());
    Writer->setTitle(QString::fromStdString(title));
}

void TQRPdfExportFilter::WritePage(const TMetafile& page, std::int32_t pageNumber)
{
    if (!Writer)
        throw EQRExportError("The PDF export was not started");
    const QPageLayout layout = FrameLayout(page);
    Writer->setPageLayout(layout);
    // The painter begins with the first page, whose layout must be set before.
    if (!Painter.isActive()) {
        if (!Painter.begin(Writer.get()))
            throw EFCreateError(FileName());
    } else if (!Writer->newPage()) {
        throw EWriteError();
    }
    const QRectF target(QPointF(0, 0), layout.paintRectPixels(kResolution).size());
    emf::PlayMetafile(Painter, page, target, ProblemHandler(pageNumber));
}

void TQRPdfExportFilter::Finish()
{
    if (!Painter.isActive())
        throw EQRExportError("The report has no pages to export");
    Painter.end();
    Writer.reset();
    // Flushed here and checked: a buffered save file whose last flush fails
    // part-way would otherwise commit the cut-short file as done.
    if (!File->flush() || !File->commit())
        throw EFCreateError(FileName());
}

}  // namespace qrp
