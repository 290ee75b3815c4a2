// The souvenir "Печать" page: printing on mugs, pens, textiles and more, priced from the "00"
// family of the price list, and the gallery of sample pictures of the clicked material.
#include "app/mainwindow.h"

#include "calculators/number_text.h"
#include "calculators/whole_number_validator.h"
#include "form/mainwindow_form.h"

#include <QImage>
#include <QPixmap>
#include <QStringList>

namespace {

// Each gallery picture is shown at one size whatever its own proportions.
const QSize GalleryPictureSize(320, 240);

QStringList numberedPictures(const QString &folder, int count, const QString &extension)
{
    QStringList paths;
    for (int number = 1; number <= count; ++number)
        paths << folder + QLatin1Char('/') + QString::number(number) + extension;
    return paths;
}

} // namespace

void MainWindow::page3_1_init()
{
    form->radioButton_131->setProperty("value", 10);
    form->radioButton_130->setProperty("value", 9);
    form->radioButton_69->setProperty("value", 14);
    form->radioButton_65->setProperty("value", 0);
    form->radioButton_60->setProperty("value", 1);
    form->radioButton_67->setProperty("value", 2);
    form->radioButton_66->setProperty("value", 3);
    form->radioButtonOther_2->setProperty("value", 15);

    form->radioButton_59->setProperty("value", 0);
    form->radioButton_61->setProperty("value", 1);
    form->radioButton_62->setProperty("value", 2);
    form->radioButton_63->setProperty("value", 3);
    form->radioButton_64->setProperty("value", 4);

    // The right-hand column of the material group has no code: it reads as mugs (0).
    form->radioButton_68->setProperty("value", 0);
    form->radioButton_79->setProperty("value", 1);
    form->radioButton_80->setProperty("value", 2);
    form->radioButton_81->setProperty("value", 3);
    form->radioButton_82->setProperty("value", 4);
    form->radioButton_84->setProperty("value", 6);
    form->radioButton_86->setProperty("value", 8);
    form->radioButton_88->setProperty("value", 9);
    form->radioButton_89->setProperty("value", 9);

    form->scrollArea->hide();

    const QStringList mugs = {QStringLiteral("Kruzhki/1.jpg"), QStringLiteral("Kruzhki/2.gif"),
                              QStringLiteral("Kruzhki/3.jpg"), QStringLiteral("Kruzhki/4.jpg"),
                              QStringLiteral("Kruzhki/5.jpg"), QStringLiteral("Kruzhki/6.jpg")};
    form->radioButton_68->setProperty("imageAddresses", mugs);
    form->radioButton_68->setProperty(
        "price", QStringList {"27.0", "49.0", "666.0", "23.0", "25.0", "28.0"});
    form->radioButton_79->setProperty("imageAddresses",
                                      numberedPictures(QStringLiteral("Ruchki"), 9, ".jpg"));
    form->radioButton_79->setProperty(
        "price",
        QStringList {"28.0", "41.0", "366.0", "266.0", "166.0", "26.0", "28.0", "30.0", "31.0"});
    form->radioButton_80->setProperty("imageAddresses",
                                      numberedPictures(QStringLiteral("Tekstil"), 5, ".jpg"));
    form->radioButton_80->setProperty("price",
                                      QStringList {"29.0", "44.0", "66.0", "47.0", "48.0"});
    form->radioButton_81->setProperty("imageAddresses",
                                      numberedPictures(QStringLiteral("Beisbolki"), 3, ".jpg"));
    form->radioButton_81->setProperty("price", QStringList {"22.0", "49.0", "50.0"});
    form->radioButton_82->setProperty("imageAddresses",
                                      numberedPictures(QStringLiteral("Pazzl"), 4, ".jpg"));
    form->radioButton_82->setProperty("price", QStringList {"29.0", "46.0", "76.0", "86.0"});
    form->radioButton_86->setProperty("imageAddresses",
                                      numberedPictures(QStringLiteral("Kosteri"), 3, ".jpg"));
    form->radioButton_86->setProperty("price", QStringList {"20.0", "35.0", "86.0"});

    connect(form->radioButton_68, SIGNAL(clicked()), this, SLOT(showImage()));
    connect(form->radioButton_79, SIGNAL(clicked()), this, SLOT(showImage()));
    connect(form->radioButton_80, SIGNAL(clicked()), this, SLOT(showImage()));
    connect(form->radioButton_81, SIGNAL(clicked()), this, SLOT(showImage()));
    connect(form->radioButton_82, SIGNAL(clicked()), this, SLOT(showImage()));
    connect(form->radioButton_84, SIGNAL(clicked()), this, SLOT(showImage()));
    connect(form->radioButton_86, SIGNAL(clicked()), this, SLOT(showImage()));
    connect(form->radioButton_88, SIGNAL(clicked()), this, SLOT(showImage()));
    connect(form->radioButton_89, SIGNAL(clicked()), this, SLOT(showImage()));

    // The material colours are amounts added to the price, not key codes.
    form->checkBox_116->setProperty("value", 100500);
    form->checkBox_117->setProperty("value", 100501);

    connect(form->radioButtonOther_2, SIGNAL(toggled(bool)), this, SLOT(page3_1_showDim(bool)));
    form->groupBoxListSize_4->hide();

    form->lineEditWidth_7->setValidator(new WholeNumberValidator(0, 100500, this));
    form->lineEditHeight_4->setValidator(new WholeNumberValidator(0, 100500, this));
    form->lineEdit_16->setValidator(new WholeNumberValidator(0, 100500, this));
    form->lineEdit_16->setText(QStringLiteral("1"));

    connect(form->pushButton_15, SIGNAL(clicked()), this, SLOT(page3_1_answer()));
}

void MainWindow::showImage()
{
    for (const auto &pair : qAsConst(galleryWidgets)) {
        delete pair.first;
        delete pair.second;
    }
    galleryWidgets.clear();

    for (QObject *child : form->groupBoxListType_2->children()) {
        const auto *material = qobject_cast<QRadioButton *>(child);
        if (!material || !material->isChecked())
            continue;
        const QStringList paths = material->property("imageAddresses").toStringList();
        const QStringList prices = material->property("price").toStringList();
        for (int i = 0; i < paths.size(); ++i) {
            QImage picture(QStringLiteral(":/images/") + paths.at(i));
            // A picture that fails to load still gets its row, with an empty label.
            if (!picture.isNull())
                picture = picture.scaled(GalleryPictureSize, Qt::IgnoreAspectRatio,
                                         Qt::FastTransformation);
            auto *choice = new QRadioButton;
            auto *label = new QLabel;
            label->setPixmap(QPixmap::fromImage(picture));
            choice->setProperty("value", prices.value(i).toDouble());
            form->gridLayout_38->addWidget(choice, i, 0, Qt::AlignRight);
            form->gridLayout_38->addWidget(label, i, 1);
            galleryWidgets.append(qMakePair(label, choice));
            form->scrollArea->show();
        }
    }
}

void MainWindow::page3_1_showDim(bool toggled)
{
    if (toggled) {
        form->groupBoxListSize_4->show();
    } else {
        form->groupBoxListSize_4->hide();
        form->lineEditWidth_7->setText(QString());
        form->lineEditHeight_4->setText(QString());
    }
}

void MainWindow::page3_1_answer()
{
    const OptionChoice size = checkedOption(form->groupBoxListFormat_2);
    const OptionChoice colours = checkedOption(form->groupBoxListColor_4);
    const OptionChoice material = checkedOption(form->groupBoxListType_2);
    const QString codes = numberText(size.value) + numberText(colours.value)
        + numberText(material.value) + QLatin1Char('0');
    const QString key = QStringLiteral("00") + codes;
    const int quantity = wholeNumber(form->lineEdit_16->text());

    // A standard size is priced per thousand; a custom one by its area in thousands of mm².
    const bool customSize = form->radioButtonOther_2->isChecked();
    double factor = 0.001;
    if (customSize) {
        const QString widthText = form->lineEditWidth_7->text();
        const QString heightText = form->lineEditHeight_4->text();
        const double width = widthText.isEmpty() ? 0.0 : fieldNumber(widthText);
        const double area = heightText.isEmpty() ? width * 0.0 : fieldNumber(heightText) * width;
        factor = area / 1000.0;
    }
    const double printCost = factor * lookupPrice(key);
    const QString keyText = QStringLiteral("значение=25") + codes;
    const double total = printCost + sumCheckedValues(form->checkboxGroupPrint);

    const QString sizeText = customSize
        ? form->lineEditWidth_7->text() + QLatin1Char('x') + form->lineEditHeight_4->text()
        : form->groupBoxListFormat_2->title();
    const QString titles = sizeText + QLatin1Char(' ') + form->groupBoxListFormat_2->title()
        + QLatin1Char(' ') + form->groupBoxListColor_4->title() + QLatin1Char(' ')
        + form->groupBoxListType_2->title() + QLatin1Char(' ') + form->checkboxGroupPrint->title()
        + QLatin1Char(' ');
    const QString description = size.caption + QStringLiteral("; ") + sizeText + QLatin1Char(' ')
        + colours.caption + QStringLiteral("; ") + material.caption + QStringLiteral("; ")
        + QLatin1Char('0') + checkedCaptions(form->checkboxGroupPrint);

    appendOrderLine(description, QString::number(quantity), numberText(total), keyText, titles,
                    false);
    clearGroup(form->checkboxGroupPrint);
}
