#include "Common/Secrets.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>

const QString Secrets::Mask = QStringLiteral("********");

namespace {

QJsonValue redactedValue(const QJsonValue& value, bool* changed);

QJsonObject redactedObject(QJsonObject object, bool* changed)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (Secrets::isSecretName(it.key()) && !it.value().toString().isEmpty()) {
            it.value() = Secrets::Mask;
            *changed = true;
            continue;
        }
        it.value() = redactedValue(it.value(), changed);
    }
    return object;
}

QJsonValue redactedValue(const QJsonValue& value, bool* changed)
{
    if (value.isObject())
        return redactedObject(value.toObject(), changed);
    if (value.isArray()) {
        QJsonArray array = value.toArray();
        for (auto it = array.begin(); it != array.end(); ++it)
            *it = redactedValue(*it, changed);
        return array;
    }
    if (!value.isString())
        return value;
    const QString text = Secrets::withoutUrlPasswords(value.toString());
    *changed = *changed || text != value.toString();
    return text;
}

} // namespace

bool Secrets::isSecretName(const QString& name)
{
    return name.contains(QLatin1String("password"), Qt::CaseInsensitive) || name.endsWith(QLatin1String("Pin"))
           || name.compare(QLatin1String("pin"), Qt::CaseInsensitive) == 0;
}

QString Secrets::withoutUrlPasswords(const QString& text)
{
    static const QRegularExpression userinfo(QStringLiteral("([A-Za-z][A-Za-z0-9+.-]*://[^/?#@:\\s]*):[^/?#@\\s]*@"));
    QString result = text;
    return result.replace(userinfo, QStringLiteral("\\1@"));
}

QByteArray Secrets::redacted(const QByteArray& payload)
{
    // Most payloads name no secret at all: no need to parse them.
    static const QByteArrayList hints{"assword", "ASSWORD", "Pin", "pin", "PIN", "://"};
    if (std::none_of(hints.cbegin(), hints.cend(), [&payload](const QByteArray& hint) { return payload.contains(hint); }))
        return payload;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError) {
        const QString text = QString::fromUtf8(payload);
        const QString clean = withoutUrlPasswords(text);
        return clean == text ? payload : clean.toUtf8();
    }
    bool changed = false;
    const QJsonValue value = redactedValue(document.isObject() ? QJsonValue(document.object())
                                                               : QJsonValue(document.array()),
                                           &changed);
    if (!changed)
        return payload;
    return value.isObject() ? QJsonDocument(value.toObject()).toJson() : QJsonDocument(value.toArray()).toJson();
}
