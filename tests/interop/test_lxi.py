"""lxi-tools (lxi scpi) against the simulator: VXI-11, and its raw socket mode."""
import shutil
import subprocess

import pytest

from conftest import IDN

LXI = shutil.which("lxi")
pytestmark = pytest.mark.skipif(LXI is None, reason="lxi-tools is not installed")


def lxi(*arguments):
    done = subprocess.run([LXI, "scpi", "--address", "127.0.0.1", *arguments],
                          capture_output=True, text=True, timeout=30)
    assert done.returncode == 0, done.stderr
    return done.stdout.strip()


def test_vxi11_identity(vxi11_sim):
    assert lxi("*IDN?") == IDN


def test_raw_identity(socket_sim):
    assert lxi("--raw", "--port", str(socket_sim.socket_port), "*IDN?") == IDN


def test_raw_and_vxi11_see_one_device(vxi11_sim):
    lxi("--raw", "--port", str(vxi11_sim.socket_port), ":POW -20")
    assert lxi(":POW?") == "-20.00"
