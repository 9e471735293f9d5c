#include "buttons/entriesfilemodule.h"

#include <QStringDecoder>

namespace EntriesFileModule
{

QByteArray normalizeLineEnds(QByteArray text)
{
    if (!text.contains('\r'))
        return text;
    text.replace("\r\n", "\n");
    text.replace('\r', '\n');
    return text;
}

QList<QByteArray> splitLines(const QByteArray& text)
{
    if (text.isEmpty())
        return {};
    return text.split('\n');
}

QByteArray joinLines(const QList<QByteArray>& lines)
{
    return lines.join('\n');
}

QString decode(const QByteArray& bytes)
{
    bool ascii = true;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

} // namespace EntriesFileModule
