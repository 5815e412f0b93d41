// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <optional>

class NuvarDriverClass;
class NuvarDriverSettings;

// The board settings a program without the setup dialog gives the driver by
// name (its input, averaging and reference), with their ranges and defaults:
// the command-line tool's options and the remote control's commands.
struct BoardSetup {
    static constexpr int MinChannel = 1;
    static constexpr int MaxChannel = 4;
    static constexpr int MaxAveraging = 15;
    static constexpr double MinVref = 0.5;
    static constexpr double MaxVref = 5.0;

    int channel = 1;   // input 1 .. 4
    int averaging = 0; // 2^averaging conversions per sample
    double vref = 4.096;

    // The board's code of the input: 1, 2, 4 or 8.
    int channelCode() const { return 1 << (channel - 1); }
    // Gives the settings to the driver; what it refused, "Averaging 16", when
    // it refuses one.
    std::optional<QString> applyTo(NuvarDriverSettings &settings) const;

    // The settings in force, as the driver tells them (channel 0 for a code
    // of no input).
    static BoardSetup inForce(const NuvarDriverSettings &settings);

    // Sends rate to the board (a wait that runs the event loop); why the
    // board did not take it, when it did not. Throws what the driver throws.
    static std::optional<QString> setSampleRate(NuvarDriverClass &driver, double rate);

    bool operator==(const BoardSetup &) const = default;
};
