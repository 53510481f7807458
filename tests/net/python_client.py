"""A White machine of Brivel's network game written with Debian's ENet binding, apart from the
game's own code: it reads the host's flick with struct alone and sends one of its own, so that a
fault shared by the game's encoder and decoder cannot hide.

    /usr/bin/python3 python_client.py --port P --piece N --aim HEX --power HEX
                                      [--identifier ID] [--linger SECONDS]

--aim and --power are doubles written as float.hex() or C's "%a", so that both sides hold the
same bits. --identifier replaces the flick message's first byte (82), to check that the host
refuses what is not a flick. Prints one line per step:

    CONNECTED
    RECEIVED <identifier> <piece> <aim hex> <power hex>   the host's flick, as decoded here
    SENT <piece> <aim hex> <power hex>
    CLOSED                                                 the host disconnected
    ERROR <text>                                           and the exit status is 1
"""

import argparse
import math
import struct
import sys
import time

import enet

FLICK_FORMAT = "<B3xidd"  # identifier, padding, piece, aim in degrees, power
FLICK_IDENTIFIER = 82
GAME_CHANNEL = 0  # channel 1 carries the peers' own welcome, which is not ours to read
CHANNEL_COUNT = 2


def say(line):
    print(line, flush=True)


def fail(text):
    say("ERROR " + text)
    sys.exit(1)


def decode_flick(data):
    if len(data) != struct.calcsize(FLICK_FORMAT):
        fail("flick of %d bytes" % len(data))
    identifier, piece, aim, power = struct.unpack(FLICK_FORMAT, data)
    if identifier != FLICK_IDENTIFIER:
        fail("identifier %d" % identifier)
    if not 0 <= piece <= 7:
        fail("the Red host flicked piece %d" % piece)
    if not (math.isfinite(aim) and math.isfinite(power)):
        fail("aim %r, power %r" % (aim, power))
    say("RECEIVED %d %d %s %s" % (identifier, piece, aim.hex(), power.hex()))


def send_flick(peer, args):
    data = struct.pack(FLICK_FORMAT, args.identifier, args.piece, args.aim, args.power)
    if peer.send(GAME_CHANNEL, enet.Packet(data, enet.PACKET_FLAG_RELIABLE)) < 0:
        fail("send refused")
    say("SENT %d %s %s" % (args.piece, args.aim.hex(), args.power.hex()))


def wait_connected(host, deadline):
    while time.monotonic() < deadline:
        event = host.service(50)
        if event.type == enet.EVENT_TYPE_CONNECT:
            say("CONNECTED")
            return
        if event.type == enet.EVENT_TYPE_DISCONNECT:
            fail("refused")
    fail("no connection")


def play(host, peer, args):
    """Answers the host's flick with ours, then keeps servicing (acknowledgements, resends)
    until the host goes away or the time is up."""
    deadline = time.monotonic() + args.linger
    sent = False
    while time.monotonic() < deadline:
        event = host.service(20)
        if event.type == enet.EVENT_TYPE_DISCONNECT:
            say("CLOSED")
            return
        if event.type != enet.EVENT_TYPE_RECEIVE or event.channelID != GAME_CHANNEL:
            continue
        if sent:
            continue  # later flicks of the host are no longer this client's concern
        decode_flick(event.packet.data)
        send_flick(peer, args)
        host.flush()
        sent = True
    if not sent:
        fail("no flick from the host")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--piece", type=int, required=True)
    parser.add_argument("--aim", type=float.fromhex, required=True)
    parser.add_argument("--power", type=float.fromhex, required=True)
    parser.add_argument("--identifier", type=int, default=FLICK_IDENTIFIER)
    parser.add_argument("--linger", type=float, default=30.0)
    args = parser.parse_args()

    host = enet.Host(None, 1, CHANNEL_COUNT, 0, 0)
    peer = host.connect(enet.Address(b"127.0.0.1", args.port), CHANNEL_COUNT)
    wait_connected(host, time.monotonic() + 10)
    play(host, peer, args)


if __name__ == "__main__":
    main()
