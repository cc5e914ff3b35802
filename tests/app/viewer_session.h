#pragma once
// The viewer as a user meets it, for the tests of its keys, mouse, reloading
// and drops: the program's start-up on a report file, the window active, and a
// test body run from inside the program's message loop.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include <QString>
#include <QTimer>

#include "app/qrp_prew.h"
#include "tests/app/run_viewer.h"
#include "tests/support/test_files.h"

namespace qrp::test {

class ViewerSession : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A report file of pages A4 pages in the scratch folder, written whole.
    std::string Document(const std::string& name, int pages);
    // Replaces the file the way editors do: a new file renamed over it.
    void Replace(const std::string& path, const Bytes& bytes);

    // Starts the program on file and runs body once the window shows it and
    // is active; then closes the window unless the body did.
    void Run(const std::string& file, const std::function<void(TQRPrew&)>& body);

    // Cancels every modal dialog that comes up and remembers the last one's
    // class and, for a file dialog, its folder.
    void CancelDialogs();

    ScratchDir Dir;
    QTimer DialogWatch;
    QString LastDialogClass;
    QString LastDialogFolder;
    // The texts the error box would have shown.
    std::vector<std::string> ErrorBoxes;
};

QString Counter(TQRPrew& viewer);
// The viewer's preview scroll positions.
int ScrollX(TQRPrew& viewer);
int ScrollY(TQRPrew& viewer);

}  // namespace qrp::test
