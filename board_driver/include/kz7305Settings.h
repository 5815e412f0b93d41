// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The KZ7305 driver's own settings beyond the driver contract: what the setup
// dialog edits, and what a caller without the dialog (the command-line tool)
// sets instead. Reach it from a contract reference with dynamic_cast. The
// settings live in the driver object for one run and are never stored.
class kz7305Settings
{
public:
    static constexpr int MaxAverages = 15;

    virtual ~kz7305Settings() = default;

    // Reference voltage in volts; the input range is -p_vref to +p_vref.
    virtual double p_vref() const = 0;
    virtual void setP_vref(double value) = 0;
    // Averaging of 2^averages conversions per sample, 0 to 15. Other values
    // would overflow the board's averaging register and are refused with
    // NuvarDriverError.
    virtual std::int16_t averages() const = 0;
    virtual void setAverages(std::int16_t value) = 0;
    // Input channel code sent to the board: 1 (CH1), 2 (CH2), 4 (CH3), 8 (CH4).
    virtual std::int16_t channel() const = 0;
    virtual void setChannel(std::int16_t value) = 0;
    // Whether Setup shows the serial monitor window.
    virtual bool showSerialMonitor() const = 0;
    virtual void setShowSerialMonitor(bool value) = 0;
    // Serial port number 1 to 16 ("COM1" to "COM16") of the board; setting it
    // opens the port (a number without a free device leaves it closed).
    virtual std::uint16_t portNumber() const = 0;
    virtual void setPortNumber(std::uint16_t value) = 0;
    virtual bool isPortOpen() const = 0;
};
