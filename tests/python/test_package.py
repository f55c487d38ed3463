"""The package's layout and import: the Python layer over ixoinstrsetups._core, and no Qt
application until something needs one."""

import os
import subprocess
import sys
import textwrap

import ixoinstrsetups as ix

# Reads QCoreApplication::self from QtCore itself, so asking makes no application.
PROBE = textwrap.dedent("""
    import ctypes
    import ixoinstrsetups as ix

    def application():
        qt_core = ctypes.CDLL("libQt6Core.so.6")
        return ctypes.c_void_p.in_dll(qt_core, "_ZN16QCoreApplication4selfE").value

    print(application())
    document = ix.Document()
    document.capture(ix.Instrument("SIM"), "A")
    print(application())
    ix.InstrumentState()
    print(application())
""")


def run_probe():
    env = {k: v for k, v in os.environ.items() if k != "QT_QPA_PLATFORM"}
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    result = subprocess.run([sys.executable, "-c", PROBE], capture_output=True, text=True,
                            env=env, timeout=60)
    assert result.returncode == 0, result.stderr
    # Qt complains when something that needs the application runs without one.
    assert "without QApplication" not in result.stderr, result.stderr
    return result.stdout.split()


def test_import_makes_no_application():
    at_import, after_documents, after_control = run_probe()
    assert at_import == "None"
    assert after_documents == "None"
    # The probe sees the application the control needed, made offscreen without a display.
    assert after_control != "None"


def test_compiled_core_is_a_submodule():
    assert ix._core.__name__ == "ixoinstrsetups._core"
    assert os.path.dirname(ix._core.__file__) == os.path.dirname(ix.__file__)
    assert ix.Document is ix._core.Document


def test_every_name_is_exported():
    for name in ix.__all__:
        assert getattr(ix, name) is not None, name
    for name in ["AutomationError", "SetupInterface"]:
        assert getattr(ix, name).__module__ == "ixoinstrsetups"


def test_errors_of_the_core_are_the_package_class():
    try:
        ix._core.raise_error(53, "probe")
    except ix.AutomationError as error:
        assert type(error) is ix.AutomationError
        assert (error.number, error.source) == (53, "probe")
    else:
        raise AssertionError("no error raised")
