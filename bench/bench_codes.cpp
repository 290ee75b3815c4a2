// The payment QR code made and drawn at a PDF's resolution, and an operator's sign-in hash, each
// against its goal, measured in this one run.
#include "bench_support.h"

#include "documents/qr_code.h"
#include "storage/pin_hash.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QString text = QStringLiteral(
        "ST00012|Name=ООО «Типография»|PersonalAcc=40702810200000000001|BankName=ПАО Банк"
        "|BIC=044525225|CorrespAcc=30101810400000000225|PayeeINN=7707083893|KPP=770701001"
        "|Sum=1320000|Purpose=Оплата по счёту № 1042 от 09.12.2026, в т.ч. НДС 22 % — 2 380,33 "
        "руб.");
    QVector<double> qr;
    for (int run = 0; run < 50; ++run) {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        QPainter painter(&writer);
        QElapsedTimer timer;
        timer.start();
        const QrCode code(text);
        code.paint(painter, QRectF(100, 100, 450, 450));
        qr.append(timer.nsecsElapsed() / 1e6);
    }
    QVector<double> signIn;
    const QByteArray hash = hashPin(QStringLiteral("4711"));
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer timer;
        timer.start();
        pinMatches(hash, QStringLiteral("4711"));
        signIn.append(timer.nsecsElapsed() / 1e6);
    }
    const double qrMs = median(qr);
    const double signInMs = median(signIn);
    std::printf("payment QR code made and drawn: %.2f ms, %.2f of the 5 ms goal\n", qrMs,
                qrMs / 5.0);
    std::printf("sign-in hash checked: %.0f ms, %.2f of the 100 ms aim\n", signInMs,
                signInMs / 100.0);
    return 0;
}
