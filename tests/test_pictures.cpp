// The compiled-in pictures: every path the gallery and the folding icons use resolves to a real
// picture of the right kind, stored as is, and no two pictures of a folder are the same.
#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QResource>
#include <QSet>
#include <QtTest>

#include <cmath>

namespace {

struct Folder
{
    QString name;
    QStringList files;
};

QStringList numbered(int from, int to, const QString &suffix)
{
    QStringList files;
    for (int i = from; i <= to; ++i)
        files << QString::number(i) + suffix;
    return files;
}

const QList<Folder> &folders()
{
    static const QList<Folder> list = {
        {QStringLiteral("Falc"), numbered(1, 4, QStringLiteral(".png"))},
        {QStringLiteral("Pazzl"), numbered(1, 4, QStringLiteral(".jpg"))},
        {QStringLiteral("Beisbolki"), numbered(1, 3, QStringLiteral(".jpg"))},
        {QStringLiteral("Kosteri"), numbered(1, 3, QStringLiteral(".jpg"))},
        {QStringLiteral("Kruzhki"),
         QStringList {QStringLiteral("1.jpg"), QStringLiteral("2.gif")}
             + numbered(3, 6, QStringLiteral(".jpg"))},
        {QStringLiteral("Ruchki"), numbered(1, 9, QStringLiteral(".jpg"))},
        {QStringLiteral("Tekstil"), numbered(1, 5, QStringLiteral(".jpg"))},
    };
    return list;
}

// Mean difference per channel (0..255) of two pictures brought to the same size.
double meanDifference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.scaled(x.size()).convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col)
            sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col]))
                + std::abs(qBlue(p[col]) - qBlue(q[col]));
    }
    return sum / (3.0 * x.width() * x.height());
}

// Standard deviation of the grey level: near zero for a blank or single-colour picture.
double contrast(const QImage &image)
{
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    double sum = 0, squares = 0;
    for (int row = 0; row < grey.height(); ++row) {
        const uchar *p = grey.constScanLine(row);
        for (int col = 0; col < grey.width(); ++col) {
            sum += p[col];
            squares += double(p[col]) * p[col];
        }
    }
    const double n = double(grey.width()) * grey.height();
    return std::sqrt(squares / n - (sum / n) * (sum / n));
}

} // namespace

class PicturesTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // without a window nobody else registers the pictures
        Q_INIT_RESOURCE(images);
    }

    void everyPictureLoads_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("format");
        for (const Folder &folder : folders())
            for (const QString &file : folder.files) {
                const QString path = folder.name + QStringLiteral("/") + file;
                const QByteArray format = file.endsWith(QStringLiteral(".gif")) ? "gif"
                    : file.endsWith(QStringLiteral(".png"))                     ? "png"
                                                                                : "jpeg";
                QTest::newRow(qPrintable(path)) << path << format;
            }
    }

    void everyPictureLoads()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, format);
        const QString resource = QStringLiteral(":/images/") + path;

        QImageReader reader(resource);
        reader.setDecideFormatFromContent(true);
        QVERIFY2(reader.canRead(),
                 qPrintable(resource + QStringLiteral(" cannot be read: ") + reader.errorString()));
        QCOMPARE(reader.format(), format);
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(),
                 qPrintable(resource + QStringLiteral(": ") + reader.errorString()));

        const QString size
            = QStringLiteral("%1 is %2 x %3").arg(path).arg(image.width()).arg(image.height());
        if (path.startsWith(QStringLiteral("Falc/"))) {
            // a square icon, at least as large as the 75 x 75 it is shown at
            QVERIFY2(image.width() == image.height() && image.width() >= 75, qPrintable(size));
        } else {
            // shown at 320 x 240: 4:3, no smaller than that and not needlessly large
            QVERIFY2(image.width() * 3 == image.height() * 4 && image.width() >= 320
                         && image.width() <= 1280,
                     qPrintable(size));
        }
        const double spread = contrast(image);
        QVERIFY2(
            spread > 12,
            qPrintable(QStringLiteral("%1 looks blank (grey spread %2)").arg(path).arg(spread)));

        const QResource data(resource);
        QVERIFY2(data.compressionAlgorithm() == QResource::NoCompression,
                 qPrintable(resource + QStringLiteral(" is stored compressed")));
    }

    void resourceHoldsExactlyThePictures()
    {
        QSet<QString> expected;
        for (const Folder &folder : folders())
            for (const QString &file : folder.files)
                expected << QStringLiteral(":/images/") + folder.name + QStringLiteral("/") + file;
        QSet<QString> found;
        QDirIterator it(QStringLiteral(":/images"), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next();
        QCOMPARE(found.size(), 34);
        QVERIFY2(found == expected,
                 qPrintable(QStringLiteral("unexpected: ")
                            + QStringList((found - expected).values()).join(QStringLiteral(", "))
                            + QStringLiteral("; missing: ")
                            + QStringList((expected - found).values()).join(QStringLiteral(", "))));
    }

    void gifHasNoJpegTwin()
    {
        QVERIFY(QFile::exists(QStringLiteral(":/images/Kruzhki/2.gif")));
        QVERIFY2(!QFile::exists(QStringLiteral(":/images/Kruzhki/2.jpg")),
                 "Kruzhki/2.jpg must name no resource");
        QVERIFY(QImage(QStringLiteral(":/images/Kruzhki/2.jpg")).isNull());
    }

    void picturesOfAFolderDiffer_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QSize>("shownAt");
        for (const Folder &folder : folders())
            QTest::newRow(qPrintable(folder.name))
                << folder.name << folder.files
                << (folder.name == QStringLiteral("Falc") ? QSize(75, 75) : QSize(320, 240));
    }

    void picturesOfAFolderDiffer()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, files);
        QFETCH(QSize, shownAt);
        QList<QImage> shown;
        for (const QString &file : files) {
            const QImage image(QStringLiteral(":/images/") + folder + QStringLiteral("/") + file);
            QVERIFY2(
                !image.isNull(),
                qPrintable(folder + QStringLiteral("/") + file + QStringLiteral(" does not load")));
            shown << image.scaled(shownAt, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        }
        for (int i = 0; i < shown.size(); ++i)
            for (int j = i + 1; j < shown.size(); ++j) {
                const double difference = meanDifference(shown[i], shown[j]);
                QVERIFY2(
                    difference > 6,
                    qPrintable(QStringLiteral("%1/%2 and %1/%3 look alike (mean difference %4)")
                                   .arg(folder, files[i], files[j])
                                   .arg(difference)));
            }
    }
};

QTEST_GUILESS_MAIN(PicturesTest)
#include "test_pictures.moc"
