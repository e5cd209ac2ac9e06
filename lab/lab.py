#!/usr/bin/env python3
"""Host-side entry point of the lab: `moddeps ROOT MODULE...`, `check RUNDIR`
and `profiles RUNDIR...` (folders named run-profiles-MANAGER)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from labcheck import check, modules, profiles  # noqa: E402


def main(argv):
    if len(argv) >= 2 and argv[0] == "moddeps":
        return modules.main(argv[1:])
    if len(argv) == 2 and argv[0] == "check":
        return check.main(argv[1])
    if len(argv) >= 2 and argv[0] == "profiles":
        return profiles.main(argv[1:])
    print("usage: lab.py moddeps ROOT MODULE... | lab.py check RUNDIR | "
          "lab.py profiles RUNDIR...", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
