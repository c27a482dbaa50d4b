#!/usr/bin/python3
"""quorvane-ds against Tango's own test device, on loopback and simulated
crates, measured with PyTango in one run:

  - a CSR1 read against TangoTest's short_scalar read (medians; target: 2x);
  - ApplyPreset of a preset of the example file (median; target: 5 ms);
  - ten servers, one client applying a preset to all ten with asynchronous
    calls (median of the rounds; target: 100 ms in all);
  - twenty client processes reading CSR1 at once: no error, no wrong value.

    bench/tango_bench.py BUILD/bin/quorvane-ds [/usr/lib/tango/TangoTest]
"""

import multiprocessing
import os
import random
import select
import socket
import statistics
import subprocess
import sys
import tempfile
import time

import tango

DS = sys.argv[1]
TANGO_TEST = sys.argv[2] if len(sys.argv) > 2 else "/usr/lib/tango/TangoTest"
READS, APPLIES, ROUNDS, FLEET, CLIENTS = 2000, 200, 20, 10, 20

INI = (
    "[TTCvi_Address]\nTTCviAddress={base}\n"
    "[B_GoSequnces]\nNoOfSeq=1\n[B_GoSequncesSeq0]\nCaption=Trig\nNoOfVectors=2\n"
    "vector0=10000000000000000000000000000101\nvector1=00000000000000000000000000000001\n"
    "[PreSettings]\nNoOfPreSets=1\n[PreSettingsPreset0]\nCaption=Run1\nRanGenRate=0\n"
    "TriggerSource=5\nOrbitSignal=1\nRxName=Rx1\n[PreSettingsSeq0]\nNoOfVectors=2\n"
    "vector0=10000000000000000000000000000101\nvector1=00000000000000000000000000000001\n"
    "[Rx_Addresses]\nNoOfRxAddresses=2\nRxAddress0=Rx1=000001\nRxAddress1=Rx2=x1F\n"
)


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def start(command, env, device):
    port = free_port()
    process = subprocess.Popen(command + ["-nodb", "-dlist", device, "-ORBendPoint",
                                          f"giop:tcp:127.0.0.1:{port}"],
                               env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    said, deadline = "", time.monotonic() + 20
    while "Ready to accept request" not in said:
        if time.monotonic() > deadline or process.poll() is not None:
            process.kill()
            sys.exit(f"{command[0]} does not start: {said}")
        if select.select([process.stdout], [], [], 0.2)[0]:
            said += process.stdout.readline()
    return process, f"tango://127.0.0.1:{port}/{device}#dbase=no"


def start_ds(folder):
    base = random.randrange(0x100, 0xF00) * 0x1000
    os.makedirs(f"{folder}/config/quorvane")
    os.makedirs(f"{folder}/data/quorvane")
    with open(f"{folder}/config/quorvane/crate.conf", "w") as conf:
        conf.write(f"adapter = sim\nbase = {hex(base)}\n")
    with open(f"{folder}/data/quorvane/quorvane.ini", "w") as ini:
        ini.write(INI.format(base=base))
    env = dict(os.environ, HOME=folder, XDG_CONFIG_HOME=f"{folder}/config",
               XDG_DATA_HOME=f"{folder}/data")
    return start([DS, "bench"], env, "ttc/ttcvi/bench")


def median_ms(call, count):
    times = []
    for _ in range(count):
        begin = time.perf_counter()
        call()
        times.append(time.perf_counter() - begin)
    return statistics.median(times) * 1000


def reader(name, expected, count, errors):
    device = tango.DeviceProxy(name)
    for _ in range(count):
        try:
            if device.CSR1 != expected:
                errors.put("wrong value")
        except tango.DevFailed as failure:
            errors.put(failure.args[0].desc)


if __name__ == "__main__":
    servers = []
    folders = [tempfile.TemporaryDirectory() for _ in range(FLEET)]
    try:
        test_process, test_name = start([TANGO_TEST, "bench"], dict(os.environ), "sys/tg_test/bench")
        servers.append(test_process)
        names = []
        for folder in folders:
            process, name = start_ds(folder.name)
            servers.append(process)
            names.append(name)

        tango_test = tango.DeviceProxy(test_name)
        ds = tango.DeviceProxy(names[0])
        tango_test.read_attribute("short_scalar")
        ds.read_attribute("CSR1")
        reference = median_ms(lambda: tango_test.read_attribute("short_scalar"), READS)
        csr1 = median_ms(lambda: ds.read_attribute("CSR1"), READS)
        apply = median_ms(lambda: ds.ApplyPreset("Run1"), APPLIES)

        fleet = [tango.DeviceProxy(name) for name in names]
        rounds = []
        for _ in range(ROUNDS):
            begin = time.perf_counter()
            calls = [device.command_inout_asynch("ApplyPreset", "Run1") for device in fleet]
            for device, call in zip(fleet, calls):
                device.command_inout_reply(call, 5000)
            rounds.append(time.perf_counter() - begin)
        fleet_ms = statistics.median(rounds) * 1000

        expected = ds.CSR1
        # Fresh processes: a fork would share the parent's ORB.
        spawn = multiprocessing.get_context("spawn")
        errors = spawn.Queue()
        readers = [spawn.Process(target=reader, args=(names[0], expected, 200, errors))
                   for _ in range(CLIENTS)]
        for process in readers:
            process.start()
        for process in readers:
            process.join(60)
        failures = [f"reader ended with {p.exitcode}" for p in readers if p.exitcode != 0]
        while not errors.empty():
            failures.append(errors.get())

        print(f"TangoTest short_scalar read   {reference:8.3f} ms (median of {READS})")
        print(f"quorvane-ds CSR1 read         {csr1:8.3f} ms  target <= {2 * reference:.3f} ms: "
              f"{'met' if csr1 <= 2 * reference else 'MISSED'}")
        print(f"ApplyPreset Run1              {apply:8.3f} ms  target < 5 ms: "
              f"{'met' if apply < 5 else 'MISSED'}")
        print(f"ApplyPreset on {FLEET} servers   {fleet_ms:8.3f} ms  target < 100 ms: "
              f"{'met' if fleet_ms < 100 else 'MISSED'}")
        print(f"{CLIENTS} clients x 200 CSR1 reads: {len(failures)} errors or wrong values"
              + (f" ({failures[0]})" if failures else ""))
    finally:
        for process in servers:
            process.terminate()
        for process in servers:
            try:
                process.wait(20)
            except subprocess.TimeoutExpired:
                process.kill()
