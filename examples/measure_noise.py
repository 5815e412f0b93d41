#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Noise of each input of the KZ7305 board, measured through the remote control.

Start the server first (or turn on Tools > Remote Control in the program):

    kz7305evm-cli serve --port /dev/ttyUSB0

then run this script: it acquires three blocks on each channel and prints a
table of their noise figures. Needs python3-pyvisa, python3-pyvisa-py and
python3-numpy.
"""

import argparse

import numpy
import pyvisa

parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
parser.add_argument("--resource", default="TCPIP::127.0.0.1::5025::SOCKET", help="the server's VISA resource")
parser.add_argument("--samples", type=int, default=4096)
parser.add_argument("--blocks", type=int, default=3, help="blocks per channel")
arguments = parser.parse_args()

manager = pyvisa.ResourceManager("@py")
board = manager.open_resource(arguments.resource, read_termination="\n", write_termination="\n",
                              timeout=60000)  # a block of 4096 takes about 13 s at 9 600 baud
print(board.query("*IDN?"))
board.write("*RST;*CLS")
board.write(f"CONF:SAMP {arguments.samples};CONF:AVER 0;CONF:VREF 4.096")

print(f"{'Channel':>7} {'Block':>5} {'Mean (codes)':>13} {'RMS (codes)':>12} {'RMS (uV)':>9} "
      f"{'p-p (uV)':>9} {'Eff. bits':>9} {'Noise-free bits':>15}")
for channel in range(1, 5):
    board.write(f"CONF:CHAN {channel}")
    for block in range(1, arguments.blocks + 1):
        board.query("INIT;*OPC?")  # answers once the block is in
        error = board.query("SYST:ERR?")
        if not error.startswith("0,"):
            raise SystemExit(f"channel {channel}, block {block}: {error}")
        codes = board.query_binary_values("FETC:DATA?", datatype="i", container=numpy.array)
        figure = {key: float(board.query(f"FETC:FIG? {key}"))
                  for key in ("rms_noise_uv", "pp_noise_uv", "effective_resolution_bits", "noise_free_resolution_bits")}
        print(f"{channel:>7} {block:>5} {codes.mean():>13.1f} {codes.std():>12.2f} {figure['rms_noise_uv']:>9.3f} "
              f"{figure['pp_noise_uv']:>9.3f} {figure['effective_resolution_bits']:>9.2f} "
              f"{figure['noise_free_resolution_bits']:>15.2f}")
board.close()
