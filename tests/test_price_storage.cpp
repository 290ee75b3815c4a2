// Price list versions in real databases: the tables on SQLite and PostgreSQL, each order line's
// version in the counter's file and the journal, the upgrade of a database made before versions
// existed, two counters on one PostgreSQL cluster seeing the same versions, and `printcalc
// --prices ...` run as the administrator runs it.
#include "tests/older_database.h"
#include "tests/pg_cluster.h"
#include "tests/program_run.h"

#include "prices/extras_catalogue.h"
#include "prices/price_file_check.h"
#include "pricing/page_pricing.h"
#include "storage/connection.h"
#include "storage/journal.h"
#include "storage/order_store.h"
#include "storage/price_store.h"
#include "storage/schema.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>

namespace {

PriceVersion version(const QDate &from, const QHash<QString, double> &prices,
                     const QHash<QString, double> &extras, const QString &note)
{
    PriceVersionInfo info;
    info.from = from;
    info.note = note;
    info.loadedBy = QStringLiteral("admin@стойка");
    info.loadedAt = QDateTime(QDate(2026, 6, 9), QTime(10, 15, 0));
    return changedVersion(builtInVersion(), prices, extras, info);
}

// Saves through a book and waits for the number; 0 when it was refused.
int saveThrough(PriceBook &book, const PriceVersion &saved, QString *error = nullptr)
{
    int number = -1;
    book.add(saved, [&](int given, const QString &why) {
        number = given;
        if (error)
            *error = why;
    });
    return QTest::qWaitFor([&number] { return number >= 0; }, 20000) ? number : -1;
}

OptionGroup group(const char *title, std::initializer_list<OptionChoice> checked)
{
    return {QString::fromUtf8(title), checked};
}

OptionChoice radio(const char *name, double value, const char *caption)
{
    return {QLatin1String(name), value, QString::fromUtf8(caption), true};
}

OptionChoice box(const char *name, double value, const char *caption)
{
    return {QLatin1String(name), value, QString::fromUtf8(caption), false};
}

// Jobs as the program stored them before the extras had keys: choices by object name only.
QJsonObject storedSheetJob()
{
    SheetProductsJob job;
    job.format = group("Формат", {radio("radioButton_3", 2, "А4 (210х297 мм.)")});
    job.colour = group("Цветность", {radio("radioButton_28", 4, "4+4")});
    job.type = group("Тип бумаги", {radio("radioButton_49", 2, "Матовая")});
    job.density = group("Плотность", {radio("radioButton_78", 8, "350")});
    job.lamination = group("Ламинация", {radio("radioButton_145", 80, "250 мкм Матовая")});
    job.binding = group("Брошюровка", {radio("radioButton_152", 80, "Метал до 100 стр.")});
    job.varnish = group("Шелкография", {box("checkBox_161", 43, "1+0 лак")});
    job.other = group("Прочие работы", {box("checkBox_34", 23, "Обрезка углов 4 шт.")});
    job.quantity = QStringLiteral("100");
    return toJson(job);
}

QJsonObject storedStreetJob()
{
    StreetJob job;
    job.material = group("Материал", {radio("radioButton_21", 24, "Холст")});
    job.quality = group("Качество", {radio("radioButton_113", 14, "1140 dpi")});
    job.base = group("Основа", {radio("radioButton_126", 30, "Пластик 10 мм.")});
    job.film = group("Тип плёнки", {box("checkBox_41", 0, "Матовая")});
    job.pocketSizes = group("Размер карманов", {box("checkBox_60", 20, "А4")});
    job.pockets = {{box("checkBox_60", 20, "А4"), QStringLiteral("3")}};
    job.width = QStringLiteral("500");
    job.height = QStringLiteral("400");
    job.quantity = QStringLiteral("2");
    return toJson(job);
}

// The keys a stored job's choices carry, in the order stored; "" for a choice without one.
QStringList choiceKeys(const QJsonObject &job)
{
    QStringList keys;
    for (const QJsonValue &field : job) {
        const QJsonArray groups = field.isArray() ? field.toArray() : QJsonArray {field};
        for (const QJsonValue &stored : groups) {
            for (const QJsonValue &choice :
                 stored.toObject().value(QStringLiteral("checked")).toArray())
                keys << choice.toObject().value(QStringLiteral("key")).toString();
        }
    }
    return keys;
}

QStringList lineTexts(const OrderLine &line)
{
    return {line.description, line.quantity, line.unitPrice,
            line.keyText,     line.titles,   line.explanation};
}

} // namespace

class PriceStorageTest : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    PgCluster cluster;
    int files = 0;

    QString freshSqlite()
    {
        return QStringLiteral("sqlite://")
            + dir.filePath(QStringLiteral("p%1.sqlite").arg(++files));
    }

    // An empty shop database of either kind.
    QString emptyDatabase(const QString &kind)
    {
        if (kind == QLatin1String("sqlite"))
            return freshSqlite();
        Connection connection;
        if (!connection.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("empty")))
            qFatal("%s", qPrintable(connection.errorText()));
        QSqlQuery query(connection.database());
        for (const char *table : {"price_version_price", "price_version_extra", "price_version"})
            query.exec(QStringLiteral("DELETE FROM ") + QLatin1String(table));
        return cluster.url();
    }

    using Run = ProgramRun;
    Run run(const QStringList &arguments) const { return runProgram(arguments); }
    QString writeFile(const QString &name, const QByteArray &content) const
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY2(cluster.start(), qPrintable(cluster.error));
    }
    void cleanupTestCase() { cluster.stop(); }

    void tablesKeepVersions_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("SQLite") << "sqlite";
        QTest::newRow("PostgreSQL") << "postgres";
    }
    void tablesKeepVersions()
    {
        QFETCH(QString, kind);
        Connection connection;
        QVERIFY2(connection.open(DatabaseUrl::parse(emptyDatabase(kind)), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        PriceVersionTables tables(connection);
        // A key the built-in list lacks, which a page composes, is kept with the version.
        const PriceVersion autumn = version(
            QDate(2026, 9, 1), {{QStringLiteral("002428"), 70.5}, {QStringLiteral("601426"), 7.5}},
            {{QStringLiteral("sheet.lamination.matte-250"), 95}}, QStringLiteral("осень"));
        QCOMPARE(tables.store(autumn), 1);
        // A version that says nothing of itself is stored all the same.
        QCOMPARE(tables.store(changedVersion(builtInVersion(), {}, {}, {})), 2);

        QVector<PriceVersion> read;
        QVERIFY2(tables.load(&read), qPrintable(connection.errorText()));
        QCOMPARE(read.size(), 2);
        const PriceVersion &first = read.first();
        QCOMPARE(first.info.number, 1);
        QCOMPARE(first.info.from, QDate(2026, 9, 1));
        QCOMPARE(first.info.note, QStringLiteral("осень"));
        QCOMPARE(first.info.loadedBy, QStringLiteral("admin@стойка"));
        QCOMPARE(first.info.loadedAt, autumn.info.loadedAt);
        QCOMPARE(first.prices.version(), 1);
        QCOMPARE(first.prices.size(), builtInVersion().prices.size() + 1);
        QCOMPARE(first.prices.price(QStringLiteral("002428")), 70.5);
        QCOMPARE(first.prices.price(QStringLiteral("601426")), 7.5);
        QCOMPARE(first.prices.price(QStringLiteral("000000")), 1.5);
        QCOMPARE(first.extra(QStringLiteral("sheet.lamination.matte-250")), 95.0);
        QCOMPARE(first.extra(QStringLiteral("interior.base.plastic-4")), 100500.0);
        // The prices the shop gave are its own (the key the sample lacked is one more, and the
        // shop's); the rest stay the sample's.
        QCOMPARE(samplePriceCount(first.prices), samplePriceCount(builtInVersion().prices) - 1);
        bool found = false, sample = true;
        first.prices.price(QStringLiteral("002428"), &found, &sample);
        QVERIFY(found && !sample);
        first.prices.price(QStringLiteral("000000"), &found, &sample);
        QVERIFY(found && sample);

        QVERIFY(tables.load(&read, {1}));
        QCOMPARE(read.size(), 1);
        QCOMPARE(read.first().info.number, 2);
        QVERIFY2(tables.copy(first), "a copy of a version already there must change nothing");
        QVERIFY(tables.load(&read));
        QCOMPARE(read.size(), 2);
    }

    // A version-21 file: a stored price that differs from the sample's is the shop's after the
    // upgrade, one equal to it is still the sample's; a version confirmed whole has none left.
    void upgradeTellsSamplePrices()
    {
        const QString url = freshSqlite();
        const double sample = PriceTable::shared().price(QStringLiteral("000000"));
        const QString problem = makeDatabaseBefore(
            DatabaseUrl::parse(url).path, 22,
            {QStringLiteral("INSERT INTO price_version (number, effective_from, note, loaded_by, "
                            "loaded_at) VALUES (1, '2026-01-01', '', '', '')"),
             QStringLiteral("INSERT INTO price_version_price (version, price_key, price, "
                            "price_text) VALUES (1, '000000', %1, '%1'), (1, '002000', 777, "
                            "'777')")
                 .arg(sample)});
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        Connection connection;
        QVERIFY2(connection.open(DatabaseUrl::parse(url), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        PriceVersionTables tables(connection);
        QVector<PriceVersion> read;
        QVERIFY(tables.load(&read));
        QCOMPARE(read.size(), 1);
        for (const auto &[key, expected] :
             {std::pair {"000000", true}, std::pair {"002000", false}}) {
            bool found = false, isSample = false;
            read.first().prices.price(QLatin1String(key), &found, &isSample);
            QCOMPARE(isSample, expected);
        }
        QCOMPARE(tables.store(confirmedVersion(read.first(), {})), 2);
        QVERIFY(tables.load(&read, {1}));
        QCOMPARE(samplePriceCount(read.first().prices), 0);
    }

    // The counter's file and the journal keep the version that priced each line.
    void linesKeepTheirVersion()
    {
        Connection connection;
        QVERIFY(connection.open(DatabaseUrl::parse(freshSqlite()), QStringLiteral("t")));
        OrderLine line;
        line.description = QStringLiteral("А4");
        line.quantity = QStringLiteral("2");
        line.unitPrice = QStringLiteral("70");
        line.priceVersion = 3;
        OrderChange change;
        change.uid = QStringLiteral("order");
        change.counter = QStringLiteral("стойка");
        change.at = QDateTime::currentDateTime();
        change.create = true;
        change.writes = {{1, 0, line}};
        OrderStore store(connection);
        QVERIFY2(store.apply(change), qPrintable(connection.errorText()));
        StoredOrder order;
        QVERIFY(store.load(QStringLiteral("order"), &order));
        QCOMPARE(order.lines.value(0).priceVersion, 3);

        Journal journal(connection);
        const int number = journal.storeInvoice({QStringLiteral("order"),
                                                 QDateTime::currentDateTime(),
                                                 QStringLiteral("стойка"),
                                                 QString(),
                                                 {line},
                                                 {}},
                                                1);
        QVERIFY(number > 0);
        InvoiceRecord invoice;
        QVERIFY(journal.load(number, &invoice));
        QCOMPARE(invoice.lines.value(0).priceVersion, 3);
        int seen = 0;
        QVERIFY(journal.forEachLine({}, {}, [&](const InvoiceSummary &, const OrderLine &stored) {
            seen = stored.priceVersion;
        }));
        QCOMPARE(seen, 3);
    }

    // A database made before versions existed: the upgrade keeps its lines, at version 0.
    void upgradeKeepsTheLines()
    {
        const QString path = dir.filePath(QStringLiteral("old.sqlite"));
        {
            QSqlDatabase db
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("old"));
            db.setDatabaseName(path);
            QVERIFY(db.open());
            QSqlQuery query(db);
            const SchemaStep &first = schemaSteps().first();
            QCOMPARE(first.version, 1);
            for (const QString &statement : first.statements + first.sqliteOnly)
                QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
            QVERIFY(query.exec(
                QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)")));
            QVERIFY(query.exec(QStringLiteral("INSERT INTO schema_version (version) VALUES (1)")));
            QVERIFY(query.exec(QStringLiteral(
                "INSERT INTO local_line VALUES ('o', 1, 0, 'старая строка', '1', '5', '', '', 0, "
                "'', '', 0)")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("old"));
        Connection connection;
        QVERIFY2(connection.open(DatabaseUrl::sqliteFile(path), QStringLiteral("t")),
                 qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(QStringLiteral("SELECT description, price_version FROM local_line")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("старая строка"));
        QCOMPARE(query.value(1).toInt(), 0);
        QCOMPARE(PriceVersionTables(connection).store(version(QDate(2026, 9, 1), {}, {}, {})), 1);
    }

    // A database whose prices were kept in single precision, upgraded in place: each price comes
    // back as it was loaded, the extras' amounts as they were, and new prices to the kopeck.
    void upgradeKeepsPricesToTheKopeck_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("key");
        QTest::addColumn<double>("stored"); // as the previous version stored it
        QTest::addColumn<double>("read");
        QTest::newRow("SQLite, kopecks") << "sqlite"
                                         << "002428" << double(float(123.45)) << 123.45;
        QTest::newRow("SQLite, 7 digits") << "sqlite"
                                          << "000000" << double(float(12345.67)) << 12345.67;
        QTest::newRow("SQLite, thousandth") << "sqlite"
                                            << "000011" << double(float(0.001)) << 0.001;
        QTest::newRow("SQLite, extra amount") << "sqlite"
                                              << "checkBox_71" << 1234567.89 << 1234567.89;
        QTest::newRow("PostgreSQL, kopecks") << "postgres"
                                             << "002428" << double(float(123.45)) << 123.45;
        QTest::newRow("PostgreSQL, 7 digits") << "postgres"
                                              << "000000" << double(float(12345.67)) << 12345.67;
        QTest::newRow("PostgreSQL, thousandth") << "postgres"
                                                << "000011" << double(float(0.001)) << 0.001;
        QTest::newRow("PostgreSQL, extra amount") << "postgres"
                                                  << "checkBox_71" << 1234567.89 << 1234567.89;
    }
    void upgradeKeepsPricesToTheKopeck()
    {
        QFETCH(QString, kind);
        QFETCH(QString, key);
        QFETCH(double, stored);
        QFETCH(double, read);
        const bool sqlite = kind == QLatin1String("sqlite");
        const bool extra = key.startsWith(QLatin1String("checkBox"));
        // The step that brought the texts in, found by what it does: it may be renumbered.
        int textStep = 0;
        for (const SchemaStep &step : schemaSteps())
            if (textStep == 0
                && step.statements.join(QLatin1Char(' ')).contains(QStringLiteral("price_text")))
                textStep = step.version;
        QVERIFY(textStep > 0);
        const QString name = QStringLiteral("before%1").arg(++files);
        DatabaseUrl url = DatabaseUrl::sqliteFile(dir.filePath(name + QStringLiteral(".sqlite")));
        if (!sqlite) {
            Connection server;
            QVERIFY(server.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("server")));
            QVERIFY(QSqlQuery(server.database()).exec(QStringLiteral("CREATE DATABASE ") + name));
            url = DatabaseUrl::parse(
                QStringLiteral("postgresql://printcalc@/%1?host=%2").arg(name, cluster.dir));
        }
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(
                sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), name);
            db.setDatabaseName(sqlite ? url.path : url.database);
            db.setHostName(url.host);
            db.setUserName(url.user);
            QVERIFY(db.open());
            QSqlQuery query(db);
            for (const SchemaStep &step : schemaSteps()) {
                if (step.version >= textStep)
                    break;
                for (const QString &statement :
                     step.statements + (sqlite ? step.sqliteOnly : step.postgresOnly))
                    QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
            }
            QVERIFY(query.exec(
                QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)")));
            query.prepare(QStringLiteral("INSERT INTO schema_version (version) VALUES (?)"));
            query.addBindValue(textStep - 1);
            QVERIFY(query.exec());
            QVERIFY(query.exec(QStringLiteral(
                "INSERT INTO price_version VALUES (1, '2026-09-01', 'осень', 'admin', "
                "'2026-06-09T10:15:00')")));
            query.prepare(extra
                              ? QStringLiteral("INSERT INTO price_version_extra VALUES (1, ?, ?)")
                              : QStringLiteral("INSERT INTO price_version_price VALUES (1, ?, ?)"));
            query.addBindValue(key);
            query.addBindValue(stored);
            QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
            db.close();
        }
        QSqlDatabase::removeDatabase(name);

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        PriceVersionTables tables(connection);
        QVector<PriceVersion> versions;
        QVERIFY2(tables.load(&versions), qPrintable(connection.errorText()));
        QCOMPARE(versions.size(), 1);
        const PriceVersion &old = versions.first();
        QCOMPARE(old.info.note, QStringLiteral("осень"));
        // An extra stored under the form's object name is read under its own key since.
        const QString extraKey = extra ? findExtraByFormerName(key)->key : QString();
        const double value = extra ? old.extra(extraKey) : old.prices.price(key);
        QVERIFY2(value == read, qPrintable(QString::number(value, 'g', 17)));

        // A new version keeps prices of nine digits and below a kopeck as they were loaded.
        const PriceVersion next = version(
            QDate(2026, 10, 1),
            {{QStringLiteral("002428"), 9999999.99}, {QStringLiteral("000000"), 0.001}},
            {{findExtraByFormerName(QStringLiteral("checkBox_71"))->key, 1234567.89}}, QString());
        QCOMPARE(tables.store(next), 2);
        QVERIFY(tables.load(&versions, {1}));
        QCOMPARE(versions.size(), 1);
        QVERIFY(versions.first().prices.price(QStringLiteral("002428")) == 9999999.99);
        QVERIFY(versions.first().prices.price(QStringLiteral("000000")) == 0.001);
        QVERIFY(versions.first().extra(findExtraByFormerName(QStringLiteral("checkBox_71"))->key)
                == 1234567.89);
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(QStringLiteral("SELECT price_text FROM price_version_price WHERE "
                                          "version = 2 AND price_key = '002428'")));
        QVERIFY(query.next());
        QCOMPARE(query.value(0).toString(), QStringLiteral("9999999.99"));
    }

    // A database of schema version 3: the versions' amounts and the stored jobs come out keyed by
    // the extras' keys, and every stored line prices again to the same texts.
    void upgradeKeysTheExtras_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("SQLite") << "sqlite";
        QTest::newRow("PostgreSQL") << "postgres";
    }
    void upgradeKeysTheExtras()
    {
        QFETCH(QString, kind);
        const bool sqlite = kind == QLatin1String("sqlite");
        DatabaseUrl url = DatabaseUrl::sqliteFile(dir.filePath(QStringLiteral("v3.sqlite")));
        if (!sqlite) {
            Connection server;
            QVERIFY(server.open(DatabaseUrl::parse(cluster.url()), QStringLiteral("t")));
            QVERIFY(QSqlQuery(server.database()).exec(QStringLiteral("CREATE DATABASE v3")));
            url = DatabaseUrl::parse(
                QStringLiteral("postgresql://printcalc@/v3?host=%1").arg(cluster.dir));
        }
        struct StoredJob
        {
            QJsonObject job;
            QString description; // as priced before the upgrade and after it
            QString unitPrice;
            QStringList keys;
        };
        // Keys in the stored form's order: its fields alphabetically, then each group's choices.
        const StoredJob jobs[] = {
            {storedSheetJob(),
             QStringLiteral("А4 (210х297 мм.); Формат 4+4; Матовая; 350250 мкм Матовая; Метал до "
                            "100 стр.; ; 1+0 лак; ; Обрезка углов 4 шт."),
             QStringLiteral("292"),
             {QStringLiteral("sheet.binding.metal-100-2"), QStringLiteral(""), QStringLiteral(""),
              QStringLiteral(""), QStringLiteral("sheet.lamination.matte-250"),
              QStringLiteral("sheet.other.round-corners"), QStringLiteral(""),
              QStringLiteral("sheet.varnish.1-0")}},
            {storedStreetJob(),
             QStringLiteral("Другой; Другой; Холст; 1140 dpi; МатоваяПластик 10 мм.; "),
             QStringLiteral("3.30009e+06"),
             {QStringLiteral("street.base.plastic-10"), QStringLiteral("street.film.matte"),
              QStringLiteral(""), QStringLiteral("street.pocket.a4"),
              QStringLiteral("street.pocket.a4"), QStringLiteral("")}},
        };
        QVector<QStringList> before;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(
                sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QPSQL"), QStringLiteral("v3"));
            db.setDatabaseName(sqlite ? url.path : url.database);
            db.setHostName(url.host);
            db.setUserName(url.user);
            QVERIFY(db.open());
            QSqlQuery query(db);
            for (const SchemaStep &step : schemaSteps()) {
                if (step.version > 3)
                    break;
                for (const QString &statement :
                     step.statements + (sqlite ? step.sqliteOnly : step.postgresOnly))
                    QVERIFY2(query.exec(statement), qPrintable(query.lastError().text()));
            }
            const QStringList rows = {
                QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"),
                QStringLiteral("INSERT INTO schema_version (version) VALUES (3)"),
                QStringLiteral(
                    "INSERT INTO price_version VALUES (1, '2026-09-01', 'осень', 'admin', "
                    "'2026-08-30T10:00:00')"),
                QStringLiteral("INSERT INTO price_version_price VALUES (1, '002428', 70)"),
                QStringLiteral("INSERT INTO price_version_extra VALUES (1, 'radioButton_145', 95), "
                               "(1, 'checkBox_60', 25), (1, 'checkBox_117', 100501)"),
                QStringLiteral(
                    "INSERT INTO invoice (number, order_uid, created, counter, line_count, "
                    "subtotal, "
                    "tax, total, template_path, is_void, search_text) VALUES (7, 'paid', "
                    "'2026-08-31T09:00:00', 'окно', 2, 1, 0, 1, '', 0, '')"),
                QStringLiteral(
                    "INSERT INTO local_order (uid, counter, started, changed, state) VALUES "
                    "('open', 'окно', '2026-08-31T09:00:00', '2026-08-31T09:00:00', 0)")};
            for (const QString &row : rows)
                QVERIFY2(query.exec(row), qPrintable(query.lastError().text()));
            for (int i = 0; i < int(std::size(jobs)); ++i) {
                const OrderLine line
                    = priceStoredJob(jobs[i].job, PriceTable::shared()).value(0).orderLine();
                before.append(lineTexts(line));
                for (const char *table : {"invoice_line", "local_line"}) {
                    const bool journal = QLatin1String(table) == QLatin1String("invoice_line");
                    query.prepare(QStringLiteral("INSERT INTO ") + QLatin1String(table)
                                  + QStringLiteral(" VALUES (?, ?, ")
                                  + (journal ? QLatin1String("") : QLatin1String("?, "))
                                  + QStringLiteral("?, ?, ?, ?, ?, 0, ?, ?, 0, 0)"));
                    if (journal)
                        query.addBindValue(7);
                    else
                        query.addBindValue(QStringLiteral("open"));
                    query.addBindValue(i);
                    if (!journal)
                        query.addBindValue(i);
                    for (const QString &text : {line.description, line.quantity, line.unitPrice,
                                                line.keyText, line.titles})
                        query.addBindValue(text);
                    query.addBindValue(QString::fromUtf8(
                        QJsonDocument(jobs[i].job).toJson(QJsonDocument::Compact)));
                    query.addBindValue(line.explanation);
                    QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
                }
            }
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("v3"));

        Connection connection;
        QVERIFY2(connection.open(url, QStringLiteral("t")), qPrintable(connection.errorText()));
        QCOMPARE(connection.schemaVersion(), latestSchemaVersion());
        QSqlQuery query(connection.database());
        QVERIFY(query.exec(QStringLiteral(
            "SELECT extra_key, amount FROM price_version_extra ORDER BY extra_key")));
        QStringList amounts;
        while (query.next())
            amounts << query.value(0).toString() + QLatin1Char('=') + query.value(1).toString();
        QCOMPARE(amounts,
                 (QStringList {QStringLiteral("sheet.lamination.matte-250=95"),
                               QStringLiteral("souvenir.material-colour.dark=100501"),
                               QStringLiteral("street.pocket.a4=25")}));
        QVector<PriceVersion> versions;
        QVERIFY(PriceVersionTables(connection).load(&versions));
        QCOMPARE(versions.size(), 1);
        QCOMPARE(versions.first().extra(QStringLiteral("sheet.lamination.matte-250")), 95.0);
        QCOMPARE(versions.first().extra(QStringLiteral("street.pocket.a4")), 25.0);
        QCOMPARE(versions.first().extra(QStringLiteral("sheet.binding.metal-100-2")), 80.0);
        QCOMPARE(versions.first().prices.price(QStringLiteral("002428")), 70.0);

        InvoiceRecord invoice;
        QVERIFY(Journal(connection).load(7, &invoice));
        StoredOrder order;
        QVERIFY(OrderStore(connection).load(QStringLiteral("open"), &order));
        QCOMPARE(invoice.lines.size(), int(std::size(jobs)));
        QCOMPARE(order.lines.size(), int(std::size(jobs)));
        for (int i = 0; i < int(std::size(jobs)); ++i) {
            for (const OrderLine &stored : {invoice.lines.at(i), order.lines.at(i)}) {
                QCOMPARE(choiceKeys(stored.job), jobs[i].keys);
                QCOMPARE(lineTexts(stored), before.at(i));
                const QVector<Quote> again = priceStoredJob(stored.job, PriceTable::shared());
                QCOMPARE(again.size(), 1);
                QCOMPARE(lineTexts(again.first().orderLine()), before.at(i));
                QCOMPARE(again.first().line.description, jobs[i].description);
                QCOMPARE(again.first().line.unitPrice, jobs[i].unitPrice);
            }
        }
    }

    // Two counters on one PostgreSQL server: what one saves, the other prices with, and keeps in
    // its own file for the time the server is out of reach.
    void twoCountersShareVersions()
    {
        const DatabaseUrl shop = DatabaseUrl::parse(emptyDatabase(QStringLiteral("postgres")));
        const QString fileA = dir.filePath(QStringLiteral("a.sqlite"));
        const QString fileB = dir.filePath(QStringLiteral("b.sqlite"));
        PriceBook bookA, bookB;
        {
            PriceLink linkA(shop, fileA, bookA);
            PriceLink linkB(shop, fileB, bookB);
            QString error;
            const int number
                = saveThrough(bookA,
                              version(QDate(2026, 9, 1), {{QStringLiteral("002428"), 72}}, {},
                                      QStringLiteral("осень")),
                              &error);
            QVERIFY2(number == 1, qPrintable(error));
            QVERIFY(bookA.list().find(1));
            linkB.checkNow();
            QTRY_VERIFY_WITH_TIMEOUT(bookB.list().find(1) != nullptr, 20000);
            QCOMPARE(bookB.list().find(1)->prices.price(QStringLiteral("002428")), 72.0);
            QCOMPARE(bookB.list().find(1)->info.note, QStringLiteral("осень"));
            QCOMPARE(saveThrough(bookB, version(QDate(2026, 10, 1), {}, {}, {})), 2);
            linkA.checkNow();
            QTRY_VERIFY_WITH_TIMEOUT(bookA.list().find(2) != nullptr, 20000);
            QVERIFY(linkA.waitIdle(20000) && linkB.waitIdle(20000));
        }
        // The server is gone: the counter's file still gives the shop's versions at once.
        const DatabaseUrl gone
            = DatabaseUrl::parse(QStringLiteral("postgresql://printcalc@/shop?host=")
                                 + dir.filePath(QStringLiteral("nowhere")));
        PriceBook offline;
        PriceLink link(gone, fileB, offline);
        QCOMPARE(offline.list().versions().size(), 3);
        QCOMPARE(offline.list().inForce(QDate(2026, 10, 2)).prices.version(), 2);
        QSignalSpy checked(&link, &PriceLink::shopChecked);
        QVERIFY(checked.wait(20000));
        QVERIFY2(!link.problem().isEmpty(), "an unreachable server was not told");
        QString error;
        QCOMPARE(saveThrough(offline, version(QDate(2026, 11, 1), {}, {}, {}), &error), 0);
        QVERIFY(!error.isEmpty());
        QCOMPARE(offline.list().versions().size(), 3);
    }

    // Two administrators import at the same moment: two versions, two numbers.
    void twoImportsAtOnce()
    {
        const QString url = emptyDatabase(QStringLiteral("postgres"));
        const QString file = writeFile(QStringLiteral("one.csv"), "ключ;цена\n002428;70\n");
        const QString tomorrow = QDate::currentDate().addDays(1).toString(Qt::ISODate);
        QList<QProcess *> imports;
        for (int i = 0; i < 2; ++i) {
            auto *process = new QProcess(this);
            process->start(QStringLiteral(PRINTCALC_PROGRAM),
                           {QStringLiteral("--database"), url, QStringLiteral("--prices"),
                            QStringLiteral("import"), file, QStringLiteral("--from"), tomorrow});
            imports << process;
        }
        for (QProcess *process : imports) {
            QVERIFY(process->waitForFinished(60000));
            QVERIFY2(process->exitCode() == 0, process->readAllStandardError().constData());
        }
        const Run listed = run({QStringLiteral("--database"), url, QStringLiteral("--prices"),
                                QStringLiteral("list")});
        QCOMPARE(listed.status, 0);
        QStringList numbers;
        for (const QString &line : listed.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            numbers << line.section(QLatin1Char('\t'), 0, 0);
        QCOMPARE(numbers,
                 (QStringList {QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2")}));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // a line the output must hold ("" for none)
        QTest::addColumn<QString>("err");
        const QString tomorrow = QDate::currentDate().addDays(1).toString(Qt::ISODate);
        const QString yesterday = QDate::currentDate().addDays(-1).toString(Qt::ISODate);
        // Run in this order on one database.
        QTest::newRow("list, built-in only")
            << QStringList {QStringLiteral("list")} << 0
            << QStringLiteral("0\t—\t—\t\tВстроенный прайс-лист\tдействует") << QStringLiteral("");
        QTest::newRow("check a broken file")
            << QStringList {QStringLiteral("check"), QStringLiteral("broken.csv")} << 1
            << QStringLiteral("Строка 3: ошибка — 2428 — возможно, 002428: ведущие нули потеряны.")
            << QStringLiteral("");
        QTest::newRow("check a good file")
            << QStringList {QStringLiteral("check"), QStringLiteral("good.csv")} << 0
            << QStringLiteral("Файл можно загрузить: ошибок нет, предупреждений — 0.")
            << QStringLiteral("");
        QTest::newRow("import a broken file")
            << QStringList {QStringLiteral("import"), QStringLiteral("broken.csv"),
                            QStringLiteral("--from"), tomorrow}
            << 1 << QStringLiteral("Файл отклонён, ничего не изменено") << QStringLiteral("");
        QTest::newRow("import without a date")
            << QStringList {QStringLiteral("import"), QStringLiteral("good.csv")} << 2
            << QStringLiteral("") << QStringLiteral("Нужна дата, с которой версия действует");
        QTest::newRow("import dated yesterday")
            << QStringList {QStringLiteral("import"), QStringLiteral("good.csv"),
                            QStringLiteral("--from"), yesterday}
            << 1 << QStringLiteral("") << QStringLiteral("задним числом");
        QTest::newRow("import") << QStringList {QStringLiteral("import"),
                                                QStringLiteral("good.csv"),
                                                QStringLiteral("--from"),
                                                tomorrow,
                                                QStringLiteral("--note"),
                                                QStringLiteral("бумага")}
                                << 0
                                << QStringLiteral("Сохранён прайс-лист: версия 1 (действует с ")
                + QDate::currentDate().addDays(1).toString(QStringLiteral("dd.MM.yyyy"))
                + QStringLiteral(")")
                                << QStringLiteral("");
        QTest::newRow("at today") << QStringList {QStringLiteral("at"),
                                                  QDate::currentDate().toString(Qt::ISODate)}
                                  << 0 << QStringLiteral("0\t—\tвстроенный прайс-лист")
                                  << QStringLiteral("");
        QTest::newRow("at tomorrow")
            << QStringList {QStringLiteral("at"), tomorrow} << 0
            << QStringLiteral("1\t") + tomorrow + QStringLiteral("\tбумага") << QStringLiteral("");
        QTest::newRow("list, with the new one")
            << QStringList {QStringLiteral("list")} << 0
            << QStringLiteral("\tбумага\tвступит в силу") << QStringLiteral("");
        QTest::newRow("export a version")
            << QStringList {QStringLiteral("export"), QStringLiteral("v1.csv"),
                            QStringLiteral("--version"), QStringLiteral("1")}
            << 0 << QStringLiteral("Выгружен прайс-лист: версия 1") << QStringLiteral("");
        QTest::newRow("no such version")
            << QStringList {QStringLiteral("export"), QStringLiteral("v9.csv"),
                            QStringLiteral("--version"), QStringLiteral("9")}
            << 1 << QStringLiteral("") << QStringLiteral("Версии «9» нет.");
        QTest::newRow("no such command")
            << QStringList {QStringLiteral("drop")} << 2 << QStringLiteral("")
            << QStringLiteral("Команда «--prices drop» не известна");
        QTest::newRow("a date not understood")
            << QStringList {QStringLiteral("at"), QStringLiteral("09.12.2026")} << 2
            << QStringLiteral("") << QStringLiteral("нужен вид ГГГГ-ММ-ДД");
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        static const QString url = freshSqlite();
        writeFile(QStringLiteral("broken.csv"), "ключ;цена\n002428;70\n2428;70\n");
        writeFile(QStringLiteral("good.csv"), "ключ;цена\n002428;70\n");
        for (QString &argument : arguments) {
            if (argument.endsWith(QLatin1String(".csv")))
                argument = dir.filePath(argument);
        }
        const Run result
            = run(QStringList {QStringLiteral("--database"), url, QStringLiteral("--prices")}
                  + arguments);
        QVERIFY2(result.status == status, qPrintable(result.out + result.err));
        QVERIFY2(result.out.contains(out), qPrintable(result.out));
        QVERIFY2(result.err.contains(err), qPrintable(result.err));
        if (arguments.first() == QLatin1String("export") && status == 0) {
            QFile exported(arguments.at(1));
            QVERIFY(exported.open(QIODevice::ReadOnly));
            QVERIFY(exported.readAll().contains(
                "\"002428\";Листовая: А4 (210х297 мм.), 4+4, Матовая, 350;за лист;70\n"));
        }
    }
};

QTEST_GUILESS_MAIN(PriceStorageTest)
#include "test_price_storage.moc"
