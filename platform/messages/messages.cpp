#include "platform/messages/messages.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include "platform/messages/application.h"

namespace qrp {

namespace {
const QEvent::Type kMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class TMessageEvent : public QEvent {
public:
    explicit TMessageEvent(const TMessage& message) : QEvent(kMessageEvent), Message(message) {}
    TMessage Message;
};
}  // namespace

// A target's receiving end in Qt's event queue. It lives and dies with its
// target, and Qt drops the events still queued for it, so a destroyed target
// receives nothing.
class TMessageMailbox : public QObject {
public:
    explicit TMessageMailbox(TMessageTarget& target) : Target(target) {}

    bool event(QEvent* event) override
    {
        if (event->type() != kMessageEvent)
            return QObject::event(event);
        // Exceptions must not unwind through Qt: they are shown and the loop goes on.
        try {
            Target.WndProc(static_cast<TMessageEvent*>(event)->Message);
        } catch (const std::exception& error) {
            Application::HandleException(error);
        }
        return true;
    }

private:
    TMessageTarget& Target;
};

TMessageTarget::TMessageTarget() : Mailbox(std::make_unique<TMessageMailbox>(*this)) {}

TMessageTarget::~TMessageTarget() = default;

void PostMessage(TMessageTarget* target, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam)
{
    if (!target)
        return;
    QCoreApplication::postEvent(target->Mailbox.get(), new TMessageEvent(TMessage {msg, wParam, lParam, 0}));
}

std::intptr_t SendMessage(TMessageTarget* target, std::uint32_t msg, std::intptr_t wParam, std::intptr_t lParam)
{
    if (!target)
        return 0;
    TMessage message {msg, wParam, lParam, 0};
    target->WndProc(message);
    return message.Result;
}

}  // namespace qrp
