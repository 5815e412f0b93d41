// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The three enumerations of the driver contract. Their values travel between
// the program and drivers built separately, so they are fixed here and never
// renumbered.

enum TriggerTypeEnum : std::int32_t {
    TRIGGER_NONE = 0,
    TRIGGER_DIGITAL_POS_EDGE = 1,
    TRIGGER_DIGITAL_NEG_EDGE = 2,
    TRIGGER_ANALOG_POS_EDGE = 3,
    TRIGGER_ANALOG_NEG_EDGE = 4,
};

enum StatusEnum : std::int32_t {
    STATUS_IDLE = 0,
    STATUS_WAITING_FOR_TRIGGER = 1,
    STATUS_TRIGGERED = 2,
    STATUS_DATA_AVAILABLE = 3,
    STATUS_ERROR = 4,
};

enum EventEnum : std::int32_t {
    EVENT_ACQ_START = 0,
    EVENT_ACQ_CONT = 1,
    EVENT_ACQ_FINISH = 2,
    EVENT_ACQ_ERROR = 3,
    EVENT_RX_START = 4,
    EVENT_RX_CONT = 5,
    EVENT_RX_FINISH = 6,
    EVENT_RX_ERROR = 7,
    // Raised by the serial link while a blocking register exchange runs.
    EVENT_COMM_IDLE = 8,
    EVENT_COMM_START = 9,
    EVENT_COMM_FINISH = 10,
    EVENT_COMM_ERROR = 11,
};
