"""Builds lumoaccess with the project's CMake build, for pip.

The module and libLumoAccess.so (which the module loads from beside itself)
go side by side into the package's folder, the suite's private platform
and engine libraries into its lumo-private folder, where libLumoAccess.so finds
them through its run path ($ORIGIN/lumo-private), as it does once installed. LUMO_PYTHON_BUILD_DIR names the CMake build folder
(default: build-python/ in the repository); a folder already configured
is only brought up to date.
"""
import os
import pathlib
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent

# What the package's folder holds besides the module: the library under the
# name the module loads, and the private libraries under their SONAMEs.
LIBRARIES = {"libLumoAccess.so": "libLumoAccess.so", "lumo-private/libLumoPlatform.so": "lumo-private/libLumoPlatform.so.0",
             "lumo-private/libLumoEngine.so": "lumo-private/libLumoEngine.so.0"}


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        build = pathlib.Path(os.environ.get("LUMO_PYTHON_BUILD_DIR", ROOT / "build-python")).resolve()
        if not (build / "CMakeCache.txt").exists():
            subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), "-DCMAKE_BUILD_TYPE=Release",
                            "-DLUMO_TESTS=OFF", "-DLUMO_PYTHON=ON", "-DPython_EXECUTABLE=" + sys.executable],
                           check=True)
        subprocess.run(["cmake", "--build", str(build), "-j", str(os.cpu_count() or 1),
                        "--target", "lumoaccess", "LumoAccess"], check=True)
        module = pathlib.Path(self.get_ext_fullpath(ext.name))
        module.parent.mkdir(parents=True, exist_ok=True)
        built = build / "bin"
        # Real files, not the build's links: a wheel holds no links.
        shutil.copyfile(built / module.name, module)
        for source, name in LIBRARIES.items():
            (module.parent / name).parent.mkdir(parents=True, exist_ok=True)
            shutil.copyfile((built / source).resolve(), module.parent / name)


setup(
    ext_modules=[Extension("lumoaccess", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    packages=[],
    # setuptools' own build folder, away from CMake's build/.
    options={"build": {"build_base": str(ROOT / "build-python" / "setuptools")}},
)
