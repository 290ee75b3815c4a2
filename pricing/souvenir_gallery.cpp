// The folders, the pictures' count and the prices of the souvenir gallery.
#include "pricing/souvenir_gallery.h"

#include <initializer_list>

namespace {

SouvenirMaterial material(const char *option, const char *folder,
                          std::initializer_list<double> prices)
{
    SouvenirMaterial made {QLatin1String(option), {}};
    int number = 0;
    for (const double price : prices) {
        ++number;
        // The second mug picture is the one drawn as a GIF.
        const bool gif = QLatin1String(folder) == QLatin1String("Kruzhki") && number == 2;
        made.pictures.append({QLatin1String(folder) + QLatin1Char('/') + QString::number(number)
                                  + (gif ? QStringLiteral(".gif") : QStringLiteral(".jpg")),
                              price});
    }
    return made;
}

} // namespace

const QVector<SouvenirMaterial> &souvenirGallery()
{
    static const QVector<SouvenirMaterial> gallery = {
        material("radioButton_68", "Kruzhki", {27, 49, 666, 23, 25, 28}),
        material("radioButton_79", "Ruchki", {28, 41, 366, 266, 166, 26, 28, 30, 31}),
        material("radioButton_80", "Tekstil", {29, 44, 66, 47, 48}),
        material("radioButton_81", "Beisbolki", {22, 49, 50}),
        material("radioButton_82", "Pazzl", {29, 46, 76, 86}),
        material("radioButton_86", "Kosteri", {20, 35, 86}),
    };
    return gallery;
}

QStringList souvenirPictures(const QString &optionId)
{
    QStringList paths;
    for (const SouvenirMaterial &material : souvenirGallery()) {
        if (material.option == optionId) {
            for (const SouvenirPicture &picture : material.pictures)
                paths << picture.path;
        }
    }
    return paths;
}
