"""A script written with types, as editors and mypy --strict see the package: it must check
cleanly against the stubs and run against the module."""

import sys
import tempfile
from typing import Any, Optional

import ixoinstrsetups as ix


class Generator(ix.SetupInterface):
    def __init__(self) -> None:
        self.setup = "FREQ 1E9"

    def Model(self) -> str:
        return "PY-1"

    def Version(self) -> str:
        return "1.0"

    def CaptureState(self) -> Any:
        return self.setup

    def RestoreState(self, state: Any) -> None:
        self.setup = str(state)


class Minimal:
    """Any class with the members is an instrument too."""

    def Model(self) -> str:
        return "PY-1"

    def Version(self) -> str:
        return "1.0"

    def CaptureState(self) -> bytes:
        return b"\x01\x02"

    def RestoreState(self, state: bytes) -> None:
        pass


def run(folder: str) -> list[str]:
    generator = Generator()
    document = ix.Document()
    carrier: ix.Object = document.capture(generator, "Carrier", "1 GHz")
    carrier.description = "1 GHz, -10 dBm"
    generator.setup = "FREQ 2E9"
    document.capture(generator)
    document.capture(Minimal(), "Raw")
    document.rename("Raw", "Bytes", description=None)
    document.restore(generator, "Carrier")
    path = folder + "/typed.ixs"
    document.save(path)
    reopened = ix.Document.open(path)
    names: list[str] = [state.name for state in reopened]
    assert len(reopened) == 3 and "carrier" in reopened
    differences: ix.StateDiff = ix.diff(reopened["Carrier"], reopened[names[1]])
    lines: list[tuple[str, str]] = differences.lines
    assert lines and not differences.same

    bag = ix.PropertyBag()
    bag.WriteProperty("Count", ix.Integer(3))
    bag.WriteProperty("Gain", ix.Single(0.5), ix.Single(1.0))
    count: int = int(bag.ReadProperty("Count"))
    missing: Optional[str] = bag.ReadProperty("Missing", None)
    contents: bytes = bag.Contents
    assert count == 3 and missing is None and contents and ix.type_name(ix.Byte(1)) == "Byte"

    info = ix.create("IxoInstrSetups.StateInfo")
    info.WriteProperties(bag)
    ix.StateFile.save(reopened["Carrier"], folder + "/carrier.sta")
    loaded: ix.Object = ix.StateFile.load(folder + "/carrier.sta")
    assert loaded.name == "Carrier"

    try:
        ix.raise_error(5, "typed_usage")
    except ix.AutomationError as error:
        number: int = error.number
        assert number == 5

    sim = ix.Instrument("SIM", timeout=2000)
    identity: dict[str, str] = sim.identity()
    sim.timeout = 3000
    warnings: list[str] = sim.warnings
    assert identity["model"] and not warnings
    sim.close()

    bench = ix.Bench()
    bench.add_role("generator", "SIM")
    bench.add_role("fake", instrument=Generator())
    bench.capture("Golden", "both")
    outcomes: dict[str, str] = bench.restore("Golden")
    assert set(outcomes.values()) == {"restored"}
    with bench.restored("Golden") as restored:
        assert restored.roles == ["generator", "fake"]
    put_back: list[str] = bench.undo_restore()
    bench.save(folder + "/bench.ixs")
    assert ix.Bench.open(folder + "/bench.ixs").names == ["Golden"] and not put_back
    return names


if __name__ == "__main__":
    with tempfile.TemporaryDirectory() as folder:
        print(run(sys.argv[1] if len(sys.argv) > 1 else folder))
