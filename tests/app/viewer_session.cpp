#include "tests/app/viewer_session.h"

#include <filesystem>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QScrollBar>
#include <QTest>

#include "controls/gauge_status_bar.h"
#include "platform/messages/application.h"
#include "platform/printing/printer_backend.h"
#include "platform/printing/scripted_printer_backend.h"
#include "preview/qr_preview.h"

namespace qrp::test {

void ViewerSession::SetUp()
{
    SetPrinterBackend(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {}, -1));
    Application::ResetTerminated();
    Application::SetExceptionHandler([this](const std::exception& error) { ErrorBoxes.push_back(error.what()); });
    FirstStart = false;
}

void ViewerSession::TearDown()
{
    DialogWatch.stop();
    Application::SetExceptionHandler(nullptr);
    Application::ResetTerminated();
}

std::string ViewerSession::Document(const std::string& name, int pages)
{
    WriteWholeFile(Dir.File(name), MakeDocument(pages, false));
    return Dir.File(name);
}

void ViewerSession::Replace(const std::string& path, const Bytes& bytes)
{
    const std::string fresh = path + ".new";
    WriteWholeFile(fresh, bytes);
    std::filesystem::rename(fresh, path);
}

void ViewerSession::Run(const std::string& file, const std::function<void(TQRPrew&)>& body)
{
    TQRPLoad load({file});
    EXPECT_TRUE(RunViewer(load, file, [&](TQRPrew& viewer) {
        viewer.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&viewer));
        body(viewer);
    })) << "the viewer did not show " << file;
}

void ViewerSession::CancelDialogs()
{
    QObject::connect(&DialogWatch, &QTimer::timeout, [this] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        LastDialogClass = QString::fromLatin1(dialog->metaObject()->className());
        if (auto* files = qobject_cast<QFileDialog*>(dialog))
            LastDialogFolder = files->directory().absolutePath();
        dialog->reject();
    });
    DialogWatch.start(20);
}

QString Counter(TQRPrew& viewer) { return viewer.StatusBar1->Panels()[0].Text(); }
int ScrollX(TQRPrew& viewer) { return viewer.QRPreview1->horizontalScrollBar()->value(); }
int ScrollY(TQRPrew& viewer) { return viewer.QRPreview1->verticalScrollBar()->value(); }

}  // namespace qrp::test
