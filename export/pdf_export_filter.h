#pragma once
// Pages as one PDF document: vector drawing with the text searchable, every
// page at the size of its recording's frame, the report's title as the
// document's title. The document is written into a temporary file beside the
// one named, page by page, and takes its place only when it is finished.

#include <memory>

#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "report/qr_export_filter.h"

namespace qrp {

class TQRPdfExportFilter : public TQRExportFilter {
public:
    // Page content is placed at this resolution; it bounds the precision of positions only.
    static constexpr int kResolution = 1200;

    using TQRExportFilter::TQRExportFilter;

    void Start(const std::string& title, std::int32_t pageCount) override;
    void WritePage(const TMetafile& page, std::int32_t pageNumber) override;
    void Finish() override;

private:
    // Declared in this order so that the painter ends before the writer and
    // the file goes last, unsaved unless Finish committed it.
    std::unique_ptr<QSaveFile> File;
    std::unique_ptr<QPdfWriter> Writer;
    QPainter Painter;
};

}  // namespace qrp
