#!/usr/bin/env python3
"""The platform boundary, kept by the build: no file of the game's folders (every folder of src
but platform, where the machine is met, and sim, the headless runner) may reach an SDL, OpenGL,
EGL, assimp or SDL_mixer header, or a header of a platform back-end, directly or through the
headers it includes. The game may include its own folders and the platform's interface headers
(src/platform/*.h) only. A folder's local header (`FOLDER/*_local.h`, the machinery only that
folder calls) is included by no file of src outside that folder.

    include_boundary.py SRC_DIR

Prints every offending include with the chain of headers that leads to it; exit status 1 when
there is one."""
import pathlib
import re
import sys

# The folders that choose or are a back-end; every other folder of src is the game.
OUTSIDE_THE_GAME = {"platform", "sim"}
# Angle-bracket headers of the machine the game must not see.
FORBIDDEN_SYSTEM = re.compile(r"^(SDL|SDL2/|GL/|GLES|epoxy/|EGL/|KHR/|assimp/)")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
LOCAL_HEADER = re.compile(r"^([a-z_]+)/[a-z_]+_local\.h$")


def allowed_local(header, game_folders):
    """A quoted include the game may use: its own folders or a platform interface header."""
    parts = header.split("/")
    if parts[0] in game_folders:
        return True
    return parts[0] == "platform" and len(parts) == 2


def check(src, game_folders, path, chain, seen, problems):
    for kind, header in INCLUDE.findall(path.read_text(errors="replace")):
        here = chain + [f"{kind}{header}{'>' if kind == '<' else kind}"]
        if kind == "<":
            if FORBIDDEN_SYSTEM.match(header):
                problems.append(" -> ".join(here))
            continue
        if not allowed_local(header, game_folders):
            problems.append(" -> ".join(here))
            continue
        target = src / header
        if target.is_file() and target not in seen:
            seen.add(target)
            check(src, game_folders, target, here, seen, problems)


def foreign_local_includes(src, problems):
    """Every include of a folder's local header from a file of src outside that folder."""
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        folder = path.relative_to(src).parts[0]
        for kind, header in INCLUDE.findall(path.read_text(errors="replace")):
            local = LOCAL_HEADER.match(header) if kind == '"' else None
            if local and local.group(1) != folder:
                problems.append(f"{path.relative_to(src)} -> {kind}{header}{kind} "
                                f"(local to {local.group(1)})")


def main():
    src = pathlib.Path(sys.argv[1]).resolve()
    game_folders = sorted(d.name for d in src.iterdir()
                          if d.is_dir() and d.name not in OUTSIDE_THE_GAME)
    problems = []
    files = 0
    for folder in game_folders:
        for path in sorted((src / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp"):
                continue
            files += 1
            check(src, game_folders, path, [str(path.relative_to(src))], {path}, problems)
    foreign_local_includes(src, problems)
    for problem in problems:
        print(f"outside the game's boundary: {problem}")
    if files == 0:
        print(f"no game sources under {src}")
        return 1
    print(f"{files} files of {', '.join(game_folders)} checked, "
          f"{len(problems)} includes outside the boundary")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
