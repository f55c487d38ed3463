import os
import re
import subprocess
import sys

import pytest

import ixoinstrsetups as ix

SOURCE_DIR = os.environ.get("IXO_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(SOURCE_DIR, "examples"))


class FakeInstrument(ix.SetupInterface):
    """An instrument in Python: its setup is a dict of settings kept as text."""

    def __init__(self, model="PY-1", version="1.0", setup="FREQ 1E9"):
        self.model = model
        self.version = version
        self.setup = setup
        self.restored = []
        self.fail_with = None

    def Model(self):
        return self.model

    def Version(self):
        return self.version

    def CaptureState(self):
        if self.fail_with:
            raise self.fail_with
        return self.setup

    def RestoreState(self, state):
        if self.fail_with:
            raise self.fail_with
        self.restored.append(state)
        self.setup = state


def error_of(action):
    """The AutomationError that action() raises; the test fails when it raises none."""
    with pytest.raises(ix.AutomationError) as raised:
        action()
    return raised.value


@pytest.fixture
def fake():
    return FakeInstrument()


def run_simulator(args, found):
    """Starts ixo-instrument-sim with args and reads its lines until found(line) has told
    everything it waits for (found returns True then); yields, and ends the simulator."""
    sim = os.environ.get("IXO_INSTRUMENT_SIM")
    if not sim:
        pytest.skip("IXO_INSTRUMENT_SIM is not set")
    # A sanitizer runtime preloaded for the interpreter is not the program's own.
    env = {k: v for k, v in os.environ.items() if k != "LD_PRELOAD"}
    process = subprocess.Popen([sim, "--bind", "127.0.0.1", "--no-mdns"] + args,
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=env)
    try:
        said = []
        while True:
            line = process.stdout.readline()
            assert line, "the simulator said: %r" % "".join(said)
            said.append(line)
            if found(line):
                break
        yield
    finally:
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


@pytest.fixture
def simulator():
    """ixo-instrument-sim on a free loopback port; yields its SOCKET resource string."""
    resources = []

    def found(line):
        match = re.search(r"(TCPIP::127\.0\.0\.1::\d+::SOCKET)", line)
        if match:
            resources.append(match.group(1))
        return bool(resources)

    for _ in run_simulator(["--port", "0", "--vxi11-port", "0", "--hislip-port", "0"], found):
        yield resources[0]
