// SPDX-License-Identifier: GPL-3.0-or-later
#include "SineFit.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>

namespace {

constexpr int Unknowns = 4; // cosine, sine, offset, angular frequency

using Vector = std::array<double, Unknowns>;
using Matrix = std::array<Vector, Unknowns>;

struct Parameters {
    double cosine = 0;
    double sine = 0;
    double offset = 0;
    double omega = 0; // radians per sample
};

// One pass over the block: the residual's sum of squares at p and the normal
// equations of the step from p (the frequency column only when fitFrequency).
struct Pass {
    double squares = 0;
    Matrix normal{};
    Vector right{};
};

Pass passOver(std::span<const std::int32_t> samples, const Parameters &p, bool fitFrequency)
{
    Pass pass;
    const double centre = (static_cast<double>(samples.size()) - 1) / 2;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double t = static_cast<double>(i) - centre;
        const double c = std::cos(p.omega * t);
        const double s = std::sin(p.omega * t);
        const double residual = samples[i] - (p.cosine * c + p.sine * s + p.offset);
        pass.squares += residual * residual;
        const Vector column{c, s, 1.0, fitFrequency ? t * (p.sine * c - p.cosine * s) : 0.0};
        for (int r = 0; r < Unknowns; ++r) {
            pass.right[r] += column[r] * residual;
            for (int k = r; k < Unknowns; ++k)
                pass.normal[r][k] += column[r] * column[k];
        }
    }
    return pass;
}

// Solves the symmetric system (upper triangle given) after scaling every
// column to unit norm; the unknowns without a column (a zero diagonal) stay 0.
Vector solve(Matrix a, Vector b)
{
    Vector scale{};
    for (int r = 0; r < Unknowns; ++r) {
        for (int k = 0; k < r; ++k)
            a[r][k] = a[k][r];
        scale[r] = a[r][r] > 0 ? 1 / std::sqrt(a[r][r]) : 0.0;
    }
    for (int r = 0; r < Unknowns; ++r) {
        b[r] *= scale[r];
        for (int k = 0; k < Unknowns; ++k)
            a[r][k] *= scale[r] * scale[k];
        if (scale[r] == 0)
            a[r][r] = 1;
    }
    // Gaussian elimination with partial pivoting.
    for (int col = 0; col < Unknowns; ++col) {
        int pivot = col;
        for (int r = col + 1; r < Unknowns; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col]))
                pivot = r;
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        if (a[col][col] == 0)
            return Vector{};
        for (int r = col + 1; r < Unknowns; ++r) {
            const double f = a[r][col] / a[col][col];
            for (int k = col; k < Unknowns; ++k)
                a[r][k] -= f * a[col][k];
            b[r] -= f * b[col];
        }
    }
    Vector x{};
    for (int r = Unknowns - 1; r >= 0; --r) {
        double sum = b[r];
        for (int k = r + 1; k < Unknowns; ++k)
            sum -= a[r][k] * x[k];
        x[r] = sum / a[r][r];
    }
    for (int r = 0; r < Unknowns; ++r)
        x[r] *= scale[r];
    return x;
}

Parameters stepped(const Parameters &p, const Vector &step, double fraction)
{
    return {p.cosine + fraction * step[0], p.sine + fraction * step[1], p.offset + fraction * step[2],
            p.omega + fraction * step[3]};
}

} // namespace

double SineFit::sineAt(double i) const
{
    return amplitude * std::cos(2 * std::numbers::pi * cyclesPerSample * i + phase);
}

std::optional<SineFit> SineFit::fit(std::span<const std::int32_t> samples, double startCyclesPerSample)
{
    if (samples.size() < 5 || !(startCyclesPerSample > 0) || startCyclesPerSample >= 0.5)
        return std::nullopt;
    // The three-parameter fit at the start frequency gives the first sine.
    Parameters p{0, 0, 0, 2 * std::numbers::pi * startCyclesPerSample};
    const Pass start = passOver(samples, p, false);
    p = stepped(p, solve(start.normal, start.right), 1.0);

    // Gauss-Newton; a step that leaves more residual is halved and tried again.
    Parameters accepted = p;
    double acceptedSquares = 0;
    Vector step{};
    double fraction = 1;
    for (int iteration = 0; iteration < MaxIterations; ++iteration) {
        const Pass pass = passOver(samples, p, true);
        if (iteration > 0 && pass.squares > acceptedSquares) {
            fraction /= 2;
            p = stepped(accepted, step, fraction);
            continue;
        }
        accepted = p;
        acceptedSquares = pass.squares;
        step = solve(pass.normal, pass.right);
        fraction = 1;
        if (std::fabs(step[3]) < FrequencyTolerance * std::fabs(p.omega)) {
            SineFit result;
            const Parameters last = stepped(p, step, 1.0);
            result.cyclesPerSample = last.omega / (2 * std::numbers::pi);
            result.amplitude = std::hypot(last.cosine, last.sine);
            // a cos(w t) + b sin(w t) = A cos(w t - atan2(b, a)), with t = i - centre.
            const double centre = (static_cast<double>(samples.size()) - 1) / 2;
            result.phase = std::remainder(-last.omega * centre - std::atan2(last.sine, last.cosine),
                                          2 * std::numbers::pi);
            result.offset = last.offset;
            result.residualPower = passOver(samples, last, false).squares / static_cast<double>(samples.size());
            if (!(result.cyclesPerSample > 0 && result.cyclesPerSample < 0.5))
                return std::nullopt;
            return result;
        }
        p = stepped(p, step, 1.0);
    }
    return std::nullopt;
}
