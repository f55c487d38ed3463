#!/usr/bin/python3
"""Any pyvisa resource (GPIB, USB, LAN, a vendor's VISA) as an instrument of IxoInstrSetups.

    /usr/bin/python3 examples/pyvisa_instrument.py TCPIP::127.0.0.1::5025::SOCKET setups.ixs
    /usr/bin/python3 examples/pyvisa_instrument.py GPIB0::12::INSTR setups.ixs --backend "" --app

The first captures the instrument's setup into the document and lists the document's states;
--app opens the ixo-setups window on the instrument instead.
"""

import argparse

import pyvisa

import ixoinstrsetups


class PyvisaInstrument(ixoinstrsetups.SetupInterface):
    """An SCPI instrument reached through pyvisa: its setup is the answer to *LRN?."""

    def __init__(self, resource_name, backend="@py", timeout_ms=5000, learn_query="*LRN?"):
        resource = pyvisa.ResourceManager(backend).open_resource(resource_name)
        # Setups travel as SCPI text, which only message-based resources speak.
        if not isinstance(resource, pyvisa.resources.MessageBasedResource):
            resource.close()
            raise ValueError("%s is no message-based resource" % resource_name)
        self.resource = resource
        self.resource.timeout = timeout_ms
        self.resource.read_termination = "\n"
        self.resource.write_termination = "\n"
        self.learn_query = learn_query
        self._identity = None

    def identity(self):
        """*IDN? split into manufacturer, model, serial and firmware, asked once."""
        if self._identity is None:
            fields = [field.strip() for field in self.resource.query("*IDN?").split(",")]
            self._identity = (fields + ["", "", "", ""])[:4]
        return self._identity

    def Model(self):
        return self.identity()[1]

    def Version(self):
        return self.identity()[3]

    def CaptureState(self):
        return self.resource.query(self.learn_query).strip()

    def RestoreState(self, state):
        self.resource.write(state)
        self.resource.query("*OPC?")
        errors = self.errors()
        if errors:
            raise RuntimeError("the instrument refused the setup: " + "; ".join(errors))

    def errors(self, limit=64):
        """The error queue, read until it reports no error."""
        errors = []
        for _ in range(limit):
            error = self.resource.query(":SYST:ERR?").strip()
            if error.startswith("0,") or error.startswith("+0,"):
                break
            errors.append(error)
        return errors

    def Settings(self):
        """The learn string as header to value, for the settings panel of the window."""
        settings = {}
        for command in self.CaptureState().split(";"):
            header, _, value = command.strip().partition(" ")
            if header and not header.startswith("*"):
                settings[header] = value
        return settings

    def WriteSetting(self, header, value):
        self.resource.write("%s %s" % (header, value))
        errors = self.errors()
        if errors:
            raise RuntimeError("; ".join(errors))

    def close(self):
        self.resource.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("resource", help="VISA resource, such as TCPIP::host::5025::SOCKET")
    parser.add_argument("document", help="the document (.ixs); created if missing")
    parser.add_argument("--backend", default="@py", help="pyvisa backend ('' for the system VISA)")
    parser.add_argument("--app", action="store_true", help="open the ixo-setups window")
    args = parser.parse_args()

    instrument = PyvisaInstrument(args.resource, args.backend)
    if args.app:
        import os
        ixoinstrsetups.run_app(instrument, args.document if os.path.exists(args.document) else None)
        return
    try:
        document = ixoinstrsetups.Document.open(args.document)
    except ixoinstrsetups.AutomationError as error:
        if error.number != 53:
            raise
        document = ixoinstrsetups.Document()
    document.capture(instrument, description="captured through pyvisa")
    document.save(args.document)
    for state in document:
        print("%s - %s [%s %s]" % (state.name, state.description, state.model, state.version))


if __name__ == "__main__":
    main()
