// Renders the application icon's SVG into the PNG sizes of the icon theme:
//
//   qrp_render_icons ICON.svg OUTDIR SIZE...
//
// writes OUTDIR/<SIZE>x<SIZE>/apps/<ICON>.png for each size, the layout of an
// icon theme folder such as share/icons/hicolor.

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

namespace {
constexpr int kLargestSize = 1024;

bool RenderOne(QSvgRenderer& renderer, int size, const QString& file)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    renderer.render(&painter);
    painter.end();
    return QDir().mkpath(QFileInfo(file).absolutePath()) && image.save(file, "PNG");
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs("usage: qrp_render_icons ICON.svg OUTDIR SIZE...\n", stderr);
        return 2;
    }
    const QString svg = QString::fromLocal8Bit(argv[1]);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "qrp_render_icons: %s is no SVG picture\n", argv[1]);
        return 1;
    }
    const QString name = QFileInfo(svg).completeBaseName();
    for (int i = 3; i < argc; ++i) {
        bool number = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&number);
        if (!number || size < 1 || size > kLargestSize) {
            std::fprintf(stderr, "qrp_render_icons: %s is no icon size (1 to %d)\n", argv[i], kLargestSize);
            return 2;
        }
        const QString file = QStringLiteral("%1/%2x%2/apps/%3.png").arg(QString::fromLocal8Bit(argv[2])).arg(size).arg(name);
        if (!RenderOne(renderer, size, file)) {
            std::fprintf(stderr, "qrp_render_icons: %s cannot be written\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
