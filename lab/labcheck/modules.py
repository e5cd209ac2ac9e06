"""Kernel module load order, read from the modules' own .modinfo sections.

The kernel package ships without modules.dep, and the host may have no kmod,
so dependencies are taken from each module's `depends=` string."""

import os
import re

_DEPENDS = re.compile(rb"(?:^|\x00)depends=([A-Za-z0-9_,-]*)\x00")


def module_name(path):
    """Kernel name of a module file: dashes and underscores are the same."""
    base = os.path.basename(path)
    for suffix in (".ko.xz", ".ko.zst", ".ko.gz", ".ko"):
        if base.endswith(suffix):
            base = base[: -len(suffix)]
            break
    return base.replace("-", "_")


def read_depends(path):
    with open(path, "rb") as f:
        data = f.read()
    match = _DEPENDS.search(data)
    if not match or not match.group(1):
        return []
    return [name.decode().replace("-", "_") for name in match.group(1).split(b",") if name]


def index_modules(root):
    """Maps module name to path for every .ko under root."""
    found = {}
    for folder, _, files in os.walk(root):
        for name in files:
            if name.endswith(".ko"):
                found[module_name(name)] = os.path.join(folder, name)
    return found


def load_order(wanted, index, depends=read_depends):
    """Modules to insert, dependencies first, each once."""
    order = []
    visiting = set()

    def visit(name):
        if name in order:
            return
        if name in visiting:
            raise ValueError(f"module dependency cycle through {name}")
        if name not in index:
            raise KeyError(f"module {name} not found")
        visiting.add(name)
        for dep in depends(index[name]):
            visit(dep)
        visiting.discard(name)
        order.append(name)

    for name in wanted:
        visit(name.replace("-", "_"))
    return order


def main(argv):
    """moddeps ROOT MODULE...: prints the load order as paths, one a line."""
    root, wanted = argv[0], argv[1:]
    index = index_modules(root)
    for name in load_order(wanted, index):
        print(index[name])
    return 0
