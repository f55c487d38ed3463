"""IxoInstrSetups for Python: saved instrument setups in host documents and state files,
instruments written in Python, the desktop window.

The compiled classes come from ixoinstrsetups._core; the parts written in Python live here.
Qt's application object is made only when something needs it (the control, the window).
"""

import contextlib
from typing import Any, Iterator, Optional

from ._core import (
    Bench,
    BuiltinSetupInterface,
    Byte,
    Document,
    Instrument,
    InstrumentState,
    Integer,
    LongLong,
    Null,
    Object,
    PropertyBag,
    ScriptedUser,
    Single,
    StateDiff,
    StateFile,
    create,
    diff,
    raise_error,
    run_app,
    type_name,
)

__all__ = [
    "AutomationError",
    "Bench",
    "BuiltinSetupInterface",
    "Byte",
    "Document",
    "Instrument",
    "InstrumentState",
    "Integer",
    "LongLong",
    "Null",
    "Object",
    "PropertyBag",
    "ScriptedUser",
    "SetupInterface",
    "Single",
    "StateDiff",
    "StateFile",
    "create",
    "diff",
    "raise_error",
    "run_app",
    "type_name",
]


class AutomationError(Exception):
    """A failure of the library or of an instrument: number, source and description,
    as the automation error of the same number."""

    # The compiled core raises this class, finding it here by name.
    def __init__(self, number: int, source: str, description: str) -> None:
        super().__init__(description)
        self.number = number
        self.source = source
        self.description = description

    def __str__(self) -> str:
        return self.description

    def __repr__(self) -> str:
        return "AutomationError(%d, %r, %r)" % (self.number, self.source, self.description)


class SetupInterface:
    """The link to an instrument, implemented in Python. Derive from it (or give any
    class the same members) and pass an instance wherever an instrument goes:
    Document.capture, Document.restore, StateInfo.SetupInterface, run_app. Exceptions
    raised here reach C++ as AutomationErrors with their message."""

    def Model(self) -> str:
        """The instrument's model, as states record it."""
        raise NotImplementedError("Model")

    def Version(self) -> str:
        """The instrument's firmware version, as states record it."""
        raise NotImplementedError("Version")

    def CaptureState(self) -> Any:
        """The instrument's current setup: a str, bytes or any automation value."""
        raise NotImplementedError("CaptureState")

    def RestoreState(self, state: Any) -> None:
        """Sends a setup captured before back to the instrument."""
        raise NotImplementedError("RestoreState")

    def ImportLegacyFile(self, file_name: str, prog_id: str) -> Optional[Object]:
        """A new object of prog_id (ixoinstrsetups.create) filled from another program's
        setup file, or None when the file is none of those."""
        return None


@contextlib.contextmanager
def _restored(bench: Bench, name: str) -> Iterator[Bench]:
    """Restores bench state name for the block and, on leaving it however it ends, puts
    every instrument back as it was. A restore that fails part-way puts back the roles it
    reached before raising."""
    try:
        bench.restore(name)
    except AutomationError:
        bench.undo_restore()
        raise
    try:
        yield bench
    finally:
        bench.undo_restore()


Bench.restored = _restored  # type: ignore[attr-defined]
