"""Helpers shared by the test servers: port announcement and atomic record files."""
import os


def write_atomically(path, data):
    if isinstance(data, str):
        data = data.encode("utf-8")
    temp = path + ".part"
    with open(temp, "wb") as f:
        f.write(data)
    os.replace(temp, path)


def announce_port(port_file, port):
    """Tells the test which port the server listens on, once it is listening."""
    write_atomically(port_file, str(port))


def append_line(path, line):
    with open(path, "a", encoding="utf-8") as f:
        f.write(line + "\n")
