// The souvenir "Печать" page: printing on mugs, pens, textiles and more, priced from the "00"
// family of the price list, and the gallery of sample pictures of the clicked material.
#include "app/mainwindow.h"

#include "calculators/page_parts.h"
#include "form/mainwindow_form.h"
#include "pricing/page_pricing.h"
#include "pricing/souvenir_gallery.h"

#include <QImage>
#include <QPixmap>
#include <QStringList>

namespace {

// Each gallery picture is shown at one size whatever its own proportions.
const QSize GalleryPictureSize(320, 240);

} // namespace

void MainWindow::page3_1_init()
{
    setOptionValues(form->page_5, PricingPage::Souvenir);

    form->scrollArea->hide();

    // Each material with pictures carries its gallery: the pictures and the price beside each.
    for (const SouvenirMaterial &material : souvenirGallery()) {
        auto *button = form->page_5->findChild<QRadioButton *>(material.option);
        if (!button)
            continue;
        QStringList paths;
        QStringList prices;
        for (const SouvenirPicture &picture : material.pictures) {
            paths << picture.path;
            prices << QString::number(picture.price);
        }
        button->setProperty("imageAddresses", paths);
        button->setProperty("price", prices);
    }

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
