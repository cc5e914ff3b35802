// The benchmarks' main: an application object on the offscreen platform, so
// that fonts and painting work without a display.

#include <QGuiApplication>

#include "bench/run_benchmarks.h"

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return qrp::bench::RunBenchmarks(argc, argv);
}
