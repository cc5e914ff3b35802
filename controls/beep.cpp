#include "controls/beep.h"

#include <QApplication>

#include <utility>

namespace qrp {
namespace {

TBeepHandler& CurrentHandler()
{
    static TBeepHandler handler;
    return handler;
}

}  // namespace

void Beep()
{
    if (CurrentHandler())
        CurrentHandler()();
    else
        QApplication::beep();
}

TBeepHandler SetBeepHandler(TBeepHandler handler)
{
    return std::exchange(CurrentHandler(), std::move(handler));
}

}  // namespace qrp
