// Renders resources/icons/printcalc.svg into the PNG sizes the desktop and the window use.
// Run from the source root after changing the SVG (see tools/CMakeLists.txt).
// It needs Qt's SVG image plugin (Debian: libqt5svg5) at run time.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <cstdio>

int main(int argc, char *argv[])
{
    // The SVG's text needs fonts, hence a GUI application, which needs no screen offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString folder = QStringLiteral("resources/icons");
    for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
        QImageReader reader(folder + QStringLiteral("/printcalc.svg"));
        reader.setScaledSize(QSize(size, size));
        const QImage image = reader.read();
        const QString out = folder + QStringLiteral("/printcalc-%1.png").arg(size);
        if (image.isNull() || !image.save(out)) {
            std::fprintf(stderr, "cannot render %s: %s\n", qPrintable(out),
                         qPrintable(reader.errorString()));
            return 1;
        }
        std::printf("%s\n", qPrintable(out));
    }
    return 0;
}
