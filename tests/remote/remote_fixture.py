# SPDX-License-Identifier: GPL-3.0-or-later
"""The simulated board and "kz7305evm-cli serve" on it, for the remote-control
tests: started in a temporary folder, ended by their process IDs."""

import os
import socket
import subprocess
import sys
import tempfile
import time

try:
    import numpy
    import pyvisa
except ImportError as missing:  # the set-up installs them; say so when it did not run
    print(f"SKIP: {missing.name} is missing (tools/install-deps.sh installs python3-pyvisa, "
          "python3-pyvisa-py and python3-numpy)")
    sys.exit(77)

CLI = os.environ["KZ_CLI_PATH"]
SIM = os.environ["KZ_SIM_PATH"]
# Short link times, so a board that does not answer is found out quickly.
LINK_TIMING = "response=300,stall=200,pause=50,guard=20,guardlimit=100,late=1000"


class Bench:
    """A simulated board and a server on it; use as a context manager."""

    def __init__(self, sim_options=(), serve_options=()):
        self.folder = tempfile.TemporaryDirectory()
        self.data = os.path.join(self.folder.name, "data")
        os.mkdir(self.data)
        self.dump = os.path.join(self.folder.name, "dump.txt")
        self.sim = subprocess.Popen([SIM, "--dump", self.dump, *sim_options], stdout=subprocess.PIPE, text=True)
        device = self.sim.stdout.readline().strip()
        environment = dict(os.environ, XDG_CONFIG_HOME=os.path.join(self.folder.name, "home"),
                           KZ7305EVM_TEST_LINK_TIMING=LINK_TIMING)
        environment.pop("KZ7305EVM_PORTS", None)
        self.server = subprocess.Popen(
            [CLI, "serve", "--port", device, "--listen", "127.0.0.1:0", "--data-dir", self.data, *serve_options],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=environment)
        line = self.server.stdout.readline()
        if not line.strip().isdigit():
            self.close()
            raise RuntimeError("serve did not start: " + line + self.server.stderr.read())
        self.port = int(line)
        self.resource = f"TCPIP::127.0.0.1::{self.port}::SOCKET"
        self.manager = pyvisa.ResourceManager("@py")
        self.sessions = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def open(self, timeout_ms=20000):
        """A PyVISA session with the server."""
        session = self.manager.open_resource(self.resource, read_termination="\n", write_termination="\n",
                                             timeout=timeout_ms)
        self.sessions.append(session)
        return session

    def raw(self, timeout_s=5.0):
        """A plain socket to the server."""
        connection = socket.create_connection(("127.0.0.1", self.port), timeout=timeout_s)
        return connection

    def dumped(self):
        """The codes of the block the board acquired last."""
        with open(self.dump) as dump:
            return [int(line) for line in dump if line.strip()]

    def running(self):
        return self.server.poll() is None

    def close(self):
        for session in self.sessions:
            try:
                session.close()
            except Exception:  # noqa: BLE001 - a session the server closed goes either way
                pass
        self.sessions = []
        for process in (self.server, self.sim):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        for stream in (self.server.stdout, self.server.stderr, self.sim.stdout):
            stream.close()
        self.folder.cleanup()


def errors(session):
    """The error queue's entries, oldest first, until "No error"."""
    entries = []
    while True:
        entry = session.query("SYST:ERR?")
        if entry.startswith("0,"):
            return entries
        entries.append(entry)


def error_numbers(session):
    return [int(entry.split(",")[0]) for entry in errors(session)]


def read_line(connection, deadline_s=10.0):
    """One answer line from a plain socket (without its LF); None when the
    server closed the connection."""
    data = b""
    end = time.monotonic() + deadline_s
    while not data.endswith(b"\n"):
        connection.settimeout(max(0.01, end - time.monotonic()))
        chunk = connection.recv(65536)
        if not chunk:
            return None
        data += chunk
    return data[:-1]
