// The same folders and counts as the souvenir page's gallery.
#include "web/pictures.h"

#include <QFile>
#include <QVector>

namespace {

struct Material
{
    const char *option;
    const char *folder;
    int count;
};

const QVector<Material> &materials()
{
    static const QVector<Material> list
        = {{"radioButton_68", "Kruzhki", 6}, {"radioButton_79", "Ruchki", 9},
           {"radioButton_80", "Tekstil", 5}, {"radioButton_81", "Beisbolki", 3},
           {"radioButton_82", "Pazzl", 4},   {"radioButton_86", "Kosteri", 3}};
    return list;
}

QString pictureName(const Material &material, int number)
{
    // The second mug picture is the one drawn as a GIF.
    const bool gif = QLatin1String(material.folder) == QLatin1String("Kruzhki") && number == 2;
    return QLatin1String(material.folder) + QLatin1Char('/') + QString::number(number)
        + (gif ? QStringLiteral(".gif") : QStringLiteral(".jpg"));
}

} // namespace

QStringList souvenirPictures(const QString &optionId)
{
    QStringList paths;
    for (const Material &material : materials()) {
        if (optionId == QLatin1String(material.option)) {
            for (int number = 1; number <= material.count; ++number)
                paths << pictureName(material, number);
        }
    }
    return paths;
}

QStringList allSouvenirPictures()
{
    QStringList paths;
    for (const Material &material : materials())
        paths << souvenirPictures(QLatin1String(material.option));
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
