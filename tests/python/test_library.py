"""Documents of a setup library: each save writes only its changes, so two stations working on
one document keep each other's states, and a state both changed is not overwritten."""

import os
import subprocess

import pytest

import ixoinstrsetups as ix
from conftest import error_of


@pytest.fixture
def address(fake, tmp_path):
    """A library document of one state, imported as a station would with ixo-states."""
    states = os.environ.get("IXO_STATES")
    if not states:
        pytest.skip("IXO_STATES is not set")
    start = ix.Document()
    start.capture(fake, "Start")
    start.save(str(tmp_path / "start.ixs"))
    address = "sqlite:%s?document=shared" % (tmp_path / "lab.db")
    env = {k: v for k, v in os.environ.items() if k != "LD_PRELOAD"}
    subprocess.run([states, "library", "import", address, str(tmp_path / "start.ixs")],
                   check=True, capture_output=True, env=env)
    return address


def test_stations_keep_each_others_states(fake, address, tmp_path, monkeypatch):
    monkeypatch.setenv("IXO_STATION", "bench-1")
    first = ix.Document.open(address)
    monkeypatch.setenv("IXO_STATION", "bench-2")
    second = ix.Document.open(address)
    assert first.path == address
    first.capture(fake, "A")
    first.save()
    second.capture(fake, "B")
    second.save()
    assert sorted(state.name for state in ix.Document.open(address)) == ["A", "B", "Start"]

    first.rename("Start", "First's")
    first.save()
    second.rename("Start", "Second's")
    error = error_of(second.save)
    assert error.number == 3197
    assert "was changed by" in error.description and "bench-1" in error.description
    assert "First's" in ix.Document.open(address)

    # The refused change is still there to be kept in a file.
    copy = str(tmp_path / "copy.ixs")
    second.save(copy)
    assert second.path == copy
    assert "Second's" in ix.Document.open(copy)


def test_restores_go_to_the_audit_trail(fake, address, monkeypatch):
    monkeypatch.setenv("IXO_STATION", "bench-7")
    document = ix.Document.open(address)
    document.restore(fake, "Start")
    env = {k: v for k, v in os.environ.items() if k != "LD_PRELOAD"}
    audit = subprocess.run([os.environ["IXO_STATES"], "library", "audit",
                            address.split("?")[0], "--json"],
                           check=True, capture_output=True, text=True, env=env).stdout
    assert '"station": "bench-7"' in audit and '"state": "Start"' in audit
