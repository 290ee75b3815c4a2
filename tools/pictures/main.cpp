// Draws every picture compiled into the program: the souvenir gallery samples (320 x 240 JPEG,
// one GIF) and the four creasing/folding icons (150 x 150 PNG, shown at 75 x 75).
//
// Redraw after changing a picture:
//     cmake --build build --target draw_pictures && build/tools/draw_pictures
// The optional argument is the output folder (default: resources/images of this source tree).
// Output is deterministic, so unchanged pictures come out byte for byte the same.
#include "gif_writer.h"
#include "painting.h"
#include "picture_list.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

namespace {

bool save(const QImage &image, const QString &file)
{
    if (file.endsWith(QLatin1String(".gif")))
        return pictures::writeGif(image, file);
    if (file.endsWith(QLatin1String(".png")))
        return image.save(file, "PNG");
    return image.save(file, "JPEG", 85);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString outDir
        = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(PICTURES_DIR);
    int failures = 0;
    for (const pictures::Picture &pic : pictures::pictureList()) {
        const QString file = QDir(outDir).filePath(pic.path);
        QDir().mkpath(QFileInfo(file).absolutePath());
        const bool opaque = !pic.path.endsWith(QLatin1String(".png"));
        const QImage image = pictures::paintPicture(pic.width, pic.height, pic.scene, opaque);
        if (save(image, file)) {
            std::printf("%s\n", qPrintable(file));
        } else {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
