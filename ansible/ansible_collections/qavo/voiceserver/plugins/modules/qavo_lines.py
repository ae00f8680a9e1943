#!/usr/bin/python
# -*- coding: utf-8 -*-

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
module: qavo_lines
short_description: Push a line table to a voice server
description:
  - Imports a CSV line table with C(qavo-cli lines-import), for a server of either generation.
  - The lines of other applications stay where they are; nothing is stored when the table is the same.
options:
  src:
    description: The CSV file on the controller, as C(qavo-cli lines-export) writes it.
    type: path
    required: true
  force:
    description: Store even when the server's table is the same.
    type: bool
    default: false
extends_documentation_fragment: qavo.voiceserver.server
"""

EXAMPLES = r"""
- name: Push the site's line table
  qavo.voiceserver.qavo_lines:
    src: "lines/{{ inventory_hostname }}.csv"
    host: "{{ qavo_host }}"
    user: admin
    password: "{{ vault_qavo_password }}"
"""

RETURN = r"""
changes:
  description: The lines that change (path, before, after).
  type: list
  returned: always
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.qavo.voiceserver.plugins.module_utils.qavo_cli import push, server_args


def main():
    module = AnsibleModule(
        argument_spec=server_args(src=dict(type="path", required=True),
                                  force=dict(type="bool", default=False)),
        supports_check_mode=True)
    push(module, "lines-import", module.params["src"])


if __name__ == "__main__":
    main()
