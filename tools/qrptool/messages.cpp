#include "tools/qrptool/messages.h"

#include <cstdio>

#include <QString>
#include <QtGlobal>

#include "platform/exceptions.h"

namespace qrptool {

namespace {
std::string& CommandName()
{
    static std::string name;
    return name;
}

thread_local MessageCapture* Capture = nullptr;

void QtMessage(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    const std::string text = message.toStdString();
    if (type == QtWarningMsg)
        Warn(text);
    else
        Complain(text);
}
}  // namespace

void Emit(const std::string& line)
{
    if (Capture)
        Capture->Lines += line;
    else
        std::fputs(line.c_str(), stderr);
}

void SetCommandName(const std::string& command) { CommandName() = command; }

std::string MessagePrefix() { return CommandName().empty() ? std::string("qrptool") : "qrptool " + CommandName(); }

std::string ErrorText(const std::exception& error)
{
    const auto* stream = dynamic_cast<const qrp::EStreamError*>(&error);
    return stream && !stream->Reason().empty() ? std::string(error.what()) + ": " + stream->Reason() : error.what();
}

void Complain(const std::string& text) { Emit(MessagePrefix() + ": " + text + "\n"); }

void Warn(const std::string& text) { Emit(MessagePrefix() + ": warning: " + text + "\n"); }

void RouteQtMessages() { qInstallMessageHandler(QtMessage); }

MessageCapture::MessageCapture() : Outer(Capture) { Capture = this; }

MessageCapture::~MessageCapture() { Capture = Outer; }

std::string MessageCapture::Take()
{
    std::string lines;
    lines.swap(Lines);
    return lines;
}

void WriteMessages(const std::string& lines)
{
    if (!lines.empty())
        Emit(lines);
}

}  // namespace qrptool
