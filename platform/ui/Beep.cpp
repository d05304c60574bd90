#include "Beep.h"

#include <QApplication>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

std::function<void()> g_observer;

struct Tone
{
    double frequency;
    int milliseconds;
};
constexpr Tone kTones[] = {{3000, 100}, {2500, 100}};

// Half of full scale: loud enough, and no clipping on mixing outputs.
constexpr double kAmplitude = 0.5 * 32767;
constexpr int kSinkLifetimeMs = 2000;
// A short ramp at each tone's ends keeps the speaker from clicking.
constexpr double kRampSeconds = 0.002;

void appendTone(QByteArray& out, const Tone& tone, int sampleRate)
{
    const int count = sampleRate * tone.milliseconds / 1000;
    const int ramp = std::max(1, int(sampleRate * kRampSeconds));
    for (int i = 0; i < count; ++i) {
        const double envelope = std::min({1.0, double(i) / ramp, double(count - 1 - i) / ramp});
        const double value = kAmplitude * envelope *
                             std::sin(2 * std::numbers::pi * tone.frequency * i / sampleRate);
        const qint16 sample = qint16(std::lround(value)); // native order, as QAudioSink takes it
        out.append(reinterpret_cast<const char*>(&sample), sizeof sample);
    }
}

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
    auto* sink = new QAudioSink(device, format, qApp);
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

QByteArray alertBeepSamples(int sampleRate)
{
    QByteArray out;
    if (sampleRate <= 0)
        return out;
    for (const Tone& tone : kTones)
        appendTone(out, tone, sampleRate);
    return out;
}

void AlertBeep()
{
    if (g_observer) {
        g_observer();
        return;
    }
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    const QAudioFormat format = device.isNull() ? QAudioFormat() : sinkFormat(device);
    if (!format.isValid() || !play(device, format))
        QApplication::beep();
}

void setAlertBeepObserver(std::function<void()> observer)
{
    g_observer = std::move(observer);
}
