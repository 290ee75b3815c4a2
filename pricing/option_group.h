// One option group of a page as a value: its title and the options checked in it, in the order
// the group holds them. Radio buttons carry key codes or one amount; check boxes add amounts.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QVector>

struct OptionChoice
{
    QString name; // object name of the button: how the page finds it again
    double value = 0.0;
    QString caption;
    bool exclusive = true; // a radio button; false for a check box
    QString key; // an extra's key in the price list ("sheet.lamination.matte-250"); empty otherwise
};

struct OptionGroup
{
    QString title;
    QVector<OptionChoice> checked;

    // The checked radio button, or an empty choice (value 0, no caption) when none is.
    OptionChoice chosen() const;
    // The check boxes' amounts added up.
    double boxSum() const;
    // "; caption" for each checked box.
    QString boxCaptions() const;
    // The same group with nothing checked: what a group is after the press clears it.
    OptionGroup cleared() const { return {title, {}}; }

    QJsonObject toJson() const;
    static OptionGroup fromJson(const QJsonObject &object);
};
