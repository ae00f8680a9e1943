# -*- coding: utf-8 -*-
# What the qavo modules share: the server options, running qavo-cli with --json, reading its answer.

from __future__ import absolute_import, division, print_function

__metaclass__ = type

import json
import os

# Exit codes of qavo-cli.
OK = 0
TREE_ERRORS = 1
WOULD_CHANGE = 5

SERVER_ARGS = dict(
    host=dict(type="str", required=True),
    port=dict(type="int", default=80),
    user=dict(type="str"),
    password=dict(type="str", no_log=True),
    switches=dict(type="list", elements="str", default=[]),
    history_dir=dict(type="path"),
    cli=dict(type="str", default="qavo-cli"),
)


def server_args(**more):
    args = dict(SERVER_ARGS)
    args.update(more)
    return args


def _program(module):
    cli = module.params["cli"]
    if os.sep in cli:
        return cli
    return module.get_bin_path(cli, required=True)


def _switches(module):
    p = module.params
    switches = ["/HADDR:" + p["host"], "/HPORT:%d" % p["port"]]
    if p["user"]:
        switches.append("/USER:" + p["user"])
    for switch in p["switches"]:
        if switch.upper().startswith(("/PASS:", "/PPASS:")):
            module.fail_json(msg="a password goes in the password option, not in switches: "
                                 "the command line is visible to every user of the controller")
        switches.append(switch)
    return switches


def run_cli(module, args):
    """Runs qavo-cli ARGS --json against the server; returns (exit code, JSON answer)."""
    p = module.params
    env = {}
    if p["password"] is not None:
        env["QAVO_PASS"] = p["password"]
    if p["history_dir"]:
        env["QAVO_HISTORY_DIR"] = p["history_dir"]
    rc, out, err = module.run_command([_program(module)] + args + ["--json"] + _switches(module),
                                      environ_update=env)
    try:
        answer = json.loads(out)
    except ValueError:
        module.fail_json(msg=(err or out).strip() or "qavo-cli ended with exit code %d" % rc, rc=rc)
    if not isinstance(answer, dict):
        module.fail_json(msg="qavo-cli did not answer a JSON object", rc=rc, stdout=out)
    return rc, answer


def failure_message(rc, answer):
    """The findings when the tree has errors, otherwise qavo-cli's own sentence."""
    errors = [f for f in answer.get("findings") or [] if f.get("level") == "error"]
    if rc == TREE_ERRORS and errors:
        return "; ".join("%s: %s" % (f.get("node") or "-", f.get("text")) for f in errors)
    return answer.get("msg") or "qavo-cli ended with exit code %d" % rc


def change_diff(changes, before_header, after_header):
    """The change lines as Ansible shows a diff: the server's side before, the new side after."""
    def side(key):
        return "".join("%s: %s\n" % (c.get("path"), c.get(key) or "") for c in changes)

    return dict(before=side("before"), after=side("after"),
                before_header=before_header, after_header=after_header)


def push(module, command, src):
    """send / lines-import of SRC: stored when it changes the server's file, only compared in check mode."""
    p = module.params
    args = [command, src]
    if module.check_mode:
        args.append("--check")
    if p.get("force"):
        args.append("--force")
    if p.get("scenarios"):
        args += ["--scenarios", p["scenarios"]]
    rc, answer = run_cli(module, args)
    changes = answer.get("changes") or []
    result = dict(changed=bool(answer.get("changed")), changes=changes,
                  findings=answer.get("findings") or [], revision=answer.get("revision"))
    if "scenarios" in answer:
        result["scenarios"] = answer["scenarios"]
    if module._diff and changes:
        result["diff"] = change_diff(changes, "%s:%d" % (p["host"], p["port"]), src)
    # Ansible takes a result with a non-zero rc for a failure: a check that finds a change is not one.
    if rc == OK or (module.check_mode and rc == WOULD_CHANGE):
        module.exit_json(msg=answer.get("msg", ""), **result)
    module.fail_json(msg=failure_message(rc, answer), rc=rc, **result)
