"""Editing a host document with the control's rules and messages."""

import pytest

import ixoinstrsetups as ix
from conftest import FakeInstrument, error_of


def captured(fake, *names):
    document = ix.Document()
    for name in names:
        fake.setup = "SETUP " + name
        document.capture(fake, name, "about " + name)
    return document


def test_capture_names_states_and_records_the_instrument(fake):
    document = ix.Document()
    first = document.capture(fake, description="first")
    second = document.capture(fake)
    assert [state.name for state in document] == ["State 1", "State 2"]
    assert (first.model, first.version, first.description, first.data) == (
        "PY-1", "1.0", "first", "FREQ 1E9")
    assert second.Name == "State 2"
    assert len(document) == 2 and "state 1" in document


@pytest.mark.parametrize("taken", ["A", "a"])
def test_capture_refuses_a_name_already_in_the_list(fake, taken):
    document = captured(fake, "A")
    error = error_of(lambda: document.capture(fake, taken))
    assert (error.number, error.description) == (457, taken + " is already a Captured State.")
    assert len(document) == 1


@pytest.mark.parametrize("edit,description", [
    ("restore", "The selected state is for the instrument model PY-1, version 1.0\n"
                "which is not the currently connected instrument. The state was not restored."),
    ("import", "The imported state is for the PY-1, version 1.0\nCan not import state file."),
])
@pytest.mark.parametrize("model,version", [("OTHER", "1.0"), ("PY-1", "2.0")])
def test_states_of_another_instrument_are_refused(fake, tmp_path, edit, description, model,
                                                  version):
    document = captured(fake, "A")
    path = str(tmp_path / "a.sta")
    document.export_state("A", path)
    other = FakeInstrument(model, version)
    error = error_of(lambda: document.restore(other, "A") if edit == "restore"
                     else ix.Document().import_state(path, other))
    assert (error.number, error.description) == (5, description)


def test_rename_moves_the_state_to_the_end_and_refuses_taken_names(fake):
    document = captured(fake, "A", "B", "C")
    document.rename("A", "Z", "renamed")
    assert [state.name for state in document] == ["B", "C", "Z"]
    assert document["z"].description == "renamed"
    error = error_of(lambda: document.rename("B", "C"))
    assert (error.number, error.description) == (457, "C is already a Captured State.")
    document.rename("B", "B", "only the description")
    assert [state.name for state in document] == ["B", "C", "Z"]


def test_restore_remove_and_absent_names(fake):
    document = captured(fake, "A", "B")
    document.restore(fake, "A")
    assert fake.restored == ["SETUP A"]
    document.remove("a")
    assert [state.name for state in document] == ["B"]
    for edit in [lambda: document.remove("A"), lambda: document.restore(fake, "A"),
                 lambda: document["A"]]:
        assert "No state named A" in error_of(edit).description


def test_export_and_import_round_trip(fake, tmp_path):
    document = captured(fake, "A")
    path = str(tmp_path / "a.sta")
    document.export_state("A", path)
    document.remove("A")
    state = document.import_state(path, fake)
    assert (state.name, state.description, state.data) == ("A", "about A", "SETUP A")
    error = error_of(lambda: document.import_state(path, fake))
    assert error.number == 457
    assert error.description.startswith("Imported state A is already in the list.")
    assert document.import_state(path, fake, name="A again").name == "A again"


@pytest.mark.parametrize("name,content", [
    ("garbage.sta", b"not a state file at all"),
    ("empty.sta", b""),
    ("notes.txt", b"hello"),
])
def test_import_refuses_what_is_no_state_file(fake, tmp_path, name, content):
    path = tmp_path / name
    path.write_bytes(content)
    error = error_of(lambda: ix.Document().import_state(str(path), fake))
    assert error.number == 321
    assert error.description.startswith(
        str(path) + " does not appear to be a standard state file.")


def test_save_and_open_keep_the_states(fake, tmp_path):
    path = str(tmp_path / "setups.ixs")
    document = captured(fake, "A", "B")
    document.save(path)
    opened = ix.Document.open(path)
    assert opened.path == path
    assert [(s.name, s.data) for s in opened] == [("A", "SETUP A"), ("B", "SETUP B")]
    opened.remove("A")
    opened.save()
    assert [s.name for s in ix.Document.open(path)] == ["B"]


def test_open_failures(tmp_path):
    assert error_of(lambda: ix.Document.open(str(tmp_path / "missing.ixs"))).number == 53
    bad = tmp_path / "bad.ixs"
    bad.write_bytes(b"\x00" * 10)
    assert error_of(lambda: ix.Document.open(str(bad))).number == 321
    error_of(lambda: ix.Document().save())  # a new document has no file to save to


def test_builtin_simulator_capture_and_restore():
    sim = ix.Instrument("SIM")
    document = ix.Document()
    document.capture(sim, "start")
    sim.write(":FREQ 2.5E9")
    document.capture(sim, "changed")
    document.restore(sim, "start")
    assert float(sim.query(":FREQ?")) == 1e9
    difference = ix.diff(document["start"], document["changed"])
    assert not difference.same and difference.is_text
    assert ("+", ":FREQ 2.500000E+09") in difference.lines
    assert difference.to_json()["same"] is False


def test_diff_of_files_and_document_references(fake, tmp_path):
    document = captured(fake, "A", "B")
    path = str(tmp_path / "d.ixs")
    document.save(path)
    document.export_state("A", str(tmp_path / "a.sta"))
    assert ix.diff(str(tmp_path / "a.sta"), path + ":A").same
    assert not ix.diff(path + ":A", path + ":B").same
    binary = ix.diff(b"\x00\x01\x02", b"\x00\x09\x02")
    assert binary.ranges == [(1, 2)] and not binary.is_text
    assert error_of(lambda: ix.diff(str(tmp_path / "nothing"), path + ":A")).number == 53
