// What a price key means in words. The options that compose keys, with their codes and captions as
// the form shows them, are written here once (the pages give their buttons these codes); a key is
// read back into those options ("002428" is "Листовая: А4 (210х297 мм.), 4+4, Матовая, 350", per
// sheet).
#pragma once

#include "pricing/jobs.h"

#include <QString>
#include <QVector>

// One option button that puts a code into keys.
struct KeyOption
{
    QString objectName;
    int code = 0;
    QString caption;
    QString hint; // a sub-heading that tells two equal captions apart
};

// One position of a key: the codes one option group can put there.
struct KeyPart
{
    QString group; // object name of the group box; empty for a fixed code
    QString label; // how an unknown code of this position is named: "формат", "плотность"
    QVector<KeyOption> options;
    // Codes from lighter to denser paper or from fewer to more colours: a price is expected to
    // grow along each chain.
    QVector<QVector<int>> rising;

    bool fixed() const { return group.isEmpty(); }
    const KeyOption *option(int code) const;
};

// How one page composes the keys of one family.
struct KeyGrammar
{
    PricingPage page = PricingPage::SheetProducts;
    QString family; // "00", "50", "12"
    QString tier; // "тираж 500–999" for a quantity tier's family
    QString role; // "обложка", "внутренние листы" on brochures
    QVector<KeyPart> parts;
    QString standardPer; // what a price is per with a standard format
    int customCode = -1; // the first position's code of a custom size, priced by area
    bool areaOnly = false; // the page always prices by area

    QString per(const QVector<int> &codes) const;
};

// Every grammar, grouped by page: sheet products, brochures, street, interior, souvenirs.
const QVector<KeyGrammar> &keyGrammars();
// The option whose button has this object name, or null; a button that composes the keys of
// several families puts the same code into each.
const KeyOption *findKeyOption(const QString &objectName);

// How the price list names a page: "Листовая", "Брошюры", "Уличная", "Интерьерная", "Сувениры".
QString pageTitle(PricingPage page);

struct KeyReading
{
    const KeyGrammar *grammar = nullptr;
    QVector<int> codes; // one per part
    int unknown = 0; // codes no option of the page carries
};

// The ways the pages read a key. Every complete reading (all codes carried by options) is given;
// when there is none, the readings with the fewest unknown codes. Empty for a key no page reads.
QVector<KeyReading> readKey(const QString &key);

struct KeyMeaning
{
    PricingPage page = PricingPage::SheetProducts;
    QString words; // "Листовая: А4 (210х297 мм.), 4+4, Матовая, 350"
    QString per; // "за лист", "за 1000 мм²", "за шт."
    bool composed = true; // false: no option of the page composes this key
};

// The meanings of a key; a key two pages share has one meaning per page, and one brochure sheet
// that serves both the cover and the inner sheets has one meaning.
QVector<KeyMeaning> keyMeanings(const QString &key);

// The meanings for one table cell: joined by " | ", each with what it is per.
struct KeyDescription
{
    QString meaning;
    QString per;
};
KeyDescription describeKey(const QString &key);
