#include "app/file_reloader.h"

#include <QDir>
#include <QFileInfo>

namespace qrp {

TFileReloader::TFileReloader(std::function<bool()> onSettled, QObject* parent)
    : QObject(parent), OnSettled(std::move(onSettled))
{
    SettleTimer.setSingleShot(true);
    SettleTimer.setInterval(std::chrono::milliseconds(500));
    connect(&SettleTimer, &QTimer::timeout, this, [this] { Settled(); });
    connect(&Watcher, &QFileSystemWatcher::fileChanged, this, [this] { Changed(); });
    connect(&Watcher, &QFileSystemWatcher::directoryChanged, this, [this] { Changed(); });
}

void TFileReloader::Watch(const std::string& path)
{
    Stop();
    WatchedPath = path;
    Seen = CurrentState();
    WatchAgain();
}

void TFileReloader::Stop()
{
    SettleTimer.stop();
    WatchedPath.clear();
    if (!Watcher.files().isEmpty())
        Watcher.removePaths(Watcher.files());
    if (!Watcher.directories().isEmpty())
        Watcher.removePaths(Watcher.directories());
}

void TFileReloader::WatchAgain()
{
    const QFileInfo file(QString::fromStdString(WatchedPath));
    if (file.exists() && !Watcher.files().contains(file.absoluteFilePath()))
        Watcher.addPath(file.absoluteFilePath());
    if (file.dir().exists() && !Watcher.directories().contains(file.absolutePath()))
        Watcher.addPath(file.absolutePath());
}

TFileReloader::TFileState TFileReloader::CurrentState() const
{
    std::error_code error;
    const std::filesystem::path path(WatchedPath);
    TFileState state;
    state.Exists = std::filesystem::is_regular_file(path, error);
    if (state.Exists) {
        state.Size = std::filesystem::file_size(path, error);
        state.Modified = std::filesystem::last_write_time(path, error);
    }
    return state;
}

void TFileReloader::Changed()
{
    if (WatchedPath.empty())
        return;
    // A file replaced by a rename is a new file: watch it, and wait for the writer to finish.
    WatchAgain();
    SettleTimer.start();
}

void TFileReloader::Settled()
{
    if (WatchedPath.empty())
        return;
    WatchAgain();
    const TFileState now = CurrentState();
    if (now == Seen)
        return;
    if (!OnSettled()) {
        SettleTimer.start();
        return;
    }
    // Seen as it was before the report: a change made meanwhile is reported again.
    Seen = now;
}

}  // namespace qrp
