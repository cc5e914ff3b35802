// Linked into every test program that runs the viewer: the user's settings
// (the folder of the last report file opened) go to a scratch folder of the
// test program's own, never to the real user's configuration.

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

namespace {

class TemporarySettings : public ::testing::Environment {
public:
    void SetUp() override
    {
        Folder = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(Folder->isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Folder->path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, Folder->path());
    }
    void TearDown() override { Folder.reset(); }

private:
    std::unique_ptr<QTemporaryDir> Folder;
};

// Registered before main runs, so every test program this is linked into has it.
[[maybe_unused]] ::testing::Environment* const kTemporarySettings =
    ::testing::AddGlobalTestEnvironment(new TemporarySettings);

}  // namespace
