"""Shared support of the Python tests: the sample DEM, orvane-cli, and parameters for every
declared treatment taken from its own examples (so new treatments are tested as declared)."""
import os
import shlex
import subprocess
from pathlib import Path

import numpy as np
import pytest

import orvane

SOURCE_DIR = Path(__file__).resolve().parents[2]
SAMPLE = SOURCE_DIR / "data" / "jacksboro_m2.raw"
SAMPLE_PIXEL = 90.0

# Options of an example that are inputs or outputs, not treatment parameters.
_IO_OPTIONS = {"dem", "pixel", "unit", "bytes", "lines", "columns", "settings", "out", "values",
               "stats", "json", "histogram", "drainage", "param"}


def example_args(name):
    """The first example's parameters (Python names) and its --out path, or None without one."""
    declaration = orvane.treatment_info(name)
    for line in declaration["examples"].splitlines():
        words = shlex.split(line)[2:]  # drop "orvane-cli <id>"
        params, out, k = {}, None, 0
        entries = {p["name"]: p for p in declaration["params"]}
        while k < len(words):
            option = words[k].lstrip("-")
            entry = entries.get(option)
            takes_value = option in _IO_OPTIONS - {"stats", "json"} or (
                entry is not None and entry["type"] != "flag")
            value = words[k + 1] if takes_value else True
            if option == "out":
                out = value
            elif entry is not None:
                params[option.replace("-", "_")] = value if entry["type"] in ("choice", "text", "flag") else float(value)
            k += 2 if takes_value else 1
        return params, out
    return None


def treatments(*, values=None, dem_only=True):
    """Python names of the declared treatments, filtered."""
    names = []
    for name in orvane.TREATMENTS:
        d = orvane.treatment_info(name)
        if dem_only and (d["drainage"] or d["param"] or not d["dem"]):
            continue
        if values is not None and d["values"] != values:
            continue
        names.append(name)
    return names


def cli_options(params):
    words = []
    for key, value in params.items():
        option = "--" + key.replace("_", "-")
        if value is True:
            words.append(option)
        elif value is not False:
            words += [option, str(int(value) if isinstance(value, float) and value.is_integer() else value)]
    return words


@pytest.fixture(scope="session")
def sample():
    return orvane.read_dem(SAMPLE, pixel=SAMPLE_PIXEL)


@pytest.fixture(scope="session")
def cli():
    """Runs orvane-cli (ORVANE_CLI, else the build's) on the sample; returns its stdout."""
    program = os.environ.get("ORVANE_CLI")
    if not program or not Path(program).exists():
        pytest.skip("orvane-cli not built (set ORVANE_CLI)")

    def run(command, *words):
        completed = subprocess.run([program, command, "--dem", str(SAMPLE), "--pixel",
                                    str(int(SAMPLE_PIXEL)), *words],
                                   capture_output=True, text=True, check=True)
        return completed.stdout
    return run


def synthetic_dem(lines, columns, seed=7):
    """Hills, noise and a step of 1000 m across blocks, in whole metres (int32)."""
    rng = np.random.default_rng(seed)
    y, x = np.mgrid[0:lines, 0:columns]
    z = 300 + 200 * np.sin(x / 97.0) * np.cos(y / 131.0) + rng.normal(0, 3, (lines, columns))
    z[:, : columns // 3] += 1000
    return z.astype(np.int32)
