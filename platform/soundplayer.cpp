// Kelvora's sound player: plays the interleaved signed 16-bit samples it reads from standard
// input, then ends. Sounds play in a process of their own, so that Kelvora itself never maps Qt
// Multimedia and the sound server's libraries.
// Usage: kelvorasound SAMPLE_RATE CHANNELS < SAMPLES

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QMediaDevices>
#include <QTimer>

namespace
{
// Stopping a sink at its first Idle state cuts the sound off (the device still holds the last
// period), so the sink lives for the sound's length plus this margin.
constexpr qint64 drainMarginMs = 300;
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int rate = arguments.value(1).toInt();
    const int channels = arguments.value(2).toInt();
    QFile input;
    if (rate <= 0 || channels <= 0 || !input.open(stdin, QIODevice::ReadOnly))
        return 2;
    QBuffer samples;
    samples.setData(input.readAll());
    const qint64 frames = samples.size() / 2 / channels;
    if (frames == 0)
        return 0;

    // Without an audio device the sound is skipped.
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(rate);
    format.setChannelCount(channels);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isNull() || !device.isFormatSupported(format))
        return 0;
    QAudioSink sink(device, format);
    samples.open(QIODevice::ReadOnly);
    sink.start(&samples);
    QTimer::singleShot(frames * 1000 / rate + drainMarginMs, &app, &QCoreApplication::quit);
    return app.exec();
}
