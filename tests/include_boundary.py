#!/usr/bin/env python3
"""What each folder may include, kept by the build.

    include_boundary.py ROOT

ROOT is the project's root. Every .h and .cpp of src and of the tools below is read, and each of
its quoted includes must name a header of its own folder or one that its folder's list allows:
a folder is never reached by accident, and a new edge between folders is a change to the list,
seen in review. A folder with no list fails too.

The game's folders, the platform's interface headers (src/platform/*.h), the parts of the
platform that the tools share or the runner tests without a window, and the tools must also
reach no SDL, OpenGL, EGL, X11, assimp or SDL_mixer header, not even through the headers they
include. A folder's local header (FOLDER/*_local.h, the machinery only that folder calls) is
included by no file of src outside that folder, whatever the lists say.

Prints every offending include with the chain of headers that leads to it, and every entry of
a list that no file uses (a note only); exit status 1 when there is an offence."""
import pathlib
import re
import sys

# What each folder (from ROOT) may include besides its own headers and the standard library.
# "app/" allows every header directly in src/app, "platform/" the platform's interface headers;
# a path names one header.
MAY_INCLUDE = {
    # The game: each other's folders and the platform's interface headers it uses.
    "src/core": ["platform/platform.h"],
    "src/app": [
        "audio/",
        "battle/",
        "core/",
        "input/",
        "platform/events.h",
        "platform/joystick.h",
        "platform/surface.h",
    ],
    "src/input": ["core/", "platform/events.h", "platform/joystick.h"],
    "src/battle": ["app/", "audio/", "core/", "tanks/"],
    "src/tanks": ["abilities/", "app/", "audio/", "battle/", "core/", "input/"],
    "src/abilities": ["app/", "audio/", "battle/", "core/", "platform/scene.h"],
    "src/audio": ["core/"],
    # The interfaces the game talks to: only each other.
    "src/platform": [],
    # What the back-ends share: the interfaces and the siblings each builds on.
    "src/platform/files": [],
    "src/platform/sound": [],
    "src/platform/pads": ["platform/"],
    "src/platform/pixels": ["platform/"],
    "src/platform/readers": ["platform/files/"],
    "src/platform/gl": ["platform/", "platform/files/", "platform/pixels/", "platform/readers/"],
    # The two platforms.
    "src/platform/headless": [
        "platform/", "platform/gl/", "platform/pads/", "platform/readers/"],
    "src/platform/sdl": [
        "platform/", "platform/files/", "platform/gl/", "platform/pads/", "platform/pixels/",
        "platform/readers/", "platform/sound/"],
    # The programs: each picks a platform and runs the game on it.
    "src": ["app/", "core/", "platform/files/", "platform/headless/script.h", "platform/sdl/"],
    "src/sim": ["app/", "core/", "platform/files/", "platform/headless/"],
    # The tools build from the game's own facts and hold the sounds to the mixer's level.
    "tools/assetgen": [
        "core/facts.h", "core/player_colours.h", "core/sprite_sheet.h", "platform/sound/loudness.h",
        "platform/sound/mixer_level.h"],
    "tools/soundcheck": ["platform/sound/loudness.h", "platform/sound/mixer_level.h"],
}

GAME = ["src/core", "src/app", "src/input", "src/battle", "src/tanks", "src/abilities", "src/audio"]
# Folders that must reach no header of the machine, not even through another header.
FREE_OF_THE_MACHINE = GAME + [
    "src/platform", "src/platform/files", "src/platform/sound", "src/platform/pads",
    "tools/assetgen", "tools/soundcheck"]
# Angle-bracket headers of the machine.
MACHINE = re.compile(r"^(SDL|SDL2/|GL/|GLES|epoxy/|EGL/|KHR/|assimp/|X11/)")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.MULTILINE)
LOCAL_HEADER = re.compile(r"^([a-z_]+)/[a-z_]+_local\.h$")


def written(kind, header):
    return f"{kind}{header}{'>' if kind == '<' else kind}"


def resolve(root, path, header):
    """The file a quoted include names: beside the including file first, then under src."""
    for base in (path.parent, root / "src"):
        target = base / header
        if target.is_file():
            return target.resolve()
    return None


def folder_of(root, path):
    return path.parent.relative_to(root).as_posix()


def listed_entry(listed, header):
    """The entry of `listed` that allows `header`, or None."""
    folder = header.rpartition("/")[0] + "/"
    if header in listed:
        return header
    return folder if folder in listed else None


def check_list(root, path, problems, used):
    """Each quoted include of `path` against its folder's list; the entries used go to `used`."""
    folder = folder_of(root, path)
    for kind, header in INCLUDE.findall(path.read_text(errors="replace")):
        if kind == "<":
            continue
        target = resolve(root, path, header)
        if target is not None and target.parent == path.parent:
            continue
        entry = listed_entry(MAY_INCLUDE[folder], header)
        if entry is not None:
            used.add((folder, entry))
            continue
        problems.append(f"not on the list of {folder}: "
                        f"{path.relative_to(root)} -> {written(kind, header)}")


def check_machine(root, path, chain, seen, problems):
    """The machine's headers that `path` reaches, with the chain of includes to each."""
    for kind, header in INCLUDE.findall(path.read_text(errors="replace")):
        here = chain + [written(kind, header)]
        if kind == "<":
            if MACHINE.match(header):
                problems.append("reaches the machine: " + " -> ".join(here))
            continue
        target = resolve(root, path, header)
        if target is not None and target not in seen:
            seen.add(target)
            check_machine(root, target, here, seen, problems)


def sources(root):
    """Every .h and .cpp of src and of the listed tools."""
    tools = [root / folder for folder in MAY_INCLUDE if folder.startswith("tools/")]
    for folder in [root / "src"] + tools:
        for path in sorted(folder.rglob("*")):
            if path.suffix in (".h", ".cpp") and path.is_file():
                yield path.resolve()


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
    root = pathlib.Path(sys.argv[1]).resolve()
    problems = []
    used = set()
    files = 0
    for path in sources(root):
        files += 1
        folder = folder_of(root, path)
        if folder not in MAY_INCLUDE:
            problems.append(
                f"{folder} has no list of what it may include: {path.relative_to(root)}")
            continue
        check_list(root, path, problems, used)
        if folder in FREE_OF_THE_MACHINE:
            check_machine(root, path, [str(path.relative_to(root))], {path}, problems)
    foreign_local_includes(root / "src", problems)
    for problem in problems:
        print(problem)
    for folder, listed in MAY_INCLUDE.items():
        for entry in listed:
            if (folder, entry) not in used:
                print(f"note: {folder} may include {entry}, and no file of it does")
    if files == 0:
        print(f"no sources under {root / 'src'}")
        return 1
    print(f"{files} files of {len(MAY_INCLUDE)} folders checked, {len(problems)} offences")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
