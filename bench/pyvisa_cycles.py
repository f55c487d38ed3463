"""pyvisa-py doing the benchmark's capture + restore of the setup block, for comparison.

Usage: pyvisa_cycles.py <resource> <cycles>. Prints the seconds of one cycle (the mean of the
cycles after a first one that opens the session and warms up). One cycle is what our client
does for CaptureState and RestoreState with a setup query: clear, read the block, check the
error queue; clear, send the block, wait on *OPC?, check the error queue.
"""
import sys
import time

import pyvisa


def cycle(session):
    session.write("*CLS")
    block = session.query_binary_values(":SYST:SET?", datatype="B", container=bytes)
    assert session.query(":SYST:ERR?").startswith("0,")
    session.write("*CLS")
    session.write_binary_values(":SYST:SET ", block, datatype="B")
    assert session.query("*OPC?") == "1"
    assert session.query(":SYST:ERR?").startswith("0,")


def main():
    resource, cycles = sys.argv[1], int(sys.argv[2])
    manager = pyvisa.ResourceManager("@py")
    session = manager.open_resource(resource, read_termination="\n", write_termination="\n",
                                    timeout=10000)
    cycle(session)
    start = time.perf_counter()
    for _ in range(cycles):
        cycle(session)
    print((time.perf_counter() - start) / cycles)
    session.close()


if __name__ == "__main__":
    main()
