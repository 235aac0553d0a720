"""Builds orvane._orvane with the project's CMake (see pyproject.toml for the rest)."""
import os
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

SOURCE_DIR = Path(__file__).resolve().parent
GDAL_MODULE = "liborvane_gdal.so"


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        target = Path(self.get_ext_fullpath(ext.name)).resolve()
        build_dir = Path(self.build_temp).resolve() / "cmake"
        build_dir.mkdir(parents=True, exist_ok=True)
        subprocess.run(["cmake", "-S", str(SOURCE_DIR), "-B", str(build_dir),
                        "-DCMAKE_BUILD_TYPE=Release", "-DORVANE_BUILD_PYTHON=ON",
                        "-DORVANE_BUILD_GUI=OFF", "-DORVANE_BUILD_TESTS=OFF",
                        f"-DPython3_EXECUTABLE={sys.executable}"], check=True)
        jobs = os.environ.get("ORVANE_JOBS", str(os.cpu_count() or 2))
        subprocess.run(["cmake", "--build", str(build_dir), "--target", "orvane_python",
                        "orvane_gdal", "-j", jobs], check=True)
        built = build_dir / "python" / "orvane"
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built / target.name, target)
        # The GDAL module goes beside the extension, where the core looks for it first:
        # without it GeoTIFFs cannot be read nor georeferences understood.
        shutil.copyfile(built / GDAL_MODULE, target.parent / GDAL_MODULE)


setup(ext_modules=[CMakeExtension("orvane._orvane")], cmdclass={"build_ext": CMakeBuild})
