#pragma once

// A sound of the bundle, decoded once into memory so that playing it starts at once.

#include <QByteArray>
#include <QString>

#include <memory>

class Sound
{
public:
    // Decodes an audio file (AIFF, WAV...); nothing when it cannot be read.
    static std::shared_ptr<Sound> load(const QString& path);

    QString name() const { return fileName; } // "snap1.aif"
    const QByteArray& pcm() const { return samples; }
    int sampleRate() const { return rate; }
    int channelCount() const { return channels; }
    qint64 durationMs() const;

    Sound(QString fileName, QByteArray samples, int rate, int channels);

private:
    QString fileName;
    QByteArray samples; // interleaved signed 16-bit
    int rate = 0;
    int channels = 0;
};
