// The key-composing options of every page, whose codes the pages' initialisers give the form's
// buttons, and the reading of keys back into them.
#include "prices/key_meanings.h"

#include <QHash>

#include <algorithm>
#include <initializer_list>
#include <limits>

namespace {

struct OptionFact
{
    const char *objectName;
    int code;
    const char *caption;
    const char *hint = nullptr;
};

KeyPart part(const char *group, const char *label, std::initializer_list<OptionFact> facts,
             QVector<QVector<int>> rising = {})
{
    KeyPart part {QLatin1String(group), QString::fromUtf8(label), {}, std::move(rising)};
    for (const OptionFact &fact : facts) {
        part.options.append({QLatin1String(fact.objectName), fact.code,
                             QString::fromUtf8(fact.caption),
                             fact.hint ? QString::fromUtf8(fact.hint) : QString()});
    }
    return part;
}

// A code every key of the family carries at this position, chosen by no option.
KeyPart fixedCode(int code)
{
    return {QString(), QString(), {{QString(), code, QString(), QString()}}, {}};
}

const QVector<int> FiveColours = {0, 1, 2, 3, 4};

QVector<KeyPart> sheetProductParts()
{
    // Envelopes share the euro leaflet's prices and bags the business cards'.
    return {part("groupBoxListFormat", "формат",
                 {{"radioButton", 0, "А6 (105х148 мм.)"},
                  {"radioButton_2", 1, "А5 (148х210 мм.)"},
                  {"radioButton_3", 2, "А4 (210х297 мм.)"},
                  {"radioButton_4", 3, "А3 (297х420 мм.)"},
                  {"radioButton_5", 4, "SRA3 (320х450 мм.)"},
                  {"radioButton_6", 8, "Евроформат (98х210 мм.)"},
                  {"radioButton_7", 9, "Визитки (90х50 мм.)"},
                  {"radioButton_8", 10, "Визитки евро (85х55 мм.)"},
                  {"radioButton_9", 8, "Конверты *"},
                  {"radioButton_10", 9, "Пакеты *"},
                  {"radioButtonOther", 15, "Другой"}}),
            part("groupBoxListColor", "цветность",
                 {{"radioButton_24", 0, "1+0"},
                  {"radioButton_25", 1, "1+1"},
                  {"radioButton_26", 2, "4+0"},
                  {"radioButton_27", 3, "4+1"},
                  {"radioButton_28", 4, "4+4"}},
                 {FiveColours}),
            part("groupBoxListType", "бумага",
                 {{"radioButton_47", 0, "Простая"},
                  {"radioButton_48", 1, "Цветная"},
                  {"radioButton_49", 2, "Матовая"},
                  {"radioButton_50", 3, "Глянцевая"},
                  {"radioButton_51", 4, "Текстурная"},
                  {"radioButton_52", 5, "Плайк"},
                  {"radioButton_53", 6, "Дизайнерская"},
                  {"radioButton_54", 7, "Самоклеющаяся"},
                  {"radioButton_55", 8, "Синтетическая"},
                  {"radioButton_56", 9, "Самокопирующаяся"}}),
            part("groupBoxListDensity", "плотность",
                 {{"radioButton_70", 0, "80"},
                  {"radioButton_71", 1, "90"},
                  {"radioButton_72", 2, "120"},
                  {"radioButton_73", 3, "170"},
                  {"radioButton_74", 4, "200"},
                  {"radioButton_75", 5, "250"},
                  {"radioButton_76", 6, "300"},
                  {"radioButton_77", 7, "320"},
                  {"radioButton_78", 8, "350"}},
                 {{0, 1, 2, 3, 4, 5, 6, 7, 8}})};
}

KeyPart brochureFormat()
{
    return part("groupBoxBroshFormat", "формат",
                {{"radioButton_93", 0, "А6 (105х148 мм.)"},
                 {"radioButton_94", 1, "А5 (148х210 мм.)"},
                 {"radioButton_95", 2, "А4 (210х297 мм.)"},
                 {"radioButton_96", 3, "А3 (297х420 мм.)"},
                 {"radioButton_97", 4, "SRA3 (320х450 мм.)"},
                 {"radioButtonOtherBrosh", 15, "Другой"}});
}

QVector<KeyPart> brochureInnerParts()
{
    return {brochureFormat(),
            part("groupBoxBroshInnerColor", "цветность",
                 {{"radioButton_116", 0, "1+0"},
                  {"radioButton_117", 1, "1+1"},
                  {"radioButton_118", 2, "4+0"},
                  {"radioButton_119", 3, "4+1"},
                  {"radioButton_120", 4, "4+4"}},
                 {FiveColours}),
            // Inner paper has no "Плайк": the codes skip 5.
            part("groupBoxBroshInnerType", "бумага",
                 {{"radioButton_139", 0, "Простая"},
                  {"radioButton_140", 1, "Цветная"},
                  {"radioButton_141", 2, "Матовая"},
                  {"radioButton_142", 3, "Глянцевая"},
                  {"radioButton_143", 4, "Текстурная"},
                  {"radioButton_144", 6, "Дизайнерская"}}),
            part("groupBoxBroshInnerDensity", "плотность",
                 {{"radioButton_162", 0, "80"},
                  {"radioButton_163", 1, "90"},
                  {"radioButton_164", 2, "120"},
                  {"radioButton_165", 3, "170"},
                  {"radioButton_166", 4, "200"}},
                 {{0, 1, 2, 3, 4}})};
}

QVector<KeyPart> brochureCoverParts()
{
    return {brochureFormat(),
            part("groupBoxBroshOuterColor", "цветность",
                 {{"radioButton_415", 0, "1+0"},
                  {"radioButton_416", 1, "1+1"},
                  {"radioButton_417", 2, "4+0"},
                  {"radioButton_418", 3, "4+1"},
                  {"radioButton_419", 4, "4+4"}},
                 {FiveColours}),
            part("groupBoxBroshOuterType", "бумага",
                 {{"radioButton_438", 0, "Простая"},
                  {"radioButton_439", 1, "Цветная"},
                  {"radioButton_440", 2, "Матовая"},
                  {"radioButton_441", 3, "Глянцевая"},
                  {"radioButton_442", 4, "Текстурная"},
                  {"radioButton_443", 5, "Плайк"},
                  {"radioButton_444", 6, "Дизайнерская"}}),
            part("groupBoxBroshOuterDensity", "плотность",
                 {{"radioButton_461", 0, "80"},
                  {"radioButton_462", 1, "90"},
                  {"radioButton_463", 2, "120"},
                  {"radioButton_464", 3, "170"},
                  {"radioButton_465", 4, "200"},
                  {"radioButton_466", 5, "250"},
                  {"radioButton_467", 6, "300"},
                  {"radioButton_468", 7, "320"},
                  {"radioButton_469", 8, "350"}},
                 {{0, 1, 2, 3, 4, 5, 6, 7, 8}})};
}

QVector<KeyPart> streetParts()
{
    return {fixedCode(11), fixedCode(11),
            part("groupBoxListStreetMaterial", "материал",
                 {{"radioButton_11", 10, "Самоклеющаяся плёнка"},
                  {"radioButton_12", 11, "Самоклеющаяся плёнка Backlit"},
                  {"radioButton_13", 12, "Баннерная ткань (Корея) 440 гр."},
                  {"radioButton_14", 13, "Баннерная ткань (Бельгия) 440 гр."},
                  {"radioButton_19", 14, "Баннерная ткань (Китай) 320 гр."},
                  {"radioButton_20", 15, "Баннерная ткань Blackout"},
                  {"radioButton_21", 16, "Баннерная сетка"},
                  {"radioButton_22", 17, "Баннерная ткань Backlit"},
                  {"radioButton_23", 18, "Бумага Blue Back 115 гр."},
                  {"radioButton_29", 19, "Бумага постерная 150 гр."},
                  {"radioButton_30", 21, "Перфорированная плёнка"},
                  {"radioButton_31", 22, "Полиэстр"},
                  {"radioButton_33", 23, "Фотообои"},
                  {"radioButton_39", 24, "Холст"}}),
            // The two "720 dpi" buttons stand under different sub-headings.
            part("groupBoxListStreetColor", "качество",
                 {{"radioButton_112", 9, "360 dpi"},
                  {"radioButton_113", 10, "540 dpi"},
                  {"radioButton_114", 11, "720 dpi", "широкоформатная"},
                  {"radioButton_115", 13, "720 dpi", "интерьерная"},
                  {"radioButton_121", 14, "1140 dpi"}})};
}

QVector<KeyPart> interiorParts()
{
    return {part("groupBoxIntererFormat", "формат",
                 {{"radioButton_15", 5, "А2 (420х594 мм.)"},
                  {"radioButton_16", 6, "А1 (594х841 мм.)"},
                  {"radioButton_17", 7, "А0 (841х1189 мм.)"},
                  {"radioButtonOtherInterer", 12, "Другой"}}),
            part("groupBoxIntererColor", "цветность",
                 {{"radioButton_34", 0, "1+0"},
                  {"radioButton_35", 2, "4+0"},
                  {"radioButton_36", 5, "Заливка 5 %"},
                  {"radioButton_37", 6, "Заливка 50 %"},
                  {"radioButton_38", 7, "Заливка 100 %"}},
                 {{0, 2}, {5, 6, 7}}),
            part("groupBoxIntererType", "бумага",
                 {{"radioButton_40", 0, "Простая"},
                  {"radioButton_41", 2, "Матовая"},
                  {"radioButton_42", 3, "Глянцевая"},
                  {"radioButton_43", 7, "Самоклеющаяся"}}),
            part("groupBoxIntererDensity", "плотность",
                 {{"radioButton_45", 0, "80"},
                  {"radioButton_46", 2, "120"},
                  {"radioButton_57", 3, "160"},
                  {"radioButton_58", 4, "200"}},
                 {{0, 2, 3, 4}})};
}

QVector<KeyPart> souvenirParts()
{
    // The material group's right-hand column carries no code (it reads as mugs): not listed.
    return {part("groupBoxListFormat_2", "размер",
                 {{"radioButton_131", 10, "Визитки евро (85х55 мм.)"},
                  {"radioButton_130", 9, "Визитки (90х50 мм.)"},
                  {"radioButton_69", 14, "А7 (74х105 мм.)"},
                  {"radioButton_65", 0, "А6 (105х148 мм.)"},
                  {"radioButton_60", 1, "А5 (148х210 мм.)"},
                  {"radioButton_67", 2, "А4 (210х297 мм.)"},
                  {"radioButton_66", 3, "А3 (297х420 мм.)"},
                  {"radioButtonOther_2", 15, "Другой"}}),
            part("groupBoxListColor_4", "цветность",
                 {{"radioButton_59", 0, "1+0"},
                  {"radioButton_61", 1, "1+1"},
                  {"radioButton_62", 2, "4+0"},
                  {"radioButton_63", 3, "4+1"},
                  {"radioButton_64", 4, "4+4"}},
                 {FiveColours}),
            part("groupBoxListType_2", "материал",
                 {{"radioButton_68", 0, "Кружки"},
                  {"radioButton_79", 1, "Ручки"},
                  {"radioButton_80", 2, "Футболки"},
                  {"radioButton_81", 3, "Бейсболки"},
                  {"radioButton_82", 4, "Паззл"},
                  {"radioButton_84", 6, "Диски"},
                  {"radioButton_86", 8, "Костеры"},
                  {"radioButton_88", 9, "Другое"},
                  {"radioButton_89", 9, "Без материала"}}),
            fixedCode(0)};
}

QVector<KeyGrammar> makeGrammars()
{
    const QString perSheet = QStringLiteral("за лист");
    const QString perPiece = QStringLiteral("за шт.");
    const QString from500 = QStringLiteral("тираж 500–999");
    const QString from1000 = QStringLiteral("тираж 1000–3000");
    QVector<KeyGrammar> grammars;
    const std::pair<const char *, QString> sheetFamilies[]
        = {{"00", QString()}, {"50", from500}, {"60", from1000}};
    for (const auto &[family, tier] : sheetFamilies) {
        grammars.append({PricingPage::SheetProducts, QLatin1String(family), tier, QString(),
                         sheetProductParts(), perSheet, 15, false});
    }
    const std::pair<const char *, QString> brochureFamilies[]
        = {{"01", QString()}, {"51", from500}, {"61", from1000}};
    for (const auto &[family, tier] : brochureFamilies) {
        grammars.append({PricingPage::Brochures, QLatin1String(family), tier,
                         QStringLiteral("обложка"), brochureCoverParts(), perSheet, 15, false});
        grammars.append({PricingPage::Brochures, QLatin1String(family), tier,
                         QStringLiteral("внутренние листы"), brochureInnerParts(), perSheet, 15,
                         false});
    }
    grammars.append({PricingPage::Street, QStringLiteral("12"), QString(), QString(), streetParts(),
                     QString(), -1, true});
    grammars.append({PricingPage::Interior, QStringLiteral("13"), QString(), QString(),
                     interiorParts(), perPiece, 12, false});
    grammars.append({PricingPage::Souvenir, QStringLiteral("00"), QString(), QString(),
                     souvenirParts(), perPiece, 15, false});
    return grammars;
}

// A code as keys write it: "0", or digits without a leading zero. Longer codes than six digits
// are no code of any page.
bool codeText(QStringView text, int *code)
{
    if (text.isEmpty() || text.size() > 6 || (text.size() > 1 && text.front() == QLatin1Char('0')))
        return false;
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    *code = value;
    return true;
}

void readParts(const KeyGrammar &grammar, QStringView rest, int index, KeyReading &reading,
               QVector<KeyReading> &readings)
{
    if (index == grammar.parts.size()) {
        if (rest.isEmpty())
            readings.append(reading);
        return;
    }
    const KeyPart &part = grammar.parts.at(index);
    // Leave at least one digit for each part still to come.
    const int room = int(rest.size()) - (grammar.parts.size() - index - 1);
    for (int length = 1; length <= room; ++length) {
        int code = 0;
        if (!codeText(rest.left(length), &code))
            continue;
        const bool known = part.option(code) != nullptr;
        if (part.fixed() && !known)
            continue;
        reading.codes.append(code);
        reading.unknown += known ? 0 : 1;
        readParts(grammar, rest.mid(length), index + 1, reading, readings);
        reading.unknown -= known ? 0 : 1;
        reading.codes.removeLast();
    }
}

QString optionWords(const KeyPart &part, int code)
{
    QStringList captions;
    for (const KeyOption &option : part.options) {
        if (option.code == code) {
            captions << (option.hint.isEmpty() ? option.caption
                                               : option.caption + QStringLiteral(" (") + option.hint
                                 + QLatin1Char(')'));
        }
    }
    if (captions.isEmpty())
        return part.label + QStringLiteral(" с кодом ") + QString::number(code);
    return captions.join(QStringLiteral(" / "));
}

QString headOf(const KeyGrammar &grammar, const QString &role)
{
    QString head = pageTitle(grammar.page);
    if (!grammar.tier.isEmpty())
        head += QStringLiteral(", ") + grammar.tier;
    if (!role.isEmpty())
        head += QStringLiteral(", ") + role;
    return head;
}

} // namespace

const KeyOption *KeyPart::option(int code) const
{
    for (const KeyOption &candidate : options) {
        if (candidate.code == code)
            return &candidate;
    }
    return nullptr;
}

QString KeyGrammar::per(const QVector<int> &codes) const
{
    if (areaOnly || (!codes.isEmpty() && codes.first() == customCode))
        return QStringLiteral("за 1000 мм²");
    return standardPer;
}

const QVector<KeyGrammar> &keyGrammars()
{
    static const QVector<KeyGrammar> grammars = makeGrammars();
    return grammars;
}

const KeyOption *findKeyOption(const QString &objectName)
{
    static const QHash<QString, const KeyOption *> index = [] {
        QHash<QString, const KeyOption *> byName;
        for (const KeyGrammar &grammar : keyGrammars()) {
            for (const KeyPart &part : grammar.parts) {
                for (const KeyOption &option : part.options) {
                    if (!option.objectName.isEmpty() && !byName.contains(option.objectName))
                        byName.insert(option.objectName, &option);
                }
            }
        }
        return byName;
    }();
    return index.value(objectName);
}

QString pageTitle(PricingPage page)
{
    switch (page) {
    case PricingPage::SheetProducts:
        return QStringLiteral("Листовая");
    case PricingPage::Brochures:
        return QStringLiteral("Брошюры");
    case PricingPage::Street:
        return QStringLiteral("Уличная");
    case PricingPage::Interior:
        return QStringLiteral("Интерьерная");
    case PricingPage::Souvenir:
        return QStringLiteral("Сувениры");
    }
    return QString();
}

QVector<KeyReading> readKey(const QString &key)
{
    QVector<KeyReading> readings;
    for (const KeyGrammar &grammar : keyGrammars()) {
        if (!key.startsWith(grammar.family))
            continue;
        KeyReading reading;
        reading.grammar = &grammar;
        readParts(grammar, QStringView(key).mid(grammar.family.size()), 0, reading, readings);
    }
    int fewest = std::numeric_limits<int>::max();
    for (const KeyReading &reading : qAsConst(readings))
        fewest = std::min(fewest, reading.unknown);
    QVector<KeyReading> best;
    for (const KeyReading &reading : qAsConst(readings)) {
        if (reading.unknown == fewest)
            best.append(reading);
    }
    return best;
}

QVector<KeyMeaning> keyMeanings(const QString &key)
{
    struct Draft
    {
        const KeyGrammar *grammar;
        QString options;
        QString per;
        QStringList roles;
        bool composed;
    };
    QVector<Draft> drafts;
    for (const KeyReading &reading : readKey(key)) {
        const KeyGrammar &grammar = *reading.grammar;
        QStringList words;
        for (int i = 0; i < grammar.parts.size(); ++i) {
            if (!grammar.parts.at(i).fixed())
                words << optionWords(grammar.parts.at(i), reading.codes.at(i));
        }
        const QString options = words.join(QStringLiteral(", "));
        const QString per = grammar.per(reading.codes);
        // One brochure sheet serves the cover and the inner sheets alike.
        auto same = std::find_if(drafts.begin(), drafts.end(), [&](const Draft &draft) {
            return draft.grammar->page == grammar.page && draft.grammar->family == grammar.family
                && draft.options == options && draft.per == per;
        });
        if (same != drafts.end())
            same->roles << grammar.role;
        else
            drafts.append({&grammar, options, per, {grammar.role}, reading.unknown == 0});
    }
    QVector<KeyMeaning> meanings;
    for (const Draft &draft : qAsConst(drafts)) {
        // A sheet that serves every role needs none named.
        const QString role = draft.roles.size() > 1 ? QString() : draft.roles.first();
        QString words = headOf(*draft.grammar, role) + QStringLiteral(": ") + draft.options;
        if (!draft.composed)
            words += QStringLiteral(" — такой ключ страница не составляет");
        meanings.append({draft.grammar->page, words, draft.per, draft.composed});
    }
    return meanings;
}

KeyDescription describeKey(const QString &key)
{
    const QVector<KeyMeaning> meanings = keyMeanings(key);
    if (meanings.isEmpty())
        return {QStringLiteral("ни одна страница не читает этот ключ"), QString()};
    QStringList words;
    QStringList pers;
    for (const KeyMeaning &meaning : meanings) {
        words << meaning.words;
        pers << meaning.per;
    }
    pers.removeDuplicates();
    return {words.join(QStringLiteral(" | ")), pers.join(QStringLiteral(" | "))};
}
