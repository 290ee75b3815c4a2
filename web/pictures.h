// The souvenir materials' sample pictures, as the souvenir page shows them, for the website: the
// catalogue names them by URL and the service answers those URLs from its own resources.
#pragma once

#include "pricing/souvenir_gallery.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Every picture path of every material, in the page's order.
QStringList allSouvenirPictures();

// The picture's bytes and content type, or an empty body when the path names none.
struct PictureFile
{
    QByteArray contentType;
    QByteArray body;
};
PictureFile pictureFile(const QString &path);
