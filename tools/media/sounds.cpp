#include "generator.h"

#include <cmath>
#include <numbers>

namespace {

constexpr int kRate = 22050;
constexpr double kTwoPi = 2 * std::numbers::pi;

// A small deterministic noise source, so every build writes the same bytes.
class Noise {
public:
    double next() {  // uniform in [-1, 1)
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(state_ >> 11) / double(1ULL << 52) - 1.0;
    }

private:
    quint64 state_ = 0x5eed1234abcdULL;
};

int samplesFor(int ms) { return kRate * ms / 1000; }

std::vector<qint16> toPcm(const std::vector<double>& s) {
    std::vector<qint16> out(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        out[i] = qint16(std::lround(std::clamp(s[i], -1.0, 1.0) * 32767));
    return out;
}

// Fades the last ms to silence so that the sound ends without a click.
void fadeOut(std::vector<double>& s, int ms) {
    const int n = std::min<int>(samplesFor(ms), int(s.size()));
    for (int i = 0; i < n; ++i) s[s.size() - 1 - i] *= double(i) / n;
}

// A bell-like tone: a few inharmonic partials with their own decay.
double bell(double t, double freq, double decay) {
    static constexpr double ratio[] = {1.0, 2.0, 2.76, 5.4};
    static constexpr double gain[] = {1.0, 0.45, 0.25, 0.08};
    double v = 0;
    for (int p = 0; p < 4; ++p)
        v += gain[p] * std::sin(kTwoPi * freq * ratio[p] * t) * std::exp(-t * decay * (1 + p));
    return v / 1.8;
}

// The type bar hitting the paper: a bright noise burst with a fast decay over
// a short low thump.
std::vector<double> typeClick() {
    Noise noise;
    std::vector<double> s(size_t(samplesFor(40)));
    double prev = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kRate;
        const double n = noise.next();
        const double bright = n - prev;  // first difference: a crude high-pass
        prev = n;
        s[i] = 0.55 * bright * std::exp(-t / 0.004) +
               0.35 * std::sin(kTwoPi * 190 * t) * std::exp(-t / 0.008);
    }
    fadeOut(s, 5);
    return s;
}

// The carriage return: a short ratchet of clicks sliding along, then the
// margin bell.
std::vector<double> carriageReturn() {
    Noise noise;
    std::vector<double> s(size_t(samplesFor(150)));
    for (int click = 0; click < 5; ++click) {
        const size_t start = size_t(samplesFor(click * 11));
        for (size_t i = 0; i < size_t(samplesFor(6)) && start + i < s.size(); ++i) {
            const double t = double(i) / kRate;
            s[start + i] += 0.3 * noise.next() * std::exp(-t / 0.0015);
        }
    }
    const size_t ding = size_t(samplesFor(45));
    for (size_t i = ding; i < s.size(); ++i) {
        const double t = double(i - ding) / kRate;
        s[i] += 0.6 * bell(t, 2093.0, 14.0);  // C7
    }
    fadeOut(s, 15);
    return s;
}

// A soft, low buzz: a few odd harmonics of 110 Hz with a gentle attack and
// release.
std::vector<double> errorBuzz() {
    std::vector<double> s(size_t(samplesFor(120)));
    const size_t attack = size_t(samplesFor(6));
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kRate;
        double v = 0;
        for (int h = 1; h <= 7; h += 2) v += std::sin(kTwoPi * 110 * h * t) / (h * h);
        const double env = i < attack ? double(i) / attack : 1.0;
        s[i] = 0.32 * v * env;
    }
    fadeOut(s, 35);
    return s;
}

// The reminder: three falling bell notes (E6, C6, G5) and a low C5 under
// the last, each ringing into the next and dying away slowly.
std::vector<double> chime() {
    std::vector<double> s(size_t(samplesFor(1800)));
    const struct {
        int startMs;
        double freq, gain, decay;
    } notes[] = {{0, 1318.51, 0.30, 3.2}, {220, 1046.50, 0.30, 3.0}, {440, 783.99, 0.30, 2.6},
                 {440, 523.25, 0.18, 2.4}};
    for (const auto& n : notes) {
        const size_t start = size_t(samplesFor(n.startMs));
        for (size_t i = start; i < s.size(); ++i) {
            const double t = double(i - start) / kRate;
            s[i] += n.gain * bell(t, n.freq, n.decay);
        }
    }
    fadeOut(s, 300);
    return s;
}

}  // namespace

QList<GeneratedFile> makeSounds() {
    return {
        {QStringLiteral("MsgType.wav"), media::wavPcm16(toPcm(typeClick()), kRate)},
        {QStringLiteral("MSGBack.wav"), media::wavPcm16(toPcm(carriageReturn()), kRate)},
        {QStringLiteral("FASTHEY.wav"), media::wavPcm16(toPcm(errorBuzz()), kRate)},
        {QStringLiteral("CHIMES2.WAV"), media::wavPcm16(toPcm(chime()), kRate)},
    };
}
