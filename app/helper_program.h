#pragma once
// Runs one of the desktop's helper programs (update-mime-database, xdg-mime,
// ...) found in the PATH, with no input and its output dropped, and says in
// the viewer's language what went wrong.

#include <chrono>

#include <QString>
#include <QStringList>

namespace qrp {

struct THelperOutcome {
    bool Found = false;
    QString Problem;  // empty when the program ran and succeeded
};

// A program that does not end within timeout is killed.
THelperOutcome RunHelperProgram(const QString& program, const QStringList& arguments, std::chrono::milliseconds timeout);

}  // namespace qrp
