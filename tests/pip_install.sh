#!/bin/sh
# The Python module as a user installs it: a copy of the sources in a fresh
# temporary folder, a virtual environment over the system's packages, and
#   ENV/bin/pip install --no-build-isolation SOURCE
# with no package index at all; then the module imported from the
# environment, not from the sources or a build folder (spherebench_dask
# beside it), its help and a query;
# and, where mypy is installed, its type stubs found by mypy.
#   pip_install.sh PYTHON SOURCE_DIR
set -eu
python=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/source"
for part in CMakeLists.txt CMakePresets.json README.md pyproject.toml setup.py cmake src tools; do
    cp -R "$source/$part" "$work/source/"
done
"$python" -m venv --system-site-packages "$work/env"
PIP_NO_INDEX=1 PIP_NO_CACHE_DIR=1 PIP_DISABLE_PIP_VERSION_CHECK=1 \
    "$work/env/bin/pip" install --no-build-isolation "$work/source" >"$work/pip.log" 2>&1 || {
    tail -n 30 "$work/pip.log"
    exit 1
}
cd "$work"
"$work/env/bin/python" - "$work/env" <<'PYTHON'
import importlib.util
import pydoc
import sys

import spherebench

assert spherebench.__file__.startswith(sys.argv[1]), spherebench.__file__
# Its plain-Python companion beside it (found, not imported: Dask may be absent).
assert importlib.util.find_spec("spherebench_dask").origin.startswith(sys.argv[1])
index = spherebench.Index(spherebench.encode([51.4706, 49.0128], [-0.461941, 2.55]))
indices, chords = index.query(spherebench.encode([50.8467], [4.3525]), k=2)
assert indices.tolist() == [[1, 0]], indices
assert index.within(spherebench.encode([50.8467], [4.3525]), 300)[0].tolist() == [1]
assert "k nearest" in pydoc.render_doc(spherebench.Index.query)
print("imported", spherebench.__file__, spherebench.__version__)
PYTHON
if "$python" -m mypy --version >/dev/null 2>&1; then
    cat >"$work/typed.py" <<'PYTHON'
import spherebench

index = spherebench.Index(spherebench.random_table("uniform", 10))
index.query(spherebench.random_table("uniform", 1), k="2")
PYTHON
    # Its one error shows the stubs were read (without them: a missing module).
    "$python" -m mypy --no-incremental --python-executable "$work/env/bin/python" "$work/typed.py" >"$work/mypy.out" || true
    grep -q 'Argument "k" to "query" of "Index" has incompatible type "str"; expected "int"' "$work/mypy.out" || {
        cat "$work/mypy.out"
        exit 1
    }
    echo "mypy reads the stubs"
fi
