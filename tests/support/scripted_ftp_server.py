#!/usr/bin/python3
"""A scripted FTP server for the tests: a plain server that any reply can be
replaced in, so a test can make it misbehave in exactly one way.

    scripted_ftp_server.py --address A --port 21 --root DIR --script FILE --log FILE

The script is JSON:

    {"greetings": [response, ...],          one per control connection
     "replies": {"VERB": [response, ...]}}  one per time the command comes

The last response of a list stands for every later one. A response is a list
of actions, each a list [name, arguments...]; strings are bytes (JSON
\\u00XX for 0x80-0xFF):

    ["send", text]          write text on the control connection
    ["flood", text]         write text again and again until the client closes
    ["close"]               close the control (and data) connection
    ["sleep", seconds]
    ["connect"]             open the data connection to the PORT address
    ["data", text]          write text on the data connection
    ["data_bytes", n]       write n bytes on the data connection
    ["data_drain"]          read the data connection until the client closes it
    ["data_close"]
    ["retr", prelim, final] the usual RETR of a file in the root folder
    ["stor", prelim, final] the usual STOR into the root folder

A command without a script entry gets the usual reply; a response without
actions ([[]]) means no reply at all. The log gets "CONNECT" for each control
connection and "C " + each received line, its bytes escaped (\\r \\n \\\\ \\xHH).
"""
import argparse
import json
import os
import socket
import time

DEFAULT_GREETING = [["send", "220 Scripted server ready\r\n"]]
DEFAULT_REPLIES = {
    "USER": [["send", "331 Password required\r\n"]],
    "PASS": [["send", "230 Logged in\r\n"]],
    "PWD": [["send", '257 "/" is the current directory\r\n']],
    "PORT": [["send", "200 PORT command successful\r\n"]],
    "TYPE": [["send", "200 Type set\r\n"]],
    "RETR": [["retr"]],
    "STOR": [["stor"]],
    "QUIT": [["send", "221 Goodbye\r\n"], ["close"]],
}


class ControlClosed(Exception):
    pass


def escape(raw):
    out = []
    for byte in raw:
        if byte == 0x5C:
            out.append("\\\\")
        elif byte == 0x0D:
            out.append("\\r")
        elif byte == 0x0A:
            out.append("\\n")
        elif 0x20 <= byte < 0x7F:
            out.append(chr(byte))
        else:
            out.append("\\x%02x" % byte)
    return "".join(out)


def to_bytes(text):
    return text.encode("latin-1")


class Session:
    def __init__(self, server, conn):
        self.server = server
        self.conn = conn
        self.data = None
        self.port_address = None
        self.pending = b""

    def log(self, text):
        self.server.log(text)

    def send(self, raw):
        try:
            self.conn.sendall(raw)
        except OSError:
            raise ControlClosed()

    def read_line(self):
        while b"\n" not in self.pending:
            chunk = self.conn.recv(4096)
            if not chunk:
                raise ControlClosed()
            self.pending += chunk
        line, _, self.pending = self.pending.partition(b"\n")
        return line + b"\n"

    def close_data(self):
        if self.data is not None:
            self.data.close()
            self.data = None

    def connect_data(self):
        self.close_data()
        if self.port_address is None:
            return False
        try:
            self.data = socket.create_connection(self.port_address, timeout=10)
            return True
        except OSError:
            self.data = None
            return False

    def data_send(self, raw):
        if self.data is not None:
            try:
                self.data.sendall(raw)
            except OSError:
                self.close_data()

    def run(self, response, argument):
        for action in response:
            name, params = action[0], action[1:]
            if name == "send":
                self.send(to_bytes(params[0]))
            elif name == "flood":
                raw = to_bytes(params[0]) * 64
                while True:
                    self.send(raw)
            elif name == "close":
                raise ControlClosed()
            elif name == "sleep":
                time.sleep(params[0])
            elif name == "connect":
                self.connect_data()
            elif name == "data":
                self.data_send(to_bytes(params[0]))
            elif name == "data_bytes":
                self.data_send(bytes(i % 251 for i in range(params[0])))
            elif name == "data_drain":
                self.drain_data()
            elif name == "data_close":
                self.close_data()
            elif name == "retr":
                self.retr(argument, *params)
            elif name == "stor":
                self.stor(argument, *params)
            else:
                raise ValueError("unknown action " + name)

    def drain_data(self):
        received = b""
        if self.data is None:
            return received
        self.data.settimeout(30)
        try:
            while True:
                chunk = self.data.recv(65536)
                if not chunk:
                    break
                received += chunk
        except OSError:
            pass
        return received

    def local_path(self, argument):
        name = os.path.basename(argument.decode("latin-1").strip("/"))
        return os.path.join(self.server.root, name)

    def retr(self, argument, prelim="150 Opening data connection\r\n",
             final="226 Transfer complete\r\n"):
        path = self.local_path(argument)
        if not os.path.isfile(path):
            self.send(b"550 No such file\r\n")
            return
        self.send(to_bytes(prelim))
        if not self.connect_data():
            self.send(b"425 Cannot open data connection\r\n")
            return
        with open(path, "rb") as source:
            self.data_send(source.read())
        self.close_data()
        self.send(to_bytes(final))

    def stor(self, argument, prelim="150 Ok to send data\r\n",
             final="226 Transfer complete\r\n"):
        self.send(to_bytes(prelim))
        if not self.connect_data():
            self.send(b"425 Cannot open data connection\r\n")
            return
        received = self.drain_data()
        self.close_data()
        with open(self.local_path(argument), "wb") as target:
            target.write(received)
        self.send(to_bytes(final))

    def serve(self, number):
        self.run(self.server.pick(self.server.greetings, number, DEFAULT_GREETING), b"")
        while True:
            line = self.read_line()
            self.log("C " + escape(line))
            words = line.rstrip(b"\r\n").split(b" ", 1)
            verb = words[0].decode("latin-1").upper()
            argument = words[1] if len(words) > 1 else b""
            if verb == "PORT":
                self.parse_port(argument)
            count = self.server.counts.get(verb, 0)
            self.server.counts[verb] = count + 1
            default = DEFAULT_REPLIES.get(verb, [["send", "502 Command not implemented\r\n"]])
            self.run(self.server.pick(self.server.replies.get(verb), count, default), argument)

    def parse_port(self, argument):
        try:
            parts = [int(p) for p in argument.decode("latin-1").split(",")]
            self.port_address = (".".join(str(p) for p in parts[:4]), parts[4] * 256 + parts[5])
        except (ValueError, IndexError):
            self.port_address = None


class Server:
    def __init__(self, args):
        self.root = args.root
        with open(args.script, encoding="utf-8") as source:
            script = json.load(source)
        self.greetings = script.get("greetings")
        self.replies = script.get("replies", {})
        self.counts = {}
        self.log_file = open(args.log, "a", encoding="ascii")
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind((args.address, args.port))
        self.listener.listen(8)

    def log(self, text):
        self.log_file.write(text + "\n")
        self.log_file.flush()

    @staticmethod
    def pick(responses, index, default):
        if not responses:
            return default
        return responses[min(index, len(responses) - 1)]

    def serve_forever(self):
        number = 0
        while True:
            conn, _ = self.listener.accept()
            self.log("CONNECT")
            session = Session(self, conn)
            try:
                session.serve(number)
            except ControlClosed:
                pass
            except OSError:
                pass
            session.close_data()
            conn.close()
            number += 1


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--address", required=True)
    parser.add_argument("--port", type=int, default=21)
    parser.add_argument("--root", required=True)
    parser.add_argument("--script", required=True)
    parser.add_argument("--log", required=True)
    Server(parser.parse_args()).serve_forever()


if __name__ == "__main__":
    main()
