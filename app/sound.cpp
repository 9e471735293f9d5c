#include "app/sound.h"

// Placeholder body; decoding with libsndfile replaces it.

Sound::Sound(QString name, QByteArray pcmSamples, int sampleRate, int channelCount)
    : fileName(std::move(name)), samples(std::move(pcmSamples)), rate(sampleRate),
      channels(channelCount)
{
}

std::shared_ptr<Sound> Sound::load(const QString&)
{
    return nullptr;
}

qint64 Sound::durationMs() const
{
    if (rate <= 0 || channels <= 0)
        return 0;
    return samples.size() / 2 / channels * 1000 / rate;
}
