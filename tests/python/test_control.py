"""A Python SetupInterface used by the C++ control, offscreen, with a scripted user."""

import pytest

import ixoinstrsetups as ix
from conftest import error_of


@pytest.fixture
def control(fake):
    control = ix.InstrumentState()
    si = ix.create("IxoInstrSetups.StateInfo")
    si.SetupInterface = fake
    control.InstrumentStateInfo = si
    return control, si


def name_it(name, description=""):
    def script(form):
        form.find_child("nameTextBox").Text = name
        form.find_child("descriptionText").Text = description
        form.find_child("okBtn").click()
        return 1
    return script


def test_control_captures_and_restores_through_python_on_its_model_only(fake, control):
    widget, si = control
    assert si.SetupInterface is fake
    with ix.ScriptedUser() as user:
        user.answer_form(name_it("From Python", "captured by the control"))
        widget.find_child("captureNewBtn").click()
        assert user.form_titles == ["Capture New State"]
        assert user.message_boxes == []
    assert si.Items.Count == 1
    state = si.Items.Item(1)
    assert (state.Name, state.Description, state.Model, state.Version, state.data) == (
        "From Python", "captured by the control", "PY-1", "1.0", "FREQ 1E9")
    fake.setup = "FREQ 2E9"
    with ix.ScriptedUser() as user:
        widget.find_child("restoreBtn").click()
        assert user.message_boxes == []
    assert fake.restored == ["FREQ 1E9"]
    # The model is asked again: on another one the state is not restored.
    fake.model = "PY-2"
    with ix.ScriptedUser() as user:
        widget.find_child("restoreBtn").click()
        (text, _, _), = user.message_boxes
    assert text.startswith("The selected state is for the instrument model PY-1, version 1.0")
    assert fake.restored == ["FREQ 1E9"]


def broken(form):
    raise RuntimeError("script broke")


# The instrument's exceptions and a form script's (reported, not crashing) alike.
@pytest.mark.parametrize("error,script,details", [
    (ValueError("probe unplugged"), name_it("A"), "probe unplugged"),
    (ix.AutomationError(-2147220991, "Probe", "instrument locked"), name_it("A"),
     "instrument locked"),
    (None, broken, "script broke"),
])
def test_python_exceptions_reach_the_user_as_the_control_message(fake, control, error, script,
                                                                 details):
    widget, si = control
    fake.fail_with = error
    with ix.ScriptedUser() as user:
        user.answer_form(script)
        widget.find_child("captureNewBtn").click()
        (text, style, title), = user.message_boxes
    assert text == "Failed to Capture State from the Instrument\r\n\r\nError Details: " + details
    assert title == "Error"
    assert si.Items.Count == 0


def test_widget_members_by_automation_name(control):
    widget, _ = control
    button = widget.find_child("captureNewBtn")
    assert button.caption
    button.Enabled = False
    assert button.enabled is False
    assert error_of(lambda: widget.find_child("noSuchChild")).number == 438
