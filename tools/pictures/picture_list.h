// The list of pictures the program compiles in: where each one goes, its size and its scene.
#pragma once

#include "painting.h"

#include <QString>
#include <QVector>

namespace pictures {

struct Picture
{
    QString path;
    int width;
    int height;
    Scene scene;
};

QVector<Picture> pictureList();

} // namespace pictures
