#!/usr/bin/python3
"""pyftpdlib on one loopback address, for the tests.

One user with full rights on the root folder; every command and reply is
logged to stderr, one per line ("<- USER bob", "-> 331 ..."). A refused login
is answered at once (pyftpdlib waits 3 seconds by default).
"""
import argparse
import logging

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--address", required=True)
    parser.add_argument("--port", type=int, default=21)
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    args = parser.parse_args()

    logging.basicConfig(level=logging.DEBUG, format="%(message)s")
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")

    class Handler(FTPHandler):
        pass

    Handler.authorizer = authorizer
    Handler.auth_failed_timeout = 0
    Handler.banner = "pyftpdlib ready."
    server = FTPServer((args.address, args.port), Handler)
    server.serve_forever()


if __name__ == "__main__":
    main()
