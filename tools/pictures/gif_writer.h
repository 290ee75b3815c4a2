// Writes a picture as a GIF: Qt reads GIF but cannot write it.
#pragma once

#include <QImage>
#include <QString>

namespace pictures {

// Writes the picture and reads it back; false when either fails or the file read back differs
// from the colours chosen for it.
bool writeGif(const QImage &image, const QString &file);

} // namespace pictures
