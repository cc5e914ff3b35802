#include "platform/messages/application.h"

#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include <QCoreApplication>
#include <QEvent>
#include <QSocketNotifier>

namespace qrp::Application {

namespace {
bool QuitRequested = false;
std::function<void(const std::exception&)> ExceptionHandler;
int SignalPipe[2] = {-1, -1};

void ReleaseWindows() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

void OnSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here: wake the loop through the pipe.
    [[maybe_unused]] const auto written = ::write(SignalPipe[1], &byte, 1);
}
}  // namespace

void ProcessMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    ReleaseWindows();
}

void HandleMessage()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    ReleaseWindows();
}

bool Terminated() { return QuitRequested; }

void Terminate()
{
    QuitRequested = true;
    // Wake a loop that is waiting for messages.
    if (QCoreApplication::instance())
        QCoreApplication::postEvent(QCoreApplication::instance(), new QEvent(QEvent::User));
}

void ResetTerminated() { QuitRequested = false; }

void InstallQuitSignals()
{
    if (SignalPipe[0] >= 0 || !QCoreApplication::instance())
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, SignalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char byte;
        [[maybe_unused]] const auto read = ::read(SignalPipe[0], &byte, 1);
        Terminate();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    // The desktop session ending asks every application to quit.
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] { QuitRequested = true; });
}

void HandleException(const std::exception& error)
{
    if (ExceptionHandler) {
        ExceptionHandler(error);
        return;
    }
    std::fprintf(stderr, "%s\n", error.what());
}

void SetExceptionHandler(std::function<void(const std::exception&)> handler) { ExceptionHandler = std::move(handler); }

}  // namespace qrp::Application
