#include "fuzz/player_input.h"

#include <vector>

#include <QGuiApplication>

#include "platform/exceptions.h"

namespace qrp::fuzz {

namespace {
void EnsureOffscreenApplication()
{
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The application lives until the process ends; Qt keeps a reference to argc.
    static int argc = 1;
    static char name[] = "qrp-fuzz";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}
}  // namespace

std::optional<TMetafile> PageRecording(const std::uint8_t* data, std::size_t size)
{
    EnsureOffscreenApplication();
    try {
        return TMetafile(std::vector<std::uint8_t>(data, data + size));
    } catch (const Exception&) {
        return std::nullopt;
    }
}

}  // namespace qrp::fuzz
