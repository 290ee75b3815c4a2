// The gallery's pictures from the service's own resources.
#include "web/pictures.h"

#include <QFile>

QStringList allSouvenirPictures()
{
    QStringList paths;
    for (const SouvenirMaterial &material : souvenirGallery()) {
        for (const SouvenirPicture &picture : material.pictures)
            paths << picture.path;
    }
    return paths;
}

PictureFile pictureFile(const QString &path)
{
    if (!allSouvenirPictures().contains(path))
        return {};
    QFile file(QStringLiteral(":/web/pictures/") + path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray type = path.endsWith(QLatin1String(".gif")) ? "image/gif" : "image/jpeg";
    return {type, file.readAll()};
}
