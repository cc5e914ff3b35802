#pragma once
// The small window that accompanies a report generated onto the printer: a
// gauge, the percentage done and a cancel button. It is the report printer's
// client window while the generation runs, so the printer's progress messages
// reach it; it reads the printer's Progress when one arrives.

#include <QWidget>

#include "platform/messages/messages.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace qrp {

class TQRPrinter;

class TQRProgressForm : public QWidget, public TMessageTarget {
public:
    explicit TQRProgressForm(QWidget* parent = nullptr);

    // The report printer whose progress the window shows (not owned).
    TQRPrinter* QRPrinter = nullptr;

    QProgressBar* Gauge = nullptr;
    QLabel* Info = nullptr;
    QPushButton* CancelButton = nullptr;

    void WndProc(TMessage& message) override;
    // Asks the report printer to stop.
    void CancelButtonClick();

protected:
    void showEvent(QShowEvent* event) override;
    // Closing the window asks for the cancel, as its button does.
    void closeEvent(QCloseEvent* event) override;

private:
    void ProgressUpdate();
};

}  // namespace qrp
