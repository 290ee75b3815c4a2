// The list of pictures: the four creasing/folding icons (150 x 150 PNG, shown at 75 x 75) and
// the souvenir gallery samples (320 x 240, one GIF), each with what it shows.
#include "picture_list.h"

#include "caps.h"
#include "coasters.h"
#include "folding.h"
#include "mugs.h"
#include "pens.h"
#include "puzzles.h"
#include "scenery.h"
#include "shirts.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace pictures {

namespace {

void gallery(QVector<Picture> &list, const QString &path, const Scene &scene)
{
    list.push_back({path, int(W), int(H), scene});
}

void icon(QVector<Picture> &list, const QString &path, const Scene &scene)
{
    list.push_back({path, 150, 150, [scene](QPainter &p) {
                        foldingTile(p);
                        scene(p);
                    }});
}

// One crease, one fold, two parallel folds, a Z fold.
void addFoldingIcons(QVector<Picture> &list)
{
    icon(list, QStringLiteral("Falc/1.png"), [](QPainter &p) {
        // a pressed groove: the sheet stays open and only bends a little along it
        drawFolding(p, Sheet {{{0, 0}, {50, 5}, {100, 0}}, 70}, {1}, {});
    });
    icon(list, QStringLiteral("Falc/2.png"), [](QPainter &p) {
        drawFolding(p, Sheet {{{0, 0}, {56, 0}, {28, 46}}, 64}, {}, {{{56, 0}, 40, 8, 105}});
    });
    icon(list, QStringLiteral("Falc/3.png"), [](QPainter &p) {
        // letter fold opening: both outer thirds turn up the same way
        drawFolding(p, Sheet {{{-6, 26}, {24, 0}, {64, 0}, {94, 26}}, 64}, {},
                    {{{24, 0}, 34, 186, 140}, {{64, 0}, 34, -6, 40}});
    });
    icon(list, QStringLiteral("Falc/4.png"), [](QPainter &p) {
        // Z fold: the folds turn opposite ways, like an accordion
        drawFolding(p, Sheet {{{0, 0}, {32, 30}, {64, 0}, {96, 30}}, 60}, {}, {});
    });
}

void addMugs(QVector<Picture> &list)
{
    gallery(list, QStringLiteral("Kruzhki/1.jpg"), [](QPainter &p) {
        drawMugPicture(p, QColor("#f3e9e1"),
                       {QColor("#fbfbfb"), QColor("#f2f2f2"), QColor("#fbfbfb"), 122, 122, 130,
                        heartPrint(QColor("#e53950"))});
    });
    gallery(list, QStringLiteral("Kruzhki/2.gif"), [](QPainter &p) {
        drawMugPicture(p, QColor("#e6eef6"),
                       {QColor("#fbfbfb"), QColor("#2f7fd8"), QColor("#2f7fd8"), 122, 122, 130,
                        logoPrint(QColor("#2f7fd8"), QStringLiteral("LOGO"))});
    });
    gallery(list, QStringLiteral("Kruzhki/3.jpg"), [](QPainter &p) {
        // colour-change mug: the black coating clears where the mug is hot
        Print reveal = [](QPainter &p, const QRectF &r) {
            const QRectF photo(r.left() - 14, r.top() - 6, r.width() + 28, r.height() + 12);
            mountains(p, photo);
            QLinearGradient fade(photo.left(), 0, photo.right(), 0);
            fade.setColorAt(0, QColor(26, 26, 30, 0));
            fade.setColorAt(0.55, QColor(26, 26, 30, 0));
            fade.setColorAt(0.9, QColor(26, 26, 30, 255));
            p.fillRect(photo.adjusted(-1, -1, 80, 1), fade);
        };
        Mug m {QColor("#1e1e22"), QColor("#2a2a2e"), QColor("#1e1e22"), 122, 122, 130, reveal};
        drawMugPicture(p, QColor("#ece7f3"), m);
        // steam over the hot mug
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(150, 150, 170, 120), 3, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 3; ++i) {
            QPainterPath steam;
            const double x = 122 + i * 22;
            steam.moveTo(x, 58);
            steam.cubicTo(x - 10, 46, x + 10, 36, x, 22);
            p.drawPath(steam);
        }
    });
    gallery(list, QStringLiteral("Kruzhki/4.jpg"), [](QPainter &p) {
        Print leaf = [](QPainter &p, const QRectF &r) {
            const QPointF c = r.center() + QPointF(0, -6);
            p.setPen(QPen(Qt::white, 3));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, r.width() * 0.3, r.width() * 0.3);
            QPainterPath leafShape;
            leafShape.moveTo(c + QPointF(-12, 12));
            leafShape.cubicTo(c + QPointF(-14, -8), c + QPointF(4, -16), c + QPointF(14, -14));
            leafShape.cubicTo(c + QPointF(14, 4), c + QPointF(2, 14), c + QPointF(-12, 12));
            p.setPen(Qt::NoPen);
            p.fillPath(leafShape, Qt::white);
            p.setPen(QPen(QColor("#3f9b55"), 1.5));
            p.drawLine(c + QPointF(-10, 10), c + QPointF(10, -10));
            text(p, QRectF(r.left() - 10, r.bottom() - 20, r.width() + 20, 18),
                 QStringLiteral("ECO"), Qt::white, 13);
        };
        drawMugPicture(
            p, QColor("#eef3e6"),
            {QColor("#43a35a"), QColor("#f5f5f2"), QColor("#43a35a"), 122, 122, 130, leaf});
    });
    gallery(list, QStringLiteral("Kruzhki/5.jpg"), [](QPainter &p) {
        // tall latte mug, wider at the top
        Print dots = [](QPainter &p, const QRectF &r) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, 235));
            for (int row = 0; row < 6; ++row)
                for (int col = -1; col < 7; ++col)
                    p.drawEllipse(
                        QPointF(r.left() + col * 16 + (row % 2) * 8, r.top() - 6 + row * 16), 3.5,
                        3.5);
            p.setBrush(QColor("#c0392b"));
            p.drawRoundedRect(QRectF(r.left() + 4, r.center().y() - 12, r.width() - 8, 24), 6, 6);
            text(p, QRectF(r.left(), r.center().y() - 12, r.width(), 24), QStringLiteral("COFFEE"),
                 Qt::white, 12);
        };
        drawMugPicture(
            p, QColor("#f6efdc"),
            {QColor("#f2b632"), QColor("#fbf6ea"), QColor("#f2b632"), 118, 92, 150, dots});
    });
    gallery(list, QStringLiteral("Kruzhki/6.jpg"), [](QPainter &p) {
        drawMugPicture(p, QColor("#e3ecf2"),
                       {QColor("#fbfbfb"), QColor("#f2f2f2"), QColor("#fbfbfb"), 122, 122, 130,
                        photoPrint(sunsetSea, -4)});
    });
}

void addPens(QVector<Picture> &list)
{
    gallery(list, QStringLiteral("Ruchki/1.jpg"), [](QPainter &p) {
        drawPenPicture(p, QColor("#dfe8f2"),
                       {QColor("#2466c8"), QColor("#2466c8"), QColor("#f4f4f4"), false, false,
                        false, false, false, QStringLiteral("LOGO"), Qt::white},
                       -14);
    });
    gallery(list, QStringLiteral("Ruchki/2.jpg"), [](QPainter &p) {
        drawPenPicture(p, QColor("#efe6e3"),
                       {QColor("#d7263d"), QColor("#2b2b2b"), QColor("#d7263d"), false, true, false,
                        false, false, QStringLiteral("PRINT"), Qt::white},
                       -8);
    });
    gallery(list, QStringLiteral("Ruchki/3.jpg"), [](QPainter &p) {
        // silver pen in a gift case
        tabletop(p, QColor("#e7e3dc"));
        QPainterPath box;
        box.addRoundedRect(QRectF(22, 62, 276, 126), 10, 10);
        softShadow(p, box, QPointF(5, 8), 80);
        p.fillPath(box, QColor("#222838"));
        QPainterPath lining;
        lining.addRoundedRect(QRectF(32, 72, 256, 106), 6, 6);
        QLinearGradient lg(0, 72, 0, 178);
        lg.setColorAt(0, QColor("#3c4666"));
        lg.setColorAt(1, QColor("#2a3150"));
        p.fillPath(lining, lg);
        p.setPen(QPen(QColor(0, 0, 0, 90), 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(50, 128), QPointF(270, 128));
        // lid, open, seen from its edge at the top
        p.setPen(Qt::NoPen);
        p.fillRect(QRectF(22, 40, 276, 24), QColor("#1a1f2c"));
        p.fillRect(QRectF(32, 46, 256, 14), QColor("#323a56"));
        text(p, QRectF(22, 40, 276, 24), QStringLiteral("PREMIUM"), goldColour, 11);
        p.save();
        p.translate(160, 125);
        p.scale(0.97, 0.97);
        Pen pen {QColor("#aeb5bd"),
                 chromeColour,
                 goldColour,
                 true,
                 false,
                 false,
                 false,
                 false,
                 QStringLiteral("ВАШЕ ИМЯ"),
                 QColor("#6b7280")};
        softShadow(p, penSilhouette(pen), QPointF(2, 6), 90);
        drawPen(p, pen);
        p.restore();
    });
    gallery(list, QStringLiteral("Ruchki/4.jpg"), [](QPainter &p) {
        drawPenPicture(p, QColor("#e9e9e6"),
                       {QColor("#1f1f22"), chromeColour, chromeColour, true, false, false, false,
                        false, QStringLiteral("LASER"), QColor("#c9cfd6")},
                       -18);
    });
    gallery(list, QStringLiteral("Ruchki/5.jpg"), [](QPainter &p) {
        drawPenPicture(p, QColor("#e4eaf0"),
                       {QColor("#1d3461"), chromeColour, chromeColour, true, false, false, false,
                        false, QStringLiteral("METAL"), QColor("#d6dbe2")},
                       -10);
    });
    gallery(list, QStringLiteral("Ruchki/6.jpg"), [](QPainter &p) {
        drawPenPicture(p, QColor("#e5efe4"),
                       {QColor("#3cb371"), QColor("#2e8b57"), QColor("#2e8b57"), false, false,
                        false, false, true, QStringLiteral("FRESH"), QColor("#145a32")},
                       -16);
    });
    gallery(list, QStringLiteral("Ruchki/7.jpg"), [](QPainter &p) {
        drawPenPicture(p, QColor("#f2ebe2"),
                       {QColor("#f7f7f7"), QColor("#f28c28"), QColor("#f28c28"), false, true, false,
                        false, false, QStringLiteral("SUN"), QColor("#f28c28")},
                       -12);
    });
    gallery(list, QStringLiteral("Ruchki/8.jpg"), [](QPainter &p) {
        drawPenPicture(p, QColor("#ebe6f2"),
                       {QColor("#7b3fb5"), QColor("#7b3fb5"), chromeColour, true, false, true,
                        false, false, QStringLiteral("TOUCH"), Qt::white},
                       -20);
    });
    gallery(list, QStringLiteral("Ruchki/9.jpg"), [](QPainter &p) {
        drawPenPicture(p, QColor("#e6e9ee"),
                       {QColor("#fafafa"), QColor("#1c1c1c"), QColor("#1c1c1c"), false, false,
                        false, true, false, QStringLiteral("OFFICE"), QColor("#1c1c1c")},
                       -9);
    });
}

void addShirts(QVector<Picture> &list)
{
    gallery(list, QStringLiteral("Tekstil/1.jpg"), [](QPainter &p) {
        Print emblem = [](QPainter &p, const QRectF &r) {
            const QPointF c = r.center() + QPointF(0, -4);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor("#1f6fd1"));
            p.drawEllipse(c, 30, 30);
            p.fillPath(star(c, 20, 8.5), QColor("#ffffff"));
            text(p, QRectF(r.left(), c.y() + 32, r.width(), 16), QStringLiteral("TEAM"),
                 QColor("#1f6fd1"), 13);
        };
        drawShirtPicture(p, QColor("#dde6ee"), QColor("#fafafa"), Neck::Round, QColor("#f0f0f0"),
                         emblem);
    });
    gallery(list, QStringLiteral("Tekstil/2.jpg"), [](QPainter &p) {
        Print bigStar = [](QPainter &p, const QRectF &r) {
            p.setPen(Qt::NoPen);
            p.fillPath(star(r.center() + QPointF(0, -8), 36, 15), QColor("#fff4e0"));
            text(p, QRectF(r.left() - 20, r.bottom() - 28, r.width() + 40, 20),
                 QStringLiteral("STAR"), QColor("#fff4e0"), 16);
        };
        drawShirtPicture(p, QColor("#f1e4e0"), QColor("#d62839"), Neck::Round, QColor("#c21f30"),
                         bigStar);
    });
    gallery(list, QStringLiteral("Tekstil/3.jpg"), [](QPainter &p) {
        Print badge = [](QPainter &p, const QRectF &r) {
            // small embroidered badge on the left breast
            const QPointF c(r.right() - 8, r.top() + 4);
            p.setPen(QPen(QColor("#f2c14e"), 1.5));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, 11, 11);
            p.setPen(Qt::NoPen);
            p.fillPath(star(c, 7, 3), QColor("#f2c14e"));
        };
        drawShirtPicture(p, QColor("#e2e6ea"), QColor("#1f2f57"), Neck::Polo, QColor("#233766"),
                         badge);
    });
    gallery(list, QStringLiteral("Tekstil/4.jpg"), [](QPainter &p) {
        Print stripes = [](QPainter &p, const QRectF &r) {
            const QColor bands[]
                = {QColor("#e63946"), QColor("#f4a261"), QColor("#2a9d8f"), QColor("#264653")};
            p.setPen(Qt::NoPen);
            for (int i = 0; i < 4; ++i)
                p.fillRect(QRectF(r.left() - 6, r.top() + 30 + i * 9, r.width() + 12, 7), bands[i]);
            text(p, QRectF(r.left() - 30, r.top() - 2, r.width() + 60, 30), QStringLiteral("PRINT"),
                 QColor("#264653"), 24);
        };
        drawShirtPicture(p, QColor("#ecece6"), QColor("#b9bcc2"), Neck::Round, QColor("#a9adb4"),
                         stripes);
    });
    gallery(list, QStringLiteral("Tekstil/5.jpg"), [](QPainter &p) {
        drawShirtPicture(p, QColor("#e4e9f1"), QColor("#f6d743"), Neck::Vee, QColor("#e8c52f"),
                         photoPrint(mountains, 4));
    });
}

void addCaps(QVector<Picture> &list)
{
    gallery(list, QStringLiteral("Beisbolki/1.jpg"), [](QPainter &p) {
        studio(p, QColor("#ece4e0"), QColor("#ddd3cd"));
        Print logo = [](QPainter &p, const QRectF &r) {
            const QPointF c = r.center();
            p.setPen(QPen(Qt::white, 3));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(c, 24, 24);
            text(p, QRectF(c.x() - 24, c.y() - 24, 48, 48), QStringLiteral("A"), Qt::white, 30);
        };
        drawCap(p,
                {QColor("#d32f2f"), QColor("#d32f2f"), QColor("#c62828"), QColor("#d32f2f"), false,
                 logo});
    });
    gallery(list, QStringLiteral("Beisbolki/2.jpg"), [](QPainter &p) {
        studio(p, QColor("#e2e9ef"), QColor("#d2dbe3"));
        Print wave = [](QPainter &p, const QRectF &r) {
            p.setPen(Qt::NoPen);
            for (int i = 0; i < 3; ++i) {
                QPainterPath w;
                const double y = r.top() + 20 + i * 12;
                w.moveTo(r.left(), y);
                w.cubicTo(r.left() + 25, y - 14, r.left() + 45, y + 14, r.right(), y - 2);
                w.lineTo(r.right(), y + 6);
                w.cubicTo(r.left() + 45, y + 22, r.left() + 25, y - 6, r.left(), y + 8);
                w.closeSubpath();
                p.fillPath(w, i == 1 ? QColor("#4aa3df") : QColor("#1b4f8a"));
            }
        };
        drawCap(p,
                {QColor("#1b3a6b"), QColor("#fbfbfb"), QColor("#1b3a6b"), QColor("#1b3a6b"), true,
                 wave});
    });
    gallery(list, QStringLiteral("Beisbolki/3.jpg"), [](QPainter &p) {
        studio(p, QColor("#efeadb"), QColor("#e0d9c6"));
        Print embroidery = [](QPainter &p, const QRectF &r) {
            const QPointF c = r.center() + QPointF(2, 2);
            const QPainterPath s = star(c, 24, 10);
            p.setPen(Qt::NoPen);
            p.fillPath(s, QColor("#f5c518"));
            p.setPen(QPen(QColor("#b58b00"), 0.8, Qt::DotLine));
            p.setBrush(Qt::NoBrush);
            p.drawPath(star(c, 20, 8));
        };
        drawCap(p,
                {QColor("#222226"), QColor("#222226"), QColor("#f5c518"), QColor("#f5c518"), false,
                 embroidery});
    });
}

void addPuzzles(QVector<Picture> &list)
{
    gallery(list, QStringLiteral("Pazzl/1.jpg"), [](QPainter &p) {
        tabletop(p, QColor("#e8e2d6"));
        const Jigsaw jig(QRectF(36, 32, 200, 150), 5, 4, 1);
        puzzleBoard(p, jig, meadow);
        hole(p, jig, 3, 2, QColor("#c9b99a"));
        loosePiece(p, jig, 3, 2, meadow, QPointF(272, 190), 24);
    });
    gallery(list, QStringLiteral("Pazzl/2.jpg"), [](QPainter &p) {
        // heart-shaped puzzle
        tabletop(p, QColor("#f1e3ea"));
        const QPainterPath shape = heart(QPointF(160, 110), 210);
        softShadow(p, shape, QPointF(4, 6), 70);
        const QRectF box = shape.boundingRect();
        p.save();
        p.setClipPath(shape, Qt::IntersectClip);
        blossom(p, box);
        p.restore();
        const Jigsaw jig(box, 5, 4, 9);
        jig.drawCuts(p, shape);
        p.setPen(QPen(QColor(0, 0, 0, 110), 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(shape);
    });
    gallery(list, QStringLiteral("Pazzl/3.jpg"), [](QPainter &p) {
        tabletop(p, QColor("#dfe6ea"));
        const Jigsaw jig(QRectF(24, 44, 216, 144), 6, 4, 4);
        puzzleBoard(p, jig, sunsetSea);
        hole(p, jig, 5, 0, QColor("#b9c4cc"));
        hole(p, jig, 4, 0, QColor("#b9c4cc"));
        hole(p, jig, 5, 1, QColor("#b9c4cc"));
        loosePiece(p, jig, 5, 0, sunsetSea, QPointF(276, 60), -18);
        loosePiece(p, jig, 4, 0, sunsetSea, QPointF(282, 130), 30);
        loosePiece(p, jig, 5, 1, sunsetSea, QPointF(264, 198), 8);
    });
    gallery(list, QStringLiteral("Pazzl/4.jpg"), [](QPainter &p) {
        // framed puzzle
        tabletop(p, QColor("#e9e4dc"));
        QPainterPath frame;
        frame.addRect(QRectF(24, 20, 232, 192));
        softShadow(p, frame, QPointF(5, 7), 90);
        QLinearGradient wood(24, 20, 256, 212);
        wood.setColorAt(0, QColor("#b07a45"));
        wood.setColorAt(1, QColor("#7a4d26"));
        p.fillPath(frame, wood);
        p.setPen(QPen(QColor(60, 35, 15, 120), 1));
        for (int i = 0; i < 9; ++i)
            p.drawLine(QPointF(28, 24 + i * 22), QPointF(252, 28 + i * 22));
        p.fillRect(QRectF(36, 32, 208, 168), QColor("#5a3a1e"));
        const Jigsaw jig(QRectF(38, 34, 204, 164), 6, 5, 21);
        nightCity(p, jig.area);
        QPainterPath area;
        area.addRect(jig.area);
        jig.drawCuts(p, area);
        hole(p, jig, 2, 4, QColor("#4a3018"));
        loosePiece(p, jig, 2, 4, nightCity, QPointF(286, 196), -28);
    });
}

void addCoasters(QVector<Picture> &list)
{
    gallery(list, QStringLiteral("Kosteri/1.jpg"), [](QPainter &p) {
        tabletop(p, QColor("#e4e9e6"));
        drawCoaster(
            p, QPointF(160, 112), 0.55, 0, circleShape(100), QColor("#a8773f"), 7, [](QPainter &p) {
                cork(p, 100);
                p.setPen(QPen(QColor("#8e1b2b"), 5));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QPointF(0, 0), 70, 70);
                p.setPen(QPen(QColor("#8e1b2b"), 1.6));
                p.drawEllipse(QPointF(0, 0), 62, 62);
                // cup on the print
                p.setPen(Qt::NoPen);
                p.setBrush(QColor("#8e1b2b"));
                p.drawRoundedRect(QRectF(-24, -20, 40, 34), 6, 6);
                p.setPen(QPen(QColor("#8e1b2b"), 5));
                p.setBrush(Qt::NoBrush);
                p.drawEllipse(QPointF(20, -4), 9, 9);
                text(p, QRectF(-60, 22, 120, 26), QStringLiteral("CAFE"), QColor("#8e1b2b"), 20);
            });
    });
    gallery(list, QStringLiteral("Kosteri/2.jpg"), [](QPainter &p) {
        tabletop(p, QColor("#ece7df"));
        auto face = [](QColor ink) {
            return [ink](QPainter &p) {
                p.fillRect(QRectF(-80, -80, 160, 160), QColor("#fbfbf8"));
                p.setPen(Qt::NoPen);
                for (int i = 0; i < 4; ++i) {
                    QPainterPath w;
                    const double y = -46 + i * 26;
                    w.moveTo(-80, y);
                    w.cubicTo(-40, y - 16, -20, y + 16, 20, y);
                    w.cubicTo(40, y - 8, 60, y - 10, 80, y);
                    w.lineTo(80, y + 9);
                    w.cubicTo(60, y - 1, 40, y + 1, 20, y + 9);
                    w.cubicTo(-20, y + 25, -40, y - 7, -80, y + 9);
                    w.closeSubpath();
                    p.fillPath(w, i % 2 ? shade(ink, 0.35) : ink);
                }
            };
        };
        drawCoaster(p, QPointF(120, 104), 0.55, 30, squareShape(120, 14), QColor("#d9d4c8"), 5,
                    face(QColor("#1f6fb2")));
        drawCoaster(p, QPointF(206, 146), 0.55, 18, squareShape(120, 14), QColor("#d9d4c8"), 5,
                    face(QColor("#e07a1f")));
        drawGlass(p, QPointF(122, 116), 52, 78);
    });
    gallery(list, QStringLiteral("Kosteri/3.jpg"), [](QPainter &p) {
        // a set: a stack of coasters and one in use under a mug
        tabletop(p, QColor("#e9e5ef"));
        const QColor prints[]
            = {QColor("#6a4c93"), QColor("#1982c4"), QColor("#8ac926"), QColor("#ff595e")};
        for (int i = 0; i < 4; ++i) {
            const QColor ink = prints[i];
            drawCoaster(p, QPointF(88, 176 - i * 10), 0.5, 0, circleShape(62), shade(ink, -0.2), 4,
                        [ink](QPainter &p) {
                            p.fillRect(QRectF(-70, -70, 140, 140), QColor("#fbfbfb"));
                            p.setPen(QPen(ink, 8));
                            p.setBrush(Qt::NoBrush);
                            p.drawEllipse(QPointF(0, 0), 52, 52);
                            p.setPen(Qt::NoPen);
                            p.fillPath(heart(QPointF(0, -4), 46), ink);
                        });
        }
        drawCoaster(p, QPointF(226, 188), 0.5, 0, circleShape(70), QColor("#d14d54"), 4,
                    [](QPainter &p) {
                        p.fillRect(QRectF(-80, -80, 160, 160), QColor("#fbfbfb"));
                        blossom(p, QRectF(-70, -70, 140, 140));
                    });
        Mug m {QColor("#fbfbfb"), QColor("#6b3e26"), QColor("#fbfbfb"), 72, 72, 78, {}};
        drawMug(p, QPointF(218, 188), m);
    });
}

} // namespace

QVector<Picture> pictureList()
{
    QVector<Picture> list;
    addFoldingIcons(list);
    addMugs(list);
    addPens(list);
    addShirts(list);
    addCaps(list);
    addPuzzles(list);
    addCoasters(list);
    return list;
}

} // namespace pictures
