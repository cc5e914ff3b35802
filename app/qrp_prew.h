#pragma once
// The viewer window: a maximized preview with a tool bar (zoom, page
// navigation, page number, open, print, file association, close), the preview
// control, and a status bar with the page counter and a progress gauge. It
// loads report files into the report printer the report component created:
// from the command line by its start-up timer, through the open dialog, or
// dropped onto it; a shown file that changes on disk is read again.
//
// Its commands also have keys and sit in the preview's context menu
// (viewer_actions.h); the preview control itself zooms with Ctrl+wheel, turns
// pages with the wheel, pans by dragging and selects words by dragging with
// Shift. Ctrl+F opens the find bar (find_bar.h) below the tool bar.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <QString>
#include <QTimer>
#include <QWidget>

class QMenu;

namespace qrp {

class TFileReloader;
class TFindBar;
class TFlatSpinEditInteger;
class TGaugeStatusBar;
class TQRPreview;
class TQRPrinter;
class TQRReport;
struct TViewerActions;

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
    // The commands with their keys, shared with the preview's context menu.
    std::unique_ptr<TViewerActions> Actions;
    QMenu* PreviewMenu = nullptr;
    // Hidden until Ctrl+F.
    TFindBar* FindBar1 = nullptr;

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

    // The commands without a tool button.
    void ZoomInClick();
    void ZoomOutClick();
    // Reads the shown file again at once, keeping page, zoom and scroll position.
    void ReloadClick();
    void ExportClick();
    // Opens the find bar.
    void FindClick();
    // Puts the selected words on the clipboard.
    void CopyClick();

    // The report file shown; empty before one is loaded.
    const std::string& ShownFile() const { return ShownPath; }
    // Watches the shown file; its settle time can be shortened.
    TFileReloader& Reloader() { return *FileReloader; }
    // A note in the status bar's last panel (a shown file that could not be read again); empty when none.
    QString StatusNote() const;

    // The path the command line names: its arguments joined as they came, or,
    // when that names no file, joined with single blanks (a path with blanks
    // split by a shell or launcher).
    static std::string CommandLinePath(const std::vector<std::string>& arguments);

    // A print job of the shown document is running.
    bool Printing() const { return PrintRunning; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildToolBar(QWidget* toolBar);
    void ConnectActions();
    // The page path of the tool buttons: the page, then the spin edit, then the counter.
    void GoToPage(std::int32_t pageNumber);
    // Loads a file that passed the pre-check and makes it the shown one.
    void LoadShownFile(TQRPrinter& printer, const std::string& path);
    // Reads the shown file again, keeping page, zoom and scroll position; raises when it cannot be read.
    void ReloadShownFile();
    // The shown file changed on disk and settled: false while a print job holds the document.
    bool ShownFileChanged();
    void SetStatusNote(const QString& note);
    void FormDestroy();
    // Prints the shown document; close, load, print and the association wait until it ends.
    void RunPrint(TQRPrinter& printer);

    std::vector<std::string> Arguments;
    std::string ShownPath;
    std::unique_ptr<TFileReloader> FileReloader;
    bool Destroyed = false;
    bool PrintRunning = false;
};

}  // namespace qrp
