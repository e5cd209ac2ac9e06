"""Files the guest sends on its data port: base64 between marker lines."""

import base64
import binascii


class TransferError(Exception):
    pass


def decode(text):
    """Returns {name: bytes} from the data port's text; CR and stray lines are ignored."""
    files = {}
    name = None
    chunks = []
    for raw in text.replace("\r", "").split("\n"):
        line = raw.strip()
        if name is None:
            if line.startswith("LAB-FILE-BEGIN "):
                name = line[len("LAB-FILE-BEGIN "):]
                chunks = []
            continue
        if line == f"LAB-FILE-END {name}":
            try:
                files[name] = base64.b64decode("".join(chunks), validate=True)
            except (binascii.Error, ValueError) as error:
                raise TransferError(f"file {name} arrived damaged: {error}") from None
            name = None
        elif line:
            chunks.append(line)
    if name is not None:
        raise TransferError(f"file {name} was cut off")
    return files


def complete(text):
    return any(line.strip() == "LAB-DATA-END" for line in text.replace("\r", "").split("\n"))
