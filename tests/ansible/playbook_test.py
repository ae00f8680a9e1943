"""The Ansible collection against three simulated voice servers, run by ansible-playbook as an
administrator runs it: the example inventory (its ports replaced by the simulators') and playbooks. Lille's
server is of the older generation (line records instead of "rcm.cfg").

usage: playbook_test.py QAVO_CLI QAVO_SIM SOURCE_DIR
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import urllib.request

SKIP = 77
PASSWORD = "vault-s3cret word"
SITES = ("paris", "lyon", "lille")


class Sim:
    def __init__(self, sim, root, example):
        self.root = root
        self.process = subprocess.Popen(
            [sim, "--root", root, "--init-from", example, "--port", "0", "--user", "admin",
             "--password", PASSWORD, "--control"], stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline().split()[1])

    def tree(self):
        with open(os.path.join(self.root, "arbre.maa"), "rb") as f:
            return f.read()

    def log(self):
        return urllib.request.urlopen("http://127.0.0.1:%d/_sim/log" % self.port, timeout=5).read()

    def stores(self):
        return self.log().decode().count("PUT /qavo/files/arbre.maa")

    def stop(self):
        self.process.kill()
        self.process.wait()


class Run:
    def __init__(self, completed):
        self.rc = completed.returncode
        self.out = completed.stdout + completed.stderr
        self.recap = {m[0]: dict(changed=int(m[1]), failed=int(m[2])) for m in re.findall(
            r"^(\w+)\s+: ok=\d+\s+changed=(\d+)\s+unreachable=\d+\s+failed=(\d+)", self.out, re.M)}

    def changed(self):
        return {site: self.recap[site]["changed"] for site in SITES}

    def failed(self):
        return {site: self.recap[site]["failed"] for site in SITES}


def expect(condition, what, run=None):
    if not condition:
        sys.exit("FAILED: %s\n%s" % (what, run.out if run else ""))


def main(cli, sim, source):
    if not shutil.which("ansible-playbook"):
        print("ansible-playbook is not installed (Debian package ansible-core): skipped")
        return SKIP
    work = tempfile.mkdtemp(prefix="qavo-ansible-")
    playbooks = os.path.join(source, "ansible")
    # What qavo-cli was started with, for the password check at the end.
    arguments = os.path.join(work, "arguments.log")
    wrapper = os.path.join(work, "qavo-cli")
    with open(wrapper, "w") as f:
        f.write('#!/bin/sh\nprintf "%%s\\n" "$*" >> "%s"\nexec "%s" "$@"\n' % (arguments, cli))
    os.chmod(wrapper, 0o755)
    for folder in ("home", "tmp", "local", "remote"):
        os.mkdir(os.path.join(work, folder))
    env = dict(os.environ, ANSIBLE_COLLECTIONS_PATH=playbooks, HOME=work + "/home", TMPDIR=work + "/tmp",
               ANSIBLE_LOCAL_TEMP=work + "/local", ANSIBLE_REMOTE_TEMP=work + "/remote",
               LC_ALL="C.UTF-8", LANG="C.UTF-8", ANSIBLE_NOCOLOR="1", ANSIBLE_RETRY_FILES_ENABLED="0",
               QAVO_HISTORY_DIR=work + "/history")
    example = os.path.join(source, "resources/server-example")
    sims = {site: Sim(sim, os.path.join(work, site), example + ("-500" if site == "lille" else ""))
            for site in SITES}
    local = os.path.join(work, "local-sites.json")

    def play(*arguments, lyon_station=202, paris_station=201, command="ansible-playbook"):
        hosts = {site: dict(qavo_host="127.0.0.1", qavo_port=sims[site].port) for site in SITES}
        hosts["lyon"]["reception_station"] = lyon_station
        hosts["paris"]["reception_station"] = paris_station
        with open(local, "w") as f:
            json.dump({"voice_servers": {"hosts": hosts, "vars": dict(
                vault_qavo_password=PASSWORD, qavo_cli=wrapper, qavo_render_dir=work + "/rendered",
                qavo_backup_dir=work + "/backups")}}, f)
        return Run(subprocess.run(
            [command, "-i", os.path.join(playbooks, "inventory/sites.yml"), "-i", local]
            + [os.path.join(playbooks, a) if a.endswith(".yml") else a for a in arguments],
            cwd=work, env=env, capture_output=True, text=True, timeout=240))

    try:
        first = play("site.yml")
        expect(first.rc == 0 and first.changed() == dict(paris=1, lyon=1, lille=1), "first run: changed=3", first)
        for site, station, welcome in (("paris", 201, 10), ("lyon", 202, 10), ("lille", 203, 15)):
            tree = sims[site].tree().decode("cp1252")
            expect("\r\nlib=Accueil %s\r\nann1=%d\r\n" % (site.capitalize(), welcome) in tree
                   and "\r\n1=trf;%d\r\n" % station in tree, site + " holds its own tree:\n" + tree)
        stores = {site: sims[site].stores() for site in SITES}

        backup = play("backup.yml")
        expect(backup.rc == 0 and backup.changed() == dict(paris=1, lyon=1, lille=1), "backup written", backup)
        for site in SITES:
            with open(os.path.join(work, "backups", site, "arbre.maa"), "rb") as f:
                expect(f.read() == sims[site].tree(), site + "'s backup is the server's tree")
            expect(os.path.getsize(os.path.join(work, "backups", site, "lines.csv")) > 0, site + "'s lines")

        # Both playbooks again: nothing to send, nothing new to back up.
        second = play("site.yml", "backup.yml")
        expect(second.rc == 0 and second.changed() == dict(paris=0, lyon=0, lille=0), "second run: changed=0",
               second)

        # Lille's line records pushed back with a number changed: stored once, then unchanged.
        lines = os.path.join(work, "lille-lines.csv")
        with open(os.path.join(work, "backups", "lille", "lines.csv"), "rb") as f:
            edited = f.read().replace(b"\r\n0140000010;", b"\r\n0140000011;", 1)
        with open(lines, "wb") as f:
            f.write(edited)
        push = ["-m", "qavo.voiceserver.qavo_lines", "-a", "src=%s host={{ qavo_host }} port={{ qavo_port }} "
                "user={{ qavo_user }} password={{ qavo_password }} cli={{ qavo_cli }}" % lines, "lille"]
        for changed in ("CHANGED", "SUCCESS"):
            pushed = play(*push, command="ansible")
            expect(pushed.rc == 0 and "lille | %s" % changed in pushed.out, "lille's lines: " + changed, pushed)
        expect(b"#102 " in sims["lille"].log(), "lille's line records written", pushed)

        dry = play("site.yml", "--check", "--diff", lyon_station=203)
        expect(dry.rc == 0 and dry.changed() == dict(paris=0, lyon=1, lille=0), "--check: lyon would change", dry)
        expect(re.search(r"^-[^-].*202", dry.out, re.M) and re.search(r"^\+[^+].*203", dry.out, re.M),
               "--diff shows the change line", dry)
        expect({site: sims[site].stores() for site in SITES} == stores, "--check stores nothing", dry)

        # Lille down, Paris's tree transfers to no station (an error), Lyon goes through.
        sims["lille"].stop()
        mixed = play("site.yml", lyon_station=203, paris_station="")
        expect(mixed.rc != 0 and mixed.failed() == dict(paris=1, lyon=0, lille=1), "each failure alone", mixed)
        expect(mixed.changed()["lyon"] == 1 and b"\r\n1=trf;203\r\n" in sims["lyon"].tree(), "lyon stored", mixed)
        paris = re.search(r"fatal: \[paris\].*", mixed.out).group(0)
        expect("Num\u00e9ro de transfert non renseign\u00e9" in paris and "M1" in paris, "paris fails with its findings", mixed)
        expect(sims["paris"].stores() == stores["paris"], "nothing stored on paris", mixed)

        with open(arguments) as f:
            started = f.read()
        expect("/HADDR:" in started and "s3cret" not in started, "no password on qavo-cli's command line")
    finally:
        for s in sims.values():
            s.stop()
    shutil.rmtree(work)
    print("ansible playbooks: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
