#!/usr/bin/python
# -*- coding: utf-8 -*-

from __future__ import absolute_import, division, print_function

__metaclass__ = type

DOCUMENTATION = r"""
module: qavo_tree
short_description: Push a voice-menu tree to a voice server
description:
  - Sends a tree file with C(qavo-cli send), which verifies it against the server first.
  - Nothing is stored when the server's file already holds the same bytes, or when the tree has errors.
options:
  src:
    description: The tree file (C(.maa)) on the controller.
    type: path
    required: true
  force:
    description: Store even when the server's file is the same.
    type: bool
    default: false
  scenarios:
    description: A file of call scenarios that must all pass before anything is sent.
    type: path
extends_documentation_fragment: qavo.voiceserver.server
"""

EXAMPLES = r"""
- name: Push the site's tree
  qavo.voiceserver.qavo_tree:
    src: /srv/qavo/rendered/paris.maa
    host: 10.1.0.20
    port: 8080
    user: admin
    password: "{{ vault_qavo_password }}"
"""

RETURN = r"""
changes:
  description: What a caller meets differently, one entry per change line (path, before, after).
  type: list
  returned: always
findings:
  description: The verification's findings (code, level, text, node).
  type: list
  returned: always
revision:
  description: The history revision recorded by the send, or null.
  type: str
  returned: always
"""

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.qavo.voiceserver.plugins.module_utils.qavo_cli import push, server_args


def main():
    module = AnsibleModule(
        argument_spec=server_args(src=dict(type="path", required=True),
                                  force=dict(type="bool", default=False),
                                  scenarios=dict(type="path")),
        supports_check_mode=True)
    push(module, "send", module.params["src"])


if __name__ == "__main__":
    main()
