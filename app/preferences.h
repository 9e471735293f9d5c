#pragma once

// The key-value store of all settings: one JSON object in memory, read once at start-up from
// $XDG_DATA_HOME/Kelvora/Kelvora.js and written whole once at quit.

#include <QJsonObject>
#include <QString>
#include <QVariant>

namespace PreferencesModule
{

class Preferences
{
public:
    // Loads <data folder>/<appName>/<appName>.js, creating the folder when it is missing.
    explicit Preferences(const QString& appName);
    // The same in a given folder (the data folder is looked up by the other constructor).
    Preferences(const QString& folder, const QString& appName);

    // nil (an invalid QVariant) for a missing key and for a key stored as null. Whole numbers
    // come back as qint64, other numbers as double.
    QVariant Get(const QString& key) const;
    QVariant operator[](const QString& key) const { return Get(key); }
    // Changes memory only; a nil value keeps the key and is written as null.
    void Set(const QString& key, const QVariant& value);
    // Drops the key; it then reads as nil and is not written.
    void Remove(const QString& key);

    // Writes the whole store through a temporary file and a rename, without a line end after
    // the closing brace; an empty store is written as {}.
    // Returns false with a plain-words reason in *error when the file could not be written.
    bool Save(QString* error = nullptr);

    QString filePath() const { return pFile; }
    // Set when an existing file could not be read or parsed; it was moved aside (or, when even
    // that failed, it is protected from being overwritten) and the store started empty.
    QString loadProblem() const { return problem; }

private:
    void load();
    void setAside(const QString& reason);
    // Replaces or (with an undefined value) drops a key whose value was a string.
    void renew(const QString& key, const QJsonValue& value);

    QJsonObject preferences;
    QString pFile;
    QString problem;
    bool mayOverwrite = true;
};

} // namespace PreferencesModule
