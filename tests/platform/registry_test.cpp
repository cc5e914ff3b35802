// The registry accessor over its JSON store: key paths in any letter case,
// created paths, what it leaves alone, damaged and unwritable stores.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtGlobal>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/registry/registry.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using test::ScratchDir;

QJsonObject StoredKeys(const std::string& store, const char* root = "HKEY_CLASSES_ROOT")
{
    QFile file(QString::fromStdString(store));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value(QLatin1String(root)).toObject();
}

void WriteText(const std::string& fileName, const std::string& text)
{
    test::WriteWholeFile(fileName, test::Bytes(text.begin(), text.end()));
}

std::string ErrorOfWrite(TRegistry& registry, const QString& name, const QString& value)
{
    try {
        registry.WriteString(name, value);
    } catch (const ERegistryException& error) {
        return error.what();
    }
    return "no error";
}

// Collects the warnings the code under test gives while it lives.
class WarningsSeen {
public:
    WarningsSeen()
    {
        Current = this;
        Previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg)
                Current->Texts.push_back(text.toStdString());
        });
    }
    ~WarningsSeen() { qInstallMessageHandler(Previous); }
    bool AnyNames(const std::string& part) const
    {
        for (const std::string& text : Texts)
            if (text.find(part) != std::string::npos)
                return true;
        return false;
    }
    std::vector<std::string> Texts;

private:
    static inline WarningsSeen* Current = nullptr;
    QtMessageHandler Previous = nullptr;
};

TEST(Registry, KeysAreFoundInAnyLetterCaseAndKeepTheSpellingTheyWereCreatedWith)
{
    ScratchDir dir;
    const std::string store = dir.File("registry.json");
    TRegistry registry(QString::fromStdString(store));
    EXPECT_FALSE(registry.OpenKey(QStringLiteral("Soubor QRP"), false)) << "an empty store has no keys";

    ASSERT_TRUE(registry.OpenKey(QStringLiteral("Soubor QRP\\Shell\\Open\\Command"), true));
    registry.WriteString(QString(), QStringLiteral("first"));
    registry.CloseKey();
    QJsonObject keys = StoredKeys(store);
    EXPECT_EQ(keys.keys(), (QStringList {QStringLiteral("Soubor QRP"), QStringLiteral("Soubor QRP\\Shell"),
                                         QStringLiteral("Soubor QRP\\Shell\\Open"), QStringLiteral("Soubor QRP\\Shell\\Open\\Command")}))
        << "the keys on the path are created with it";
    EXPECT_EQ(keys.value(QStringLiteral("Soubor QRP\\Shell\\Open\\Command")).toObject(),
              (QJsonObject {{QString(), QStringLiteral("first")}}));

    ASSERT_TRUE(registry.OpenKey(QStringLiteral("\\SOUBOR qrp\\shell\\OPEN\\command\\"), false));
    EXPECT_EQ(registry.CurrentPath(), QStringLiteral("Soubor QRP\\Shell\\Open\\Command"));
    registry.WriteString(QString(), QStringLiteral("second"));
    registry.WriteString(QStringLiteral("Named"), QStringLiteral("a"));
    registry.WriteString(QStringLiteral("NAMED"), QStringLiteral("b"));
    // A new key below an existing one takes the parent's spelling.
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("soubor qrp\\DefaultIcon"), true));
    registry.WriteString(QString(), QStringLiteral("icon"));

    keys = StoredKeys(store);
    EXPECT_EQ(keys.size(), 5);
    EXPECT_EQ(keys.value(QStringLiteral("Soubor QRP\\Shell\\Open\\Command")).toObject(),
              (QJsonObject {{QString(), QStringLiteral("second")}, {QStringLiteral("Named"), QStringLiteral("b")}}));
    EXPECT_EQ(keys.value(QStringLiteral("Soubor QRP\\DefaultIcon")).toObject(), (QJsonObject {{QString(), QStringLiteral("icon")}}));
}

TEST(Registry, PathsThatNameNoKeyAreNotOpenedAndNothingIsWrittenWithoutAKey)
{
    ScratchDir dir;
    TRegistry registry(QString::fromStdString(dir.File("registry.json")));
    const QString longName(256, QLatin1Char('k'));
    for (const QString& path : {QString(), QStringLiteral("\\"), QStringLiteral("a\\\\b"), longName, QStringLiteral("a\\") + longName})
        EXPECT_FALSE(registry.OpenKey(path, true)) << path.toStdString();
    EXPECT_TRUE(registry.OpenKey(QString(255, QLatin1Char('k')), true));
    registry.CloseKey();
    EXPECT_EQ(ErrorOfWrite(registry, QStringLiteral("Value"), QStringLiteral("x")), "Failed to set data for 'Value'");
    EXPECT_FALSE(std::filesystem::exists(dir.File("registry.json")));
}

TEST(Registry, ValuesKeysAndRootsNotWrittenStayAsTheyWere)
{
    ScratchDir dir;
    const std::string store = dir.File("registry.json");
    WriteText(store, R"({
      "HKEY_CLASSES_ROOT": {
        ".qrp": { "": "old", "Content Type": "application/x-old", "Count": 7 },
        ".qrp\\OpenWithProgids": { "Other.File": "" }
      },
      "HKEY_CURRENT_USER": { "Software\\Other": { "Setting": "kept" } }
    })");
    const QJsonObject before = StoredKeys(store);
    TRegistry registry(QString::fromStdString(store));
    ASSERT_TRUE(registry.OpenKey(QStringLiteral(".QRP"), false));
    registry.WriteString(QString(), QStringLiteral("Tisková sestava QRP"));

    QJsonObject expected = before;
    QJsonObject extension = expected.value(QStringLiteral(".qrp")).toObject();
    extension.insert(QString(), QStringLiteral("Tisková sestava QRP"));
    expected.insert(QStringLiteral(".qrp"), extension);
    EXPECT_EQ(StoredKeys(store), expected);
    EXPECT_EQ(StoredKeys(store, "HKEY_CURRENT_USER"),
              (QJsonObject {{QStringLiteral("Software\\Other"), QJsonObject {{QStringLiteral("Setting"), QStringLiteral("kept")}}}}));
}

TEST(Registry, ADamagedStoreIsReportedAndWrittenAfreshWithTheDamagedFileKept)
{
    const std::vector<std::string> damaged {
        R"({"HKEY_CLASSES_ROOT": {".qrp": )",
        R"(["HKEY_CLASSES_ROOT"])",
        R"({"HKEY_CLASSES_ROOT": {".qrp": "not a key"}})",
        R"({"HKEY_CLASSES_ROOT": 3})",
        "{\"pad\": \"" + std::string(5 * 1024 * 1024, 'x') + "\"}",
    };
    for (const std::string& content : damaged) {
        ScratchDir dir;
        const std::string store = dir.File("registry.json");
        WriteText(store, content);
        WarningsSeen warnings;
        TRegistry registry(QString::fromStdString(store));
        ASSERT_TRUE(registry.OpenKey(QStringLiteral(".qrp"), true));
        registry.WriteString(QString(), QStringLiteral("new"));
        const std::string start = content.substr(0, 40);
        EXPECT_TRUE(warnings.AnyNames(store + " is damaged")) << start;
        EXPECT_EQ(StoredKeys(store), (QJsonObject {{QStringLiteral(".qrp"), QJsonObject {{QString(), QStringLiteral("new")}}}}))
            << start;
        const test::Bytes kept = test::ReadWholeFile(store + ".damaged");
        EXPECT_EQ(std::string(kept.begin(), kept.end()), content) << start;
    }
}

TEST(Registry, AStoreThatCannotBeWrittenRaisesAndStaysAsItWas)
{
    ScratchDir dir;
    // Its folder is a file.
    WriteText(dir.File("folder"), "");
    TRegistry blocked(QString::fromStdString(dir.File("folder/registry.json")));
    ASSERT_TRUE(blocked.OpenKey(QStringLiteral(".qrp"), true));
    EXPECT_EQ(ErrorOfWrite(blocked, QString(), QStringLiteral("x")), "Failed to set data for ''");

    // It cannot be read: writing it would lose its keys.
    std::filesystem::create_directory(dir.File("unreadable.json"));
    WarningsSeen warnings;
    TRegistry unreadable(QString::fromStdString(dir.File("unreadable.json")));
    ASSERT_TRUE(unreadable.OpenKey(QStringLiteral(".qrp"), true));
    EXPECT_EQ(ErrorOfWrite(unreadable, QString(), QStringLiteral("x")), "Failed to set data for ''");
    EXPECT_TRUE(warnings.AnyNames(dir.File("unreadable.json") + " cannot be read"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("unreadable.json")));

    // A value that would make the store too large to be read again.
    const std::string store = dir.File("registry.json");
    TRegistry registry(QString::fromStdString(store));
    ASSERT_TRUE(registry.OpenKey(QStringLiteral(".qrp"), true));
    registry.WriteString(QString(), QStringLiteral("small"));
    const test::Bytes before = test::ReadWholeFile(store);
    ASSERT_TRUE(registry.OpenKey(QStringLiteral("Soubor QRP"), true));
    EXPECT_EQ(ErrorOfWrite(registry, QString(), QString(5 * 1024 * 1024, QLatin1Char('x'))), "Failed to set data for ''");
    EXPECT_EQ(test::ReadWholeFile(store), before);
}

}  // namespace
}  // namespace qrp
