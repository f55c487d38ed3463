"""Editing a host document: the model's rules, translated into Python values and errors."""

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


def test_edits_keep_order_data_and_files(fake, tmp_path):
    document = captured(fake, "A", "B", "C")
    document.rename("A", "Z", "renamed")
    document.rename("B", "B", "only the description")
    assert [state.name for state in document] == ["B", "C", "Z"]
    assert document["z"].description == "renamed"
    document.restore(fake, "c")
    assert fake.restored == ["SETUP C"]
    sta = str(tmp_path / "c.sta")
    document.export_state("C", sta)
    document.remove("c")
    assert [state.name for state in document] == ["B", "Z"]
    state = document.import_state(sta, fake)
    assert (state.name, state.description, state.data) == ("C", "about C", "SETUP C")
    assert document.import_state(sta, fake, name="C again").name == "C again"
    path = str(tmp_path / "setups.ixs")
    document.save(path)
    opened = ix.Document.open(path)
    assert opened.path == path
    assert [(s.name, s.data) for s in opened] == [
        ("B", "SETUP B"), ("Z", "SETUP A"), ("C", "SETUP C"), ("C again", "SETUP C")]
    opened.remove("B")
    opened.save()
    assert [s.name for s in ix.Document.open(path)] == ["Z", "C", "C again"]


OTHER_RESTORE = ("The selected state is for the instrument model PY-1, version 1.0\n"
                 "which is not the currently connected instrument. The state was not restored.")
OTHER_IMPORT = "The imported state is for the PY-1, version 1.0\nCan not import state file."


def refusals():
    """(id, action(document, fake, tmp_path), number, start of the description)."""
    def export(document, tmp_path):
        path = str(tmp_path / "a.sta")
        document.export_state("A", path)
        return path

    def write(tmp_path, name, content):
        path = tmp_path / name
        path.write_bytes(content)
        return str(path)

    # The rules themselves are the document model's and tested there: these rows check that
    # each kind of refusal arrives in Python with its number and message.
    return [
        ("taken name", lambda d, f, t: d.capture(f, "A"), 457, "A is already a Captured State."),
        ("restore on another model", lambda d, f, t: d.restore(FakeInstrument("OTHER"), "A"), 5,
         OTHER_RESTORE),
        ("import from another version",
         lambda d, f, t: ix.Document().import_state(export(d, t), FakeInstrument("PY-1", "2.0")),
         5, OTHER_IMPORT),
        ("import twice, with Python's hint", lambda d, f, t: d.import_state(export(d, t), f), 457,
         "Imported state A is already in the list.\nGive it another name with name=."),
        ("not a state file", lambda d, f, t: d.import_state(write(t, "notes.txt", b"hi"), f), 321,
         "{tmp}/notes.txt does not appear to be a standard state file."),
        ("look up an absent name", lambda d, f, t: d["X"], None, "No state named X"),
        ("open a missing document", lambda d, f, t: ix.Document.open(str(t / "missing.ixs")), 53,
         ""),
        ("save a document without a file", lambda d, f, t: ix.Document().save(), None, ""),
    ]


@pytest.mark.parametrize("action,number,description", [r[1:] for r in refusals()],
                         ids=[r[0] for r in refusals()])
def test_refusals_arrive_with_the_number_and_message_and_change_nothing(
        fake, tmp_path, action, number, description):
    document = captured(fake, "A", "B")
    error = error_of(lambda: action(document, fake, tmp_path))
    if number is not None:
        assert error.number == number
    assert description.format(tmp=str(tmp_path)) in error.description
    assert [(s.name, s.data) for s in document] == [("A", "SETUP A"), ("B", "SETUP B")]


def test_builtin_simulator_capture_and_restore():
    sim = ix.Instrument("SIM", verify=True, profile="ixo-simulator")
    document = ix.Document()
    document.capture(sim, "start")
    sim.write(":FREQ 2.5E9")
    document.capture(sim, "changed")
    document.restore(sim, "start")
    assert float(sim.query(":FREQ?")) == 1e9
    # The restore was checked by capturing again, and every setting took.
    assert sim.verify and sim.profile == "ixo-simulator" and sim.warnings == []
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
