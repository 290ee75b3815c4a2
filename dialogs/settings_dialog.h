// "Настройки": every setting of the program in one dialog over the settings file. The shop's
// requisites, the PDF folder and the validity days through the documents' settings; the counter's
// name, the database URL and the office warm-up under the keys storage and the office read.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QSpinBox;

class SettingsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SettingsDialog(QWidget *parent = nullptr);

    // Keys of the settings file read by other parts of the program.
    static const char *const CounterNameKey; // "counter/name", the host name when empty
    static const char *const DatabaseUrlKey; // "database/url", the local SQLite file when empty
    static const char *const OfficeWarmupKey; // "office/warmup", true when absent

    // Writes the fields to the settings file; false if the file could not be written.
    bool save() const;

public slots:
    void accept() override;

private:
    void load();
    void choosePdfFolder();

    QLineEdit *shopName, *address, *taxNumbers, *bank, *account, *director, *accountant;
    QLineEdit *pdfFolder;
    QSpinBox *validityDays;
    QLineEdit *counterName, *databaseUrl;
    QCheckBox *officeWarmup;
};
