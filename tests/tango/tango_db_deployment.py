#!/usr/bin/python3
"""quorvane-ds deployed as a site deploys it: Debian's tango-db on MariaDB
(installed and started here when missing; root), the server registered with
tango_admin, its properties in the database, started without -nodb and
reached by its device name through TANGO_HOST. Run by CI as its own step.

    tango_db_deployment.py QUORVANE_DS
"""

import os
import random
import select
import socket
import subprocess
import sys
import tempfile
import time

DS = sys.argv[1]
WAIT = 30
PRESEED = """tango-common tango-common/tango-host string 127.0.0.1:10000
tango-db tango-db/dbconfig-install boolean true
tango-db tango-db/mysql/method select Unix socket
tango-db tango-db/mysql/app-pass password tango
tango-db tango-db/app-password-confirm password tango
"""


def run(*command, **options):
    return subprocess.run(command, check=True, timeout=600, **options)


def installed(package):
    return subprocess.run(["dpkg-query", "-W", "-f=${Status}", package], capture_output=True,
                          text=True).stdout.endswith("install ok installed")


def wait_until(condition, what):
    deadline = time.monotonic() + WAIT
    while not condition():
        if time.monotonic() > deadline:
            sys.exit(f"deployment: no {what} within {WAIT} s")
        time.sleep(0.3)


def mysql_alive():
    return subprocess.run(["mysqladmin", "ping"], capture_output=True).returncode == 0


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def wait_ready(process, name):
    said, deadline = "", time.monotonic() + WAIT
    while "Ready to accept request" not in said:
        if time.monotonic() > deadline or process.poll() is not None:
            sys.exit(f"deployment: {name} does not start: {said}")
        if select.select([process.stdout], [], [], 0.3)[0]:
            said += process.stdout.readline()


def main():
    started = []
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    try:
        # MariaDB first; tango-db's installation makes its database in the running server.
        if not installed("mariadb-server"):
            run("apt-get", "install", "-y", "-qq", "mariadb-server", env=env)
        if not mysql_alive():
            started.append(subprocess.Popen(["mysqld_safe"], stdout=subprocess.DEVNULL,
                                            stderr=subprocess.DEVNULL))
            wait_until(mysql_alive, "MariaDB")
        if not installed("tango-db"):
            run("debconf-set-selections", input=PRESEED, text=True)
            run("apt-get", "install", "-y", "-qq", "tango-db", env=env)

        port = free_port()
        tango_env = dict(os.environ, TANGO_HOST=f"127.0.0.1:{port}", MYSQL_USER="tango",
                         MYSQL_PASSWORD="tango")
        database = subprocess.Popen(
            ["/usr/lib/tango/DataBaseds", "2", "-ORBendPoint", f"giop:tcp:127.0.0.1:{port}"],
            env=tango_env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        started.append(database)
        wait_ready(database, "DataBaseds")
        os.environ["TANGO_HOST"] = tango_env["TANGO_HOST"]
        import tango  # after TANGO_HOST: the database is found through it

        instance = f"dep{random.randrange(10000)}"
        device = f"ttc/ttcvi/{instance}"
        run("tango_admin", "--add-server", f"quorvane-ds/{instance}", "TTCvi", device,
            env=tango_env)
        folder = tempfile.TemporaryDirectory()
        base = random.randrange(0x100, 0xF00) * 0x1000
        ini = f"{folder.name}/site.ini"
        with open(ini, "w") as file:
            file.write(f"[TTCvi_Address]\nTTCviAddress={base}\n[PreSettings]\nNoOfPreSets=1\n"
                       "[PreSettingsPreset0]\nCaption=Physics\nTriggerSource=5\nRxName=Rx1\n"
                       "[Rx_Addresses]\nNoOfRxAddresses=1\nRxAddress0=Rx1=7\n")
        # The properties come from the database: the simulated crate at the file's base.
        tango.Database().put_device_property(
            device, {"Adapter": ["sim"], "Base": [hex(base)], "ConfigFile": [ini],
                     "PollPeriod": ["500"]})
        server = subprocess.Popen([DS, instance], env=dict(tango_env, HOME=folder.name),
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        started.append(server)
        wait_ready(server, "quorvane-ds")

        ttc = tango.DeviceProxy(device)
        if ttc.state() != tango.DevState.ON or hex(base)[2:].upper() not in ttc.status():
            sys.exit(f"deployment: {ttc.state()} {ttc.status()}")
        ttc.ApplyPreset("Physics")
        if ttc.TriggerSource != 5 or list(ttc.Presets) != ["Physics"]:
            sys.exit("deployment: the preset did not reach the module")
        if ttc.get_attribute_poll_period("CSR1") != 500:
            sys.exit("deployment: PollPeriod from the database not used")
        run("tango_admin", "--delete-server", f"quorvane-ds/{instance}", env=tango_env)
        print(f"deployment: quorvane-ds/{instance} registered, started and reached as {device}")
    finally:
        for process in reversed(started):
            if process.args[0] == "mysqld_safe":
                subprocess.run(["mysqladmin", "shutdown"], capture_output=True)
            process.terminate()
            try:
                process.wait(WAIT)
            except subprocess.TimeoutExpired:
                process.kill()


if __name__ == "__main__":
    main()
