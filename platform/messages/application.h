#pragma once
// The message loop the program lives in, as the system's windows drive it:
// handle every pending message once, or handle one round waiting for it; a
// quit request (SIGTERM, SIGINT, the desktop session ending) sets Terminated.
// Windows released during a message are destroyed after it.

#include <exception>
#include <functional>

namespace qrp::Application {

// Handles all pending messages once, without waiting.
void ProcessMessages();

// Handles one round of messages, waiting until at least one arrives.
void HandleMessage();

// A quit request has arrived.
bool Terminated();
void Terminate();
// Forgets an earlier quit request (tests start afresh).
void ResetTerminated();

// Installs the handlers that turn SIGTERM and SIGINT into a quit request.
void InstallQuitSignals();

// Shows an exception that left a message handler; the loop goes on. The
// default shows the standard error box when widgets exist, else writes the
// text to standard error.
void HandleException(const std::exception& error);
void SetExceptionHandler(std::function<void(const std::exception&)> handler);

// Runs a handler of the user's command; an exception leaving it is shown as
// HandleException shows it instead of unwinding through Qt's frames, and the
// window goes on.
template <typename Handler>
void Guarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        HandleException(error);
    }
}

}  // namespace qrp::Application
