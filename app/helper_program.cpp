#include "app/helper_program.h"

#include <QProcess>
#include <QStandardPaths>

namespace qrp {

namespace {
// Enough of the program's own complaint to tell what happened.
constexpr qsizetype kErrorTextLimit = 300;

QString FirstErrorLine(QProcess& process)
{
    const QString text = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return text.section(QLatin1Char('\n'), 0, 0).left(kErrorTextLimit);
}
}  // namespace

THelperOutcome RunHelperProgram(const QString& program, const QStringList& arguments, std::chrono::milliseconds timeout)
{
    THelperOutcome outcome;
    const QString path = QStandardPaths::findExecutable(program);
    outcome.Found = !path.isEmpty();
    if (!outcome.Found) {
        outcome.Problem = QStringLiteral("program %1 nebyl nalezen").arg(program);
        return outcome;
    }
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(path, arguments);
    const int milliseconds = static_cast<int>(timeout.count());
    if (!process.waitForStarted(milliseconds)) {
        outcome.Problem = QStringLiteral("program %1 nelze spustit: %2").arg(program, process.errorString());
        return outcome;
    }
    if (!process.waitForFinished(milliseconds)) {
        process.kill();
        process.waitForFinished(milliseconds);
        outcome.Problem = QStringLiteral("program %1 neskončil do %2 s a byl ukončen").arg(program).arg(milliseconds / 1000.0);
        return outcome;
    }
    if (process.exitStatus() != QProcess::NormalExit) {
        outcome.Problem = QStringLiteral("program %1 skončil pádem").arg(program);
    } else if (process.exitCode() != 0) {
        const QString complaint = FirstErrorLine(process);
        outcome.Problem = QStringLiteral("program %1 skončil s kódem %2").arg(program).arg(process.exitCode());
        if (!complaint.isEmpty())
            outcome.Problem += QStringLiteral(": ") + complaint;
    }
    return outcome;
}

}  // namespace qrp
