// The souvenir "Печать" page: printing on mugs, pens, textiles and more, priced from the "00"
// family of the price list, and the gallery of sample pictures of the clicked material.
#include "app/mainwindow.h"

#include "calculators/page_parts.h"
#include "form/mainwindow_form.h"
#include "pricing/page_pricing.h"

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
    setOptionValues(form->page_5, PricingPage::Souvenir);

    form->scrollArea->hide();

    const QStringList mugs = {QStringLiteral("Kruzhki/1.jpg"), QStringLiteral("Kruzhki/2.gif"),
                              QStringLiteral("Kruzhki/3.jpg"), QStringLiteral("Kruzhki/4.jpg"),
                              QStringLiteral("Kruzhki/5.jpg"), QStringLiteral("Kruzhki/6.jpg")};
    form->radioButton_68->setProperty("imageAddresses", mugs);
    form->radioButton_68->setProperty("price",
                                      QStringList {QStringLiteral("27.0"), QStringLiteral("49.0"),
                                                   QStringLiteral("666.0"), QStringLiteral("23.0"),
                                                   QStringLiteral("25.0"), QStringLiteral("28.0")});
    form->radioButton_79->setProperty(
        "imageAddresses", numberedPictures(QStringLiteral("Ruchki"), 9, QStringLiteral(".jpg")));
    form->radioButton_79->setProperty(
        "price",
        QStringList {QStringLiteral("28.0"), QStringLiteral("41.0"), QStringLiteral("366.0"),
                     QStringLiteral("266.0"), QStringLiteral("166.0"), QStringLiteral("26.0"),
                     QStringLiteral("28.0"), QStringLiteral("30.0"), QStringLiteral("31.0")});
    form->radioButton_80->setProperty(
        "imageAddresses", numberedPictures(QStringLiteral("Tekstil"), 5, QStringLiteral(".jpg")));
    form->radioButton_80->setProperty("price",
                                      QStringList {QStringLiteral("29.0"), QStringLiteral("44.0"),
                                                   QStringLiteral("66.0"), QStringLiteral("47.0"),
                                                   QStringLiteral("48.0")});
    form->radioButton_81->setProperty(
        "imageAddresses", numberedPictures(QStringLiteral("Beisbolki"), 3, QStringLiteral(".jpg")));
    form->radioButton_81->setProperty(
        "price",
        QStringList {QStringLiteral("22.0"), QStringLiteral("49.0"), QStringLiteral("50.0")});
    form->radioButton_82->setProperty(
        "imageAddresses", numberedPictures(QStringLiteral("Pazzl"), 4, QStringLiteral(".jpg")));
    form->radioButton_82->setProperty("price",
                                      QStringList {QStringLiteral("29.0"), QStringLiteral("46.0"),
                                                   QStringLiteral("76.0"), QStringLiteral("86.0")});
    form->radioButton_86->setProperty(
        "imageAddresses", numberedPictures(QStringLiteral("Kosteri"), 3, QStringLiteral(".jpg")));
    form->radioButton_86->setProperty(
        "price",
        QStringList {QStringLiteral("20.0"), QStringLiteral("35.0"), QStringLiteral("86.0")});

    for (QRadioButton *material :
         {form->radioButton_68, form->radioButton_79, form->radioButton_80, form->radioButton_81,
          form->radioButton_82, form->radioButton_84, form->radioButton_86, form->radioButton_88,
          form->radioButton_89})
        connect(material, SIGNAL(clicked()), this, SLOT(showImage()));

    connect(form->radioButtonOther_2, SIGNAL(toggled(bool)), this, SLOT(page3_1_showDim(bool)));
    form->groupBoxListSize_4->hide();

    acceptWholeNumbers({form->lineEditWidth_7, form->lineEditHeight_4, form->lineEdit_16}, this);
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
    showCustomSize(form->groupBoxListSize_4, form->lineEditWidth_7, form->lineEditHeight_4,
                   toggled);
}

SouvenirJob MainWindow::souvenirJob() const
{
    SouvenirJob job;
    job.size = optionGroup(form->groupBoxListFormat_2);
    job.colours = optionGroup(form->groupBoxListColor_4);
    job.material = optionGroup(form->groupBoxListType_2);
    job.materialColour = optionGroup(form->checkboxGroupPrint);
    job.customSize = form->radioButtonOther_2->isChecked();
    job.width = form->lineEditWidth_7->text();
    job.height = form->lineEditHeight_4->text();
    job.quantity = form->lineEdit_16->text();
    return job;
}

void MainWindow::page3_1_answer()
{
    followPriceVersion();
    appendOrderLine(priceSouvenir(souvenirJob(), prices()).first().orderLine());
    clearExtras(form->page_5);
}
