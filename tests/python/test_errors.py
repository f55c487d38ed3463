"""Errors both ways, and the GIL around long C++ work."""

import socket
import threading
import time

import pytest

import ixoinstrsetups as ix
from conftest import FakeInstrument, error_of

E_FAIL = -2147467259


@pytest.mark.parametrize("number,description", [
    (13, "Type mismatch"), (53, "File not found"), (457, "This key is already associated with an element of this collection"),
])
def test_cpp_errors_arrive_with_number_source_and_description(number, description):
    error = error_of(lambda: ix.raise_error(number, "Probe"))
    assert (error.number, error.source, error.description) == (number, "Probe", description)
    assert str(error) == description


# Any exception comes with its message, from the method that raised it; an AutomationError keeps
# its number and source too.
@pytest.mark.parametrize("error,number,source,description", [
    (ValueError("probe unplugged"), E_FAIL, "FakeInstrument.{}", "probe unplugged"),
    (ix.AutomationError(1234, "Rack", "interlock open"), 1234, "Rack", "interlock open"),
])
def test_python_exceptions_become_automation_errors(fake, error, number, source, description):
    document = ix.Document()
    document.capture(fake, "A")
    fake.fail_with = error
    raised = error_of(lambda: document.capture(fake))
    assert (raised.number, raised.source, raised.description) == (
        number, source.format("CaptureState"), description)
    # A restore first keeps the present setup; that capture's failure stops it.
    raised = error_of(lambda: document.restore(fake, "A"))
    assert (raised.number, raised.source) == (number, source.format("CaptureState"))
    assert raised.description.endswith(description) and "nothing was restored" in raised.description
    assert fake.restored == []


@pytest.mark.parametrize("result", [object(), {"a": 1}])
def test_capture_of_a_value_without_automation_type_is_a_type_mismatch(result):
    class Odd(FakeInstrument):
        def CaptureState(self):
            return result

    assert error_of(lambda: ix.Document().capture(Odd())).number == 13


def test_objects_without_the_members_are_no_instruments():
    error = error_of(lambda: ix.Document().capture(object()))
    assert error.number == 13
    assert "Model, Version, CaptureState" in error.description
    # The base class without its methods says which one is missing.
    assert error_of(lambda: ix.Document().capture(ix.SetupInterface())).description == "Model"


@pytest.fixture
def silent_server():
    """Accepts connections and never answers."""
    listener = socket.create_server(("127.0.0.1", 0))
    accepted = []
    stop = threading.Event()

    def serve():
        listener.settimeout(0.2)
        while not stop.is_set():
            try:
                accepted.append(listener.accept()[0])
            except OSError:
                pass

    thread = threading.Thread(target=serve, daemon=True)
    thread.start()
    yield "TCPIP::127.0.0.1::%d::SOCKET" % listener.getsockname()[1]
    stop.set()
    thread.join()
    for connection in accepted:
        connection.close()
    listener.close()


def test_other_threads_run_while_cpp_waits_for_an_instrument(silent_server):
    instrument = ix.Instrument(silent_server, timeout=1000)
    ticks = []
    done = threading.Event()

    def tick():
        while not done.is_set():
            ticks.append(time.monotonic())
            time.sleep(0.01)

    ticker = threading.Thread(target=tick)
    ticker.start()
    started = time.monotonic()
    try:
        with pytest.raises(ix.AutomationError):
            instrument.query("*IDN?")
    finally:
        done.set()
        ticker.join()
    assert time.monotonic() - started >= 0.9
    # The ticker went on during the wait instead of only before and after it.
    assert len([t for t in ticks if started + 0.2 < t < started + 0.8]) > 10


def test_python_instruments_are_called_back_from_threads():
    errors = []

    def work(index):
        try:
            fake = FakeInstrument(setup="SETUP %d" % index)
            document = ix.Document()
            for n in range(20):
                document.capture(fake, "S%d" % n)
            assert [state.data for state in document] == ["SETUP %d" % index] * 20
        except Exception as error:
            errors.append(error)

    threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert errors == []
