#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs scripts/check-includes on the small trees under include-check/ and
# reads what it prints: one FILE:LINE: line per include against the table.
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKER = os.path.join(HERE, "..", "..", "scripts", "check-includes")
TREES = os.path.join(HERE, "include-check")


def run(*args):
    done = subprocess.run([sys.executable, CHECKER, *args], capture_output=True,
                          text=True, timeout=60, cwd=TREES)
    return done.returncode, done.stdout.splitlines()


class CheckIncludesTest(unittest.TestCase):
    def test_a_tree_that_only_looks_down_passes(self):
        # Reaching two floors down, an include beside the file, Qt outside
        # the core and headers from outside the tree are all fine.
        code, lines = run("clean")
        self.assertEqual((code, lines), (0, []))

    def test_each_include_against_the_table_is_named_with_file_and_line(self):
        code, lines = run("upward")
        self.assertEqual(code, 1)
        self.assertEqual(sorted(l.split(" ")[0] for l in lines), [
            "upward/app/ui/Dialog.h:3:",           # sideways into another window folder
            "upward/core/archive/Archive.h:1:",    # a folder without a row
            "upward/core/common/Result.h:3:",      # up from the bottom floor
            "upward/core/link/Link.h:3:",          # Qt in the core
            "upward/layers.txt:6:",                # an exception that no longer happens
        ])
        self.assertIn("core/common may not include core/link/Link.h", lines[2])

    def test_a_known_exception_lets_its_one_include_through(self):
        _, lines = run("upward")
        self.assertFalse(any(l.startswith("upward/app/ui/Dialog.cpp") for l in lines))

    def test_a_table_that_runs_in_a_circle_fails(self):
        with tempfile.TemporaryDirectory() as folder:
            table = os.path.join(folder, "layers.txt")
            with open(table, "w") as f:
                f.write("core/common -> core/link\ncore/link -> core/common\n"
                        "app/ui -> core/*\napp/panel -> app/ui\n")
            code, lines = run("--rules", table, "clean")
        self.assertEqual(code, 1)
        self.assertTrue(any("circle through core/common" in l for l in lines))

    def test_pairs_counts_the_include_lines_between_folders(self):
        code, lines = run("--pairs", "clean")
        self.assertEqual(code, 0)
        self.assertIn("    1 app/panel -> core/common", lines)
        self.assertIn("    1 app/ui -> core/link", lines)


if __name__ == "__main__":
    unittest.main()
