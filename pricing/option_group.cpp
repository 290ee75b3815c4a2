// Reading a group's choices the way the pages do.
#include "pricing/option_group.h"

#include <QJsonArray>

OptionChoice OptionGroup::chosen() const
{
    for (const OptionChoice &choice : checked) {
        if (choice.exclusive)
            return choice;
    }
    return {};
}

double OptionGroup::boxSum() const
{
    double sum = 0.0;
    for (const OptionChoice &choice : checked) {
        if (!choice.exclusive)
            sum += choice.value;
    }
    return sum;
}

QString OptionGroup::boxCaptions() const
{
    QString captions;
    for (const OptionChoice &choice : checked) {
        if (!choice.exclusive)
            captions += QStringLiteral("; ") + choice.caption;
    }
    return captions;
}

QJsonObject OptionGroup::toJson() const
{
    QJsonArray choices;
    for (const OptionChoice &choice : checked) {
        QJsonObject stored {{QStringLiteral("name"), choice.name},
                            {QStringLiteral("value"), choice.value},
                            {QStringLiteral("caption"), choice.caption},
                            {QStringLiteral("exclusive"), choice.exclusive}};
        // Only extras have a key; the other choices are stored as before.
        if (!choice.key.isEmpty())
            stored.insert(QStringLiteral("key"), choice.key);
        choices.append(stored);
    }
    return {{QStringLiteral("title"), title}, {QStringLiteral("checked"), choices}};
}

OptionGroup OptionGroup::fromJson(const QJsonObject &object)
{
    OptionGroup group;
    group.title = object.value(QStringLiteral("title")).toString();
    const QJsonArray choices = object.value(QStringLiteral("checked")).toArray();
    for (const QJsonValue &value : choices) {
        const QJsonObject choice = value.toObject();
        group.checked.append({choice.value(QStringLiteral("name")).toString(),
                              choice.value(QStringLiteral("value")).toDouble(),
                              choice.value(QStringLiteral("caption")).toString(),
                              choice.value(QStringLiteral("exclusive")).toBool(true),
                              choice.value(QStringLiteral("key")).toString()});
    }
    return group;
}
