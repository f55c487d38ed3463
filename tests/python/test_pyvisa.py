"""examples/pyvisa_instrument.py with pyvisa-py against ixo-instrument-sim's raw socket."""

import os
import subprocess
import sys

import pytest

import ixoinstrsetups as ix
from conftest import error_of

pyvisa_instrument = pytest.importorskip("pyvisa_instrument")


@pytest.fixture
def instrument(simulator):
    instrument = pyvisa_instrument.PyvisaInstrument(simulator, "@py", timeout_ms=3000)
    yield instrument
    instrument.close()


def test_identity_through_pyvisa(instrument):
    assert (instrument.Model(), instrument.Version()) == ("SG-100", "2.1.0")


def test_capture_and_restore_through_pyvisa(instrument, simulator):
    document = ix.Document()
    start = document.capture(instrument, "start")
    instrument.resource.write(":FREQ 3E9")
    document.capture(instrument, "changed")
    document.restore(instrument, "start")
    builtin = ix.Instrument(simulator)
    assert float(builtin.query(":FREQ?")) == 1e9
    # pyvisa and the built-in client capture the same setup.
    assert ix.diff(start, document.capture(builtin, "built-in")).same
    assert (start.model, start.version) == ("SG-100", "2.1.0")
    builtin.close()


def test_refused_setup_comes_back_with_the_instrument_message(instrument):
    document = ix.Document()
    document.capture(instrument, "bad")
    document["bad"].data = ":NOSUCH 1"
    error = error_of(lambda: document.restore(instrument, "bad"))
    assert error.description.startswith("the instrument refused the setup")
    assert error.source == "PyvisaInstrument.RestoreState"


def test_settings_for_the_window(instrument):
    settings = instrument.Settings()
    assert settings[":FREQ"] == "1.000000E+09"
    instrument.WriteSetting(":POW", "-5")
    assert instrument.Settings()[":POW"] == "-5.00"


def test_example_script_captures_into_a_document(simulator, tmp_path):
    document = str(tmp_path / "setups.ixs")
    script = os.path.join(os.environ.get("IXO_SOURCE_DIR", "../.."), "examples",
                          "pyvisa_instrument.py")
    for _ in range(2):
        result = subprocess.run([sys.executable, script, simulator, document],
                                capture_output=True, text=True, timeout=60)
        assert result.returncode == 0, result.stderr
    assert result.stdout.splitlines() == [
        "State 1 - captured through pyvisa [SG-100 2.1.0]",
        "State 2 - captured through pyvisa [SG-100 2.1.0]",
    ]
    assert len(ix.Document.open(document)) == 2
