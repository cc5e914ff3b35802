// The viewer's file type registration: the registry entries, the desktop
// association it installs for the user, and qrpview started through it.
// Everything runs in a private HOME whose XDG folders are set before the
// program starts.

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QThread>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/desktop_association.h"
#include "app/desktop_entry.h"
#include "app/file_type_registration.h"
#include "app/qrp_load.h"
#include "app/qrp_prew.h"
#include "data/desktop_data.h"
#include "platform/messages/application.h"
#include "platform/registry/registry.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

namespace fs = std::filesystem;

// HOME and the XDG folders of the whole program, made before main runs.
class PrivateHome {
public:
    PrivateHome()
    {
        char pattern[] = "/tmp/qrp-home-XXXXXX";
        Root = ::mkdtemp(pattern);
        ::setenv("HOME", Root.c_str(), 1);
        ::setenv("XDG_DATA_HOME", (Root / "data").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (Root / "config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (Root / "cache").c_str(), 1);
        fs::create_directory(Root / "runtime");
        fs::permissions(Root / "runtime", fs::perms::owner_all);
        ::setenv("XDG_RUNTIME_DIR", (Root / "runtime").c_str(), 1);
        // xdg-mime's plain freedesktop way, whatever desktop runs the tests.
        ::unsetenv("XDG_CURRENT_DESKTOP");
    }
    ~PrivateHome()
    {
        std::error_code ignored;
        fs::remove_all(Root, ignored);
    }
    // Empties the folders between tests.
    void Clear() const
    {
        for (const char* folder : {"data", "config", "cache"}) {
            fs::remove_all(Root / folder);
            fs::create_directories(Root / folder);
        }
    }
    fs::path Data() const { return Root / "data"; }
    fs::path Config() const { return Root / "config"; }

private:
    fs::path Root;
};
const PrivateHome Home;

QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }

fs::path StoreFile() { return Home.Data() / "qrpview/registry.json"; }
fs::path InstalledEntry() { return Home.Data() / "applications" / kDesktopEntryName; }

QJsonObject StoredKeys(const fs::path& store = StoreFile())
{
    QFile file(Q(store));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("HKEY_CLASSES_ROOT")).toObject();
}

QString DefaultValue(const QJsonObject& keys, const QString& key)
{
    return keys.value(key).toObject().value(QString()).toString(QStringLiteral("<none>"));
}

// The four entries for a program at programPath, checked value by value.
void ExpectEntries(const QJsonObject& keys, const QString& programPath)
{
    EXPECT_EQ(DefaultValue(keys, QStringLiteral(".qrp")), QStringLiteral("Tisková sestava QRP"));
    EXPECT_EQ(DefaultValue(keys, QStringLiteral("Soubor QRP")), QStringLiteral("Soubor aplikace Lumetra"));
    EXPECT_EQ(DefaultValue(keys, QStringLiteral("Soubor QRP\\DefaultIcon")), programPath + QStringLiteral(", 3"));
    EXPECT_EQ(DefaultValue(keys, QStringLiteral("Soubor QRP\\Shell\\Open\\Command")), programPath + QStringLiteral(" %1"));
}

std::string ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

struct TProgramRun {
    int Status = -1;
    QString Out;
};

TProgramRun RunProgram(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()).trimmed()};
}

// The desktop's programs the association is checked with.
bool DesktopToolsPresent()
{
    for (const char* tool : {"xdg-mime", "update-mime-database", "update-desktop-database", "desktop-file-validate", "mimetype"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return false;
    return true;
}
#define SKIP_WITHOUT_DESKTOP_TOOLS()                                                                                   \
    if (!DesktopToolsPresent())                                                                                        \
    GTEST_SKIP() << "xdg-mime, update-mime-database, update-desktop-database, desktop-file-validate or mimetype is "   \
                    "missing: install shared-mime-info desktop-file-utils xdg-utils libfile-mimeinfo-perl "            \
                    "(scripts/install-deps.sh)"

// The Exec key's value of the [Desktop Entry] group.
std::string ExecValue(const fs::path& entry)
{
    const test::Bytes bytes = test::ReadWholeFile(entry.string());
    const std::string text(bytes.begin(), bytes.end());
    const auto group = text.find("[Desktop Entry]\n");
    const auto exec = text.find("\nExec=", group);
    if (group == std::string::npos || exec == std::string::npos)
        return {};
    const auto start = exec + 6;
    return text.substr(start, text.find('\n', start) - start);
}

// The command line a launcher makes of an Exec value for one file, by the
// Desktop Entry rules: the value's string escapes undone, then arguments split
// at blanks outside double quotes, inside which a backslash quotes the next
// ", `, $ or \; %f stands for the file, %% for a percent sign.
std::vector<std::string> LaunchArguments(const std::string& exec, const std::string& file)
{
    std::string value;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] != '\\' || i + 1 == exec.size()) {
            value += exec[i];
            continue;
        }
        const char next = exec[++i];
        value += next == 's' ? ' ' : next == 'n' ? '\n' : next == 't' ? '\t' : next == 'r' ? '\r' : next;
    }
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '%' && i + 1 < value.size()) {
            const char code = value[++i];
            current += code == 'f' ? file : code == '%' ? "%" : "<field code " + std::string(1, code) + ">";
            inArgument = true;
        } else if (quoted) {
            if (c == '\\' && i + 1 < value.size() && std::string("\"`$\\").find(value[i + 1]) != std::string::npos)
                current += value[++i];
            else if (c == '"')
                quoted = false;
            else
                current += c;
        } else if (c == ' ') {
            if (inArgument)
                arguments.push_back(current);
            current.clear();
            inArgument = false;
        } else {
            quoted = c == '"';
            if (!quoted)
                current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.push_back(current);
    return arguments;
}

class FileAssociation : public ::testing::Test {
protected:
    void SetUp() override { Home.Clear(); }
    void TearDown() override { Application::SetExceptionHandler(nullptr); }

    std::string Report(const std::string& name)
    {
        fs::create_directories(fs::path(Dir.File(name)).parent_path());
        test::WriteWholeFile(Dir.File(name), test::MakeDocument(2, false));
        return Dir.File(name);
    }

    // The built qrpview under a name with blanks in a folder with blanks.
    QString QrpviewWithBlanks()
    {
        const fs::path link = Dir.Root() / "my programs" / "qrp view";
        fs::create_directories(link.parent_path());
        fs::create_symlink(QRPVIEW_PATH, link);
        return Q(link);
    }

    test::ScratchDir Dir;
};

TEST_F(FileAssociation, TheViewersButtonWritesTheFourEntriesAndASecondClickChangesNothing)
{
    FirstStart = false;
    std::vector<std::string> shown;
    Application::SetExceptionHandler([&](const std::exception& e) { shown.push_back(e.what()); });
    TQRPrew viewer(nullptr, {});
    auto* button = qobject_cast<QPushButton*>(viewer.Button1);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("Asociace *.QRP"));
    ASSERT_TRUE(button->isEnabled());

    button->click();
    const QJsonObject keys = StoredKeys();
    ExpectEntries(keys, QCoreApplication::applicationFilePath());
    EXPECT_EQ(keys.size(), 6) << "with Soubor QRP\\Shell and Soubor QRP\\Shell\\Open on the way";
    const test::Bytes store = test::ReadWholeFile(StoreFile().string());
    const test::Bytes entry = test::ReadWholeFile(InstalledEntry().string());
    button->click();
    EXPECT_EQ(test::ReadWholeFile(StoreFile().string()), store);
    EXPECT_EQ(test::ReadWholeFile(InstalledEntry().string()), entry);
    if (DesktopToolsPresent()) {
        EXPECT_EQ(shown, std::vector<std::string> {}) << "nothing is said on success";
    }
}

TEST_F(FileAssociation, AMovedProgramIsWrittenAgainUnquotedOverTheOldValuesAndOtherValuesStay)
{
    fs::create_directories(StoreFile().parent_path());
    const std::string seeded = R"({"HKEY_CLASSES_ROOT": {
        ".qrp": { "": "Other type", "Content Type": "application/x-other" },
        "Soubor QRP\\Shell\\Print\\Command": { "": "lpr %1" },
        "Soubor QRP\\Shell\\Open\\Command": { "": "old %1", "DelegateExecute": "x" } }})";
    test::WriteWholeFile(StoreFile().string(), test::Bytes(seeded.begin(), seeded.end()));

    RegisterFileType(QStringLiteral("/opt/qrpview/qrpview"));
    const QString moved = QrpviewWithBlanks();
    RegisterFileType(moved);
    const QJsonObject keys = StoredKeys();
    ExpectEntries(keys, moved);
    EXPECT_EQ(keys.value(QStringLiteral(".qrp")).toObject().value(QStringLiteral("Content Type")),
              QStringLiteral("application/x-other"));
    EXPECT_EQ(DefaultValue(keys, QStringLiteral("Soubor QRP\\Shell\\Print\\Command")), QStringLiteral("lpr %1"));
    EXPECT_EQ(keys.value(QStringLiteral("Soubor QRP\\Shell\\Open\\Command")).toObject().value(QStringLiteral("DelegateExecute")),
              QStringLiteral("x"));

    EXPECT_EQ(ErrorOf([] { RegisterFileType(QStringLiteral("qrpview")); }),
              "Soubory *.qrp nelze přiřadit: cesta k programu „qrpview“ není úplná");
    EXPECT_EQ(StoredKeys(), keys) << "a relative program path writes nothing";
}

// Runs write with files limited to limit bytes, as on a full disk.
void WithFilesLimitedTo(rlim_t limit, const std::function<void()>& write)
{
    rlimit normal {};
    ::getrlimit(RLIMIT_FSIZE, &normal);
    const auto normalSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = normal;
    limited.rlim_cur = limit;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    std::exception_ptr failure;
    try {
        write();
    } catch (...) {
        failure = std::current_exception();
    }
    ::setrlimit(RLIMIT_FSIZE, &normal);
    std::signal(SIGXFSZ, normalSignal);
    if (failure)
        std::rethrow_exception(failure);
}

TEST_F(FileAssociation, AWriteThatFailsStopsTheLaterEntriesAndKeepsTheEarlierOnes)
{
    // The first two entries fit into the limit, the icon reference with this path does not.
    const QString longPath = QStringLiteral("/opt/") + QString(6000, QLatin1Char('p')) + QStringLiteral("/qrpview");
    TRegistry registry(Q(StoreFile()));
    EXPECT_EQ(ErrorOf([&] { WithFilesLimitedTo(4096, [&] { WriteFileTypeRegistration(registry, longPath); }); }),
              "Failed to set data for ''");
    const QJsonObject keys = StoredKeys();
    EXPECT_EQ(keys.keys(), (QStringList {QStringLiteral(".qrp"), QStringLiteral("Soubor QRP")}));
    EXPECT_EQ(DefaultValue(keys, QStringLiteral("Soubor QRP")), QStringLiteral("Soubor aplikace Lumetra"));
}

TEST_F(FileAssociation, TheViewerShowsAnEntryThatCannotBeWrittenAndStaysOpen)
{
    // A file where the store's folder belongs.
    test::WriteWholeFile(StoreFile().parent_path().string(), {});
    FirstStart = false;
    std::vector<std::string> shown;
    Application::SetExceptionHandler([&](const std::exception& e) { shown.push_back(e.what()); });
    TQRPrew viewer(nullptr, {});
    viewer.show();
    qobject_cast<QPushButton*>(viewer.Button1)->click();
    EXPECT_EQ(shown, std::vector<std::string> {"Failed to set data for ''"});
    EXPECT_TRUE(viewer.isVisible());
    EXPECT_TRUE(fs::exists(InstalledEntry())) << "the desktop association is installed all the same";
}

TEST_F(FileAssociation, ReportFilesAreOfTheReportTypeAndOpenInQrpviewByDefault)
{
    SKIP_WITHOUT_DESKTOP_TOOLS();
    RegisterFileType(QStringLiteral(QRPVIEW_PATH));
    const QString type = QLatin1String(kReportMimeType);
    // By the name in any letter case, and by the content without a name.
    for (const char* name : {"x.qrp", "UPPER/X.QRP", "no-extension/report"})
        EXPECT_EQ(RunProgram(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), Q(Report(name))}).Out,
                  type)
            << name;
    test::WriteWholeFile(Dir.File("notes"), test::Bytes(64, 'n'));
    EXPECT_NE(RunProgram(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), Q(Dir.File("notes"))}).Out,
              type);
    EXPECT_EQ(RunProgram(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"), type}).Out,
              QLatin1String(kDesktopEntryName));

    const TProgramRun installed = RunProgram(QStringLiteral("desktop-file-validate"), {Q(InstalledEntry())});
    EXPECT_EQ(installed.Status, 0) << installed.Out.toStdString();
    const TProgramRun shipped =
        RunProgram(QStringLiteral("desktop-file-validate"), {QStringLiteral(QRP_SOURCE_DIR "/data/qrpview.desktop")});
    EXPECT_EQ(shipped.Status, 0) << shipped.Out.toStdString();

    for (int size : {16, 32, 48, 64, 128, 256}) {
        const fs::path png = Home.Data() / "icons/hicolor" / (std::to_string(size) + "x" + std::to_string(size)) / "apps/qrpview.png";
        EXPECT_EQ(QImage(Q(png)).size(), QSize(size, size)) << png;
    }
    EXPECT_TRUE(fs::exists(Home.Data() / "icons/hicolor/scalable/apps/qrpview.svg"));
    if (!QStandardPaths::findExecutable(QStringLiteral("gtk-update-icon-cache")).isEmpty()) {
        EXPECT_TRUE(fs::exists(Home.Data() / "icons/hicolor/icon-theme.cache"));
    }
}

// The descriptors of a running process point at file.
bool HoldsOpen(qint64 pid, const fs::path& file)
{
    std::error_code error;
    for (const auto& descriptor : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error)) {
        std::error_code unreadable;
        if (fs::read_symlink(descriptor.path(), unreadable) == file)
            return true;
    }
    return false;
}

TEST_F(FileAssociation, TheEntryStartsQrpviewOnAReportWhosePathHasBlanks)
{
    const QString program = QrpviewWithBlanks();
    RegisterFileType(program);
    const fs::path report = fs::canonical(Report("my reports/sales report.qrp"));
    const std::vector<std::string> command = LaunchArguments(ExecValue(InstalledEntry()), report.string());
    ASSERT_EQ(command, (std::vector<std::string> {program.toStdString(), report.string()}));

    QProcess qrpview;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    qrpview.setProcessEnvironment(environment);
    qrpview.start(QString::fromStdString(command[0]), {QString::fromStdString(command[1])});
    ASSERT_TRUE(qrpview.waitForStarted(10000));
    bool opened = false;
    for (int waited = 0; waited < 200 && !opened && qrpview.state() == QProcess::Running; ++waited) {
        QThread::msleep(50);
        opened = HoldsOpen(qrpview.processId(), report);
    }
    EXPECT_TRUE(opened) << "qrpview did not open " << report << ": " << qrpview.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(qrpview.processId()), SIGTERM);
    ASSERT_TRUE(qrpview.waitForFinished(10000));
    EXPECT_EQ(qrpview.exitCode(), 0);
}

TEST(DesktopEntry, AnyProgramPathComesBackWholeFromTheExecKey)
{
    QFile shippedFile(DesktopDataFile(QStringLiteral("qrpview.desktop")));
    ASSERT_TRUE(shippedFile.open(QIODevice::ReadOnly));
    const QByteArray shipped = shippedFile.readAll();
    test::ScratchDir dir;
    const std::string file = "/r/a b.qrp";
    for (const std::string path : {"/usr/bin/qrpview", "/opt/my apps/qrp \"view\"", "/x/$HOME/`id`/a\\b", "/x/100% done/q%fv",
                                    "/x/it's;a|b&c<d>e~f*g?h#i(j)", "/x/tab\there", "/x/line\nbreak", "/x/Čeština/ů"}) {
        const QByteArray entry = PersonalDesktopEntry(shipped, QString::fromStdString(path));
        const std::string written = dir.File("entry.desktop");
        test::WriteWholeFile(written, test::Bytes(entry.begin(), entry.end()));
        EXPECT_EQ(LaunchArguments(ExecValue(written), file), (std::vector<std::string> {path, file})) << path;
        EXPECT_EQ(entry.count("\nExec="), 1) << path;
        if (!QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty()) {
            const TProgramRun validated = RunProgram(QStringLiteral("desktop-file-validate"), {QString::fromStdString(written)});
            EXPECT_EQ(validated.Status, 0) << path << ": " << validated.Out.toStdString();
        }
    }
}

// A folder for PATH with these shell scripts as programs.
QString FakePrograms(const test::ScratchDir& dir, const std::vector<std::pair<std::string, std::string>>& scripts)
{
    const fs::path folder = dir.Root() / "bin";
    fs::create_directories(folder);
    for (const auto& [name, body] : scripts) {
        const std::string text = "#!/bin/sh\n" + body + "\n";
        test::WriteWholeFile((folder / name).string(), test::Bytes(text.begin(), text.end()));
        fs::permissions(folder / name, fs::perms::owner_all);
    }
    return Q(folder);
}

// Runs action with PATH set to path.
void WithPath(const QString& path, const std::function<void()>& action)
{
    const QByteArray normal = qgetenv("PATH");
    qputenv("PATH", path.toLocal8Bit());
    action();
    qputenv("PATH", normal);
}

TEST_F(FileAssociation, MissingFailingAndHangingHelpersAreNamedAndTheEntriesWrittenAllTheSame)
{
    const QString program = QStringLiteral("/opt/qrpview/qrpview");
    std::string error;
    WithPath(FakePrograms(Dir, {}), [&] { error = ErrorOf([&] { RegisterFileType(program); }); });
    EXPECT_EQ(error, "Přiřazení souborů *.qrp v pracovním prostředí není úplné:\n"
                     "program update-mime-database nebyl nalezen\n"
                     "program xdg-mime nebyl nalezen")
        << "the caches' helpers may be missing";
    ExpectEntries(StoredKeys(), program);
    EXPECT_TRUE(fs::exists(InstalledEntry()));
    EXPECT_TRUE(fs::exists(Home.Data() / "mime/packages/qrpview.xml"));

    test::ScratchDir other;
    QStringList problems;
    WithPath(FakePrograms(other, {{"update-mime-database", "echo 'database broken' >&2; echo more >&2; exit 3"},
                                  {"xdg-mime", "exec /bin/sleep 60"},
                                  {"update-desktop-database", "exit 1"}}),
             [&] { problems = InstallDesktopAssociation(program, std::chrono::milliseconds(500)); });
    EXPECT_EQ(problems, (QStringList {QStringLiteral("program update-mime-database skončil s kódem 3: database broken"),
                                      QStringLiteral("program xdg-mime neskončil do 0.5 s a byl ukončen")}));
}

}  // namespace
}  // namespace qrp
