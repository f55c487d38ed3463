"""python-zeroconf against our DNS-SD: it resolves the simulator's services, and ixo-states
discover finds a service zeroconf registers. Both use multicast on loopback only; without it
(no group membership on lo, or port 5353 held without sharing) the tests are skipped."""
import json
import re
import socket
import subprocess
import time

import pytest

from conftest import SIM, STATES

zeroconf = pytest.importorskip("zeroconf")

GROUP = "224.0.0.251"


def multicast_on_loopback():
    """Why multicast on lo cannot be used here, or None."""
    probe = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    try:
        probe.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        probe.bind((GROUP, 5353))
        probe.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP,
                         socket.inet_aton(GROUP) + socket.inet_aton("127.0.0.1"))
    except OSError as error:
        return f"cannot join {GROUP} on port 5353 of lo: {error}"
    finally:
        probe.close()
    return None


pytestmark = pytest.mark.skipif(multicast_on_loopback() is not None,
                                reason=str(multicast_on_loopback()))


def start_sim(*options):
    process = subprocess.Popen([SIM, "--socket-port", "0", "--vxi11-port", "0", "--hislip-port",
                                "0", *options], stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True)
    output = ""
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline and "hislip0" not in output:
        line = process.stdout.readline()
        if not line:
            break
        output += line
    if "--no-mdns" not in options:
        output += process.stdout.readline()
    port = re.search(r"TCPIP::[^:]+::(\d+)::SOCKET", output)
    assert port, output
    return process, int(port.group(1)), output


@pytest.fixture
def zc():
    instance = zeroconf.Zeroconf(interfaces=["127.0.0.1"])
    yield instance
    instance.close()


def test_zeroconf_resolves_simulator(zc):
    process, socket_port, output = start_sim("--mdns-port", "5353")
    try:
        if "multicast and unicast" not in output:
            pytest.skip("the simulator answers no multicast here: " + output.strip())
        name = f"SG-100 simulator {socket_port}._scpi-raw._tcp.local."
        info = zc.get_service_info("_scpi-raw._tcp.local.", name, timeout=3000)
        assert info is not None, output
        assert info.port == socket_port
        assert socket.inet_aton("127.0.0.1") in info.addresses
        assert info.properties.get(b"Model") == b"SG-100"
    finally:
        process.kill()
        process.wait()


def test_discover_finds_zeroconf_service(zc):
    # A model of its own, so that no other simulator answering on lo is taken for this one.
    process, socket_port, output = start_sim("--no-mdns", "--model", "ZC-7")
    try:
        zc.register_service(zeroconf.ServiceInfo(
            "_scpi-raw._tcp.local.", "Bench scope._scpi-raw._tcp.local.",
            addresses=[socket.inet_aton("127.0.0.1")], port=socket_port,
            server="bench-scope.local."))
        done = subprocess.run([STATES, "discover", "--json", "--timeout", "1500", "--no-vxi11",
                               "--no-usb", "--multicast-interface", "lo"],
                              capture_output=True, text=True, timeout=60)
        assert done.returncode == 0, done.stderr
        found = json.loads(done.stdout)
        assert {"resource": f"TCPIP::127.0.0.1::{socket_port}::SOCKET",
                "identity": "IXO,ZC-7,000001,2.1.0", "mechanism": "mdns",
                "problem": ""} in found, found
    finally:
        process.kill()
        process.wait()
