#!/usr/bin/env python3
"""A power cut at every point of a real save, under two models of the disk.

The real binary saves over an old pair under strace, which records every call
that changes the folder. From that recording every folder a power cut can
leave is built: each call before the cut kept or lost, except what a flush
made durable (fsync of a file: its bytes; of the folder: its names), and a
file's unflushed bytes kept whole, lost or torn. Directory changes not yet
flushed are kept in order (ext4, xfs) or as any subset (all POSIX promises).
The tool's next start (its --print, which finishes a cut save first) runs in
each distinct folder, which must then hold the old pair or the new pair, the
new pair wherever the cut came after the save said "Saved".

The same enumeration over the recording with the files' flushes taken out,
and again with the folder's, must find broken folders: the test can fail.
Usage: power-cut.py path/to/gradient-logo
"""
import itertools
import os
import re
import subprocess
import sys
import tempfile

tool = os.path.realpath(sys.argv[1])
work = tempfile.mkdtemp(prefix="power-cut.")
failures = 0


def check(what, ok):
    global failures
    print(("ok: " if ok else "FAILED: ") + what)
    failures += 0 if ok else 1


def cli(folder, *args):
    return subprocess.run([tool, *args], cwd=folder, capture_output=True, timeout=60)


def unescape(s):  # strace -xx: every byte as \xNN
    return bytes(int(h, 16) for h in re.findall(r"\\x([0-9a-f]{2})", s))


# The old pair, the save, and the new pair it wrote.
rec = os.path.join(work, "recorded")
os.mkdir(rec)
if cli(rec, "--color1", "#00ff00", "--color2", "#ff00ff").returncode != 0:
    sys.exit("FAILED: the old pair could not be saved")
old = {n: open(os.path.join(rec, n), "rb").read() for n in ("LOGO.TXT", "LOGO.BMP")}
trace = os.path.join(work, "trace")
calls = "openat,pwrite64,write,fsync,fdatasync,syncfs,rename,renameat,renameat2,link,linkat,unlink,unlinkat"
r = subprocess.run(["strace", "-qq", "-xx", "-s", "100000", "-o", trace, "-e", "trace=" + calls,
                    tool, "--color1", "#d02030", "--color2", "#2030d0"], cwd=rec, capture_output=True)
if r.returncode != 0 or not r.stdout.startswith(b"Saved"):
    sys.exit("FAILED: the recorded save did not save: %r" % r.stderr)
new = {n: open(os.path.join(rec, n), "rb").read() for n in ("LOGO.TXT", "LOGO.BMP")}
os.remove(os.path.join(rec, "LOGO.TXT"))  # the folder must not be read again, only the recording

# The recording as operations on the folder: ("create"|"rename"|"link"|"unlink",
# names...), ("write", ino, offset, bytes), ("fsync", ino|"dir"), ("saved",).
ops, fds, names, inodes = [], {}, {"LOGO.TXT": 1, "LOGO.BMP": 2}, 2
for line in open(trace):
    m = re.match(r"(\w+)\((.*)\) += (-?\d+)", line)
    if not m or int(m.group(3)) < 0:
        continue
    call, args, ret = m.group(1), m.group(2), int(m.group(3))
    strings = [unescape(s).decode("latin-1") for s in re.findall(r'"((?:\\x[0-9a-f]{2})*)"', args)]
    first = args.split(",")[0]
    if call == "openat" and strings and "/" not in strings[0]:
        name = strings[0]
        if name == ".":
            fds[ret] = "dir"
        else:
            if name not in names:
                inodes += 1
                names[name] = inodes
                ops.append(("create", name, inodes))
            fds[ret] = names[name]
    elif call == "pwrite64" and int(first) in fds:
        data = unescape(args[args.index('"'):args.rindex('"')])
        ops.append(("write", fds[int(first)], int(args.rsplit(",", 1)[1]), data))
    elif call == "write" and first == "1" and b"Saved" in unescape(args):
        ops.append(("saved",))
    elif call in ("fsync", "fdatasync") and int(first) in fds:
        ops.append(("fsync", fds[int(first)]))
    elif call == "syncfs":
        ops.append(("syncfs",))
    elif call in ("rename", "renameat", "renameat2") and len(strings) == 2:
        names[strings[1]] = names.pop(strings[0])
        ops.append(("rename", strings[0], strings[1]))
    elif call in ("link", "linkat") and len(strings) == 2:
        names[strings[1]] = names[strings[0]]
        ops.append(("link", strings[0], strings[1]))
    elif call in ("unlink", "unlinkat") and strings:
        names.pop(strings[0], None)
        ops.append(("unlink", strings[0]))
check("the recording holds the save's flushes, renames and its 'Saved' (%d operations)" % len(ops),
      any(o[0] == "rename" for o in ops) and any(o[0] == "saved" for o in ops))


def apply_dir(tree, op):
    """The folder after op; None where op moves a name that was never made."""
    if tree is None or op[0] in ("rename", "link") and op[1] not in tree:
        return None
    tree = dict(tree)
    if op[0] == "create":
        tree[op[1]] = op[2]
    elif op[0] == "rename":
        tree[op[2]] = tree.pop(op[1])
    elif op[0] == "link":
        tree[op[2]] = tree[op[1]]
    elif op[0] == "unlink":
        tree.pop(op[1], None)
    return tree


def folders(ordered, file_flush=True, dir_flush=True):
    """Every folder a cut can leave: {frozenset of (name, bytes): must the pair be new}."""
    found = {}
    durable_tree, pending_dir = {"LOGO.TXT": 1, "LOGO.BMP": 2}, []
    durable_data = {1: old["LOGO.TXT"], 2: old["LOGO.BMP"]}
    pending_data, saved = {}, False
    for cut in range(len(ops) + 1):
        # The folder after a cut here: kept directory changes, then each file's bytes.
        kept = (pending_dir[:j] for j in range(len(pending_dir) + 1)) if ordered else \
            (s for k in range(len(pending_dir) + 1) for s in itertools.combinations(pending_dir, k))
        for changes in kept:
            tree = durable_tree
            for op in changes:
                tree = apply_dir(tree, op)
            if tree is None:
                continue
            torn = [i for i in set(tree.values()) if pending_data.get(i)]
            for fates in itertools.product(("kept", "lost", "torn"), repeat=len(torn)):
                data = {}
                for i, fate in zip(torn, fates):
                    b = bytearray(durable_data.get(i, b""))
                    for off, chunk in pending_data[i] if fate != "lost" else []:
                        b[off:off + len(chunk)] = chunk
                    data[i] = bytes(b[:len(b) // 2] if fate == "torn" else b)
                key = frozenset((n, data.get(i, durable_data.get(i, b""))) for n, i in tree.items())
                found[key] = found.get(key, False) or saved
        if cut == len(ops):
            break
        op = ops[cut]
        if op[0] == "write":
            pending_data.setdefault(op[1], []).append((op[2], op[3]))
        elif op[0] == "fsync" and op[1] == "dir" and dir_flush or op[0] == "syncfs":
            for d in pending_dir:
                durable_tree = apply_dir(durable_tree, d)
            pending_dir = []
        if op[0] == "fsync" and op[1] != "dir" and file_flush or op[0] == "syncfs":
            for i in ([op[1]] if op[0] == "fsync" else list(pending_data)):
                b = bytearray(durable_data.get(i, b""))
                for off, chunk in pending_data.pop(i, []):
                    b[off:off + len(chunk)] = chunk
                durable_data[i] = bytes(b)
        if op[0] in ("create", "rename", "link", "unlink"):
            pending_dir.append(op)
        saved = saved or op[0] == "saved"
    return found


def broken(found):
    """The folders the next start leaves wrong, with what was wrong."""
    bad = []
    for n, (files, must_be_new) in enumerate(found.items()):
        folder = os.path.join(work, "cut%d" % n)
        os.mkdir(folder)
        for name, data in files:
            path = os.path.join(folder, name)
            with open(path, "wb") as f:
                f.write(data)
            os.utime(path, (os.path.getatime(path) - 3600,) * 2)  # written before the reboot
        cli(folder, "--print")
        pair = tuple(open(os.path.join(folder, n), "rb").read() if os.path.isfile(os.path.join(folder, n)) else None
                     for n in ("LOGO.TXT", "LOGO.BMP"))
        if pair != (new["LOGO.TXT"], new["LOGO.BMP"]) and (must_be_new or pair != (old["LOGO.TXT"], old["LOGO.BMP"])):
            bad.append(sorted(name for name, _ in files))
        subprocess.run(["rm", "-rf", folder])
    return bad


for model, ordered in (("directory changes kept in order", True), ("any subset of them kept", False)):
    found = folders(ordered)
    bad = broken(found)
    check("%s: %d folders a cut can leave, each the old pair or the new after the next start, "
          "the new after 'Saved'%s" % (model, len(found), "" if not bad else "; wrong: %s" % bad[:3]), not bad)
    for what, flags in (("the files' flushes", dict(file_flush=False)), ("the folder's", dict(dir_flush=False))):
        found = folders(ordered, **flags)
        bad = broken(found)
        check("%s, without %s: broken folders found (%d of %d)" % (model, what, len(bad), len(found)), bad)
subprocess.run(["rm", "-rf", work])
sys.exit(1 if failures else 0)
