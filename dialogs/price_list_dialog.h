// The "Прайс-лист" dialog: the versions of the price list; for one version every key with what it
// means, what the price is per and the price, and every extra's amount; prices changed in place or
// by a percentage and saved as a new version with a date and a note; the file round trip.
#pragma once

#include <QDialog>

#include <functional>

class PriceBook;
struct PriceVersion;
class PriceListModel;
class PriceFilterModel;
class QComboBox;
class QDateEdit;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTableView;

class PriceListDialog : public QDialog
{
    Q_OBJECT

public:
    explicit PriceListDialog(PriceBook &book, QWidget *parent = nullptr);
    ~PriceListDialog() override;

    // Seams for the file choosers and the yes/no question, so that tests answer them.
    std::function<QString(const QString &caption, const QString &filter)> chooseOpenFile;
    std::function<QString(const QString &caption, const QString &filter, const QString &name)>
        chooseSaveFile;
    std::function<bool(const QString &question)> confirm;

    // The number of the version the table shows.
    int shownVersion() const;

signals:
    // A file was read and checked; its prices are in the table when it was accepted.
    void fileChecked(bool accepted);
    // A new version was stored under this number.
    void versionSaved(int number);
    // "Выгрузить" finished.
    void fileWritten(bool written);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fillVersions();
    void showVersion(int number);
    void changeSelectedByPercent();
    void saveAsNewVersion();
    void exportFile();
    void importFile();
    void takeCheckedFile(const QString &fileName, const struct PriceFileCheck &check);
    void updateEditCount();
    void setBusy(bool busy);
    bool dropEditsAllowed();
    PriceVersion draft() const;

    PriceBook &book;
    PriceListModel *model;
    PriceFilterModel *filter;
    QListWidget *versions;
    QLabel *versionTitle;
    QLineEdit *filterField;
    QTableView *table;
    QDoubleSpinBox *percent;
    QComboBox *rounding;
    QPushButton *changeButton;
    QLabel *editCount;
    QDateEdit *fromDate;
    QLineEdit *note;
    QString loadedFrom; // the file whose prices the table holds, until they are saved
    QPushButton *saveButton;
    QPushButton *exportButton;
    QPushButton *importButton;
    QPlainTextEdit *report;
};
