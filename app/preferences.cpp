#include "app/preferences.h"

#include "app/folderitemmodule.h"
#include "app/texts.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonValue>
#include <QStandardPaths>

#include <cmath>

namespace PreferencesModule
{

Preferences::Preferences(const QString& appName)
    : Preferences(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                      QLatin1Char('/') + appName,
                  appName)
{
}

Preferences::Preferences(const QString& folder, const QString& appName)
{
    QDir().mkpath(folder);
    pFile = QDir(folder).filePath(appName + QStringLiteral(".js"));
    load();
}

void Preferences::load()
{
    QFileInfo info(pFile);
    if (!info.exists() && !info.isSymLink())
        return;

    QByteArray text;
    QString reason;
    if (!FolderItemModule::readFile(pFile, &text, &reason)) {
        setAside(reason);
        return;
    }
    text = text.trimmed();
    if (text.isEmpty())
        return;

    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        setAside(parseError.errorString());
        return;
    }
    if (!document.isObject()) {
        setAside(QStringLiteral("it does not hold one JSON object"));
        return;
    }
    preferences = document.object();
}

void Preferences::setAside(const QString& reason)
{
    QString aside = pFile + QStringLiteral(".unreadable");
    if (QFileInfo::exists(aside))
        aside += QLatin1Char('-') +
                 QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    if (QFile::rename(pFile, aside)) {
        problem = QStringLiteral("The preferences file %1 could not be read (%2). It was kept as "
                                 "%3 and Kelvora starts with default settings.")
                      .arg(pFile, reason, aside);
    } else {
        mayOverwrite = false;
        problem = QStringLiteral("The preferences file %1 could not be read (%2) and could not be "
                                 "moved aside. Kelvora starts with default settings and will not "
                                 "overwrite it.")
                      .arg(pFile, reason);
    }
}

namespace
{

// The JSON type of each key the program stores (Undefined: a key of its callers' choosing). A
// file edited by hand may hold any type; a value of the wrong one counts as absent, so that a
// number never becomes a file name or a string a window position.
QJsonValue::Type typeOfKey(const QString& key)
{
    if (key == Keys::initDate || key.endsWith(Keys::MenuItemTag) ||
        (key.startsWith(Keys::windowKeyPrefix) &&
         (key.endsWith(Keys::LeftSuffix) || key.endsWith(Keys::TopSuffix))))
        return QJsonValue::Double;
    if (key == Keys::isStartupItem)
        return QJsonValue::Bool;
    if (key == Keys::CurrentBevelButton || key == Keys::windowSize || key.endsWith(Keys::File) ||
        key.endsWith(Keys::Folder) || key.endsWith(Keys::MenuAsMd5) ||
        key.endsWith(Keys::MenuString))
        return QJsonValue::String;
    return QJsonValue::Undefined;
}

} // namespace

QVariant Preferences::Get(const QString& key) const
{
    const QJsonValue value = preferences.value(key);
    const QJsonValue::Type wanted = typeOfKey(key);
    if (wanted != QJsonValue::Undefined && value.type() != wanted)
        return {};
    switch (value.type()) {
    case QJsonValue::Bool:
        return value.toBool();
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (std::floor(number) == number && std::fabs(number) < 9.0e15)
            return value.toInteger();
        // The program's numbers are all whole.
        if (wanted == QJsonValue::Double)
            return {};
        return number;
    }
    default:
        return {};
    }
}

void Preferences::Set(const QString& key, const QVariant& value)
{
    const QJsonValue json = !value.isValid() || value.isNull() ? QJsonValue(QJsonValue::Null)
                                                               : QJsonValue::fromVariant(value);
    const QJsonValue earlier = preferences.value(key);
    if (earlier == json)
        return;
    if (!earlier.isString()) {
        preferences.insert(key, json);
        return;
    }
    renew(key, json);
}

void Preferences::Remove(const QString& key)
{
    const auto found = preferences.constFind(key);
    if (found == preferences.constEnd())
        return;
    if (!found->isString()) {
        preferences.remove(key);
        return;
    }
    renew(key, QJsonValue(QJsonValue::Undefined));
}

void Preferences::renew(const QString& key, const QJsonValue& value)
{
    // A JSON object keeps the text of every string it replaced or dropped for as long as it
    // lives, and a press stores the entries file's text whenever it changed: the object is made
    // anew, which holds only the texts in use.
    QJsonObject renewed;
    for (auto it = preferences.constBegin(); it != preferences.constEnd(); ++it) {
        if (it.key() != key)
            renewed.insert(it.key(), it.value());
        else if (!value.isUndefined())
            renewed.insert(key, value);
    }
    preferences = renewed;
}

bool Preferences::Save(QString* error)
{
    auto fail = [&](const QString& reason) {
        if (error)
            *error =
                QStringLiteral("The preferences could not be saved to %1: %2.").arg(pFile, reason);
        return false;
    };
    if (!mayOverwrite)
        return fail(QStringLiteral("the unreadable file there was left untouched"));

    QByteArray text = preferences.isEmpty()
                          ? QByteArray("{}")
                          : QJsonDocument(preferences).toJson(QJsonDocument::Indented);
    while (text.endsWith('\n'))
        text.chop(1);

    QDir().mkpath(QFileInfo(pFile).absolutePath());
    QString reason;
    // Never in place: the save runs at quit, where a logout may kill the program at any moment,
    // and only the rename then leaves the old file or the new one whole.
    if (!FolderItemModule::replaceFile(pFile, text, &reason, FolderItemModule::Fallback::None))
        return fail(reason);
    return true;
}

} // namespace PreferencesModule
