"""Objects by name: ProgIDs, late-bound members in any letter case, bags."""

import pytest

import ixoinstrsetups as ix
from conftest import error_of


@pytest.mark.parametrize("spelling", ["Items", "items", "ITEMS", "iTeMs"])
def test_members_in_any_letter_case(spelling):
    si = ix.create("IxoInstrSetups.StateInfo")
    item = ix.create("IxoInstrSetups.ItemStateInfo")
    item.NAME = "Carrier"
    getattr(si, spelling).add(item, "Carrier")
    assert getattr(si, spelling).Count == 1
    assert si.Items.Item("carrier").name == "Carrier"


def test_collection_keeps_order_and_refuses_a_taken_key():
    si = ix.create("IxoInstrSetups.StateInfo")
    for name in ["A", "B", "C"]:
        item = ix.create("IxoInstrSetups.ItemStateInfo")
        item.Name = name
        si.Items.Add(item, name)
    assert [item.Name for item in si.Items] == ["A", "B", "C"]
    assert len(si.Items) == 3
    another = ix.create("IxoInstrSetups.ItemStateInfo")
    assert error_of(lambda: si.Items.Add(another, "b")).number == 457


def test_state_info_through_a_bag_by_its_properties_and_as_an_object():
    si = ix.create("IxoInstrSetups.StateInfo")
    item = ix.create("IxoInstrSetups.ItemStateInfo")
    item.Name, item.Description, item.Model, item.Version = "X", "d", "SG-100", "2.1"
    item.data = b"\x01\x02"
    si.Items.Add(item, "X")
    bag = ix.PropertyBag()
    si.WriteProperties(bag)
    copy = ix.PropertyBag()
    copy.contents = bag.Contents
    loaded = ix.create("IxoInstrSetups.StateInfo")
    loaded.ReadProperties(copy)
    state = loaded.Items.Item(1)
    assert (state.Name, state.Description, state.Model, state.Version, state.data) == (
        "X", "d", "SG-100", "2.1", b"\x01\x02")
    objects = ix.PropertyBag()
    objects.writeproperty("list", si)
    read = objects.ReadProperty("LIST")
    assert read.prog_id == "IxoInstrSetups.StateInfo"
    assert read != si
    assert read.Items.Item(1).Name == "X"


@pytest.mark.parametrize("use,number", [
    (lambda si: ix.create("IxoInstrSetups.NoSuchClass"), 429),
    (lambda si: ix.create(""), 429),
    (lambda si: si.NoSuchMember, 438),
    (lambda si: setattr(si.Items, "Count", 3), 383),
    (lambda si: setattr(si, "Items", "not a collection"), 13),
])
def test_unknown_classes_and_members_and_bad_assignments_fail(use, number):
    error = error_of(lambda: use(ix.create("IxoInstrSetups.StateInfo")))
    assert error.number == number
    assert error.description


def test_dir_lists_the_automation_members_and_python_protocols_are_attribute_errors():
    item = ix.create("IxoInstrSetups.ItemStateInfo")
    for member in ["Name", "Description", "data", "Model", "Version", "Init"]:
        assert member in dir(item)
    assert "deleteLater" not in dir(item)
    assert not hasattr(ix.create("IxoInstrSetups.StateInfo"), "__array__")


def test_bag_without_default_raises_327_and_default_is_not_stored():
    bag = ix.PropertyBag()
    assert error_of(lambda: bag.ReadProperty("absent")).number == 327
    assert bag.ReadProperty("absent", 7) == 7
    bag.WriteProperty("n", 5, 5)
    assert "n" not in bag
    bag.WriteProperty("n", 6, 5)
    assert bag.ReadProperty("N") == 6
