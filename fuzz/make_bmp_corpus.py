#!/usr/bin/python3
"""Writes fuzz/bmp_corpus/: small malformed Windows bitmaps for the decoder.

Each file is a valid bitmap of one variant, cut short or with one part of it
broken: header fields at their extremes, wrong offsets, palettes that do not
match the pixels, run-length streams that leave the image, bitfield masks
that make no sense, and a few seeded random byte changes. Files named "ok-*"
are the undamaged originals and must decode. Run from anywhere:

    /usr/bin/python3 fuzz/make_bmp_corpus.py
"""
import os
import random
import shutil
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bmp_corpus")
W, H = 8, 6


def info_header(size, width, height, bits, compression, image_bytes, colours, masks=()):
    if size == 12:
        return struct.pack("<IHHHH", 12, width & 0xFFFF, height & 0xFFFF, 1, bits)
    head = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, image_bytes, 2835, 2835,
                       colours, 0)
    if size >= 108:
        m = list(masks) + [0] * (4 - len(masks))
        head += struct.pack("<IIIII", *m[:4], 0x73524742)
    head = head.ljust(size, b"\0")
    if size < 108:
        head += b"".join(struct.pack("<I", m) for m in masks)
    return head


def bitmap(bits=24, compression=0, header=40, palette=(), masks=(), pixels=b"", width=W, height=H):
    entry = 3 if header == 12 else 4
    pal = b"".join(struct.pack("<I", c)[:entry] for c in palette)
    info = info_header(header, width, height, bits, compression, len(pixels), len(palette), masks)
    offset = 14 + len(info) + len(pal)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + pal + pixels


def rows(bits, value, width=W, height=H):
    stride = (width * bits + 31) // 32 * 4
    out = b""
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            v = value(x, y)
            if bits < 8:
                bit = x * bits
                row[bit // 8] |= v << (8 - bits - bit % 8)
            else:
                row[x * bits // 8:(x + 1) * bits // 8] = v.to_bytes(bits // 8, "little")
        out += bytes(row)
    return out


def rle8(value):
    out = b""
    for y in reversed(range(H)):
        out += bytes([2, value(0, y), 0, W - 2] + [value(x, y) for x in range(2, W)]) + b"\0\0"
    return out + b"\0\1"


def rle4(value):
    out = b""
    for y in reversed(range(H)):
        packed = [(value(x, y) << 4) | value(x + 1, y) for x in range(2, W, 2)]
        out += bytes([2, value(0, y) * 17, 0, W - 2] + packed) + b"\0\0"
    return out + b"\0\1"


PALETTE16 = [0x102030 * (i % 7) + 0x0F0F0F * i for i in range(16)]


def idx(n):
    return lambda x, y: (x + 3 * y) % n


BASES = {
    "rgb24": bitmap(pixels=rows(24, lambda x, y: 0x123456 * (x + 1) + 0x0101 * y & 0xFFFFFF)),
    "rgb32": bitmap(bits=32, pixels=rows(32, lambda x, y: (0x0A0B0C * x + y) & 0xFFFFFF)),
    "pal8": bitmap(bits=8, palette=PALETTE16, pixels=rows(8, idx(16))),
    "pal4": bitmap(bits=4, palette=PALETTE16, pixels=rows(4, idx(16))),
    "pal1": bitmap(bits=1, palette=[0, 0xFFFFFF], pixels=rows(1, idx(2))),
    "rle8": bitmap(bits=8, compression=1, palette=PALETTE16, pixels=rle8(idx(16))),
    "rle4": bitmap(bits=4, compression=2, palette=PALETTE16, pixels=rle4(idx(16))),
    "bf565": bitmap(bits=16, compression=3, masks=(0xF800, 0x07E0, 0x001F), pixels=rows(16, lambda x, y: x * 0x0841 + y)),
    "bf32": bitmap(bits=32, compression=3, masks=(0xFF0000, 0xFF00, 0xFF), pixels=rows(32, lambda x, y: x * 0x10203)),
    "v5": bitmap(bits=32, compression=3, header=124, masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000),
                 pixels=rows(32, lambda x, y: x * 0x10203)),
    "os2-24": bitmap(header=12, pixels=rows(24, lambda x, y: 0x332211 * x & 0xFFFFFF)),
    "os2-pal8": bitmap(bits=8, header=12, palette=PALETTE16, pixels=rows(8, idx(16))),
}


def with_u32(data, at, value):
    return data[:at] + struct.pack("<I", value & 0xFFFFFFFF) + data[at + 4:]


def with_u16(data, at, value):
    return data[:at] + struct.pack("<H", value & 0xFFFF) + data[at + 2:]


def variants():
    for name, data in BASES.items():
        yield "ok-" + name, data
        header = struct.unpack_from("<I", data, 14)[0]
        offset = struct.unpack_from("<I", data, 10)[0]
        core = header == 12

        for cut in sorted({1, 2, 13, 14, 15, 17, 18, 26, 30, 40, 53, 14 + header, offset - 1, offset + 1,
                           (offset + len(data)) // 2, len(data) - 1}):
            if 0 < cut < len(data):
                yield f"{name}-cut-{cut}", data[:cut]

        yield f"{name}-offset-zero", with_u32(data, 10, 0)
        yield f"{name}-offset-in-header", with_u32(data, 10, 14 + header - 1)
        yield f"{name}-offset-at-end", with_u32(data, 10, len(data))
        yield f"{name}-offset-last-byte", with_u32(data, 10, len(data) - 1)
        yield f"{name}-offset-huge", with_u32(data, 10, 0xFFFFFFFF)
        for size in (0, 11, 13, 16, 39, 41, 64, 125, 0xFFFF, 0xFFFFFFFF):
            yield f"{name}-header-size-{size}", with_u32(data, 14, size)

        if core:
            for w, h in ((0, H), (W, 0), (0xFFFF, 0xFFFF), (0xFFFF, 1), (1, 0xFFFF), (W * 2, H * 2)):
                yield f"{name}-size-{w}x{h}", with_u16(with_u16(data, 18, w), 20, h)
            for bits in (0, 2, 3, 16, 32, 0xFFFF):
                yield f"{name}-bits-{bits}", with_u16(data, 24, bits)
            continue

        sizes = ((0, H), (W, 0), (-W, H), (W, -H), (1, 1), (W * 2, H), (W, H * 2), (W + 1, H), (16384, 16384),
                 (16385, 1), (1, 16385), (0x7FFFFFFF, 1), (1, 0x7FFFFFFF), (-0x80000000, 1), (1, -0x80000000),
                 (4096, 4096), (65536, 256))
        for w, h in sizes:
            yield f"{name}-size-{w}x{h}", with_u32(with_u32(data, 18, w), 22, h)
        for bits in (0, 2, 3, 5, 15, 24, 33, 48, 64, 0xFFFF):
            yield f"{name}-bits-{bits}", with_u16(data, 28, bits)
        for compression in (0, 1, 2, 3, 4, 5, 6, 0xFFFFFFFF):
            yield f"{name}-compression-{compression}", with_u32(data, 30, compression)
        for colours in (1, 2, 15, 17, 256, 257, 0x10000, 0x7FFFFFFF, 0xFFFFFFFF):
            yield f"{name}-colours-{colours}", with_u32(data, 46, colours)
        yield f"{name}-planes-0", with_u16(data, 26, 0)
        yield f"{name}-image-size-huge", with_u32(data, 34, 0xFFFFFFFF)


def rle_streams():
    """Run-length streams that break their image in every way a decoder must survive."""
    def rle8_file(stream, height=H):
        return bitmap(bits=8, compression=1, palette=PALETTE16, pixels=stream, height=height)

    def rle4_file(stream, height=H):
        return bitmap(bits=4, compression=2, palette=PALETTE16, pixels=stream, height=height)

    cases = {
        "run-past-row": b"\xff\x03\0\0" * H + b"\0\1",
        "absolute-past-row": (b"\0\x20" + bytes(range(32)) + b"\0\0") * H + b"\0\1",
        "delta-past-right": b"\0\2\xff\0\1\1\0\1",
        "delta-past-top": b"\0\2\0\xff\1\1\0\1",
        "delta-at-edge": b"\0\2" + bytes([W - 1, H - 1]) + b"\4\1\0\1",
        "too-many-rows": b"\2\1\0\0" * (H * 4) + b"\0\1",
        "no-end-of-line": b"\4\1" * (H * 4) + b"\0\1",
        "no-end-of-bitmap": b"\x08\1\0\0" * H,
        "absolute-cut": b"\0\x08\1\2\3",
        "absolute-odd-unpadded": (b"\0\3\1\2\3\0\0") * H + b"\0\1",
        "absolute-of-zero": b"\0\0\0\0" * H + b"\0\1",
        "all-zero": b"\0" * 64,
        "all-ones": b"\xff" * 64,
        "escape-only": b"\0",
        "empty": b"",
        "index-past-palette": b"\x08\xee\0\0" * H + b"\0\1",
    }
    for name, stream in cases.items():
        yield f"rle8-{name}", rle8_file(stream)
        yield f"rle4-{name}", rle4_file(stream)
    yield "rle8-top-down", rle8_file(rle8(idx(16)), height=-H)
    yield "rle4-top-down", rle4_file(rle4(idx(16)), height=-H)


def palettes_and_masks():
    pal8 = rows(8, lambda x, y: (x * 37 + y) & 0xFF)
    yield "pal8-index-past-palette", bitmap(bits=8, palette=[0x112233, 0x445566], pixels=pal8)
    yield "pal8-no-palette", bitmap(bits=8, palette=[], pixels=pal8)
    yield "pal4-index-past-palette", bitmap(bits=4, palette=[0x112233], pixels=rows(4, idx(16)))
    yield "pal1-single-colour", bitmap(bits=1, palette=[0xABCDEF], pixels=rows(1, idx(2)))
    yield "pal8-palette-past-end", bitmap(bits=8, palette=PALETTE16, pixels=b"")[:-1]
    px16 = rows(16, lambda x, y: x * 0x0841 + y)
    px32 = rows(32, lambda x, y: x * 0x10203)
    for name, masks in {"zero": (0, 0, 0), "overlapping": (0xFFFF, 0xFFFF, 0xFFFF), "gappy": (0xA800, 0x0550, 0x00AA),
                        "reversed": (0x001F, 0x07E0, 0xF800), "high-bits": (0xFFFF0000, 0xFF00, 0xFF)}.items():
        yield f"bf16-masks-{name}", bitmap(bits=16, compression=3, masks=masks, pixels=px16)
        yield f"bf32-masks-{name}", bitmap(bits=32, compression=3, masks=masks, pixels=px32)
    yield "bf16-masks-missing", bitmap(bits=16, compression=3, masks=(), pixels=px16)
    yield "bf24-masks", bitmap(bits=24, compression=3, masks=(0xFF0000, 0xFF00, 0xFF), pixels=rows(24, idx(255)))
    yield "v5-alpha-zero", bitmap(bits=32, compression=3, header=124, masks=(0xFF0000, 0xFF00, 0xFF, 0xFF000000),
                                  pixels=rows(32, lambda x, y: 0x00FFFFFF))
    yield "v5-alpha-mask-only", bitmap(bits=32, compression=3, header=124, masks=(0, 0, 0, 0xFFFFFFFF), pixels=px32)


def random_damage():
    rng = random.Random(20240611)
    for name, data in BASES.items():
        for i in range(12):
            damaged = bytearray(data)
            for _ in range(rng.randint(1, 6)):
                damaged[rng.randrange(len(damaged))] = rng.randrange(256)
            if rng.random() < 0.3:
                del damaged[rng.randrange(len(damaged)):]
            yield f"{name}-random-{i}", bytes(damaged)


def main():
    shutil.rmtree(OUT, ignore_errors=True)
    os.makedirs(OUT)
    seen = set()
    for source in (variants(), rle_streams(), palettes_and_masks(), random_damage()):
        for name, data in source:
            assert name not in seen, name
            seen.add(name)
            with open(os.path.join(OUT, name + ".bmp"), "wb") as f:
                f.write(data)
    total = sum(os.path.getsize(os.path.join(OUT, n)) for n in os.listdir(OUT))
    print(f"{len(seen)} files, {total} bytes in {OUT}")


if __name__ == "__main__":
    main()
