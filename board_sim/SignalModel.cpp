// SPDX-License-Identifier: GPL-3.0-or-later
#include "SignalModel.h"

#include <QStringList>

#include <cmath>
#include <numbers>

bool ChannelSignal::apply(const QString &spec, QString *error)
{
    for (const QString &item : spec.split(u',', Qt::SkipEmptyParts)) {
        const QString key = item.section(u'=', 0, 0).trimmed();
        const QString text = item.section(u'=', 1).trimmed();
        if (key == u"amp" && text == u"off") {
            amplitudeDbfs = std::nan("");
            continue;
        }
        bool ok = false;
        const double value = text.toDouble(&ok);
        double *target = key == u"freq" ? &frequency
            : key == u"amp"             ? &amplitudeDbfs
            : key == u"h2"              ? &harmonic2Dbc
            : key == u"h3"              ? &harmonic3Dbc
            : key == u"dc"              ? &offsetVolts
            : key == u"noise"           ? &noiseMicrovolts
                                        : nullptr;
        if (!target || !ok) {
            *error = QStringLiteral("bad channel setting \"%1\"").arg(item);
            return false;
        }
        *target = value;
    }
    return true;
}

SignalModel::SignalModel(quint64 seed, double vref)
    : m_random(seed)
    , m_vref(vref)
{
}

QList<qint32> SignalModel::acquire(const ChannelSignal &signal, int samples, double sampleRate, int averagingPower)
{
    const double fullScale = 8388608.0; // 2^23 codes for vref
    const double tone = std::isnan(signal.amplitudeDbfs) ? 0.0 : m_vref * std::pow(10.0, signal.amplitudeDbfs / 20.0);
    const double h2 = tone * std::pow(10.0, signal.harmonic2Dbc / 20.0);
    const double h3 = tone * std::pow(10.0, signal.harmonic3Dbc / 20.0);
    const double noise = signal.noiseMicrovolts * 1e-6 / std::sqrt(std::ldexp(1.0, averagingPower));
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::uniform_real_distribution<double> phase(0.0, 2 * std::numbers::pi);
    const double phi = phase(m_random);

    QList<qint32> codes;
    codes.reserve(samples);
    for (int k = 0; k < samples; ++k) {
        const double w = 2 * std::numbers::pi * signal.frequency * k / sampleRate + phi;
        const double volts = signal.offsetVolts + tone * std::sin(w) + h2 * std::sin(2 * w) + h3 * std::sin(3 * w)
            + noise * gauss(m_random);
        const double code = std::round(volts / m_vref * fullScale);
        codes.append(qint32(std::clamp(code, -fullScale, fullScale - 1)));
    }
    return codes;
}
