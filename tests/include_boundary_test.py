#!/usr/bin/env python3
"""The include check fails on each kind of include it exists to stop, in a copy of the tree with
one include added.

    include_boundary_test.py ROOT"""
import pathlib
import shutil
import subprocess
import sys
import tempfile
import unittest

ROOT = pathlib.Path(sys.argv.pop(1) if len(sys.argv) > 1 else ".").resolve()
CHECK = pathlib.Path(__file__).resolve().parent / "include_boundary.py"

# The file given one more include, the include, and a line the check must print for it.
CASES = [
    ("src/battle/battle.cpp", '#include "platform/gl/video.h"',
     "not on the list of src/battle: src/battle/battle.cpp -> \"platform/gl/video.h\""),
    ("src/audio/music.cpp", '#include "tanks/player_step.h"',
     "not on the list of src/audio: src/audio/music.cpp -> \"tanks/player_step.h\""),
    ("src/battle/battle.cpp", '#include "tanks/tanks_local.h"',
     "battle/battle.cpp -> \"tanks/tanks_local.h\" (local to tanks)"),
    ("src/platform/events.h", '#include "platform/files/files.h"',
     "not on the list of src/platform: src/platform/events.h -> \"platform/files/files.h\""),
    ("src/platform/readers/image_file.h", '#include "platform/sdl/keys.h"',
     "not on the list of src/platform/readers"),
    ("tools/soundcheck/soundcheck.cpp", '#include "platform/sdl/sdl_audio.h"',
     "not on the list of tools/soundcheck"),
    ("src/platform/scene.h", "#include <SDL.h>",
     "reaches the machine: src/core/game.h -> \"platform/platform.h\" -> \"platform/scene.h\" -> "
     "<SDL.h>"),
    ("src/platform/sound/mixer_level.h", "#include <SDL_mixer.h>",
     "reaches the machine: tools/assetgen/synth.cpp -> \"platform/sound/mixer_level.h\" -> "
     "<SDL_mixer.h>"),
    ("src/newfolder/thing.h", "#include <string>",
     "src/newfolder has no list of what it may include: src/newfolder/thing.h"),
]


def run_check(root):
    done = subprocess.run([sys.executable, str(CHECK), str(root)], capture_output=True, text=True)
    return done.returncode, done.stdout


class IncludeBoundaryTest(unittest.TestCase):
    def setUp(self):
        self.scratch = tempfile.TemporaryDirectory()
        self.tree = pathlib.Path(self.scratch.name)
        for folder in ("src", "tools/assetgen", "tools/soundcheck"):
            shutil.copytree(ROOT / folder, self.tree / folder)

    def tearDown(self):
        self.scratch.cleanup()

    def test_each_offence_fails(self):
        for file, include, expected in CASES:
            with self.subTest(file=file, include=include):
                path = self.tree / file
                before = path.read_text() if path.exists() else None
                path.parent.mkdir(parents=True, exist_ok=True)
                path.write_text((before or "") + include + "\n")
                try:
                    status, output = run_check(self.tree)
                finally:
                    if before is None:
                        path.unlink()
                    else:
                        path.write_text(before)
                self.assertEqual(status, 1, output)
                self.assertIn(expected, output)


if __name__ == "__main__":
    unittest.main()
