#pragma once
// The default preview window a report printer opens when it has no preview
// handler: the preview control under a flat tool bar (zoom to fit, 100 %,
// zoom to width; first, previous, next and last page; printer setup, print;
// save and load report; close) and a status bar with the progress and the
// page counter. Keys reach the window before its controls. It shows a report
// printer it does not own and is freed when it closes; from then on it
// leaves the printer alone.

#include <cstdint>
#include <string>

#include <QWidget>

class QToolButton;

namespace qrp {

class TGaugeStatusBar;
class TQRPreview;
class TQRPrinter;

class TQRStandardPreview : public QWidget {
public:
    explicit TQRStandardPreview(TQRPrinter& printer);
    ~TQRStandardPreview() override;

    // The printer shown; none once the window has closed.
    TQRPrinter* ReportPrinter() const { return Printer; }
    // Status bar panel 1: "Page 3 of 12".
    void UpdatePageCounter();

    TGaugeStatusBar* StatusBar = nullptr;
    QWidget* ToolBar1 = nullptr;
    QToolButton* ZoomFit = nullptr;
    QToolButton* Zoom100 = nullptr;
    QToolButton* ZoomToWidth = nullptr;
    QToolButton* FirstPage = nullptr;
    QToolButton* PreviousPage = nullptr;
    QToolButton* ToolButton2 = nullptr;  // next page
    QToolButton* LastPage = nullptr;
    QToolButton* PrintSetup = nullptr;
    QToolButton* Print = nullptr;
    QToolButton* SaveReport = nullptr;
    QToolButton* LoadReport = nullptr;
    QToolButton* ExitButton = nullptr;
    TQRPreview* QRPreview = nullptr;

    // The handlers of the tool bar and the preview control.
    void ZoomFitClick();
    void Zoom100Click();
    void ZoomToWidthClick();
    void FirstPageClick();
    void PreviousPageClick();
    void ToolButton2Click();
    void LastPageClick();
    void PrintSetupClick();
    void PrintClick();
    void SaveReportClick();
    void LoadReportClick();
    void QRPreviewPageAvailable(std::int32_t pageNum);
    void QRPreviewProgressUpdate(std::int32_t progress);

    // What the save dialog does on OK: filterIndex 0 saves a report file,
    // i > 0 exports through the i-th registered export filter.
    void SaveReportAs(const std::string& fileName, int filterIndex);
    // What the load dialog does on OK.
    void LoadReportFile(const std::string& fileName);

    // A print job of the shown document is running.
    bool Printing() const { return PrintRunning; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void BuildToolBar();
    void BuildStatusBar();
    // The window's keys; false for the others, which go on to the controls.
    bool PreviewKey(int key, Qt::KeyboardModifiers modifiers);
    void ShowPage(std::int32_t pageNumber);

    TQRPrinter* Printer;
    std::int32_t LastProgress = 0;
    bool PrintRunning = false;
};

}  // namespace qrp
