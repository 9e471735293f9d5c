#include "platform/sound.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <optional>

namespace
{

// A bundle sound is a few hundred milliseconds; anything past a minute, or a file past this
// size, is not one of ours and would only fill memory.
constexpr qint64 longestSeconds = 60;
constexpr qint64 largestFile = 64 << 20;

// Where the samples lie in an AIFF or WAV file, and how they are stored.
struct PcmLayout {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    bool bigEndian = false;
    bool unsigned8 = false; // WAV stores 8-bit samples unsigned
    qsizetype dataOffset = -1;
    qsizetype dataSize = 0;
};

quint32 read32(const uchar* p, bool bigEndian)
{
    return bigEndian ? quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3]
                     : quint32(p[3]) << 24 | quint32(p[2]) << 16 | quint32(p[1]) << 8 | p[0];
}

quint16 read16(const uchar* p, bool bigEndian)
{
    return bigEndian ? quint16(p[0] << 8 | p[1]) : quint16(p[1] << 8 | p[0]);
}

// AIFF gives its sample rate as an 80-bit extended float.
int extendedRate(const uchar* p)
{
    const int exponent = (read16(p, true) & 0x7fff) - 16383 - 63;
    const double mantissa = double(read32(p + 2, true)) * 4294967296.0 + read32(p + 6, true);
    const double rate = std::ldexp(mantissa, exponent);
    return rate >= 1 && rate <= 1e6 ? int(std::lround(rate)) : 0;
}

// Reads the chunks of an AIFF (FORM...AIFF or AIFC uncompressed) or WAV (RIFF...WAVE, integer
// PCM) file; nothing for any other kind.
std::optional<PcmLayout> pcmLayout(const QByteArray& file)
{
    const auto* bytes = reinterpret_cast<const uchar*>(file.constData());
    if (file.size() < 12)
        return std::nullopt;
    const QByteArray form = file.left(4), kind = file.mid(8, 4);
    const bool aiff = form == "FORM" && (kind == "AIFF" || kind == "AIFC");
    if (!aiff && !(form == "RIFF" && kind == "WAVE"))
        return std::nullopt;
    PcmLayout layout;
    layout.bigEndian = aiff;
    bool format = false;
    for (qsizetype at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const qsizetype size = read32(bytes + at + 4, aiff);
        const qsizetype body = at + 8;
        const qsizetype available = std::min(size, file.size() - body);
        const uchar* p = bytes + body;
        if (aiff && id == "COMM" && available >= 18) {
            layout.channels = read16(p, true);
            layout.bits = read16(p + 6, true);
            layout.rate = extendedRate(p + 8);
            // AIFC: only uncompressed samples, in either byte order.
            if (kind == "AIFC") {
                const QByteArray compression =
                    available >= 22 ? file.mid(body + 18, 4) : QByteArray();
                if (compression == "sowt")
                    layout.bigEndian = false;
                else if (compression != "NONE")
                    return std::nullopt;
            }
            format = true;
        } else if (aiff && id == "SSND" && available >= 8) {
            layout.dataOffset = body + 8 + read32(p, true);
            layout.dataSize = available - 8 - read32(p, true);
        } else if (!aiff && id == "fmt " && available >= 16) {
            quint16 tag = read16(p, false);
            if (tag == 0xfffe && available >= 26) // WAVE_FORMAT_EXTENSIBLE: the sub-format's tag
                tag = read16(p + 24, false);
            if (tag != 1)
                return std::nullopt;
            layout.channels = read16(p + 2, false);
            layout.rate = int(read32(p + 4, false));
            layout.bits = read16(p + 14, false);
            layout.unsigned8 = true;
            format = true;
        } else if (!aiff && id == "data") {
            layout.dataOffset = body;
            layout.dataSize = available;
        }
        at = body + size + (size & 1); // chunks are padded to an even length
    }
    if (!format || layout.dataOffset < 0 || layout.dataSize <= 0 || layout.channels <= 0 ||
        layout.rate <= 0 || layout.bits <= 0 || layout.bits > 32)
        return std::nullopt;
    return layout;
}

} // namespace

Sound::Sound(QString name, QByteArray pcmSamples, int sampleRate, int channelCount)
    : fileName(std::move(name)), samples(std::move(pcmSamples)), rate(sampleRate),
      channels(channelCount)
{
}

std::shared_ptr<Sound> Sound::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > largestFile)
        return nullptr;
    const QByteArray contents = file.readAll();
    const std::optional<PcmLayout> layout = pcmLayout(contents);
    if (!layout)
        return nullptr;
    // Whatever the file holds (8, 24 or 32 bits) is kept as 16-bit samples: the most significant
    // two bytes of each.
    const int sampleBytes = (layout->bits + 7) / 8;
    const qsizetype frames = layout->dataSize / (sampleBytes * layout->channels);
    if (frames <= 0 || frames > longestSeconds * layout->rate)
        return nullptr;
    const qsizetype count = frames * layout->channels;
    QByteArray pcm(count * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<qint16*>(pcm.data());
    const auto* in = reinterpret_cast<const uchar*>(contents.constData()) + layout->dataOffset;
    for (qsizetype i = 0; i < count; ++i, in += sampleBytes) {
        const uchar high = layout->bigEndian ? in[0] : in[sampleBytes - 1];
        const uchar next = sampleBytes == 1 ? 0 : layout->bigEndian ? in[1] : in[sampleBytes - 2];
        const int value = layout->unsigned8 && sampleBytes == 1 ? high - 128 : qint8(high);
        out[i] = qint16(value * 256 + next);
    }
    return std::make_shared<Sound>(QFileInfo(path).fileName(), std::move(pcm), layout->rate,
                                   layout->channels);
}

qint64 Sound::durationMs() const
{
    if (rate <= 0 || channels <= 0)
        return 0;
    return samples.size() / 2 / channels * 1000 / rate;
}
