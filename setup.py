"""The Python module built through CMake for `pip install --no-build-isolation .`:
the project configured for the interpreter running pip, the target
spherebench_python built, and its install component "python" (the module and
its type stubs) installed into the wheel's tree. The version is CMake's."""
import os
import re
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE = Path(__file__).resolve().parent
VERSION = re.search(r"project\(spherebench VERSION ([0-9.]+)", (SOURCE / "CMakeLists.txt").read_text()).group(1)


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = Path(self.build_temp).resolve() / "cmake"
        # Only what the module links is built; the parts it does not use are
        # left out of the configuration, which then needs none of their
        # libraries.
        subprocess.run(["cmake", "-S", str(SOURCE), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                        "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG", "-DBUILD_TESTING=OFF",
                        "-DSPHEREBENCH_WITH_PYTHON=ON", f"-DPython3_EXECUTABLE={sys.executable}",
                        "-DSPHEREBENCH_PYTHON_INSTALL_DIR=.", "-DSPHEREBENCH_WITH_S2=OFF",
                        "-DSPHEREBENCH_WITH_GEOGRAPHICLIB=OFF", "-DSPHEREBENCH_WITH_VECTOR=OFF",
                        "-DSPHEREBENCH_WITH_NANOFLANN=OFF", "-DSPHEREBENCH_WITH_BOOST_GEOMETRY=OFF",
                        "-DSPHEREBENCH_WITH_FAISS=OFF"], check=True)
        jobs = os.environ.get("CMAKE_BUILD_PARALLEL_LEVEL") or str(os.cpu_count() or 1)
        subprocess.run(["cmake", "--build", str(build), "--target", "spherebench_python", "--parallel", jobs],
                       check=True)
        # The module's own name is the one this interpreter imports.
        module = Path(self.get_ext_fullpath(ext.name)).resolve()
        subprocess.run(["cmake", "--install", str(build), "--component", "python", "--prefix", str(module.parent)],
                       check=True)
        if not module.is_file():
            raise RuntimeError(f"CMake did not install {module.name}")


# No Python packages or modules of its own: only what CMake installs.
setup(version=VERSION, packages=[], py_modules=[], ext_modules=[Extension("spherebench", sources=[])],
      cmdclass={"build_ext": CMakeBuild})
