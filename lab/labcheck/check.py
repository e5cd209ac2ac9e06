"""Checks one lab run: the report against iw, network by network."""

import os

from . import transfer


def main(run_dir):
    with open(os.path.join(run_dir, "data.log"), "r", encoding="latin-1") as f:
        data = f.read()
    files = transfer.decode(data)
    out = os.path.join(run_dir, "out")
    os.makedirs(out, exist_ok=True)
    for name, content in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(content)
    print(f"lab: {len(files)} files from the guest")
    return 0
