#include "tools/qrptool/messages.h"

#include <cstdio>

#include <QString>
#include <QtGlobal>

namespace qrptool {

namespace {
std::string& CommandName()
{
    static std::string name;
    return name;
}

void QtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    const std::string text = message.toStdString();
    if (type == QtWarningMsg)
        Warn(text);
    else
        Complain(text);
}
}  // namespace

void SetCommandName(const std::string& command) { CommandName() = command; }

std::string MessagePrefix() { return CommandName().empty() ? std::string("qrptool") : "qrptool " + CommandName(); }

void Complain(const std::string& text) { std::fprintf(stderr, "%s: %s\n", MessagePrefix().c_str(), text.c_str()); }

void Warn(const std::string& text) { std::fprintf(stderr, "%s: warning: %s\n", MessagePrefix().c_str(), text.c_str()); }

void RouteQtMessages() { qInstallMessageHandler(QtMessage); }

}  // namespace qrptool
