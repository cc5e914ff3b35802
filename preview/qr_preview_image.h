#pragma once
// One page of a report document on screen: the page's recording played into
// the image's rectangle, with a black page frame and a drop shadow in its
// last pixels. The preview control owns it, sizes and places it for the zoom,
// and says which printer and page it shows.

#include <cstdint>
#include <memory>

#include <QImage>
#include <QWidget>

namespace qrp {

class TMetafile;
class TQRPrinter;

class TQRPreviewImage : public QWidget {
public:
    explicit TQRPreviewImage(QWidget* parent);
    ~TQRPreviewImage() override;

    // Fetches page n from the printer (none without a printer or when the
    // printer cannot supply it yet) and repaints at once.
    void LoadPage(std::int32_t pageNumber);

    std::int32_t PageNumber() const { return ShownPage; }
    bool PageLoaded() const { return Page != nullptr; }
    // The recording shown, or none.
    const TMetafile* Recording() const { return Page.get(); }
    TQRPrinter* ReportPrinter() const { return Printer; }
    void SetReportPrinter(TQRPrinter* printer) { Printer = printer; }
    // The percentage the preview control last laid the image out at.
    std::int32_t Zoom() const { return LaidOutZoom; }
    void SetZoom(std::int32_t zoom) { LaidOutZoom = zoom; }

    // How often the page has been played into the kept picture; painting
    // with an unchanged size and pixel ratio reuses the picture.
    int PageRenderings() const { return Renderings; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& RenderedPage(qreal pixelRatio);

    TQRPrinter* Printer = nullptr;
    std::int32_t ShownPage = 1;
    std::unique_ptr<TMetafile> Page;
    std::int32_t LaidOutZoom = 100;
    QImage Rendered;  // the framed page at the size and pixel ratio it was last painted at
    int Renderings = 0;
};

}  // namespace qrp
