#include <gtest/gtest.h>

#include <csignal>
#include <vector>

#include <QCoreApplication>
#include <QObject>
#include <QTimer>

#include "platform/exceptions.h"
#include "platform/messages/application.h"
#include "platform/messages/messages.h"

namespace qrp {
namespace {

class Recorder : public TMessageTarget {
public:
    void WndProc(TMessage& message) override
    {
        if (message.Msg == WM_USER + 9)
            throw Exception("handler failed");
        Received.push_back(message.Msg);
        message.Result = message.WParam * 2;
    }
    std::vector<std::uint32_t> Received;
};

class Messages : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application::ResetTerminated();
        Application::ProcessMessages();
        Application::SetExceptionHandler([this](const std::exception& e) { Shown.push_back(e.what()); });
    }
    void TearDown() override { Application::SetExceptionHandler(nullptr); }
    std::vector<std::string> Shown;
};

TEST_F(Messages, PostedArriveLaterInOrderSentAtOnce)
{
    Recorder target;
    PostMessage(&target, WM_USER + 1, 0, 0);
    PostMessage(&target, WM_USER + 2, 0, 0);
    EXPECT_TRUE(target.Received.empty()) << "posted messages wait for the loop";
    EXPECT_EQ(SendMessage(&target, WM_USER + 3, 21, 0), 42);
    EXPECT_EQ(target.Received, (std::vector<std::uint32_t> {WM_USER + 3}));
    Application::ProcessMessages();
    EXPECT_EQ(target.Received, (std::vector<std::uint32_t> {WM_USER + 3, WM_USER + 1, WM_USER + 2}));
    PostMessage(nullptr, WM_USER, 0, 0);
    EXPECT_EQ(SendMessage(nullptr, WM_USER, 1, 0), 0);
}

TEST_F(Messages, ATargetGoneBeforeDeliveryReceivesNothing)
{
    auto target = std::make_unique<Recorder>();
    PostMessage(target.get(), WM_USER + 1, 0, 0);
    target.reset();
    Application::ProcessMessages();  // nothing to deliver to, and no crash
    SUCCEED();
}

TEST_F(Messages, AnExceptionInAHandlerIsShownAndTheLoopGoesOn)
{
    Recorder target;
    PostMessage(&target, WM_USER + 9, 0, 0);
    PostMessage(&target, WM_USER + 1, 0, 0);
    Application::ProcessMessages();
    EXPECT_EQ(Shown, (std::vector<std::string> {"handler failed"}));
    EXPECT_EQ(target.Received, (std::vector<std::uint32_t> {WM_USER + 1}));
}

TEST_F(Messages, HandleMessageWaitsForOneAndReleasesWindowsAfterIt)
{
    Recorder target;
    QTimer::singleShot(30, [&] { PostMessage(&target, WM_USER + 5, 0, 0); });
    while (target.Received.empty())
        Application::HandleMessage();
    EXPECT_EQ(target.Received.front(), WM_USER + 5);

    bool released = false;
    auto* window = new QObject;
    QObject::connect(window, &QObject::destroyed, [&] { released = true; });
    window->deleteLater();
    Application::ProcessMessages();
    EXPECT_TRUE(released);
}

TEST_F(Messages, QuitRequestsWakeTheLoop)
{
    QTimer::singleShot(20, [] { Application::Terminate(); });
    while (!Application::Terminated())
        Application::HandleMessage();
    Application::ResetTerminated();

    Application::InstallQuitSignals();
    std::raise(SIGTERM);
    while (!Application::Terminated())
        Application::HandleMessage();
    EXPECT_TRUE(Application::Terminated());
    Application::ResetTerminated();
}

}  // namespace
}  // namespace qrp
