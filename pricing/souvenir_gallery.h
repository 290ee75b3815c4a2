// The souvenir page's materials that have sample pictures: the counter's gallery shows them with
// a price beside each, the website serves them by URL. One table for both.
#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

struct SouvenirPicture
{
    QString path; // under the pictures' folder: "Kruzhki/1.jpg"
    double price = 0.0; // the gallery's figure beside the picture
};

struct SouvenirMaterial
{
    QString option; // the material's radio button
    QVector<SouvenirPicture> pictures; // in the gallery's order
};

// Mugs, pens, textiles, caps, puzzles and coasters, in the page's order.
const QVector<SouvenirMaterial> &souvenirGallery();
// The pictures' paths of a material option; empty for an option without pictures.
QStringList souvenirPictures(const QString &optionId);
