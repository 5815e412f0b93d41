# SPDX-License-Identifier: GPL-3.0-or-later
"""kz7305evm-cli serve driven by PyVISA (pyvisa-py) against the simulated board."""

import json
import os
import socket
import subprocess
import sys
import time
import unittest

from remote_fixture import CLI, Bench, error_numbers, errors, numpy, read_line


class Measurement(unittest.TestCase):
    """What a script does: configure, acquire, fetch, save; the answers are
    checked against what the board sent and what analyze computes."""

    def test_block_figures_and_file(self):
        with Bench() as bench:
            vi = bench.open()
            maker, model, serial, version = vi.query("*IDN?").split(",")
            self.assertEqual((maker, model, serial), ("KZ7305EVM developers", "KZ7305EVM", "0"))
            self.assertRegex(version, r"^\d+\.\d+\.\d+$")

            vi.write(":conf:samples 2048;CONFigure:RATE 48000;CONF:CHAN 1;conf:aver 0;CONF:VREF 4.096")
            self.assertEqual(vi.query("CONF:SAMP?;CONF:RATE?;CONF:CHAN?;CONF:AVER?;CONF:VREF?"),
                             "2048;48000;1;0;4.096")
            self.assertEqual(vi.query("INIT;*OPC?"), "1")
            dumped = bench.dumped()
            codes = vi.query_binary_values("FETC:DATA?", datatype="i", container=numpy.array)
            self.assertEqual(codes.tolist(), dumped)
            vi.write("FORM ASC")
            self.assertEqual([int(c) for c in vi.query("FETC:DATA?").split(",")], dumped)
            lsb, bits, rate, points = vi.query("FETC:SCAL?").split(",")
            self.assertAlmostEqual(float(lsb), 8.192 / 16777215.0, delta=1e-20)
            self.assertEqual((bits, float(rate), int(points)), ("24", 48000.0, 2048))

            vi.write("SENS:FFT:WIND BH7;:SENSe:FFT:BINS AUTO;FFT:HARM 5")
            self.assertEqual(vi.query("FFT:WIND?;FFT:BINS?;FFT:HARM?"), "BH7;AUTO;5")
            figures = json.loads(vi.query("FETC:FIGures?"))
            vi.write('MMEM:STOR:DATA "block.csv"')
            self.assertEqual(errors(vi), [])
            saved = os.path.join(bench.data, "block.csv")
            for view, options in (("time", []), ("fft", ["--window", "blackman-harris-7", "--bins", "auto",
                                                         "--harmonics", "5"])):
                result = subprocess.run([CLI, "analyze", saved, "--view", view, "--json", *options],
                                        capture_output=True, text=True, check=True)
                report = json.loads(result.stdout)
                for key in set(report) - {"file", "device", "samples", "view"}:
                    # The file holds the scale to 15 digits: the last digit may differ.
                    if isinstance(report[key], float):
                        self.assertAlmostEqual(figures[key], report[key], delta=1e-12 * abs(report[key]), msg=key)
                    else:
                        self.assertEqual(figures[key], report[key], key)
            # One figure: its number, 1/0 for yes/no, SCPI's not-a-number where uncomputed.
            self.assertEqual(float(vi.query("FETC:FIG? snr")), figures["snr"])
            self.assertEqual(vi.query("FETC:FIGURE? TONE_FOUND"), "1" if figures["tone_found"] else "0")
            self.assertGreater(figures["snr"], 60)
            vi.write("FETC:FIG? limited_by")  # a name, not a number
            self.assertEqual(error_numbers(vi), [-224])

            # The file is not replaced unless asked.
            before = os.path.getmtime(saved)
            vi.write('MMEM:STOR:DATA "block.csv"')
            self.assertEqual(error_numbers(vi), [-257])
            self.assertEqual(os.path.getmtime(saved), before)
            vi.write('MMEM:STOR:OVER ON;:MMEM:STOR:DATA "block.csv"')
            self.assertEqual(errors(vi), [])
            for name in ("../escape.csv", "/tmp/absolute.csv", "..", "sub/dir.csv"):
                vi.write(f'MMEM:STOR:DATA "{name}"')
                self.assertEqual(error_numbers(vi), [-257], name)
            self.assertEqual(sorted(os.listdir(bench.data)), ["block.csv"])


class Errors(unittest.TestCase):
    """Every error number, the status bits and the queue's length."""

    def test_error_numbers_and_status(self):
        with Bench() as bench:
            vi = bench.open()
            self.assertEqual(vi.query("*ESR?"), "0")
            cases = [
                ("FETC:DATA?", -230),          # nothing acquired yet
                ("MMEM:STOR:DATA 'x.csv'", -230),
                ("CONF::SAMP 10", -102),
                ("CONF:SAMP 1 2 3", -102),
                ('CONF:SAMP "unterminated', -102),
                ("*IDN? 5", -108),
                ("CONF:SAMP", -109),
                ("FETC:FIGURE?", -109),
                ("CONF:NOTHING 5", -113),
                ("*IDN", -113),
                ("CONF:SAMP 7", -222),
                ("CONF:SAMP 43691", -222),
                ("CONF:CHAN 5", -222),
                ("CONF:AVER 16", -222),
                ("CONF:VREF 5.5", -222),
                ("CONF:RATE 1", -222),
                ("FFT:BINS 53", -222),
                ("FFT:HARM 21", -222),
                ("CONF:SAMP many", -224),
                ("FFT:WIND KAISER", -224),
                ("FORM REAL", -224),
                ("MMEM:STOR:OVER maybe", -224),
            ]
            for command, number in cases:
                vi.write(command)
                self.assertEqual(error_numbers(vi), [number], command)
            vi.write_raw(b"CONF:SAMP \x01\xfe\n")
            self.assertEqual(error_numbers(vi), [-100])
            # A failed setting leaves the one before.
            self.assertEqual(vi.query("CONF:SAMP?"), "4096")

            vi.write("CONF:NOTHING")
            # Status: error queue not empty (4), event summary (32); message available
            # (16) while an earlier answer of the message waits.
            self.assertEqual(vi.query("*STB?"), "36")
            self.assertEqual(vi.query("*IDN?;*STB?").split(";")[-1], "52")
            self.assertEqual(int(vi.query("*ESR?")), 0x20 | 0x10)  # command and execution errors
            self.assertEqual(vi.query("*ESR?"), "0")  # reading clears it
            vi.write("*CLS")
            self.assertEqual(vi.query("*STB?"), "0")
            vi.write("*OPC")
            self.assertEqual(vi.query("*ESR?"), "1")

            for _ in range(25):
                vi.write("BOGUS")
            entries = error_numbers(vi)
            self.assertEqual(len(entries), 20)
            self.assertEqual(entries[:19], [-113] * 19)
            self.assertEqual(entries[19], -350)
            self.assertEqual(int(vi.query("*ESR?")) & 0x08, 0x08)  # device error

            # A block is already under way: INIT is ignored; ABORt ends it.
            vi.write("CONF:RATE 10;CONF:SAMP 1000;INIT;INIT")
            self.assertEqual(error_numbers(vi), [-213])
            vi.write("ABOR")
            self.assertEqual(vi.query("*OPC?"), "1")
            self.assertEqual(errors(vi), [])

            # *RST: the defaults again.
            vi.write("*RST")
            self.assertEqual(vi.query("CONF:SAMP?;CONF:RATE?;CONF:CHAN?;CONF:AVER?;FORM?;FFT:WIND?;FFT:BINS?"),
                             "4096;20833;1;0;INT32;RECT;11")

    def test_board_that_does_not_answer_or_vanishes(self):
        # Silent from the start; gone (the line hung up) at the second block read.
        for sim_options in (["--silent"], ["--close-after", "2"]):
            with Bench(sim_options=sim_options) as bench:
                vi = bench.open()
                self.assertEqual(vi.query("CONF:SAMP 512;INIT;*OPC?"), "1")
                entries = errors(vi)
                self.assertEqual(len(entries), 1, sim_options)
                self.assertTrue(entries[0].startswith('-240,"Hardware error;'), entries[0])
                self.assertEqual(int(vi.query("*ESR?")) & 0x10, 0x10)
                vi.write("FETC:DATA?")
                self.assertEqual(error_numbers(vi), [-230])  # no block came
                self.assertEqual(vi.query("*IDN?").split(",")[1], "KZ7305EVM")


class HostileClients(unittest.TestCase):
    """Garbage, overlong lines, two clients, clients that vanish or stop reading."""

    def test_garbage_and_overlong_lines(self):
        with Bench() as bench:
            connection = bench.raw()
            garbage = bytes(range(256)) * 64 + b";;;\"'\r\n:::??\n*\n\x00\x00\n"
            connection.sendall(garbage)
            connection.sendall(b"*IDN?\n")
            self.assertTrue(read_line(connection).startswith(b"KZ7305EVM developers,"))
            connection.sendall(b"*CLS\n")
            # 64 KiB and more without LF: thrown away whole, the connection kept.
            connection.sendall(b"CONF:SAMP 1024;" + b"x" * (200 * 1024) + b";*IDN?\n")
            connection.sendall(b"CONF:SAMP?\n")
            self.assertEqual(read_line(connection), b"4096")
            connection.sendall(b"SYST:ERR?;SYST:ERR?\n")
            self.assertEqual(read_line(connection), b'-223,"Too much data";0,"No error"')
            # A line just within the limit is still taken.
            connection.sendall(b"*IDN?" + b" " * (64 * 1024 - 5) + b"\r\n")
            self.assertTrue(read_line(connection).startswith(b"KZ7305EVM developers,"))
            connection.close()
            self.assertTrue(bench.running())

    def test_second_client_waits_for_the_first(self):
        with Bench() as bench:
            first = bench.raw()
            first.sendall(b"*IDN?\n")
            self.assertIsNotNone(read_line(first))
            second = bench.raw()
            second.sendall(b"*OPC?\n")
            second.settimeout(0.5)
            with self.assertRaises(socket.timeout):
                second.recv(100)
            first.sendall(b"CONF:SAMP 512\n*OPC?\n")
            self.assertEqual(read_line(first), b"1")
            first.close()
            self.assertEqual(read_line(second), b"1")
            # The settings are the instrument's, kept across clients.
            second.sendall(b"CONF:SAMP?\n")
            self.assertEqual(read_line(second), b"512")
            second.close()

    def test_client_vanishing_mid_acquisition(self):
        with Bench() as bench:
            vi = bench.open()
            vi.write("CONF:RATE 10;CONF:SAMP 2000;INIT")  # 200 s on the board
            time.sleep(0.5)
            vi.close()
            bench.sessions.remove(vi)
            # The board is free again for the next client.
            vi = bench.open()
            vi.write("CONF:RATE 48000;CONF:SAMP 1024")
            self.assertEqual(vi.query("INIT;*OPC?"), "1")
            self.assertEqual(errors(vi), [])
            codes = vi.query_binary_values("FETC:DATA?", datatype="i")
            self.assertEqual(codes, bench.dumped())

    def test_client_that_stops_reading_and_idle_clients(self):
        with Bench(serve_options=["--idle-timeout", "2"]) as bench:
            stalled = bench.raw()
            stalled.sendall(b"CONF:SAMP 43690;CONF:RATE 48000;INIT;*WAI\n")
            # Asks for far more than the network holds and never reads it.
            stalled.settimeout(5)
            try:
                for _ in range(400):
                    stalled.sendall(b"FETC:DATA?\n")
            except socket.timeout:
                pass
            waiting = bench.raw(timeout_s=20)
            waiting.sendall(b"*IDN?\n")
            # The stalled client is closed once it has been silent long enough,
            # and the waiting one is served.
            self.assertTrue(read_line(waiting, deadline_s=20).startswith(b"KZ7305EVM developers,"))
            stalled.close()
            # An idle controlling client is closed too.
            time.sleep(3)
            waiting.settimeout(1)
            self.assertEqual(waiting.recv(100), b"")
            waiting.close()
            self.assertTrue(bench.running())


class Example(unittest.TestCase):
    """The example script of the README runs against the simulated board."""

    def test_measure_noise(self):
        script = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "measure_noise.py")
        with Bench() as bench:
            result = subprocess.run([sys.executable, script, "--resource", bench.resource, "--samples", "512",
                                     "--blocks", "2"], capture_output=True, text=True, timeout=120)
            self.assertEqual(result.returncode, 0, result.stderr)
            rows = [line.split() for line in result.stdout.splitlines()[2:]]
            self.assertEqual([(row[0], row[1]) for row in rows],
                             [(str(c), str(b)) for c in range(1, 5) for b in (1, 2)])
            # The shorted input (channel 2) is the quietest, the 1 kHz tone (channel 1) the loudest.
            rms = {int(row[0]): float(row[4]) for row in rows}
            self.assertLess(rms[2], rms[4])
            self.assertGreater(rms[1], 1000 * rms[2])


if __name__ == "__main__":
    unittest.main()
