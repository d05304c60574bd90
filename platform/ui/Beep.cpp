#include "platform/ui/Beep.h"

#include "platform/ProgramDir.h"

#include <QApplication>
#include <QLibrary>

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

// The audio stack (Qt Multimedia and the sound server's libraries) is
// loaded with the first beep, not at start: most runs of Kalvex only publish
// the next due time or process a datagram and end again.
using PlayFunction = bool (*)();
PlayFunction audioOutput()
{
    static const PlayFunction play = [] {
        QLibrary module(ProgramDir::file(QStringLiteral("KalvexAudio")));
        return reinterpret_cast<PlayFunction>(module.resolve("kvPlayAlertBeep"));
    }();
    return play;
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
    const PlayFunction play = audioOutput();
    if (!play || !play())
        QApplication::beep();
}

void setAlertBeepObserver(std::function<void()> observer)
{
    g_observer = std::move(observer);
}
