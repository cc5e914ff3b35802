#pragma once
// Numbered messages between the system's windows: a message target receives
// messages posted to it (handled later by the message loop, in order) or sent
// to it (handled at once). A target destroyed before a posted message arrives
// receives nothing. Everything runs on the GUI thread.

#include <cstdint>
#include <memory>

namespace qrp {

// The first message number free for the application's own messages.
constexpr std::uint32_t WM_USER = 0x0400;

struct TMessage {
    std::uint32_t Msg = 0;
    std::intptr_t WParam = 0;
    std::intptr_t LParam = 0;
    std::intptr_t Result = 0;
};

class TMessageMailbox;

// Anything that can receive messages: a window, a control, a component.
class TMessageTarget {
public:
    TMessageTarget();
    virtual ~TMessageTarget();
    TMessageTarget(const TMessageTarget&) = delete;
    TMessageTarget& operator=(const TMessageTarget&) = delete;

    // Handles one message; unknown messages are ignored.
    virtual void WndProc(TMessage& message) = 0;

private:
    friend void PostMessage(TMessageTarget*, std::uint32_t, std::intptr_t, std::intptr_t);
    std::unique_ptr<TMessageMailbox> Mailbox;
};

// Queues the message for target; the message loop delivers it later. Nothing
// happens for a null target.
void PostMessage(TMessageTarget* target, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam);

// Delivers the message at once and returns its result (0 for a null target).
// An exception leaving the handler goes to the caller.
std::intptr_t SendMessage(TMessageTarget* target, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam);

}  // namespace qrp
