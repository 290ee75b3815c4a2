#!/usr/bin/python3
# A real SMTP server on loopback for the mail suites, on Debian's aiosmtpd: it listens on a port
# the system picks and prints it, then keeps each message it accepts in FOLDER as JSON (envelope,
# headers decoded by Python's own mail parser, body, the bytes as received), or refuses every
# recipient (--refuse-rcpt REPLY) or every message (--refuse-data REPLY) with the reply given.
# With --tls CERT KEY it speaks TLS: offered by STARTTLS, or from the first byte with --ssl.
import argparse
import asyncio
import json
import os
import signal
import socket
import ssl
import sys
from email import message_from_bytes, policy

from aiosmtpd.smtp import SMTP


class Sink:
    def __init__(self, folder, refuse_rcpt, refuse_data):
        self.folder = folder
        self.refuse_rcpt = refuse_rcpt
        self.refuse_data = refuse_data
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, options):
        if self.refuse_rcpt:
            return self.refuse_rcpt
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.refuse_data:
            return self.refuse_data
        raw = envelope.original_content
        message = message_from_bytes(raw, policy=policy.default)
        self.count += 1
        record = {
            "mailFrom": envelope.mail_from,
            "rcptTo": envelope.rcpt_tos,
            "from": str(message["From"]),
            "to": str(message["To"]),
            "subject": str(message["Subject"]),
            "date": str(message["Date"]),
            "messageId": str(message["Message-ID"]),
            "contentType": message.get_content_type(),
            "charset": message.get_content_charset(),
            "body": message.get_content(),
            "raw": raw.decode("ascii", "replace"),
        }
        path = os.path.join(self.folder, "%d.json" % self.count)
        with open(path + ".part", "w", encoding="utf-8") as out:
            json.dump(record, out, ensure_ascii=False)
        os.replace(path + ".part", path)
        return "250 OK"


def main():
    arguments = argparse.ArgumentParser()
    arguments.add_argument("folder")
    arguments.add_argument("--refuse-rcpt", default="")
    arguments.add_argument("--refuse-data", default="")
    arguments.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    arguments.add_argument("--ssl", action="store_true")
    options = arguments.parse_args()
    listening = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listening.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listening.bind(("127.0.0.1", 0))
    listening.listen(8)
    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    sink = Sink(options.folder, options.refuse_rcpt, options.refuse_data)
    context = None
    if options.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(options.tls[0], options.tls[1])
    if context and options.ssl:
        server = loop.run_until_complete(
            loop.create_server(lambda: SMTP(sink, hostname="sink.test"), sock=listening,
                               ssl=context))
    else:
        server = loop.run_until_complete(
            loop.create_server(lambda: SMTP(sink, hostname="sink.test", tls_context=context),
                               sock=listening))
    loop.add_signal_handler(signal.SIGTERM, loop.stop)
    print(listening.getsockname()[1], flush=True)
    loop.run_forever()
    server.close()


if __name__ == "__main__":
    sys.exit(main())
