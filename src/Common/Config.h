#pragma once

#include "Common/ConfigRules.h"

#include <QFileSystemWatcher>
#include <QJsonObject>
#include <QMultiMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

// Settings as "group/name" keys in three layers: defaults from the owner, the
// INI settings file, and overrides that shadow both and are never saved.
// Every change made through the store is written to the file at once; edits
// made to the file by others are picked up through a watcher. Values the
// owner's rules refuse are never stored, and secrets never leave it.
class Config : public QObject
{
    Q_OBJECT
public:
    Config(const QString& filename, const QVariantMap& defaults, const ConfigRules& rules = ConfigRules(),
           QObject* parent = nullptr);

    QVariantMap defaults() const;
    QString filename() const;
    QStringList keys() const;
    QVariant get(const QString& key) const;
    void set(const QString& key, const QVariant& value);
    void addDefaults(const QVariantMap& defaults);
    void addOverrides(const QVariantMap& overrides);
    void print() const;
    QJsonObject toJson() const;
    // The settings without the secret keys, for everyone else to read.
    QJsonObject toPublicJson() const;
    Config& fromJson(const QJsonObject& object);
    // The same for "group/name" keys.
    Config& fromMap(const QVariantMap& incoming);
    // The "group/name" keys of a change set with their values.
    static QVariantMap keysOf(const QJsonObject& object);
    // Whether the owner's rules take `value` for `key`.
    bool accepts(const QString& key, const QVariant& value) const;
    bool isSecret(const QString& key) const;
    // The changes as they may be logged: secret values masked.
    QVariantMap printable(const QVariantMap& changes) const;

signals:
    void configChanged(QVariantMap changes);
    void configFileChanged();

private slots:
    void onFileChanged(const QString& path);

private:
    void load();
    void save();
    void watch();
    QVariantMap readFile();
    QString printable(const QString& key) const;
    // Accepts, or warns naming the key (never the value).
    bool admit(const QString& key, const QVariant& value) const;
    QJsonObject json(bool withSecrets) const;

    QString m_filename;
    QVariantMap m_settings;
    QVariantMap m_defaults;
    const ConfigRules m_rules;
    QMultiMap<QString, QVariant> m_overrides;
    QFileSystemWatcher m_watch;
};
