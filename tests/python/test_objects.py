"""Objects by name: ProgIDs, late-bound members in any letter case, bags."""

import pytest

import ixoinstrsetups as ix


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
    with pytest.raises(ix.AutomationError) as raised:
        si.Items.Add(ix.create("IxoInstrSetups.ItemStateInfo"), "b")
    assert raised.value.number == 457


def test_state_info_writes_and_reads_itself_through_a_bag():
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


def test_objects_stored_in_a_bag_come_back_as_objects():
    si = ix.create("IxoInstrSetups.StateInfo")
    item = ix.create("IxoInstrSetups.ItemStateInfo")
    item.Name = "inner"
    si.Items.Add(item, "inner")
    bag = ix.PropertyBag()
    bag.writeproperty("list", si)
    read = bag.ReadProperty("LIST")
    assert read.prog_id == "IxoInstrSetups.StateInfo"
    assert read != si
    assert read.Items.Item(1).Name == "inner"


@pytest.mark.parametrize("prog_id,number", [
    ("IxoInstrSetups.NoSuchClass", 429),
    ("", 429),
])
def test_unknown_prog_ids_fail(prog_id, number):
    with pytest.raises(ix.AutomationError) as raised:
        ix.create(prog_id)
    assert raised.value.number == number
    assert raised.value.description


def test_missing_member_is_error_438_and_python_protocols_are_attribute_errors():
    si = ix.create("IxoInstrSetups.StateInfo")
    with pytest.raises(ix.AutomationError) as raised:
        si.NoSuchMember
    assert raised.value.number == 438
    assert not hasattr(si, "__array__")


def test_read_only_and_wrong_type_assignments_fail():
    si = ix.create("IxoInstrSetups.StateInfo")
    with pytest.raises(ix.AutomationError) as raised:
        si.Items.Count = 3
    assert raised.value.number == 383
    with pytest.raises(ix.AutomationError) as raised:
        si.Items = "not a collection"
    assert raised.value.number == 13


def test_dir_lists_the_automation_members():
    names = dir(ix.create("IxoInstrSetups.ItemStateInfo"))
    for member in ["Name", "Description", "data", "Model", "Version", "Init"]:
        assert member in names
    assert "deleteLater" not in names


def test_bag_without_default_raises_327_and_default_is_not_stored():
    bag = ix.PropertyBag()
    with pytest.raises(ix.AutomationError) as raised:
        bag.ReadProperty("absent")
    assert raised.value.number == 327
    assert bag.ReadProperty("absent", 7) == 7
    bag.WriteProperty("n", 5, 5)
    assert "n" not in bag
    bag.WriteProperty("n", 6, 5)
    assert bag.ReadProperty("N") == 6
