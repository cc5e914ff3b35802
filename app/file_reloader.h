#pragma once
// Watches the report file on screen and reports once a change on disk has
// settled (no further change for SettleTime). Editors and generators often
// replace a file by renaming another over it, which ends the watch on the old
// file: the path is watched again after every change, and its folder too, so
// that a file removed and written anew is noticed. Changes to other files of
// the folder, and changes that leave the file as it was seen, report nothing.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include <QFileSystemWatcher>
#include <QTimer>

namespace qrp {

class TFileReloader : public QObject {
public:
    // onSettled: the file changed and settled; it returns false when the
    // change cannot be taken now, which is then reported again after SettleTime.
    explicit TFileReloader(std::function<bool()> onSettled, QObject* parent = nullptr);

    // Watches path from now on; its present state counts as seen.
    void Watch(const std::string& path);
    void Stop();
    const std::string& Path() const { return WatchedPath; }

    void SetSettleTime(std::chrono::milliseconds time) { SettleTimer.setInterval(time); }

private:
    // What tells one version of the file from another.
    struct TFileState {
        bool Exists = false;
        std::uintmax_t Size = 0;
        std::filesystem::file_time_type Modified;
        bool operator==(const TFileState&) const = default;
    };
    TFileState CurrentState() const;
    void Changed();
    void Settled();
    void WatchAgain();

    std::function<bool()> OnSettled;
    QFileSystemWatcher Watcher;
    QTimer SettleTimer;
    std::string WatchedPath;
    TFileState Seen;
};

}  // namespace qrp
