#include "printing/qr_progress_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

#include "platform/messages/application.h"
#include "report/qr_printer.h"

namespace qrp {

TQRProgressForm::TQRProgressForm(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint)
{
    // Laid out in pixels at 96 pixels per inch, in the application's font.
    setWindowTitle(QStringLiteral("Printing progress"));
    setFixedSize(149, 97);

    Gauge = new QProgressBar(this);
    Gauge->setGeometry(16, 18, 114, 16);
    Gauge->setRange(0, 100);
    Gauge->setValue(0);
    Gauge->setTextVisible(false);

    Info = new QLabel(this);
    Info->setGeometry(0, 44, 145, 13);
    Info->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setGeometry(36, 60, 75, 25);
    CancelButton->setFocus();
    QObject::connect(CancelButton, &QPushButton::clicked, [this] { CancelButtonClick(); });
}

void TQRProgressForm::WndProc(TMessage& message)
{
    if (message.Msg == RPM_PROGRESS)
        ProgressUpdate();
}

void TQRProgressForm::ProgressUpdate()
{
    // The printer's value when the message is handled; the message's own may be older.
    if (!QRPrinter)
        return;
    const std::int32_t progress = QRPrinter->Progress();
    if (progress % 5 != 0)
        return;
    Gauge->setValue(progress);
    Info->setText(QString::number(progress) + QStringLiteral("% ") + QStringLiteral(" Completed"));
    // Lets the window repaint and its cancel button be clicked during generation.
    Application::ProcessMessages();
}

void TQRProgressForm::CancelButtonClick()
{
    if (QRPrinter)
        QRPrinter->RequestCancel();
}

void TQRProgressForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // At the centre of the screen.
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->geometry();
        const QRect frame = frameGeometry();
        move(area.x() + (area.width() - frame.width()) / 2, area.y() + (area.height() - frame.height()) / 2);
    }
}

void TQRProgressForm::closeEvent(QCloseEvent* event)
{
    event->ignore();
    CancelButtonClick();
}

}  // namespace qrp
