#!/usr/bin/python
# -*- coding: utf-8 -*-

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
module: qavo_backup
short_description: Fetch a voice server's tree and line table into a folder on the controller
description:
  - Writes C(arbre.maa) (C(qavo-cli fetch)) and C(lines.csv) (C(qavo-cli lines-export)) into I(dest).
  - A file is replaced only when its bytes differ; C(changed) says whether one was.
options:
  dest:
    description: The folder; created when missing.
    type: path
    required: true
  tree:
    description: Fetch the tree.
    type: bool
    default: true
  lines:
    description: Fetch the line table.
    type: bool
    default: true
extends_documentation_fragment: qavo.voiceserver.server
"""

EXAMPLES = r"""
- name: Keep a copy of each site
  qavo.voiceserver.qavo_backup:
    dest: "backups/{{ inventory_hostname }}"
    host: "{{ qavo_host }}"
    user: admin
    password: "{{ vault_qavo_password }}"
"""

RETURN = r"""
files:
  description: The files of dest that were written (or would be, in check mode).
  type: list
  returned: always
"""

import filecmp
import os
import tempfile

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.qavo.voiceserver.plugins.module_utils.qavo_cli import (OK, failure_message,
                                                                                 run_cli, server_args)


def fetch_all(module, scratch):
    """Fetches what was asked into scratch; returns the file names."""
    wanted = []
    if module.params["tree"]:
        wanted.append(("fetch", "arbre.maa"))
    if module.params["lines"]:
        wanted.append(("lines-export", "lines.csv"))
    for command, name in wanted:
        rc, answer = run_cli(module, [command, os.path.join(scratch, name)])
        if rc != OK:
            module.fail_json(msg=failure_message(rc, answer), rc=rc)
    return [name for _, name in wanted]


def main():
    module = AnsibleModule(
        argument_spec=server_args(dest=dict(type="path", required=True),
                                  tree=dict(type="bool", default=True),
                                  lines=dict(type="bool", default=True)),
        supports_check_mode=True)
    dest = module.params["dest"]
    with tempfile.TemporaryDirectory(dir=module.tmpdir) as scratch:
        names = fetch_all(module, scratch)
        written = [n for n in names if not os.path.isfile(os.path.join(dest, n))
                   or not filecmp.cmp(os.path.join(scratch, n), os.path.join(dest, n), shallow=False)]
        if written and not module.check_mode:
            os.makedirs(dest, exist_ok=True)
            for name in written:
                module.atomic_move(os.path.join(scratch, name), os.path.join(dest, name))
    module.exit_json(changed=bool(written), files=written, dest=dest)


if __name__ == "__main__":
    main()
