#include "platform/qtplatform.h"

#include "app/sound.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QTimer>

namespace
{
// Stopping a sink at its first Idle state cuts the sound off (the device still holds the last
// period), so the sink lives for the sound's length plus this margin.
constexpr qint64 drainMarginMs = 300;
} // namespace

void QtPlatform::playSound(const Sound& sound)
{
    if (!QCoreApplication::instance() || sound.pcm().isEmpty())
        return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        return;

    QAudioFormat format;
    format.setSampleRate(sound.sampleRate());
    format.setChannelCount(sound.channelCount());
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format))
        return;

    // The sink and its buffer belong to the application until the sound has finished, so
    // several sounds may overlap and the caller never waits.
    auto* sink = new QAudioSink(device, format, QCoreApplication::instance());
    auto* buffer = new QBuffer(sink);
    buffer->setData(sound.pcm());
    buffer->open(QIODevice::ReadOnly);
    sink->start(buffer);
    QTimer::singleShot(sound.durationMs() + drainMarginMs, sink, &QObject::deleteLater);
}
