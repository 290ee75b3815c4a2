// The "Интерьерная" page: indoor wide-format prints on paper, a standard sheet or a custom size,
// with flat-priced extras.
#include "app/mainwindow.h"

#include "calculators/number_text.h"
#include "calculators/whole_number_validator.h"
#include "form/mainwindow_form.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QVariant>

void MainWindow::page2_2_init()
{
    MainWindowForm *f = form;

    f->radioButton_15->setProperty("value", 5);
    f->radioButton_16->setProperty("value", 6);
    f->radioButton_17->setProperty("value", 7);
    f->radioButtonOtherInterer->setProperty("value", 12);

    f->radioButton_34->setProperty("value", 0);
    f->radioButton_35->setProperty("value", 2);
    f->radioButton_36->setProperty("value", 5);
    f->radioButton_37->setProperty("value", 6);
    f->radioButton_38->setProperty("value", 7);

    f->radioButton_40->setProperty("value", 0);
    f->radioButton_41->setProperty("value", 2);
    f->radioButton_42->setProperty("value", 3);
    f->radioButton_43->setProperty("value", 7);

    f->radioButton_45->setProperty("value", 0);
    f->radioButton_46->setProperty("value", 2);
    f->radioButton_57->setProperty("value", 3);
    f->radioButton_58->setProperty("value", 4);

    f->checkBox_70->setProperty("value", 5);
    f->checkBox_71->setProperty("value", 100500);
    f->checkBox_72->setProperty("value", 100501);
    for (QCheckBox *box :
         {f->checkBox_73, f->checkBox_74, f->checkBox_75, f->checkBox_76, f->checkBox_77})
        box->setProperty("value", 666);

    f->checkBox_78->setProperty("value", 666);
    f->checkBox_79->setProperty("value", 666);
    f->checkBox_80->setProperty("value", 666);
    f->checkBox_81->setProperty("value", 13);
    f->checkBox_82->setProperty("value", 13);

    for (QCheckBox *box : {f->checkBox_83, f->checkBox_84, f->checkBox_85, f->checkBox_86})
        box->setProperty("value", 13);
    f->checkBox_88->setProperty("value", 5);
    f->checkBox_89->setProperty("value", 100500);
    f->checkBox_90->setProperty("value", 100501);
    f->checkBox_87->setProperty("value", 666);

    for (QCheckBox *box : {f->checkBox_111, f->checkBox_115, f->checkBox_113, f->checkBox_109,
                           f->checkBox_114, f->checkBox_108, f->checkBox_110})
        box->setProperty("value", 666);
    f->checkBox_112->setProperty("value", 13);

    f->checkBox_107->setProperty("value", 13);
    f->checkBox_148->setProperty("value", 13);
    f->checkBox_152->setProperty("value", 13);

    connect(f->radioButtonOtherInterer, SIGNAL(toggled(bool)), this, SLOT(page2_2_showDim(bool)));
    f->groupBoxIntererSize->hide();

    for (QLineEdit *field : {f->lineEditWidthInterer, f->lineEditHeightInterer, f->lineEdit_12})
        field->setValidator(new WholeNumberValidator(0, 100500, this));
    f->lineEdit_12->setText(QStringLiteral("1"));

    connect(f->pushButton_9, SIGNAL(clicked()), this, SLOT(page2_2_answer()));
}

void MainWindow::page2_2_answer()
{
    MainWindowForm *f = form;

    const OptionChoice format = checkedOption(f->groupBoxIntererFormat);
    const OptionChoice colour = checkedOption(f->groupBoxIntererColor);
    const OptionChoice paper = checkedOption(f->groupBoxIntererType);
    const OptionChoice density = checkedOption(f->groupBoxIntererDensity);
    const QString key = QStringLiteral("13") + numberText(format.value) + numberText(colour.value)
        + numberText(paper.value) + numberText(density.value);
    const int quantity = wholeNumber(f->lineEdit_12->text());

    // A standard sheet's price is set for the factor 0.001; a custom size is priced by its
    // millimetres as typed, divided by 1000 once.
    const bool custom = f->radioButtonOtherInterer->isChecked();
    double area = 0.001;
    if (custom) {
        const double width = fieldNumber(f->lineEditWidthInterer->text());
        area = fieldNumber(f->lineEditHeightInterer->text()) * width / 1000;
    }
    const double printCost = area * lookupPrice(key);
    const QString keyText = QStringLiteral("значение=") + key;

    const QGroupBox *const extras[]
        = {f->checkboxGroupInterer, f->checkboxGroupInterer_1, f->checkboxGroupInterer_2,
           f->checkboxGroupInterer_3, f->checkboxGroupInterer_4};
    double total = printCost;
    for (const QGroupBox *group : extras)
        total += sumCheckedValues(group);

    const QString sizeText = custom
        ? f->lineEditWidthInterer->text() + QLatin1Char('x') + f->lineEditHeightInterer->text()
        : f->groupBoxIntererFormat->title();

    QString titles = sizeText + QLatin1Char(' ');
    for (const QGroupBox *group : {f->groupBoxIntererFormat, f->groupBoxIntererColor,
                                   f->groupBoxIntererType, f->groupBoxIntererDensity})
        titles += group->title() + QLatin1Char(' ');
    for (const QGroupBox *group : extras)
        titles += group->title() + QLatin1Char(' ');

    QString description = format.caption + QStringLiteral("; ") + sizeText + QLatin1Char(' ')
        + colour.caption + QStringLiteral("; ") + paper.caption + QStringLiteral("; ")
        + density.caption;
    for (const QGroupBox *group : extras)
        description += checkedCaptions(group);

    appendOrderLine(description, QString::number(quantity), numberText(total), keyText, titles,
                    false);

    clearGroup(f->checkboxGroupInterer);
    clearGroup(f->checkboxGroupInterer_1);
    clearGroup(f->checkboxGroupInterer_2);
    clearGroup(f->checkboxGroupInterer_3);
    clearGroup(f->checkboxGroupInterer_4);
}

void MainWindow::page2_2_showDim(bool toggled)
{
    if (toggled) {
        form->groupBoxIntererSize->show();
    } else {
        form->groupBoxIntererSize->hide();
        form->lineEditWidthInterer->setText(QString());
        form->lineEditHeightInterer->setText(QString());
    }
}
