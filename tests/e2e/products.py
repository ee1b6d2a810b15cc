"""What the rigs (end-to-end tests, demo, benchmark) take from a test build: its settings, a copy
of its Setup.exe whose default hosts name a rig's ports, and descriptions packed with its key.

The default hosts are compiled into Setup.exe. So that runs can take free ports and overlap, the
copy gets its two UTF-16 host texts overwritten in place by the rig's hosts; the new text may
not be longer than the built one, and a shorter one is padded with zeros (the end of a text)."""
import os
import subprocess


def build_setting(build_dir, name):
    """A setting from the build's CMakeCache.txt, e.g. SETUP_PRIVATE_KEY_FILE."""
    with open(os.path.join(build_dir, "CMakeCache.txt"), encoding="utf-8") as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition("=")
            if key.split(":", 1)[0] == name:
                return value
    raise KeyError("%s is not set in %s" % (name, build_dir))


def _replace_wide_text(data, old, new, exe):
    old_bytes = (old + "\0").encode("utf-16-le")
    if len(new) > len(old):
        raise ValueError("%s: the host %s does not fit in place of %s" % (exe, new, old))
    if data.count(old_bytes) != 1:
        raise ValueError("%s: the default host %s is in it %d times, not once"
                         % (exe, old, data.count(old_bytes)))
    return data.replace(old_bytes, new.encode("utf-16-le").ljust(len(old_bytes), b"\0"))


def setup_for_hosts(build_dir, exe, copy, host1, host2):
    """Copies `exe` (a Setup.exe of `build_dir`) to `copy` with its default hosts replaced."""
    with open(exe, "rb") as f:
        data = f.read()
    for setting, host in (("SETUP_DEFAULT_HOST_1", host1), ("SETUP_DEFAULT_HOST_2", host2)):
        data = _replace_wide_text(data, build_setting(build_dir, setting), host, exe)
    with open(copy, "wb") as f:
        f.write(data)


def pack_with_build_key(build_dir, eiftool, plain, out, signing_key=None, sign_options=("--any-application",)):
    """`eiftool pack` of the text file `plain` with the key compiled into the build's Setup.exe,
    signed with the private key file `signing_key` when given, with `sign_options` (the
    application it serves, its expiry)."""
    os.makedirs(os.path.dirname(out), exist_ok=True)
    sign = ["--sign", signing_key] + list(sign_options) if signing_key else []
    subprocess.run([eiftool, "pack", build_setting(build_dir, "SETUP_PRIVATE_KEY_FILE"), plain, out] + sign,
                   check=True, stdout=subprocess.DEVNULL)
