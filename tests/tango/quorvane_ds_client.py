#!/usr/bin/python3
"""quorvane-ds as a control system's client meets it: the server started on
127.0.0.1 over the simulated crate, every attribute and command driven with
PyTango, the refusals, events, Off and quorvane-ctl beside it.

    quorvane_ds_client.py QUORVANE_DS QUORVANE_CTL
"""

import os
import random
import select
import socket
import subprocess
import sys
import tempfile
import time

import tango

DS, CTL = sys.argv[1], sys.argv[2]
DEVICE = "ttc/ttcvi/crate1"
WAIT = 20  # seconds: the longest any step waits

# The module sits at a base of its own, so that its lock file in /run/lock is
# not another run's.
BASE = random.randrange(0x100, 0xF00) * 0x1000
INI = (
    f"[TTCvi_Address]\nTTCviAddress={BASE}\n"
    "[B_GoSequnces]\nNoOfSeq=1\n[B_GoSequncesSeq0]\nCaption=Trig\nNoOfVectors=1\n"
    "vector0=10000000000000000000000000000101\n"
    "[PreSettings]\nNoOfPreSets=1\n[PreSettingsPreset0]\nCaption=Physics\nTriggerSource=5\n"
    "RanGenRate=3\nRxName=Rx1\n[PreSettingsSeq2]\nNoOfVectors=1\n"
    "vector0=10000000000000000000000000000101\n"
    "[Rx_Addresses]\nNoOfRxAddresses=1\nRxAddress0=Rx1=7\n[BusLog]\nFileLog=1\n"
)


def check(condition, what):
    if not condition:
        raise AssertionError(what)


def refused(reason, call):
    try:
        call()
    except tango.DevFailed as failure:
        check(failure.args[0].reason == reason, f"{failure.args[0].reason} instead of {reason}")
        return failure.args[0].desc
    raise AssertionError(f"not refused: wanted {reason}")


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class Server:
    """One quorvane-ds in folders of its own; stopped by the test itself."""

    def __init__(self, crate_base, module_base):
        self.home = tempfile.TemporaryDirectory()
        home = self.home.name
        self.env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=f"{home}/config",
                        XDG_DATA_HOME=f"{home}/data")
        os.makedirs(f"{home}/config/quorvane")
        os.makedirs(f"{home}/data/quorvane")
        with open(f"{home}/config/quorvane/crate.conf", "w") as conf:
            conf.write(f"adapter = sim\nbase = {hex(crate_base)}\n")
        self.ini = f"{home}/data/quorvane/quorvane.ini"
        with open(self.ini, "w") as ini:
            ini.write(INI.replace(str(BASE), str(module_base)))
        self.written = os.stat(self.ini).st_mtime_ns
        port = free_port()
        self.process = subprocess.Popen(
            [DS, "crate1", "-nodb", "-dlist", DEVICE, "-ORBendPoint", f"giop:tcp:127.0.0.1:{port}"],
            env=self.env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        # The server says when it listens; the proxy is made after that.
        deadline = time.monotonic() + WAIT
        said = ""
        while "Ready to accept request" not in said:
            check(time.monotonic() < deadline, "quorvane-ds does not start: " + said)
            if select.select([self.process.stdout], [], [], 0.2)[0]:
                line = self.process.stdout.readline()
                check(line or self.process.poll() is None, "quorvane-ds ended: " + said)
                said += line
        self.device = tango.DeviceProxy(f"tango://127.0.0.1:{port}/{DEVICE}#dbase=no")
        self.device.set_timeout_millis(5000)

    def ctl(self, *arguments):
        return subprocess.run([CTL, *arguments], env=self.env, capture_output=True, text=True,
                              timeout=WAIT)

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(WAIT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.home.cleanup()


def wait_for(condition, what):
    deadline = time.monotonic() + WAIT
    while not condition():
        check(time.monotonic() < deadline, f"no {what} within {WAIT} s")
        time.sleep(0.05)


def drive(server):
    d = server.device
    check(d.state() == tango.DevState.ON, d.status())
    check(list(d.Presets) == ["Physics"] and list(d.Sequences) == ["Trig"], "lists")
    check(list(d.RxNames) == ["Rx1"], "RxNames")
    check(list(d.FifoEmpty) == [True] * 4 and list(d.FifoFull) == [False] * 4, "FIFOs at start")

    changes, archived = [], []
    d.subscribe_event("CSR2", tango.EventType.CHANGE_EVENT,
                      lambda e: e.err or changes.append(e.attr_value.value))
    d.subscribe_event("CSR1", tango.EventType.ARCHIVE_EVENT,
                      lambda e: e.err or archived.append(e.attr_value.value))
    wait_for(lambda: changes and archived, "first events")

    d.RandomRate = 3
    d.TriggerSource = 5
    d.OrbitInternal = True
    check(d.CSR1 == 0x300D and d.TriggerSource == 5 and d.RandomRate == 3 and d.OrbitInternal,
          hex(d.CSR1))
    d.InhibitDelay = [1, 2, 3, 4095]
    d.InhibitDuration = [5, 6, 7, 255]
    check(list(d.InhibitDelay) == [1, 2, 3, 4095] and list(d.InhibitDuration)[3] == 255, "inhibits")
    d.Retransmit = [True, False, True, True]
    check(list(d.Retransmit) == [True, False, True, True] and d.CSR2 & 0x0F00 == 0x0200, "retransmit")
    check(list(d.BGoMode) == [0, 0, 0, 0], "modes")

    d.LoadFifo([[1], ["Trig"]])
    check(list(d.FifoEmpty) == [True, False, True, True], "FIFO 1 loaded")
    wait_for(lambda: changes[-1] & 0x0C == 0, "change event of CSR2 after the load")
    d.ResetFifos([])
    check(list(d.FifoEmpty) == [True] * 4, "FIFOs reset")

    d.ApplyPreset("Physics")
    check(list(d.FifoEmpty) == [True, True, False, True] and d.TriggerSource == 5, "preset")
    d.Trigger()
    check(d.TriggerSource == 4, "trigger")
    d.SendShort(0x12)
    d.SendLong([[1, 2], ["Rx1"]])
    d.SetRx([[10, 0x93], ["Rx1", "Deskew1", "Control"]])
    d.Reset()
    check(d.CSR1 & 0x7 == 0 and d.state() == tango.DevState.ON, "reset")

    text = refused("TTCvi_UnknownName", lambda: d.ApplyPreset("Cosmics"))
    check('"Physics"' in text, text)
    refused("TTCvi_UnknownName", lambda: d.LoadFifo([[0], ["Nope"]]))
    refused("TTCvi_UnknownName", lambda: d.SetRx([[1], ["Rx9", "Deskew1"]]))
    refused("TTCvi_ValueOutOfRange", lambda: d.write_attribute("InhibitDuration", [0, 256, 0, 0]))
    refused("TTCvi_ValueOutOfRange", lambda: d.ResetFifos([4]))
    refused("TTCvi_ValueOutOfRange", lambda: d.SendShort(256))
    check(d.state() == tango.DevState.ON, "refused input leaves the device ON")

    # While the server holds the module, quorvane-ctl is told who does.
    held = server.ctl("status")
    check(held.returncode == 3 and "quorvane-ds" in held.stderr, held.stderr)
    states = []
    d.subscribe_event("State", tango.EventType.CHANGE_EVENT,
                      lambda e: e.err or states.append(e.attr_value.value))
    d.Off()
    check(d.state() == tango.DevState.OFF, d.status())
    wait_for(lambda: tango.DevState.OFF in states, "State event OFF")
    free = server.ctl("status")
    check(free.returncode == 0 and "CSR1" in free.stdout, free.stderr + free.stdout)
    refused("TTCvi_DeviceOff", lambda: d.read_attribute("CSR1"))
    d.On()
    check(d.state() == tango.DevState.ON, d.status())
    d.Init()  # properties and the file read again, the module taken again
    check(d.state() == tango.DevState.ON and list(d.Presets) == ["Physics"], d.status())

    log = open(f"{server.home.name}/data/quorvane/buslog.csv").read()
    check("ApplyPreset 'Physics' from 127.0.0.1" in log, "bus log cause")


def bus_refusing():
    # The configuration file puts the module where no module answers.
    server = Server(BASE, BASE + 0x1000)
    try:
        d = server.device
        check(d.state() == tango.DevState.FAULT, d.status())
        text = refused("TTCvi_BusError", lambda: d.read_attribute("CSR2"))
        check(text == d.status(), text + " / " + d.status())
    finally:
        server.stop()


def main():
    server = Server(BASE, BASE)
    try:
        drive(server)
        with open(server.ini) as ini:
            check(ini.read() == INI, "configuration file changed")
        check(os.stat(server.ini).st_mtime_ns == server.written, "configuration file written")
    finally:
        server.stop()
    bus_refusing()
    print("quorvane-ds: every attribute, command and refusal as a client meets them")


if __name__ == "__main__":
    main()
