"""The "ORVANE" Processing provider: one algorithm per treatment the orvane package declares."""
import sys
from pathlib import Path

from qgis.core import QgsApplication, QgsProcessingProvider
from qgis.PyQt.QtGui import QIcon

PLUGIN_DIR = Path(__file__).resolve().parent


def import_orvane():
    """The orvane package: the installed one, else the build tree's (<build>/python beside the
    plugin's copy in <build>/qgis), so QGIS_PLUGINPATH=<build>/qgis is all a checkout needs."""
    try:
        import orvane
    except ImportError:
        build_python = PLUGIN_DIR.parent.parent / "python"
        if not (build_python / "orvane" / "__init__.py").is_file():
            raise
        sys.path.insert(0, str(build_python))
        import orvane
    return orvane


class OrvaneProvider(QgsProcessingProvider):
    def id(self):
        return "orvane"

    def name(self):
        return "ORVANE"

    def longName(self):
        return "ORVANE terrain morphometry"

    def icon(self):
        return QIcon(str(PLUGIN_DIR / "icon.png"))

    def loadAlgorithms(self):
        from .algorithm import OrvaneAlgorithm

        orvane = import_orvane()
        for name in orvane.TREATMENTS:
            self.addAlgorithm(OrvaneAlgorithm(orvane.treatment_info(name)))


class OrvaneProcessingPlugin:
    """What QGIS loads: it registers the provider (qgis_process calls only initProcessing)."""

    def __init__(self, iface):
        self.iface = iface
        self.provider = None

    def initProcessing(self):
        if self.provider is None:
            self.provider = OrvaneProvider()
            QgsApplication.processingRegistry().addProvider(self.provider)

    def initGui(self):
        self.initProcessing()

    def unload(self):
        if self.provider is not None:
            QgsApplication.processingRegistry().removeProvider(self.provider)
            self.provider = None
