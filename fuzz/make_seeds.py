#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/.

Run it again after changing a seed below; the files it writes are kept in the
tree. Inputs that found a fault are kept in the same folders under names
starting with "fault-": the parameter-file ones are copied here from
model/tests/fixtures, any other is added by hand and never rewritten here
(see docs/reliability.md)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURES = os.path.join(HERE, "..", "model", "tests", "fixtures")


def put(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


# ---- parameter files -------------------------------------------------------
def replace(text, old, new):
    assert text.count(old) == 1, old
    return text.replace(old, new)


# The program's offline save gives 54 and 57 (one ECU value) different
# values; a file saved after a read gives them alike, as a whole file must.
offline = open(os.path.join(FIXTURES, "defaults-offline.dmr"), "rb").read()
golden = replace(offline, b"\r\n57 54 5\r\n", b"\r\n57 54 20\r\n")


lines = golden.split(b"\r\n")
param_seeds = {
    "defaults.dmr": golden,
    "defaults-offline.dmr": offline,
    "lf-only.dmr": golden.replace(b"\r\n", b"\n"),
    "no-final-line-end.dmr": golden[:-2],
    "marker-and-tabs.dmr": replace(replace(golden, b"\r\n2 2 50\r\n", b"\r\n2 2 800000\r\n"),
                                   b"\r\n62 62 12\r\n", b"\r\n62\t62  12\r\n"),
    "truncated-40.dmr": b"\r\n".join(lines[:40]) + b"\r\n",
    "not-a-number.dmr": replace(golden, b"\r\n10 10 80\r\n", b"\r\n10 10 abc\r\n"),
    "array-claims-nine.dmr": replace(golden, b"\r\n27 8475 28 28 \r\n",
                                     b"\r\n27 37147 1 2 3 4 5 6 7 8 9 \r\n"),
    "long-header.dmr": b"#" * 80 + golden[golden.index(b"\r\n"):],
    "calibrated-level.dmr": replace(golden, b"\r\n59 59 129\r\n", b"\r\n59 59 131\r\n"),
    "empty.dmr": b"",
}
for target in ("parameter_file_load", "parameter_file_check"):
    for name, data in param_seeds.items():
        put(target, name, data)
    for fault in ("fault-form-feed.dmr", "fault-long-line.dmr"):
        put(target, fault, open(os.path.join(FIXTURES, fault), "rb").read())


# ---- link replies and ECU requests -------------------------------------------
def crc16(data):
    crc = 0xFFFF
    for byte in data:
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) if crc & 0x8000 else (crc << 1)
            crc &= 0xFFFF
    return crc


def frame(start, seq, command, data):
    body = bytes([seq, command, len(data)]) + bytes(data)
    c = crc16(body)
    return bytes([start]) + body + bytes([c >> 8, c & 0xFF])


REPLY, REQUEST = 0x5A, 0xA5
# Requests the link target chooses: byte & 7 picks the command (see the target).
link_seeds = {
    "identify.bin": bytes([9, 0, 0]) + frame(REPLY, 9, 0x81, [18, 0, 1, 23]),
    "read-60.bin": bytes([3, 0, 1 | (0 << 3)]) + frame(REPLY, 3, 0x82, [60, 0, 0, 1, 25]),
    "write.bin": bytes([4, 0, 2 | (7 << 3)]) + frame(REPLY, 4, 0x83, [56, 0, 0, 0, 7]),
    "live.bin": bytes([5, 0, 3]) + frame(REPLY, 5, 0x84, [0] + list(range(20))),
    "refused.bin": bytes([6, 0, 2]) + frame(REPLY, 6, 0x7F, [3, 6]),
    "garbage-then-reply.bin": bytes([7, 0, 6]) + b"\x5a\x00\xff\x13\x5a" + frame(REPLY, 7, 0x87, []),
    "late-then-reply.bin": bytes([8, 0, 6]) + frame(REPLY, 7, 0x87, []) + frame(REPLY, 8, 0x87, []),
    "bad-crc.bin": bytes([9, 0, 6]) + frame(REPLY, 9, 0x87, [])[:-1] + b"\x00",
    "three-requests.bin": bytes([1, 2, 0, 6, 5])
    + frame(REPLY, 1, 0x81, [18, 2, 1, 23])
    + frame(REPLY, 2, 0x87, [])
    + frame(REPLY, 3, 0x86, [0, 0xFF]),
}
for name, data in link_seeds.items():
    put("link_reply_parser", name, data)

ecu_frames = [
    (0x01, []), (0x07, []), (0x02, [60, 0, 0, 6]), (0x02, [25, 0, 1, 2]),
    (0x03, [31, 0, 0, 0, 30]), (0x03, [56, 0, 0, 0, 40]), (0x03, [61, 0, 5, 0, 200]),
    (0x03, [64, 0, 0, 3, 231]), (0x04, [0]), (0x04, [1]), (0x06, [100, 0xFF]),
    (0x05, [0x45, 0x52]), (0x02, [200, 0, 0, 1]), (0x09, [1, 2, 3]),
]
wire_bytes = b"".join(frame(REQUEST, i, c, d) for i, (c, d) in enumerate(ecu_frames))
put("virtual_ecu_request", "all-commands-on-the-line.bin", b"\x00" + wire_bytes)
put("virtual_ecu_request", "retry-on-the-line.bin",
    b"\x00" + frame(REQUEST, 5, 0x03, [31, 0, 0, 0, 9]) * 2)
put("virtual_ecu_request", "garbage-on-the-line.bin",
    b"\x00\xa5\xa5\x00\x13" + frame(REQUEST, 1, 0x02, [2, 0, 0, 1]))
raw = b"".join(bytes([i, c, len(d)]) + bytes(d) for i, (c, d) in enumerate(ecu_frames))
put("virtual_ecu_request", "all-commands-raw.bin", b"\x01" + raw)


# ---- dictionary tables --------------------------------------------------------
def dbf(fields, rows, claimed=None):
    """A dBase III table of character fields: fields = [(name, width)]."""
    record_length = 1 + sum(w for _, w in fields)
    header_length = 32 + 32 * len(fields) + 1
    count = len(rows) if claimed is None else claimed
    out = struct.pack("<B3BIHH20x", 3, 126, 1, 1, count, header_length, record_length)
    for name, width in fields:
        out += struct.pack("<11sc4xBB14x", name.encode(), b"C", width, 0)
    out += b"\r"
    for row in rows:
        out += b" " + b"".join(cell.encode("utf-8")[:w].ljust(w, b" ")
                               for cell, (_, w) in zip(row, fields))
    return out + b"\x1a"


fields = [("IDENTIF", 20), ("ITALIANO", 24), ("ENGLISH", 24), ("POLSKI", 24)]
rows = [
    ["MenuLingua", "Italiano", "English", "Polski"],
    ["FinestraPrincipale", "Mirel Vantor", "Mirel Vantor", "Mirel Vantor"],
    ["MessErrConn", "Errore di connessione", "Connection error", "Błąd połączenia"],
    ["ButtonEsci", "Esci", "Exit", "Wyjście"],
]
put("dictionary_table", "small.dbf", dbf(fields, rows))
put("dictionary_table", "claims-more-rows.dbf", dbf(fields, rows, claimed=100000))
put("dictionary_table", "no-key-column.dbf", dbf([("CHIAVE", 20), ("ENGLISH", 24)],
                                                  [["MenuLingua", "English"]]))
put("dictionary_table", "empty-cell.dbf", dbf(fields, [["MenuLingua", "Italiano", "", "Polski"]]))
put("dictionary_table", "header-only.dbf", dbf(fields, []))
put("dictionary_table", "cut-short.dbf", dbf(fields, rows)[:200])


# ---- recorded logs (.mlg, big-endian) ----------------------------------------
def mlg(channels, blocks, info=b"seed", version=1):
    """channels: (type, name, units, scale); blocks: ("r", values) or ("m", text)."""
    sizes = {0: 1, 1: 1, 2: 2, 3: 2, 4: 4, 5: 4, 6: 8, 7: 4}
    formats = {0: ">B", 1: ">b", 2: ">H", 3: ">h", 4: ">I", 5: ">i", 6: ">q", 7: ">f"}
    info_offset = 22 + 55 * len(channels)
    data_offset = info_offset + len(info) + 1
    record_length = sum(sizes[c[0]] for c in channels)
    out = b"MLVLG\0" + struct.pack(">hihih", version, 1765400000, info_offset, data_offset,
                                    record_length) + struct.pack(">h", len(channels))
    for kind, name, units, scale in channels:
        out += bytes([kind]) + name.ljust(34, b"\0") + units.ljust(10, b"\0") + b"\0"
        out += struct.pack(">ff", scale, 0.0) + b"\x02"
    out += info + b"\0"
    for counter, (kind, payload) in enumerate(blocks):
        stamp = (counter * 10000) & 0xFFFF
        if kind == "r":
            values = b"".join(struct.pack(formats[c[0]], v) for c, v in zip(channels, payload))
            out += bytes([0, counter & 0xFF]) + struct.pack(">H", stamp) + values
            out += bytes([sum(values) & 0xFF])
        else:
            out += bytes([1, counter & 0xFF]) + struct.pack(">H", stamp) + payload.ljust(50, b"\0")
    return out


log_channels = [(4, b"Time", b"s", 0.001), (2, b"RPM", b"rpm", 1.0), (3, b"Gas temp", b"C", 1.0),
                (0, b"Gas temp valid", b"", 1.0), (0, b"Fuel", b"gas=1", 1.0)]
log_blocks = [("r", (0, 800, 20, 1, 0)), ("r", (100, 2600, 21, 1, 1)),
              ("m", "change-over to gas".encode()), ("r", (200, 2600, 0, 0, 1)),
              ("m", "56 \u2192 2600 refused".encode())]
good_log = mlg(log_channels, log_blocks)
all_types = [(t, b"c%d" % t, b"", 0.5) for t in range(8)]
put("log_reader", "session.mlg", good_log)
put("log_reader", "cut-in-last-block.mlg", good_log[:-30])
put("log_reader", "every-type.mlg", mlg(all_types, [("r", (1, -2, 3, -4, 5, -6, 7, 1.5))] * 3))
put("log_reader", "version-2.mlg", mlg(log_channels, log_blocks, version=2))
put("log_reader", "no-time-channel.mlg", mlg(log_channels[1:], [("r", (900, 5, 1, 0))] * 4))
put("log_reader", "header-only.mlg", good_log[:22])
