"""Values keep their types, through bags and through state files."""

import datetime

import pytest

import ixoinstrsetups as ix
from conftest import error_of

CASES = [
    (None, "Empty"),
    (ix.Null(), "Null"),
    (True, "Boolean"),
    (False, "Boolean"),
    (ix.Byte(0), "Byte"),
    (ix.Byte(255), "Byte"),
    (ix.Integer(-32768), "Integer"),
    (ix.Integer(32767), "Integer"),
    (0, "Long"),
    (-2**31, "Long"),
    (2**31 - 1, "Long"),
    (2**31, "LongLong"),
    (-2**63, "LongLong"),
    (ix.LongLong(5), "LongLong"),
    (ix.Single(0.1), "Single"),
    (0.1, "Double"),
    (float("inf"), "Double"),
    ("", "String"),
    ("Grüße, 日本", "String"),
    (b"", "Byte()"),
    (bytes(range(256)), "Byte()"),
    ([1, "a", ix.Integer(2), [ix.Byte(1), None]], "Variant()"),
    ([], "Variant()"),
    (datetime.datetime(2024, 2, 29, 13, 45, 7, 123000), "Date"),
    (datetime.datetime(1899, 12, 30), "Date"),
]


def same(a, b):
    if isinstance(a, list):
        return isinstance(b, list) and len(a) == len(b) and all(map(same, a, b))
    return type(a) is type(b) and a == b


@pytest.mark.parametrize("value,type_name", CASES, ids=[repr(c[0])[:30] for c in CASES])
def test_value_keeps_its_automation_type_through_bags_and_state_files(tmp_path, value, type_name):
    assert ix.type_name(value) == type_name
    bag = ix.PropertyBag()
    bag.WriteProperty("v", value)
    copy = ix.PropertyBag()
    copy.Contents = bag.Contents
    read = copy.ReadProperty("v")
    assert same(read, value)
    assert ix.type_name(read) == type_name
    # Written back, the value read keeps the exact type.
    again = ix.PropertyBag()
    again.WriteProperty("v", read)
    assert again.Contents == bag.Contents
    # And through a state file.
    state = ix.create("IxoInstrSetups.ItemStateInfo")
    state.Name = "typed"
    state.data = value
    path = str(tmp_path / "typed.sta")
    ix.StateFile.save(state, path)
    loaded = ix.StateFile.load(path)
    assert loaded.Name == "typed"
    assert same(loaded.data, value)
    assert ix.type_name(loaded.data) == type_name


def test_dates_without_time_are_midnight():
    bag = ix.PropertyBag()
    bag.WriteProperty("d", datetime.date(2020, 5, 17))
    assert bag.ReadProperty("d") == datetime.datetime(2020, 5, 17)


@pytest.mark.parametrize("make,argument", [
    (ix.Integer, 32768), (ix.Integer, -32769), (ix.Byte, 256), (ix.Byte, -1),
    (ix.LongLong, 2**63), (ix.type_name, 2**64),
])
def test_values_out_of_range_overflow(make, argument):
    assert error_of(lambda: make(argument)).number == 6


@pytest.mark.parametrize("value", [{"a": 1}, object(), 1j, {1, 2}])
def test_values_without_automation_type_are_a_type_mismatch(value):
    assert error_of(lambda: ix.PropertyBag().WriteProperty("v", value)).number == 13


def test_single_keeps_32_bit_precision():
    assert ix.Single(0.1).value != 0.1
    assert ix.Single(0.1) == ix.Single(0.1)
    assert float(ix.Single(1.5)) == 1.5
