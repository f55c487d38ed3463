"""Starts ixo-instrument-sim for clients nobody here wrote (pyvisa-py, lxi-tools).

pyvisa-py and lxi always ask the portmapper on port 111, so the VXI-11 tests need a simulator
listening there; when the port cannot be bound (not root, or an rpcbind already runs) they are
skipped with the simulator's reason. The raw socket tests need no fixed port and always run.
"""
import os
import re
import subprocess
import time

import pytest

SIM = os.environ.get("IXO_INSTRUMENT_SIM", "ixo-instrument-sim")
STATES = os.environ.get("IXO_STATES", "ixo-states")
IDN = "IXO,SG-100,000001,2.1.0"


class Simulator:
    def __init__(self, vxi11_port):
        self.process = subprocess.Popen(
            [SIM, "--socket-port", "0", "--hislip-port", "0", "--vxi11-port", str(vxi11_port),
             "--no-mdns"],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        self.output = ""
        self.socket_port = None
        self.portmapper_port = None
        deadline = time.monotonic() + 10
        while time.monotonic() < deadline and self.portmapper_port is None:
            line = self.process.stdout.readline()
            if not line:
                break
            self.output += line
            socket = re.search(r"listening on TCPIP::[^:]+::(\d+)::SOCKET", line)
            if socket:
                self.socket_port = int(socket.group(1))
            vxi11 = re.search(r"::INSTR \(portmapper port (\d+), core port (\d+)\)", line)
            if vxi11:
                self.portmapper_port = int(vxi11.group(1))

    @property
    def started(self):
        return self.portmapper_port is not None

    def socket_resource(self):
        return f"TCPIP::127.0.0.1::{self.socket_port}::SOCKET"

    def stop(self):
        self.process.kill()
        self.process.wait(timeout=10)
        self.output += self.process.stdout.read()
        self.process.stdout.close()


def start(vxi11_port):
    simulator = Simulator(vxi11_port)
    if not simulator.started:
        simulator.stop()
    return simulator


@pytest.fixture
def socket_sim():
    simulator = start(0)
    assert simulator.started, simulator.output
    yield simulator
    simulator.stop()


@pytest.fixture
def vxi11_sim():
    simulator = start(111)
    if not simulator.started:
        pytest.skip("the VXI-11 clients need the portmapper on port 111, which the simulator "
                    "could not bind: " + simulator.output.strip())
    yield simulator
    simulator.stop()


@pytest.fixture(params=["INSTR", "SOCKET"])
def resource(request):
    """A running simulator and the resource string a VISA client reaches it by."""
    if request.param == "INSTR":
        simulator = request.getfixturevalue("vxi11_sim")
        return simulator, "TCPIP::127.0.0.1::INSTR"
    simulator = request.getfixturevalue("socket_sim")
    return simulator, simulator.socket_resource()
