#pragma once
// The viewer window: a maximized preview with a tool bar (zoom, page
// navigation, page number, open, print, file association, close), the preview
// control, and a status bar with the page counter and a progress gauge. It
// loads report files into the report printer the report component created:
// from the command line by its start-up timer, or through the open dialog.

#include <memory>
#include <string>
#include <vector>

#include <QTimer>
#include <QWidget>

namespace qrp {

class TFlatSpinEditInteger;
class TGaugeStatusBar;
class TQRPreview;
class TQRPrinter;
class TQRReport;

class TQRPrew : public QWidget {
public:
    // arguments: the command line without the program's own path.
    TQRPrew(QWidget* owner, std::vector<std::string> arguments);
    ~TQRPrew() override;

    void ShowPreview();
    void RefreshStatusBar();
    void OpenReportFile(const std::string& path);

    // The report component whose print setup the print command runs.
    TQRReport* Report = nullptr;

    TQRPreview* QRPreview1 = nullptr;
    TGaugeStatusBar* StatusBar1 = nullptr;
    TFlatSpinEditInteger* SpinEdit1 = nullptr;
    QWidget* SpeedButton1 = nullptr;  // "Zavřít"
    QWidget* SpeedButton2 = nullptr;  // "Načíst soubor"
    QWidget* SpeedButton3 = nullptr;  // "Tisk sestavy"
    QWidget* Button1 = nullptr;       // "Asociace *.QRP"
    QTimer Timer1;

    // The handlers of the tool bar, the timer and the preview.
    void ToolButton1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void ToolButton5Click();
    void ToolButton6Click();
    void ToolButton7Click();
    void SpinEdit1Change();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton1Click();
    void Button1Click();
    void Timer1Timer();
    void QRPreview1PageAvailable(int pageNum);
    void QRPreview1ProgressUpdate(int progress);

    // The path the command line names: its arguments joined as they came, or,
    // when that names no file, joined with single blanks (a path with blanks
    // split by a shell or launcher).
    static std::string CommandLinePath(const std::vector<std::string>& arguments);

    // A print job of the shown document is running.
    bool Printing() const { return PrintRunning; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void BuildToolBar(QWidget* toolBar);
    void FormDestroy();
    // Prints the shown document; close, load, print and the association wait until it ends.
    void RunPrint(TQRPrinter& printer);

    std::vector<std::string> Arguments;
    bool Destroyed = false;
    bool PrintRunning = false;
};

}  // namespace qrp
