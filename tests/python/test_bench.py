"""Benches from Python: bench states over several instruments, and restores put back."""

import re

import pytest

import ixoinstrsetups as ix
from conftest import FakeInstrument, error_of, run_simulator

ROLES = {"generator": ("ixo", ":FREQ"), "scope": ("keysight-infiniivision", ":TIMebase:SCALe"),
         "meter": ("keysight-truevolt", ":VOLTage:DC:NPLC")}


@pytest.fixture
def sim_bench():
    """ixo-instrument-sim serving the ROLES; yields each role's SOCKET resource."""
    resources = {}

    def found(line):
        match = re.match(r"ixo-instrument-sim: (\S+)\s+(\S+::SOCKET)", line)
        if match:
            resources[match.group(1)] = match.group(2)
        return len(resources) == len(ROLES)

    args = []
    for role, (family, _) in ROLES.items():
        args += ["--instrument", "%s=%s" % (role, family)]
    for _ in run_simulator(args, found):
        yield resources


def settings(resources):
    values = {}
    for role, (_, setting) in ROLES.items():
        instrument = ix.Instrument(resources[role])
        values[role] = instrument.query(setting + "?")
        instrument.close()
    return values


def change(resources, role, value):
    instrument = ix.Instrument(resources[role])
    instrument.write("%s %s" % (ROLES[role][1], value))
    instrument.close()


def test_a_bench_state_is_captured_restored_and_put_back(sim_bench, tmp_path):
    path = str(tmp_path / "bench.ixs")
    bench = ix.Bench()
    for role, resource in sim_bench.items():
        bench.add_role(role, resource)
    bench.capture("Golden", "all three")
    bench.save(path)
    golden = settings(sim_bench)

    change(sim_bench, "generator", "2E6")
    change(sim_bench, "meter", "1")
    changed = settings(sim_bench)
    assert changed != golden
    bench = ix.Bench.open(path)
    assert (bench.roles, bench.names) == (list(ROLES), ["Golden"])
    with bench.restored("Golden") as restored:
        assert restored is bench
        assert settings(sim_bench) == golden
    assert settings(sim_bench) == changed

    assert bench.restore("Golden") == dict.fromkeys(ROLES, "restored")
    bench.save()
    assert ix.Bench.open(path).undo_restore(["meter"]) == ["meter"]
    assert settings(sim_bench) == dict(golden, meter=changed["meter"])
    # Each role's list is a document list of its own.
    assert [s.Name for s in ix.Document.open(path, role="scope")] == ["Golden"]


# Instruments simulated in this process by family, as ixo-setups --demo-bench saves them: each
# family is one device however often, and on whichever thread, it is opened.
def test_a_bench_of_instruments_simulated_in_process(tmp_path):
    path = str(tmp_path / "in-process.ixs")
    resources = {role: "SIM::" + family for role, (family, _) in ROLES.items()}
    bench = ix.Bench()
    for role, resource in resources.items():
        bench.add_role(role, resource)
    golden = settings(resources)
    bench.capture("Golden")
    bench.save(path)
    change(resources, "generator", "2E6")
    assert settings(resources) != golden
    bench = ix.Bench.open(path)
    assert bench.restore("Golden") == dict.fromkeys(ROLES, "restored")
    assert settings(resources) == golden
    refused = error_of(lambda: ix.Instrument("SIM::nope")).description
    assert "keysight-infiniivision" in refused


def fake_bench(fail_role=None):
    bench = ix.Bench()
    fakes = {}
    for role in ROLES:
        fakes[role] = FakeInstrument(model=role.upper(), setup=role + "=1")
        bench.add_role(role, instrument=fakes[role])
    bench.capture("Golden")
    for fake in fakes.values():
        fake.setup = fake.setup.replace("=1", "=2")
    if fail_role:
        fakes[fail_role].fail_with = ValueError("interlock open")
    return bench, fakes


def test_a_failed_capture_changes_no_list():
    bench, fakes = fake_bench(fail_role="scope")
    error = error_of(lambda: bench.capture("Next"))
    assert "scope" in error.description and "interlock open" in error.description
    assert bench.names == ["Golden"]


# A restore that fails part-way says what happened to every role; the context manager puts
# back the roles it reached, and so does leaving the block by an exception.
def test_restores_are_put_back_when_something_fails():
    bench, fakes = fake_bench(fail_role="meter")
    with pytest.raises(ix.AutomationError) as raised:
        with bench.restored("Golden"):
            pytest.fail("the block must not run")
    lines = raised.value.description.splitlines()
    assert lines[1:3] == ["generator: restored", "scope: restored"]
    assert lines[3].startswith("meter: failed: ") and "interlock open" in lines[3]
    assert lines[4] == "bench.undo_restore() puts back generator, scope."
    assert {role: fake.setup for role, fake in fakes.items()} == {
        "generator": "generator=2", "scope": "scope=2", "meter": "meter=2"}

    fakes["meter"].fail_with = None
    with pytest.raises(RuntimeError):
        with bench.restored("Golden"):
            assert fakes["meter"].setup == "meter=1"
            raise RuntimeError("test aborted")
    assert [fake.setup for fake in fakes.values()] == ["generator=2", "scope=2", "meter=2"]
    assert error_of(lambda: bench.undo_restore(["scope"])).number == 5
