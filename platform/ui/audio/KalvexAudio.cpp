// The audio output of the alert beep, a module of its own that Kalvex loads
// with the first beep (QLibrary), so that Qt Multimedia and the sound
// server's libraries are not loaded at every start.
#include "platform/ui/Beep.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QTimer>

namespace {

constexpr int kSinkLifetimeMs = 2000;

// The same samples on every channel of an interleaved frame.
QByteArray spreadToChannels(const QByteArray& mono, int channels)
{
    if (channels <= 1)
        return mono;
    QByteArray out;
    out.reserve(mono.size() * channels);
    for (qsizetype i = 0; i + 1 < mono.size(); i += 2)
        for (int c = 0; c < channels; ++c)
            out.append(mono.constData() + i, 2);
    return out;
}

// 16-bit PCM at the device's own rate and channel count, or an invalid
// format when the device does not take 16-bit samples.
QAudioFormat sinkFormat(const QAudioDevice& device)
{
    QAudioFormat format = device.preferredFormat();
    format.setSampleFormat(QAudioFormat::Int16);
    if (format.sampleRate() <= 0)
        format.setSampleRate(48000);
    if (format.channelCount() <= 0)
        format.setChannelCount(1);
    return device.isFormatSupported(format) ? format : QAudioFormat();
}

// Sink and buffer go once the samples have run out or the device gave up.
void finish(QAudioSink* sink)
{
    sink->disconnect();
    sink->stop();
    sink->deleteLater();
}

// Plays through the sink in pull mode, so the caller never waits.
bool play(const QAudioDevice& device, const QAudioFormat& format)
{
    auto* sink = new QAudioSink(device, format, QCoreApplication::instance());
    auto* buffer = new QBuffer(sink);
    buffer->setData(spreadToChannels(alertBeepSamples(format.sampleRate()), format.channelCount()));
    buffer->open(QIODevice::ReadOnly);
    QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
        if (state == QAudio::IdleState || state == QAudio::StoppedState)
            finish(sink);
    });
    // A device that never reports the end of the samples must not keep them.
    QTimer::singleShot(kSinkLifetimeMs, sink, [sink] { finish(sink); });
    sink->start(buffer);
    if (sink->error() != QAudio::NoError) {
        finish(sink);
        return false;
    }
    return true;
}

} // namespace

// Starts the two tones on the default output and returns at once; false when
// there is no output that takes them.
extern "C" Q_DECL_EXPORT bool kvPlayAlertBeep()
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    const QAudioFormat format = device.isNull() ? QAudioFormat() : sinkFormat(device);
    return format.isValid() && play(device, format);
}
