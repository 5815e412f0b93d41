// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The link's times, in milliseconds. The program always runs with the
// defaults; tests shorten them all at once (fromEnvironment) so that many
// fault schedules fit in a short run.
struct linkTiming
{
    // Wait for the answer to a request before it counts as lost.
    int responseMs = 5000;
    // A packet that stops part-way is given up after this long.
    int stallMs = 3000;
    // Sending pauses this long after a transmit reset.
    int transmitPauseMs = 1500;
    // Before a request is sent again the line must be quiet this long, so a
    // late answer to the earlier send is not taken for the new one's; bytes
    // that keep coming end the guard after guardLimitMs regardless.
    int guardQuietMs = 1000;
    int guardLimitMs = 5000;
    // The latest an answer may come after its request was sent: until then
    // the length of a block read stays its own (see blockReadLedger).
    int lateAnswerMs = 30000;

    // The defaults, or the times a test gives in the environment variable
    // KZ7305EVM_TEST_LINK_TIMING as "response=200,stall=100,pause=50,guard=20,
    // guardlimit=100,late=1000" (any subset; unknown or bad entries are ignored).
    static linkTiming fromEnvironment();
};
