// The "Прайс-лист" dialog: the versions of the price list; for one version every key with what it
// means, what the price is per and the price, and every extra's amount; prices changed in place or
// by a percentage and saved as a new version with a date and a note; the file round trip.
#pragma once

#include <QDialog>
#include <QScopedPointer>

#include <functional>

namespace Ui {
class PriceListDialog;
}
class PriceBook;
struct PriceVersion;
class PriceListModel;
class PriceFilterModel;
class QTimer;

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

    // How long reading or writing a file may take before the dialog stops waiting for it (a
    // spreadsheet waits for the office, a file may lie on a share that does not answer).
    static constexpr int FileTimeLimitMs = 90000;
    void setFileTimeLimit(int msecs) { fileTimeLimitMs = msecs; }

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
    void confirmAllPrices();
    // Saves the version, telling how it went in the report under the table.
    void store(const PriceVersion &version, const QString &told);
    void exportFile();
    void importFile();
    void takeCheckedFile(const QString &fileName, const struct PriceFileCheck &check);
    void updateEditCount();
    void setBusy(bool busy);
    // The file's work runs on the pool that fits the file; done gets its result on this thread,
    // unless the operator cancelled or the time ran out first (then stopped is told why, and the
    // late result is dropped).
    template<class Result>
    void runFileWork(const QString &fileName, std::function<Result()> work,
                     std::function<void(const Result &)> done,
                     std::function<void(const QString &why)> stopped);
    void stopFileWork(const QString &why);
    bool dropEditsAllowed();
    PriceVersion draft() const;

    const QScopedPointer<Ui::PriceListDialog> ui;
    PriceBook &book;
    PriceListModel *model;
    PriceFilterModel *filter;
    QString loadedFrom; // the file whose prices the table holds, until they are saved
    QTimer *fileDeadline;
    QObject *fileWork = nullptr; // the watcher of the file's work under way
    std::function<void(const QString &)> fileWorkStopped;
    int fileTimeLimitMs = FileTimeLimitMs;
};
