// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <random>

// What one input channel sees: a tone with its 2nd and 3rd harmonics, a DC
// offset and white noise.
struct ChannelSignal
{
    double frequency = 1000.0;   // Hz
    double amplitudeDbfs = -1.0; // tone level relative to full scale; NaN = no tone
    double harmonic2Dbc = -100.0;
    double harmonic3Dbc = -100.0;
    double offsetVolts = 0.0;
    double noiseMicrovolts = 2.0; // RMS

    // Applies "freq=1000,amp=-1,h2=-100,h3=-110,dc=0,noise=5" (amp=off for no
    // tone); false with an error text for an unknown key or a bad number.
    bool apply(const QString &spec, QString *error);
};

// Converts a channel's signal into 24-bit two's-complement codes: full scale is
// +/- the reference voltage; averaging 2^n conversions per sample divides the
// noise by the square root of 2^n.
class SignalModel
{
public:
    SignalModel(quint64 seed, double vref);

    QList<qint32> acquire(const ChannelSignal &signal, int samples, double sampleRate, int averagingPower);

private:
    std::mt19937_64 m_random;
    double m_vref;
};
