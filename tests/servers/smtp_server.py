#!/usr/bin/python3
"""SMTP server for the mail engine's tests.

Every message received is recorded in the record folder as N.envelope (MAIL FROM, RCPT TO,
TLS, PEER lines), N.eml (the data as received), N.subject and N.body (both decoded by Python's
own mail parser). Every AUTH command is appended to auth.log before it is answered, and every
accepted log-in as "LOGIN <mechanism> <user> <password>".
"""
import argparse
import asyncio
import email
import email.policy
import os
import ssl

from aiosmtpd.smtp import SMTP, AuthResult

from common import announce_port, append_line, write_atomically


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--port-file", required=True)
    p.add_argument("--record-dir", required=True)
    p.add_argument("--auth", action="store_true", help="offer AUTH without TLS")
    p.add_argument("--auth-required", action="store_true")
    p.add_argument("--auth-exclude", default="", help="comma-separated mechanisms not offered")
    p.add_argument("--password", default="secret")
    p.add_argument("--cert")
    p.add_argument("--key")
    p.add_argument("--drop-data", action="store_true", help="close the connection after the data")
    p.add_argument("--reject", default="", help="recipients containing this text are refused")
    return p.parse_args()


ARGS = parse_args()
COUNT = 0


class Handler:
    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if ARGS.reject and ARGS.reject in address:
            return "550 5.1.1 Recipient rejected"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if ARGS.drop_data:
            server.transport.abort()
            return "421 Closing"
        global COUNT
        COUNT += 1
        base = os.path.join(ARGS.record_dir, str(COUNT))
        lines = ["MAIL FROM:" + str(envelope.mail_from)]
        lines += ["RCPT TO:" + r for r in envelope.rcpt_tos]
        lines += ["TLS:" + ("yes" if session.ssl else "no"), "PEER:" + str(session.peer[1])]
        message = email.message_from_bytes(envelope.content, policy=email.policy.default)
        write_atomically(base + ".subject", str(message["subject"]))
        write_atomically(base + ".body", message.get_content())
        write_atomically(base + ".eml", envelope.content)
        write_atomically(base + ".envelope", "\n".join(lines) + "\n")
        return "250 Message accepted"


class RecordingSMTP(SMTP):
    async def smtp_AUTH(self, arg):
        append_line(os.path.join(ARGS.record_dir, "auth.log"), ("AUTH " + arg.split()[0]) if arg else "AUTH")
        return await super().smtp_AUTH(arg)


def authenticator(server, session, envelope, mechanism, auth_data):
    login = auth_data.login.decode("utf-8", "replace")
    password = auth_data.password.decode("utf-8", "replace")
    if password != ARGS.password:
        return AuthResult(success=False, handled=False)
    append_line(os.path.join(ARGS.record_dir, "auth.log"), f"LOGIN {mechanism} {login} {password}")
    return AuthResult(success=True)


def main():
    tls_context = None
    if ARGS.cert:
        tls_context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        tls_context.load_cert_chain(ARGS.cert, ARGS.key)
    excluded = [m for m in ARGS.auth_exclude.split(",") if m]

    def factory():
        return RecordingSMTP(
            Handler(),
            hostname="localhost",
            tls_context=tls_context,
            auth_required=ARGS.auth_required,
            auth_require_tls=not ARGS.auth,
            auth_exclude_mechanism=excluded,
            authenticator=authenticator,
        )

    loop = asyncio.new_event_loop()
    asyncio.set_event_loop(loop)
    server = loop.run_until_complete(loop.create_server(factory, host="127.0.0.1", port=0))
    announce_port(ARGS.port_file, server.sockets[0].getsockname()[1])
    loop.run_forever()


if __name__ == "__main__":
    main()
