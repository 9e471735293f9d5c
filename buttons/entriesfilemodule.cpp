#include "buttons/entriesfilemodule.h"

#include "app/texts.h"

#include <QStringDecoder>

#include <optional>

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

QList<QByteArray> splitLines(const QByteArray& text, bool (*stop)())
{
    QList<QByteArray> lines;
    if (text.isEmpty())
        return lines;
    lines.reserve(text.count('\n') + 1);
    qsizetype from = 0;
    for (qsizetype end = text.indexOf('\n'); end >= 0; end = text.indexOf('\n', from)) {
        lines.append(text.sliced(from, end - from));
        from = end + 1;
        if (stop && lines.size() % 65536 == 0 && stop())
            return lines;
    }
    lines.append(text.sliced(from));
    return lines;
}

QByteArray joinLines(const QList<QByteArray>& lines)
{
    return lines.join('\n');
}

qsizetype followLine(const QList<QByteArray>& before, qsizetype index,
                     const QList<QByteArray>& after)
{
    if (index < 0 || index >= before.size())
        return -1;
    const qsizetype shorter = qMin(before.size(), after.size());
    qsizetype head = 0;
    while (head < shorter && before.at(head) == after.at(head))
        ++head;
    if (index < head)
        return index;
    qsizetype tail = 0;
    while (tail < shorter - head &&
           before.at(before.size() - 1 - tail) == after.at(after.size() - 1 - tail))
        ++tail;
    if (index >= before.size() - tail)
        return index + after.size() - before.size();
    const QByteArray& line = before.at(index);
    for (qsizetype distance = 0; index - distance >= 0 || index + distance < after.size();
         ++distance) {
        if (index - distance >= 0 && index - distance < after.size() &&
            after.at(index - distance) == line)
            return index - distance;
        if (index + distance < after.size() && after.at(index + distance) == line)
            return index + distance;
    }
    return -1;
}

namespace
{

// The encoding a UTF-16 or UTF-32 byte-order mark names; none for any other start, a UTF-8
// mark included (its bytes are written back as they are).
std::optional<QStringConverter::Encoding> wideEncoding(const QByteArray& bytes)
{
    const auto encoding = QStringConverter::encodingForData(bytes);
    if (!encoding || *encoding == QStringConverter::Utf8)
        return std::nullopt;
    return encoding;
}

} // namespace

QString writeBackProblem(const QByteArray& bytes)
{
    if (const auto encoding = wideEncoding(bytes)) {
        const bool utf32 =
            *encoding == QStringConverter::Utf32LE || *encoding == QStringConverter::Utf32BE;
        return utf32 ? Texts::savedAsUtf32 : Texts::savedAsUtf16;
    }
    if (bytes.contains('\0'))
        return Texts::holdsNulBytes;
    return {};
}

QByteArray readableBytes(const QByteArray& bytes)
{
    if (const auto encoding = wideEncoding(bytes)) {
        const QString text = QStringDecoder(*encoding).decode(bytes);
        return text.toUtf8();
    }
    QByteArray readable = bytes;
    readable.removeIf([](char c) { return c == '\0'; });
    return readable;
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

QString toStoredText(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    text.clear();
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += QChar(byte < 0x80 ? char16_t(byte) : char16_t(0xDC00 + byte));
    }
    return text;
}

QByteArray fromStoredText(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        // A low surrogate after a high one is half of a character beyond U+FFFF, not a byte.
        if (unit < 0xDC80 || unit > 0xDCFF || (i > 0 && text.at(i - 1).isHighSurrogate()))
            continue;
        bytes += QStringView(text).sliced(runStart, i - runStart).toUtf8();
        bytes += static_cast<char>(unit - 0xDC00);
        runStart = i + 1;
    }
    bytes += QStringView(text).sliced(runStart).toUtf8();
    return bytes;
}

} // namespace EntriesFileModule
