#include "app/sound.h"

#include <QFile>
#include <QFileInfo>

#include <sndfile.h>

Sound::Sound(QString name, QByteArray pcmSamples, int sampleRate, int channelCount)
    : fileName(std::move(name)), samples(std::move(pcmSamples)), rate(sampleRate),
      channels(channelCount)
{
}

std::shared_ptr<Sound> Sound::load(const QString& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!file)
        return nullptr;
    // A bundle sound is a few hundred milliseconds; anything past a minute is not one of ours
    // and would only fill memory.
    constexpr sf_count_t longest = 60;
    std::shared_ptr<Sound> sound;
    if (info.channels > 0 && info.samplerate > 0 && info.frames > 0 &&
        info.frames <= longest * info.samplerate) {
        // libsndfile converts whatever the file holds (8-, 24-bit, float) to 16-bit on reading.
        QByteArray pcm(static_cast<qsizetype>(info.frames) * info.channels * 2, Qt::Uninitialized);
        const sf_count_t read =
            sf_readf_short(file, reinterpret_cast<short*>(pcm.data()), info.frames);
        if (read > 0) {
            pcm.truncate(static_cast<qsizetype>(read) * info.channels * 2);
            sound = std::make_shared<Sound>(QFileInfo(path).fileName(), std::move(pcm),
                                            info.samplerate, info.channels);
        }
    }
    sf_close(file);
    return sound;
}

qint64 Sound::durationMs() const
{
    if (rate <= 0 || channels <= 0)
        return 0;
    return samples.size() / 2 / channels * 1000 / rate;
}
