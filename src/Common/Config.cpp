#include "Common/Config.h"

#include <QLoggingCategory>
#include "Common/Secrets.h"

#include <QDebug>
#include <QFileInfo>
#include <QMap>
#include <QSettings>

Q_LOGGING_CATEGORY(lcConfig, "quillon.Config")

Config::Config(const QString& filename, const QVariantMap& defaults, const ConfigRules& rules, QObject* parent)
    : QObject(parent)
    , m_filename(filename)
    , m_settings(defaults)
    , m_defaults(defaults)
    , m_rules(rules)
{
    if (!QFileInfo::exists(m_filename)) {
        qCWarning(lcConfig).noquote().nospace() << "Creating default config file : " << m_filename;
        save();
    }
    load();
    connect(&m_watch, &QFileSystemWatcher::fileChanged, this, &Config::onFileChanged);
    watch();
}

QVariantMap Config::defaults() const
{
    return m_defaults;
}

QString Config::filename() const
{
    return m_filename;
}

QStringList Config::keys() const
{
    return m_settings.keys();
}

QVariant Config::get(const QString& key) const
{
    if (m_overrides.contains(key))
        return m_overrides.value(key);
    if (m_defaults.contains(key))
        return m_settings.value(key, m_defaults.value(key));
    return m_settings.value(key);
}

void Config::set(const QString& key, const QVariant& value)
{
    if (m_settings.contains(key) && m_settings.value(key) == value)
        return;
    if (!admit(key, value))
        return;
    m_overrides.remove(key);
    m_settings.insert(key, value);
    emit configChanged({ { key, value } });
    save();
}

void Config::addDefaults(const QVariantMap& defaults)
{
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_defaults.insert(it.key(), it.value());
}

void Config::addOverrides(const QVariantMap& overrides)
{
    for (auto it = overrides.cbegin(); it != overrides.cend(); ++it)
        m_overrides.insert(it.key(), it.value());
}

void Config::print() const
{
    const QString dashes(60, QLatin1Char('-'));
    int width = 0;
    for (const QString& key : keys())
        width = qMax(width, key.size());

    qCInfo(lcConfig).noquote().nospace() << dashes;
    qCInfo(lcConfig).noquote().nospace() << " SETTINGS (" << m_filename << ")";
    qCInfo(lcConfig).noquote().nospace() << dashes;
    for (const QString& key : keys())
        qCInfo(lcConfig).noquote().nospace() << QStringLiteral(" %1 : %2").arg(key.leftJustified(width), printable(key));
    qCInfo(lcConfig).noquote().nospace() << dashes;
}

// Credentials never reach a log.
QString Config::printable(const QString& key) const
{
    const QString value = get(key).toString();
    return isSecret(key) && !value.isEmpty() ? Secrets::Mask : value;
}

QVariantMap Config::printable(const QVariantMap& changes) const
{
    QVariantMap result = changes;
    for (auto it = result.begin(); it != result.end(); ++it) {
        if (isSecret(it.key()) && !it.value().toString().isEmpty())
            it.value() = Secrets::Mask;
    }
    return result;
}

bool Config::isSecret(const QString& key) const
{
    return m_rules.secrets.contains(key) || Secrets::isSecretName(key.section(QLatin1Char('/'), -1));
}

bool Config::accepts(const QString& key, const QVariant& value) const
{
    const auto check = m_rules.checks.constFind(key);
    return check == m_rules.checks.cend() || (*check)(value);
}

bool Config::admit(const QString& key, const QVariant& value) const
{
    if (accepts(key, value))
        return true;
    qCWarning(lcConfig).noquote().nospace() << "WARN: Value refused for key : " << key;
    return false;
}

QJsonObject Config::toJson() const
{
    return json(true);
}

QJsonObject Config::toPublicJson() const
{
    return json(false);
}

QJsonObject Config::json(bool withSecrets) const
{
    QMap<QString, QVariantMap> groups;
    for (auto it = m_settings.cbegin(); it != m_settings.cend(); ++it) {
        const QStringList parts = it.key().split(QLatin1Char('/'));
        if (parts.size() < 2 || (!withSecrets && isSecret(it.key())))
            continue;
        groups[parts.at(0)].insert(parts.at(1), it.value());
    }
    QJsonObject result;
    for (auto it = groups.cbegin(); it != groups.cend(); ++it)
        result.insert(it.key(), QJsonObject::fromVariantMap(it.value()));
    return result;
}

QVariantMap Config::keysOf(const QJsonObject& object)
{
    QVariantMap keys;
    for (auto group = object.begin(); group != object.end(); ++group) {
        const QJsonObject names = group.value().toObject();
        for (auto name = names.begin(); name != names.end(); ++name)
            keys.insert(group.key() + QLatin1Char('/') + name.key(), name.value().toVariant());
    }
    return keys;
}

Config& Config::fromJson(const QJsonObject& object)
{
    return fromMap(keysOf(object));
}

Config& Config::fromMap(const QVariantMap& incoming)
{
    QVariantMap changes;
    for (auto it = incoming.cbegin(); it != incoming.cend(); ++it) {
        if (!m_settings.contains(it.key()) || m_settings.value(it.key()) == it.value())
            continue;
        if (!admit(it.key(), it.value()))
            continue;
        m_settings.insert(it.key(), it.value());
        changes.insert(it.key(), it.value());
    }
    if (!changes.isEmpty()) {
        save();
        emit configChanged(changes);
    }
    return *this;
}

void Config::onFileChanged(const QString&)
{
    const QVariantMap changes = readFile();
    if (!changes.isEmpty()) {
        emit configFileChanged();
        emit configChanged(changes);
    }
    // Editors that replace the file end the previous watch.
    watch();
}

void Config::load()
{
    const QVariantMap changes = readFile();
    if (!changes.isEmpty())
        emit configChanged(changes);
}

// Equal values keep the held one, so a typed default survives the file's text.
QVariantMap Config::readFile()
{
    QSettings file(m_filename, QSettings::NativeFormat);
    QVariantMap changes;
    for (const QString& key : file.allKeys()) {
        const QVariant value = file.value(key);
        if (m_settings.contains(key) && m_settings.value(key) == value)
            continue;
        // Keys the owner does not know are kept as they are; its own keys
        // take only what its rules allow.
        if (m_defaults.contains(key) && !admit(key, value))
            continue;
        m_settings.insert(key, value);
        changes.insert(key, value);
    }
    return changes;
}

void Config::save()
{
    m_watch.removePath(m_filename);
    {
        QSettings file(m_filename, QSettings::NativeFormat);
        for (auto it = m_settings.cbegin(); it != m_settings.cend(); ++it)
            file.setValue(it.key(), it.value());
        file.sync();
        if (!file.isWritable() || file.status() == QSettings::AccessError)
            qCWarning(lcConfig).noquote().nospace() << "WARN: Cannot write config file : " << m_filename
                                           << ", changes are kept in memory only";
    }
    watch();
}

void Config::watch()
{
    if (QFileInfo::exists(m_filename) && !m_watch.files().contains(m_filename))
        m_watch.addPath(m_filename);
}
