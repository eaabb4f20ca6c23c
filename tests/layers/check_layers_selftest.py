#!/usr/bin/env python3
"""Runs check_layers.py on small trees written to a temporary folder, to show that it flags
each kind of layering breach at the right file:line and passes what the layering allows."""
import os
import re
import subprocess
import sys
import tempfile
import unittest

CHECKER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "check_layers.py")

RUNNER = "macos/Runner/Window.cpp"
PLATFORM = "platform/Foundation/Files.h"
EMBEDDING = "macos/Flutter/Engine.h"
PICKER = "file_picker/Sources/file_picker/Picker.h"
INFO = "device_info_plus/Sources/device_info_plus/Info.h"
CODEC = "macos/Flutter/codec/Value.h"
TEXT = "platform/text/Text.h"

# Each file's lines; a line ending in "@N" must be reported as breaking rule N, every other
# line must pass. The marker is cut off before the file is written.
BROKEN = {
    RUNNER: ['#include "macos/Runner/Window.h"', "#include <cstdio>", "#include <stdint.h>",
             "#include <string.h>", "#include <unistd.h> @1", "// #include <dlfcn.h>",
             "/* #include <pthread.h>", "#include <pthread.h>", "*/", '#include "Window.h"',
             '#include "sys/stat.h" @1', "#include <signal.h> @1",
             'static const char* kGlob = "image/*";',
             "#include <poll.h> @1", "// lists dir/* entries", "#include <dirent.h> @1",
             'const char* kQuoted = "a \\"/*\\" b";',
             "#include <nlohmann/json.hpp> @1",
             '#include "file_picker/Sources/file_picker/Picker.h"',
             '#include "platform/Foundation/Files.h"'],
    "macos/Runner/Window.h": ["#pragma once", "#include <memory>"],
    PLATFORM: ["#include <unistd.h>", "#include <sys/socket.h>", '#include "macos/Runner/Window.h" @2',
               '#include "macos/Flutter/Engine.h" @2', '#include "Other.h"',
               '#include "file_picker/Sources/file_picker/Picker.h" @2', '#include "' + TEXT + '"',
               '#include "' + CODEC + '" @2'],
    "platform/Foundation/Other.h": ["#pragma once"],
    EMBEDDING: ["#include <dlfcn.h>", '#include "platform/Foundation/Files.h"',
                '#include "macos/Runner/Window.h" @3', '  #  include "../../' + PICKER + '" @3',
                '#include "' + CODEC + '"'],
    CODEC: ["#include <vector>", '#include "platform/text/Text.h"', '#include "Other.h"',
            "#include <unistd.h> @5", '#include "platform/Foundation/Files.h" @5',
            '#include "macos/Flutter/Engine.h" @5', "#include <nlohmann/json.hpp> @5",
            '#include "tools/helper/Helper.h" @5'],
    "macos/Flutter/codec/Other.h": ["#pragma once", "#include <cstdint>"],
    TEXT: ["#include <string_view>", "#include <unistd.h> @5", '#include "platform/Foundation/Files.h" @5',
           '#include "' + CODEC + '" @5'],
    PICKER: ['#include "platform/Foundation/Files.h"', '#include "macos/Flutter/Engine.h"',
             '#include "Dialogs.h"', '#include "macos/Runner/Window.h" @4', "#include <fcntl.h> @1",
             '#include "' + INFO + '" @4', '#include "tools/helper/Helper.h" @4',
             '#include "' + CODEC + '"', '#include "' + TEXT + '"'],
    "file_picker/Sources/file_picker/Dialogs.h": ["#pragma once", "#include <filesystem>"],
    INFO: ["#include <glib.h> @1", "#include <cinttypes>"],
    "tools/helper/Helper.h": ["#include <unistd.h>", '#include "macos/Runner/Window.h"'],
    "tests/runner/Window_test.cpp": ["#include <sys/wait.h>", '#include "macos/Runner/Window.h"'],
}

REPORTED = re.compile(r"^(\S+):(\d+): rule (\d):", re.M)


def write_tree(root, files, keep_breaches):
    expected = set()
    for rel, lines in files.items():
        text = []
        for number, line in enumerate(lines, 1):
            code, _, rule = line.partition(" @")
            if rule and keep_breaches:
                expected.add((rel, number, rule))
            text.append(code if keep_breaches or not rule else "// removed")
        os.makedirs(os.path.dirname(os.path.join(root, rel)), exist_ok=True)
        with open(os.path.join(root, rel), "w") as f:
            f.write("\n".join(text) + "\n")
    return expected


def run_checker(root, cwd):
    return subprocess.run([sys.executable, CHECKER, root], cwd=cwd, capture_output=True, text=True)


class CheckLayersTest(unittest.TestCase):
    def test_every_breach_is_reported_with_its_rule_and_nothing_else(self):
        with tempfile.TemporaryDirectory() as root, tempfile.TemporaryDirectory() as elsewhere:
            expected = write_tree(root, BROKEN, keep_breaches=True)
            result = run_checker(root, cwd=elsewhere)
            self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
            reported = {(f, int(n), r) for f, n, r in REPORTED.findall(result.stdout)}
            self.assertEqual(reported, expected, result.stdout)
            self.assertEqual(len(result.stdout.splitlines()), len(expected), result.stdout)

    def test_a_tree_without_breaches_passes(self):
        with tempfile.TemporaryDirectory() as parent:
            write_tree(os.path.join(parent, "src"), BROKEN, keep_breaches=False)
            result = run_checker("src", cwd=parent)
            self.assertEqual((result.returncode, result.stdout), (0, ""), result.stderr)

    def test_a_root_without_layer_folders_is_an_error_not_a_pass(self):
        with tempfile.TemporaryDirectory() as root:
            self.assertEqual(run_checker(root, cwd=root).returncode, 2)


if __name__ == "__main__":
    unittest.main()
