"""The ixo-setups window on instruments given from Python, offscreen."""

import pytest

import ixoinstrsetups as ix
from conftest import error_of


@pytest.mark.parametrize("builtin,with_document", [(False, False), (False, True), (True, False)])
def test_window_renders_its_instrument(fake, tmp_path, builtin, with_document):
    instrument = ix.Instrument("SIM") if builtin else fake
    documents = [str(tmp_path / "a.ixs")] if with_document else []
    for path in documents:
        document = ix.Document()
        document.capture(instrument, "A")
        document.save(path)
    picture = tmp_path / "window.png"
    assert ix.run_app(instrument, *documents, screenshot=str(picture)) == 0
    assert picture.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n"


@pytest.mark.parametrize("instrument,number", [(None, 91), (42, 13)])
def test_window_needs_an_instrument(tmp_path, instrument, number):
    error = error_of(lambda: ix.run_app(instrument, screenshot=str(tmp_path / "x.png")))
    assert error.number == number


def test_bad_document_is_refused(fake, tmp_path):
    bad = tmp_path / "bad.ixs"
    bad.write_bytes(b"garbage")
    error = error_of(lambda: ix.run_app(fake, str(bad), screenshot=str(tmp_path / "x.png")))
    assert "Could not open" in error.description


def test_every_function_has_help():
    for name in ["create", "diff", "run_app", "type_name", "InstrumentState", "raise_error"]:
        assert getattr(ix, name).__doc__
    for cls in [ix.Document, ix.Instrument, ix.PropertyBag, ix.StateFile, ix.SetupInterface,
                ix.AutomationError, ix.Integer, ix.Single, ix.Byte, ix.Null, ix.LongLong,
                ix.Object, ix.StateDiff, ix.ScriptedUser]:
        assert cls.__doc__, cls
    for member in ["open", "save", "capture", "restore", "rename", "remove", "export_state",
                   "import_state"]:
        assert getattr(ix.Document, member).__doc__
    for member in ["identity", "query", "write"]:
        assert getattr(ix.Instrument, member).__doc__
