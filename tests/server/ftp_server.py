"""FTP server for the client tests.

Usage: ftp_server.py ROOT USER PASSWORD
Serves ROOT on 127.0.0.1 at a free port, prints "PORT <n>" once listening and "LOGIN <user>" for
each login, and stops when its
standard input closes (the test process ended, however it ended) or after a time limit.
Exits with 77 when pyftpdlib is not installed.
"""
import logging
import os
import sys
import threading

try:
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
except ImportError:
    print("pyftpdlib missing", flush=True)
    sys.exit(77)

LIFETIME_SECONDS = 120


def watch_parent():
    # stdin reaches end of file when the test process closes it or dies.
    sys.stdin.read()
    os._exit(0)


def main():
    # Only faults are worth a line in the test output.
    logging.basicConfig(level=logging.WARNING)
    root, user, password = sys.argv[1:4]
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elradfmwMT")

    class Handler(FTPHandler):
        def on_login(self, username):
            # Written before the client reads its reply, so the tests can count logins.
            print("LOGIN %s" % username, flush=True)

    Handler.authorizer = authorizer
    Handler.banner = "qavo test server"
    Handler.auth_failed_timeout = 0  # a refused login answers at once
    server = FTPServer(("127.0.0.1", 0), Handler)
    threading.Thread(target=watch_parent, daemon=True).start()
    threading.Timer(LIFETIME_SECONDS, lambda: os._exit(0)).start()
    print("PORT %d" % server.address[1], flush=True)
    server.serve_forever(timeout=0.5)


if __name__ == "__main__":
    main()
