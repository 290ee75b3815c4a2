#!/usr/bin/env python3
# Slow clients for the web bench: COUNT connections from the addresses given (spread evenly), each
# sending one byte of a request head every PAUSE seconds and never finishing it; a connection the
# service closes is opened again on the next round, as an attacker would. Prints how many are held
# each round to standard error, runs until killed.
import resource
import socket
import sys
import time

port, count, pause = int(sys.argv[1]), int(sys.argv[2]), float(sys.argv[3])
addresses = sys.argv[4:]
soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, count + 256), hard))
HEAD = b"GET /healthz HTTP/1.1\r\nHost: x\r\nX-Slow: "
slots = [None] * count


def opened(i):
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.setblocking(False)
    try:
        s.bind((addresses[i % len(addresses)], 0))
        s.connect_ex(("127.0.0.1", port))
    except OSError:
        s.close()
        return None
    return [s, 0]


while True:
    held = 0
    for i in range(count):
        if slots[i] is None:
            slots[i] = opened(i)
            continue
        s, sent = slots[i]
        try:
            # Closed by the service: the read ends; still held: nothing to read yet.
            if s.recv(1, socket.MSG_PEEK | socket.MSG_DONTWAIT) == b"":
                raise ConnectionResetError
        except BlockingIOError:
            try:
                s.send(HEAD[sent % len(HEAD):sent % len(HEAD) + 1])
                slots[i][1] += 1
                held += 1
                continue
            except BlockingIOError:
                held += 1
                continue
            except OSError:
                pass
        except OSError:
            pass
        s.close()
        slots[i] = opened(i)
    print("held %d" % held, file=sys.stderr, flush=True)
    time.sleep(pause)
