# -*- coding: utf-8 -*-
# The options every qavo module shares.

from __future__ import absolute_import, division, print_function

__metaclass__ = type


class ModuleDocFragment(object):
    DOCUMENTATION = r"""
options:
  host:
    description: The voice server's address (C(https://) before it for TLS), as C(/HADDR:) takes it.
    type: str
    required: true
  port:
    description: The server's port.
    type: int
    default: 80
  user:
    description: The login.
    type: str
  password:
    description:
      - The password, best from Ansible Vault.
      - It reaches qavo-cli through its environment (C(QAVO_PASS)), never its command line.
    type: str
  switches:
    description: More C(/KEY:value) switches for qavo-cli (a proxy, C(/LANG:)); no password here.
    type: list
    elements: str
    default: []
  history_dir:
    description: Where qavo-cli records the history (C(QAVO_HISTORY_DIR)); its work folder's C(history) by default.
    type: path
  cli:
    description: The qavo-cli program, a path or a name looked up on the controller's C(PATH).
    type: str
    default: qavo-cli
notes:
  - "Runs on the controller: use C(connection: local)."
"""
