// A job as a client names it ({"page", "options": [...], "fields": {...}}), as plain values: read
// from a QJsonValue, or straight from the bytes of the common plain body without Qt's JSON
// classes, which is what a quote a second costs most otherwise.
#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QVector>

struct JobRequest
{
    struct Field
    {
        QString id;
        QJsonValue value; // a number when the request is right
    };
    QJsonValue page; // a string when the request is right
    bool unknownMember = false; // a member besides page, options and fields
    QString unknownName; // the first such, in key order
    bool optionsNotArray = false;
    QVector<QString> options; // up to the first that is no string
    bool optionNotString = false; // one after those was no string
    bool fieldsNotObject = false;
    QVector<Field> fields; // in key order
};

// The request as a JSON object holds it; false when it is no object.
bool jobRequestFrom(const QJsonValue &value, JobRequest *request);
// The request read straight from a body of the plain form: strings of printable ASCII without
// escapes, whole numbers without sign or exponent, each member once, nothing else. False for any
// other body, which QJsonDocument then reads (and refuses with its own message where it must).
bool readPlainJobRequest(const QByteArray &body, JobRequest *request);
