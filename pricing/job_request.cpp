// The two readings of a job request; the plain reader only takes what the JSON reading would read
// the same way, and leaves anything else to it.
#include "pricing/job_request.h"

#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

bool jobRequestFrom(const QJsonValue &value, JobRequest *request)
{
    if (!value.isObject())
        return false;
    const QJsonObject object = value.toObject();
    request->page = object.value(QLatin1String("page"));
    for (auto it = object.begin(); it != object.end() && !request->unknownMember; ++it) {
        if (it.key() != QLatin1String("page") && it.key() != QLatin1String("options")
            && it.key() != QLatin1String("fields")) {
            request->unknownMember = true;
            request->unknownName = it.key();
        }
    }
    const QJsonValue options = object.value(QLatin1String("options"));
    request->optionsNotArray = !options.isUndefined() && !options.isArray();
    for (const QJsonValue &item : options.toArray()) {
        if (!item.isString()) {
            request->optionNotString = true;
            break;
        }
        request->options.append(item.toString());
    }
    const QJsonValue fields = object.value(QLatin1String("fields"));
    request->fieldsNotObject = !fields.isUndefined() && !fields.isObject();
    const QJsonObject numbers = fields.toObject();
    for (auto it = numbers.begin(); it != numbers.end(); ++it)
        request->fields.append({it.key(), it.value()});
    return true;
}

namespace {

// A cursor over the body that fails on anything outside the plain form.
struct PlainReader
{
    const char *at;
    const char *end;

    void skipBlanks()
    {
        while (at != end && (*at == ' ' || *at == '\t' || *at == '\n' || *at == '\r'))
            ++at;
    }
    bool take(char c)
    {
        skipBlanks();
        if (at == end || *at != c)
            return false;
        ++at;
        return true;
    }
    bool peek(char c)
    {
        skipBlanks();
        return at != end && *at == c;
    }
    // A string's bytes, left where they are.
    bool bytes(QLatin1String *value)
    {
        if (!take('"'))
            return false;
        const char *const start = at;
        while (at != end && *at != '"') {
            if (*at < 0x20 || *at > 0x7e || *at == '\\')
                return false;
            ++at;
        }
        if (at == end)
            return false;
        *value = QLatin1String(start, int(at - start));
        ++at;
        return true;
    }
    bool text(QString *value)
    {
        QLatin1String read;
        if (!bytes(&read))
            return false;
        *value = read;
        return true;
    }
    bool whole(double *value)
    {
        skipBlanks();
        const char *const start = at;
        while (at != end && *at >= '0' && *at <= '9')
            ++at;
        const int digits = int(at - start);
        // No leading zero, no fraction or exponent, exact as a double.
        if (digits == 0 || digits > 15 || (digits > 1 && *start == '0'))
            return false;
        if (at != end && (*at == '.' || *at == 'e' || *at == 'E'))
            return false;
        qint64 number = 0;
        for (const char *c = start; c != at; ++c)
            number = number * 10 + (*c - '0');
        *value = double(number);
        return true;
    }
};

} // namespace

bool readPlainJobRequest(const QByteArray &body, JobRequest *request)
{
    PlainReader in {body.constData(), body.constData() + body.size()};
    bool page = false, options = false, fields = false;
    if (!in.take('{'))
        return false;
    if (!in.peek('}')) {
        do {
            QLatin1String key;
            if (!in.bytes(&key) || !in.take(':'))
                return false;
            if (key == QLatin1String("page") && !page) {
                page = true;
                QString name;
                if (!in.text(&name))
                    return false;
                request->page = name;
            } else if (key == QLatin1String("options") && !options) {
                options = true;
                if (!in.take('['))
                    return false;
                if (!in.peek(']')) {
                    do {
                        QString id;
                        if (!in.text(&id))
                            return false;
                        request->options.append(id);
                    } while (in.take(','));
                }
                if (!in.take(']'))
                    return false;
            } else if (key == QLatin1String("fields") && !fields) {
                fields = true;
                if (!in.take('{'))
                    return false;
                if (!in.peek('}')) {
                    do {
                        QString id;
                        double number = 0;
                        if (!in.text(&id) || !in.take(':') || !in.whole(&number))
                            return false;
                        for (const JobRequest::Field &field : qAsConst(request->fields)) {
                            if (field.id == id)
                                return false;
                        }
                        request->fields.append({id, number});
                    } while (in.take(','));
                }
                if (!in.take('}'))
                    return false;
            } else {
                return false;
            }
        } while (in.take(','));
    }
    if (!in.take('}'))
        return false;
    in.skipBlanks();
    if (in.at != in.end)
        return false;
    std::sort(request->fields.begin(), request->fields.end(),
              [](const JobRequest::Field &a, const JobRequest::Field &b) { return a.id < b.id; });
    return true;
}
