"""The package's typing stubs: Debian's mypy checks the examples and a typed script cleanly, and
finds the mistakes a script can make with the package."""

import ast
import glob
import os
import re
import subprocess
import sys
import textwrap

import ixoinstrsetups as ix
from conftest import SOURCE_DIR

HERE = os.path.dirname(os.path.abspath(__file__))


def mypy(tmp_path, *arguments):
    # mypy reads the package the tests import, stubs and all, not an installed one.
    env = dict(os.environ, MYPYPATH=os.path.dirname(os.path.dirname(ix.__file__)))
    env.pop("LD_PRELOAD", None)
    return subprocess.run([sys.executable, "-m", "mypy", "--cache-dir", str(tmp_path / "cache"),
                           "--no-error-summary", *arguments],
                          capture_output=True, text=True, env=env, timeout=300)


def test_package_is_typed():
    package = os.path.dirname(ix.__file__)
    assert os.path.exists(os.path.join(package, "py.typed"))
    assert os.path.exists(os.path.join(package, "_core.pyi"))


def public(names):
    return {name for name in names if not name.startswith("_")}


def test_stubs_name_what_the_core_has():
    with open(os.path.join(os.path.dirname(ix.__file__), "_core.pyi")) as stub:
        tree = ast.parse(stub.read())
    functions = {node.name for node in tree.body if isinstance(node, ast.FunctionDef)}
    classes = {node.name: node for node in tree.body if isinstance(node, ast.ClassDef)}
    assert public(vars(ix._core)) == public(functions | set(classes))
    for name, node in classes.items():
        if name.startswith("_"):
            continue
        members = {member.name for member in node.body if isinstance(member, ast.FunctionDef)}
        members |= {member.target.id for member in node.body
                    if isinstance(member, ast.AnnAssign) and isinstance(member.target, ast.Name)}
        assert public(vars(getattr(ix._core, name))) == public(members), name


def test_examples_check_cleanly(tmp_path):
    examples = sorted(glob.glob(os.path.join(SOURCE_DIR, "examples", "*.py")))
    assert examples
    result = mypy(tmp_path, "--check-untyped-defs", *examples)
    assert result.returncode == 0, result.stdout + result.stderr


def test_typed_script_checks_strictly(tmp_path):
    result = mypy(tmp_path, "--strict", os.path.join(HERE, "typed_usage.py"))
    assert result.returncode == 0, result.stdout + result.stderr


def test_typed_script_runs(tmp_path):
    sys.path.insert(0, HERE)
    try:
        import typed_usage
    finally:
        sys.path.remove(HERE)
    names = typed_usage.run(str(tmp_path))
    assert names[0] == "Carrier" and names[2] == "Bytes" and len(names) == 3


MISTAKES = {
    "ix.Document.open(42)": "arg-type",
    "ix.Document().capture(42)": "arg-type",
    "ix.Document().captur(None)": "attr-defined",
    "count: str = len(ix.Document())": "assignment",
    "ix.Instrument('SIM').timeout = 'long'": "assignment",
    "ix.Integer('1').value.upper()": "attr-defined",
    "ix.AutomationError(5)": "call-arg",
    "ix.diff(b'a', b'b').lines.append(1)": "arg-type",
}


def test_mistakes_are_found(tmp_path):
    script = tmp_path / "mistakes.py"
    lines = ["import ixoinstrsetups as ix"] + list(MISTAKES)
    script.write_text("\n".join(lines) + "\n")
    result = mypy(tmp_path, str(script))
    assert result.returncode == 1, result.stdout + result.stderr
    for number, (line, code) in enumerate(MISTAKES.items(), start=2):
        found = re.search(r":%d: error: .*\[%s\]" % (number, code), result.stdout)
        assert found, "%s\n%s" % (line, result.stdout)
