"""pyvisa with the pyvisa-py backend against the simulator, over VXI-11 and the raw socket."""
import json
import subprocess

import pytest
import pyvisa

from conftest import IDN, STATES

LEARN_DEFAULT = ("*RST;:FREQ 1.000000E+09;:POW -10.00;:OUTP OFF;:AM:STAT OFF;:AM:DEPT 30.0;"
                 ":FM:STAT OFF;:FM:DEV 1.000E+03;:PULM:STAT OFF;:PULM:WIDT 1.000E-06;"
                 ":PULM:PER 1.000E-03;:LFO:FREQ 1.000E+03;:TRIG:SOUR IMM")


@pytest.fixture
def instrument(resource):
    simulator, name = resource
    manager = pyvisa.ResourceManager("@py")
    session = manager.open_resource(name)
    session.timeout = 5000
    session.read_termination = "\n"
    session.write_termination = "\n"
    yield simulator, session
    session.close()
    manager.close()


def test_identity(instrument):
    _, session = instrument
    assert session.query("*IDN?") == IDN


def test_learn_string(instrument):
    _, session = instrument
    assert session.query("*LRN?") == LEARN_DEFAULT
    session.write(":FREQ 2.5E9;:OUTP ON")
    assert session.query("*LRN?") == LEARN_DEFAULT.replace(
        ":FREQ 1.000000E+09", ":FREQ 2.500000E+09").replace(":OUTP OFF", ":OUTP ON")


def test_setup_block_capture_and_restore(instrument):
    _, session = instrument
    waveform = bytes((i * 13 + i // 251) & 0xFF for i in range(1024 * 1024 + 5))
    session.write_binary_values(":ARB:DATA ", waveform, datatype="B")
    session.write(":FREQ 3.1E9")
    assert session.query(":SYST:ERR?") == '0,"No error"'
    block = session.query_binary_values(":SYST:SET?", datatype="B", container=bytes)
    assert block.startswith(b"IXS1") and len(block) > len(waveform)

    session.write("*RST")
    assert session.query(":FREQ?") == "1.000000E+09"
    session.write_binary_values(":SYST:SET ", block, datatype="B")
    assert session.query("*OPC?") == "1"
    assert session.query(":SYST:ERR?") == '0,"No error"'
    assert session.query(":FREQ?") == "3.100000E+09"
    assert session.query_binary_values(":ARB:DATA?", datatype="B", container=bytes) == waveform
    assert session.query_binary_values(":SYST:SET?", datatype="B", container=bytes) == block


def run_states(*arguments):
    done = subprocess.run([STATES, *arguments, "--json"], capture_output=True, text=True,
                          timeout=60)
    return done.returncode, done.stdout, done.stderr


def check_our_client(session, resource, document):
    """What pyvisa sets, our client captures; what our client restores, pyvisa reads back."""
    session.write(":FREQ 2.5E9;:TRIG:SOUR BUS")
    learned = session.query("*LRN?")
    code, out, err = run_states("capture", document, "--instrument", resource, "--name", "A")
    if code != 0 and "not supported" in err:
        pytest.skip(f"ixo-states does not reach {resource} here: {err.strip()}")
    assert code == 0, err
    model, version = session.query("*IDN?").split(",")[1:4:2]
    assert json.loads(out)["instrument"] == {"model": model, "version": version}

    session.write(":FREQ 1E8;:TRIG:SOUR EXT")
    code, _, err = run_states("restore", document, "A", "--instrument", resource)
    assert code == 0, err
    assert session.query("*LRN?") == learned


def test_our_client_on_the_same_resource(instrument, tmp_path):
    simulator, session = instrument
    check_our_client(session, session.resource_name, str(tmp_path / "same.ixs"))


def test_our_client_over_the_socket_pyvisa_over_vxi11(vxi11_sim, tmp_path):
    manager = pyvisa.ResourceManager("@py")
    session = manager.open_resource("TCPIP::127.0.0.1::INSTR", read_termination="\n",
                                    write_termination="\n", timeout=5000)
    try:
        check_our_client(session, vxi11_sim.socket_resource(), str(tmp_path / "cross.ixs"))
    finally:
        session.close()
        manager.close()
