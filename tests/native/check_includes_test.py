"""The include-loop check finds loops of units and of folders, and passes a tree without them."""
import contextlib
import importlib.util
import io
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'tools',
                      'check_includes.py')


def run_on(files, module=None):
    """Runs the script on a tree of files holding the given includes; with module, that loaded
    copy of the script runs in this process."""
    with tempfile.TemporaryDirectory() as root:
        for path, includes in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), 'w') as f:
                f.write(''.join('#include "%s"\n' % i for i in includes))
                f.write('#include <windows.h>\n')
        if module:
            out = io.StringIO()
            with contextlib.redirect_stdout(out):
                code = module.main([SCRIPT, root])
            return code, out.getvalue()
        done = subprocess.run([sys.executable, SCRIPT, root], capture_output=True, text=True)
        return done.returncode, done.stdout


class CheckIncludesTest(unittest.TestCase):
    def test_layered_tree_passes(self):
        code, out = run_on({
            'core/Text.h': [], 'core/Text.cpp': ['core/Text.h'],
            'ui/Base.h': ['core/Text.h'], 'ui/Base.cpp': ['ui/Base.h', 'core/Text.h'],
            'ui/Form.h': ['ui/Base.h'], 'ui/Form.cpp': ['ui/Form.h', 'ui/Base.h', 'missing/Gone.h'],
        })
        self.assertEqual(code, 0, out)
        self.assertIn('include loops: none', out)

    def test_source_including_a_header_that_includes_its_own_closes_a_loop(self):
        # Neither header includes the other: the loop runs through a source file.
        code, out = run_on({
            'ui/Base.h': [], 'ui/Base.cpp': ['ui/Base.h', 'ui/Form.h'],
            'ui/Form.h': ['ui/Panel.h'], 'ui/Panel.h': ['ui/Base.h'], 'ui/Other.h': ['ui/Base.h'],
        })
        self.assertEqual(code, 1, out)
        self.assertIn('FAIL unit loop (3): ui/Base ui/Form ui/Panel', out)
        self.assertNotIn('ui/Other', out)

    def test_folder_loop_fails_even_without_a_unit_loop(self):
        code, out = run_on({
            'core/A.h': [], 'core/A.cpp': ['ui/B.h'], 'ui/B.h': ['core/A.h'],
        })
        self.assertEqual(code, 1, out)
        self.assertIn('FAIL folder loop: core ui', out)
        self.assertIn('core/A -> ui/B', out)

    def test_only_the_exact_allowed_loops_pass(self):
        # The script's own allowed list empties as loops are taken apart: this test brings one.
        found = importlib.util.spec_from_file_location('check_includes', SCRIPT)
        check = importlib.util.module_from_spec(found)
        found.loader.exec_module(check)
        check.ALLOWED_UNIT_LOOPS = [{'ui/Edit', 'ui/Tabs'}]
        allowed = {'ui/Edit.h': ['ui/Tabs.h'], 'ui/Tabs.cpp': ['ui/Edit.h'], 'ui/Tabs.h': []}
        code, out = run_on(allowed, check)
        self.assertEqual(code, 0, out)
        self.assertIn('allowed unit loop (2): ui/Edit ui/Tabs', out)
        grown = dict(allowed, **{'ui/Tabs.h': ['ui/Main.h'], 'ui/Main.h': ['ui/Edit.h']})
        code, out = run_on(grown, check)
        self.assertEqual(code, 1, out)
        self.assertIn('FAIL unit loop (3)', out)

if __name__ == '__main__':
    unittest.main()
