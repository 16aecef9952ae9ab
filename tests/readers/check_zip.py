#!/usr/bin/env python3
"""Checks a ZIP archive with independent readers and against expectations.

Usage: check_zip.py ARCHIVE EXPECTATIONS.json

Runs unzip -t, python3 -m zipfile -t, 7zz t and bsdtar -xOf on the archive,
then reads its central directory and local headers and compares them with
the expectations. Prints OK, or one line per problem, and exits 0 or 1.

Expectations (all keys optional):
  count        number of entries
  entries      list, in archive order (or matched by name when every one
               has a name and by_name is true), of objects with any of:
               name (hex of the stored bytes), flag, version (needed to
               extract), made_by, attr (external attributes), size, crc,
               dos (the MS-DOS date and time word), zip64 (bool: a Zip64
               field in the local header)
  uniform      object with flag / version / made_by that every entry must have
  zip64_end    whether a Zip64 end of central directory record is present
"""
import json
import struct
import subprocess
import sys
import zipfile


def run_readers(archive):
    problems = []
    commands = [
        ["unzip", "-tqq", archive],
        [sys.executable, "-m", "zipfile", "-t", archive],
        ["7zz", "t", "-bd", "-bso0", "-bsp0", archive],
        ["bsdtar", "-xOf", archive],
    ]
    for command in commands:
        result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        if result.returncode != 0:
            message = result.stderr.decode("latin-1").strip().splitlines()[-1:] or [""]
            problems.append(f"{command[0]} {command[1] if command[0].endswith('python3') else ''}"
                            f" failed ({result.returncode}): {message[0]}")
    return problems


def stored_name(info):
    if info.flag_bits & 0x800:
        return info.orig_filename.encode("utf-8")
    return info.orig_filename.encode("cp437")


def dos_word(info):
    y, mo, d, h, mi, s = info.date_time
    return ((y - 1980) << 25) | (mo << 21) | (d << 16) | (h << 11) | (mi << 5) | (s // 2)


def local_header(handle, info):
    handle.seek(info.header_offset)
    fields = struct.unpack("<IHHHHHIIIHH", handle.read(30))
    name = handle.read(fields[9])
    extra = handle.read(fields[10])
    zip64 = False
    while len(extra) >= 4:
        kind, size = struct.unpack("<HH", extra[:4])
        zip64 = zip64 or kind == 1
        extra = extra[4 + size:]
    return {
        "zip64": zip64,
        "signature": fields[0], "version": fields[1], "flag": fields[2], "method": fields[3],
        "time": fields[4], "date": fields[5], "crc": fields[6], "csize": fields[7],
        "usize": fields[8], "name": name, "extra": fields[10],
    }


def has_zip64_end(archive):
    with open(archive, "rb") as f:
        f.seek(0, 2)
        size = f.tell()
        f.seek(max(0, size - 65536 - 22 - 20 - 56))
        tail = f.read()
    locator = tail.rfind(b"PK\x06\x07")
    return locator >= 0 and tail.rfind(b"PK\x06\x06", 0, locator) >= 0


def check_headers(archive, expect):
    problems = []
    if "zip64_end" in expect and has_zip64_end(archive) != expect["zip64_end"]:
        problems.append(f"Zip64 end record present: {has_zip64_end(archive)}, "
                        f"expected {expect['zip64_end']}")
    with zipfile.ZipFile(archive) as z, open(archive, "rb") as raw:
        infos = z.infolist()
        if "count" in expect and len(infos) != expect["count"]:
            problems.append(f"{len(infos)} entries, expected {expect['count']}")
        wanted = expect.get("entries")
        if wanted is not None and not expect.get("by_name") and len(wanted) != len(infos):
            problems.append(f"{len(infos)} entries, expected the {len(wanted)} listed")
        uniform = expect.get("uniform", {})
        if wanted is not None and expect.get("by_name"):
            by_name = {w["name"]: w for w in wanted}
            stored = {stored_name(info).hex() for info in infos}
            for name in by_name:
                if name not in stored:
                    problems.append(f"no entry {bytes.fromhex(name)!r}")
            wanted = [by_name.get(stored_name(info).hex(), {}) for info in infos]
        for index, info in enumerate(infos):
            where = f"entry {index} {stored_name(info)!r}"
            local = local_header(raw, info)
            zip64 = local["zip64"]
            actual = {
                "name": stored_name(info).hex(), "flag": info.flag_bits,
                "version": info.extract_version, "made_by": info.create_version,
                "attr": info.external_attr, "size": info.file_size, "crc": info.CRC,
                "dos": dos_word(info), "zip64": zip64,
            }
            if info.compress_type != zipfile.ZIP_DEFLATED:
                problems.append(f"{where}: method {info.compress_type}")
            if info.flag_bits & 0x8:
                problems.append(f"{where}: data descriptor flag set")
            if info.create_system != 0:
                problems.append(f"{where}: made by system {info.create_system}")
            if info.date_time[5] % 2:
                problems.append(f"{where}: odd second")
            for key, value in uniform.items():
                if actual[key] != value:
                    problems.append(f"{where}: {key} {actual[key]!r}, expected {value!r}")
            if wanted is not None and index < len(wanted):
                for key, value in wanted[index].items():
                    if actual[key] != value:
                        problems.append(f"{where}: {key} {actual[key]!r}, expected {value!r}")
            if local["signature"] != 0x04034B50:
                problems.append(f"{where}: no local header")
                continue
            if local["name"] != stored_name(info):
                problems.append(f"{where}: local name differs")
            # minizip gives a Zip64 entry whose sizes stay below 4 GiB version 45
            # and the Zip64 field in its local header only.
            if (local["flag"], local["method"]) != (info.flag_bits, info.compress_type) or \
                    (not zip64 and local["version"] != info.extract_version):
                problems.append(f"{where}: local header fields differ")
            if local["crc"] != info.CRC:
                problems.append(f"{where}: local CRC not completed")
            if not zip64:
                if (local["csize"], local["usize"]) != (info.compress_size, info.file_size):
                    problems.append(f"{where}: local sizes not completed")
                if local["extra"] != 0:
                    problems.append(f"{where}: local extra field of {local['extra']} bytes")
            if (local["date"] << 16 | local["time"]) != dos_word(info):
                problems.append(f"{where}: local time differs")
    return problems


def main():
    archive, expectations = sys.argv[1], sys.argv[2]
    with open(expectations) as f:
        expect = json.load(f)
    problems = run_readers(archive)
    try:
        problems += check_headers(archive, expect)
    except Exception as error:  # a reader that fails is a finding, not a crash
        problems.append(f"python zipfile: {error!r}")
    print("\n".join(problems[:50]) if problems else "OK")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
