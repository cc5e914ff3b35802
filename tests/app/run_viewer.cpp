#include "tests/app/run_viewer.h"

#include <QElapsedTimer>
#include <QTimer>

namespace qrp::test {

bool RunViewer(TQRPLoad& load, const std::string& file, const std::function<void(TQRPrew&)>& body,
               std::chrono::milliseconds timeout)
{
    bool shown = false;
    // Polled from the loop: the body never runs before the loop has created the viewer.
    QTimer poll;
    QElapsedTimer waiting;
    waiting.start();
    QObject::connect(&poll, &QTimer::timeout, [&] {
        TQRPrew* viewer = load.Viewer();
        if (!viewer || viewer->ShownFile() != file) {
            if (viewer && waiting.elapsed() > timeout.count()) {
                poll.stop();
                viewer->close();
            }
            return;
        }
        poll.stop();
        shown = true;
        body(*viewer);
        if (load.Viewer())
            load.Viewer()->close();
    });
    poll.start(10);
    load.QRReport1.PreviewModal();
    return shown;
}

}  // namespace qrp::test
